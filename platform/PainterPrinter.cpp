#include "platform/PainterPrinter.h"

#include "platform/Fonts.h"
#include "platform/Units.h"

#include <QFontMetricsF>
#include <QPainter>

namespace {

constexpr double kFarAway = 1e7;

} // namespace

PainterPrinter::PainterPrinter(QPainter &painter, double scale, QPointF origin)
    : painter_(painter), scale_(scale), origin_(origin), font_(ArialCompatibleFace()) {
    InstallFontSubstitutions();
    font_.setPointSizeF(10);
}

double PainterPrinter::TextWidth(const QString &text) const {
    return QFontMetricsF(font_, &TwipsSurface()).horizontalAdvance(text);
}

double PainterPrinter::LineHeight() const {
    return QFontMetricsF(font_, &TwipsSurface()).lineSpacing();
}

bool PainterPrinter::Print(const QString &text, bool endLine) {
    if (!text.isEmpty()) {
        painter_.save();
        painter_.translate(origin_);
        painter_.scale(scale_, scale_);
        // Painted in twips: the font's pixel size is its size in twips.
        QFont scaled(font_);
        scaled.setPixelSize(qRound(font_.pointSizeF() * kTwipsPerPoint));
        painter_.setFont(scaled);
        painter_.setPen(Qt::black);
        if (clipRight_ > 0) {
            painter_.setClipRect(QRectF(-kFarAway, -kFarAway, kFarAway + clipRight_, 2 * kFarAway), Qt::IntersectClip);
        }
        painter_.drawText(QPointF(x_, y_ + QFontMetricsF(font_, &TwipsSurface()).ascent()), text);
        painter_.restore();
    }
    if (endLine) {
        x_ = 0;
        y_ += LineHeight();
    } else {
        x_ += TextWidth(text);
    }
    return true;
}

bool PainterPrinter::NewPage() {
    x_ = 0;
    y_ = 0;
    return true;
}

bool PainterPrinter::EndDoc() {
    return NewPage();
}

void PainterPrinter::Abort() {
    NewPage();
}

bool PainterPrinter::DrawLine(double x1, double y1, double x2, double y2, Pen pen) {
    painter_.save();
    QPen line(pen == Pen::Faint ? QColor(185, 185, 185) : QColor(Qt::black));
    line.setCosmetic(true);
    line.setWidth(1);
    painter_.setPen(line);
    painter_.drawLine(origin_ + QPointF(x1, y1) * scale_, origin_ + QPointF(x2, y2) * scale_);
    painter_.restore();
    return true;
}
