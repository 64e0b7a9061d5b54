#include "platform/testing/RecordingPrinter.h"

#include "platform/Fonts.h"

#include <QFontMetricsF>

#include <algorithm>

QList<PrinterCall> PrinterLog::Texts() const {
    QList<PrinterCall> texts;
    std::copy_if(calls.cbegin(), calls.cend(), std::back_inserter(texts),
                 [](const PrinterCall &call) { return call.kind == PrinterCall::Kind::Text; });
    return texts;
}

qsizetype PrinterLog::Count(PrinterCall::Kind kind) const {
    return std::count_if(calls.cbegin(), calls.cend(), [kind](const PrinterCall &call) { return call.kind == kind; });
}

RecordingPrinter::RecordingPrinter(PrinterLog &log) : log_(log) {
    InstallFontSubstitutions();
}

void RecordingPrinter::record(PrinterCall::Kind kind, double value, const QString &text) {
    PrinterCall call;
    call.kind = kind;
    call.value = value;
    call.text = text;
    call.sheet = sheet_;
    log_.calls.append(call);
}

void RecordingPrinter::startOver() {
    sheet_ = 1;
    delivered_ = 0;
    x_ = 0;
    y_ = 0;
}

void RecordingPrinter::SetOrientation(Orientation orientation) {
    record(PrinterCall::Kind::Orientation, static_cast<int>(orientation));
}

void RecordingPrinter::SetFontName(const QString &face) {
    face_ = face;
    record(PrinterCall::Kind::FontName, 0, face);
}

void RecordingPrinter::SetFontSize(double points) {
    size_ = points;
    record(PrinterCall::Kind::FontSize, points);
}

void RecordingPrinter::SetFontBold(bool bold) {
    bold_ = bold;
    record(PrinterCall::Kind::FontBold, bold ? 1 : 0);
}

void RecordingPrinter::SetClipRight(double twips) {
    clipRight_ = twips;
    record(PrinterCall::Kind::ClipRight, twips);
}

QFont RecordingPrinter::font() const {
    QFont font(face_);
    font.setPointSizeF(size_);
    font.setBold(bold_);
    return font;
}

double RecordingPrinter::TextWidth(const QString &text) const {
    if (charWidth > 0) {
        return charWidth * static_cast<double>(text.size());
    }
    return QFontMetricsF(font(), &TwipsSurface()).horizontalAdvance(text);
}

double RecordingPrinter::LineHeight() const {
    if (lineHeight > 0) {
        return lineHeight;
    }
    return QFontMetricsF(font(), &TwipsSurface()).lineSpacing();
}

bool RecordingPrinter::failsNow() {
    ++outputCalls_;
    if (failAtCall > 0 && outputCalls_ >= failAtCall && outputCalls_ < failAtCall + failTimes) {
        error_ = failText;
        return true;
    }
    return false;
}

bool RecordingPrinter::Print(const QString &text, bool endLine) {
    if (failsNow()) {
        return false;
    }
    PrinterCall call;
    call.kind = PrinterCall::Kind::Text;
    call.text = text;
    call.x = x_;
    call.y = y_;
    call.endLine = endLine;
    call.face = face_;
    call.size = size_;
    call.bold = bold_;
    call.clipRight = clipRight_;
    call.sheet = sheet_;
    log_.calls.append(call);
    if (endLine) {
        x_ = 0;
        y_ += LineHeight();
    } else {
        x_ += TextWidth(text);
    }
    return true;
}

void RecordingPrinter::deliverUpTo(int last) {
    while (delivered_ < last) {
        ++delivered_;
        log_.delivered.append(delivered_);
    }
}

bool RecordingPrinter::NewPage() {
    if (failsNow()) {
        if (deliversEachSheet && failedCallDelivers) {
            deliverUpTo(sheet_);
        }
        return false;
    }
    if (deliversEachSheet) {
        deliverUpTo(sheet_);
    }
    record(PrinterCall::Kind::NewPage);
    ++sheet_;
    x_ = 0;
    y_ = 0;
    return true;
}

bool RecordingPrinter::EndDoc() {
    if (failsNow()) {
        if (failedCallDelivers) {
            deliverUpTo(sheet_);
        }
        return false;
    }
    const int first = delivered_;
    for (int sheet = first + 1; sheet <= sheet_; ++sheet) {
        deliverUpTo(sheet);
        log_.sendProgress.append({sheet - first, sheet_ - first});
        if (sendProgress_) {
            sendProgress_(sheet - first, sheet_ - first);
        }
    }
    record(PrinterCall::Kind::EndDoc);
    startOver();
    return true;
}

void RecordingPrinter::Abort() {
    record(PrinterCall::Kind::Abort);
    startOver();
}

bool RecordingPrinter::DrawLine(double x1, double y1, double x2, double y2, Pen pen) {
    PrinterCall call;
    call.kind = PrinterCall::Kind::Line;
    call.x = x1;
    call.y = y1;
    call.x2 = x2;
    call.y2 = y2;
    call.faint = pen == Pen::Faint;
    call.sheet = sheet_;
    log_.calls.append(call);
    return true;
}
