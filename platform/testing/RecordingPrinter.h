#pragma once

#include "platform/Printer.h"

#include <QFont>
#include <QList>
#include <QPair>
#include <QString>

// One call made to a RecordingPrinter.
struct PrinterCall {
    enum class Kind { Orientation, FontName, FontSize, FontBold, ClipRight, Text, NewPage, EndDoc, Abort, Line };
    Kind kind = Kind::Text;
    // Text: the text printed; FontName: the face.
    QString text;
    // Text: where the text's top left was, in twips. Line: its start; x2, y2 its end.
    double x = 0;
    double y = 0;
    double x2 = 0;
    double y2 = 0;
    bool faint = false;
    bool endLine = false;
    // Orientation (1 or 2), FontSize, FontBold (0 or 1), ClipRight.
    double value = 0;
    // Text: the font and clip in force, and the sheet (1 = first) it went on.
    QString face;
    double size = 0;
    bool bold = false;
    double clipRight = 0;
    int sheet = 1;
};

// Everything a RecordingPrinter was asked to do, kept apart from the printer so that a test can
// read it after the code under test has thrown the printer away.
struct PrinterLog {
    QList<PrinterCall> calls;
    // The printed texts only, in order.
    QList<PrinterCall> Texts() const;
    qsizetype Count(PrinterCall::Kind kind) const;
    // The sheets (1 = first of its job) that reached the device, in the order they went out.
    QList<int> delivered;
    // What EndDoc told the send progress: sheets sent, sheets in the job.
    QList<QPair<int, int>> sendProgress;
};

// A printer that records every call. Text widths and line heights are those of the requested face at
// 1440 dots per inch (Arial-compatible faces through the program's font substitutions), or fixed
// figures when the test sets them. Any Print, NewPage or EndDoc call can be made to fail.
class RecordingPrinter final : public Printer {
public:
    explicit RecordingPrinter(PrinterLog &log);

    // Twips per character for every text; 0 measures with the face.
    double charWidth = 0;
    // Twips per line; 0 takes the face's line spacing.
    double lineHeight = 0;
    // The Nth call of Print, NewPage and EndDoc together (1-based) fails, and so do the calls after
    // it up to failTimes in all; 0: none fails.
    int failAtCall = 0;
    int failTimes = 1;
    QString failText = QStringLiteral("The printer is out of paper.");
    // The device feeds each sheet out as NewPage ends it; otherwise the job goes out whole at EndDoc.
    bool deliversEachSheet = false;
    // A failing NewPage or EndDoc still sends what it was ending (the device took it, then failed).
    bool failedCallDelivers = false;

    void SetOrientation(Orientation orientation) override;
    void SetFontName(const QString &face) override;
    void SetFontSize(double points) override;
    void SetFontBold(bool bold) override;

    double CurrentX() const override { return x_; }
    double CurrentY() const override { return y_; }
    void SetCurrentX(double twips) override { x_ = twips; }
    void SetCurrentY(double twips) override { y_ = twips; }
    double TextWidth(const QString &text) const override;
    double LineHeight() const override;
    void SetClipRight(double twips) override;
    QPointF PaperCorner() const override { return paperCorner; }

    bool Print(const QString &text, bool endLine) override;
    bool NewPage() override;
    bool EndDoc() override;
    void Abort() override;
    QString ErrorText() const override { return error_; }
    int SheetsDelivered() const override { return delivered_; }
    void SetSendProgress(SendProgress progress) override { sendProgress_ = std::move(progress); }
    QString PrinterName() const override { return printerName; }
    bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) override;

    // The name PrinterName reports.
    QString printerName = QStringLiteral("Recording Printer");
    // What PaperCorner reports: by default the printable area is the whole paper.
    QPointF paperCorner;

    // Calls of Print, NewPage and EndDoc so far, failed ones included.
    int OutputCalls() const { return outputCalls_; }

private:
    bool failsNow();
    // Logs one call with the sheet it came on.
    void record(PrinterCall::Kind kind, double value = 0, const QString &text = QString());
    // A new job starts on sheet 1 at the top left.
    void startOver();
    QFont font() const;
    // Sends the sheets of the job up to `last` that have not gone out yet.
    void deliverUpTo(int last);

    PrinterLog &log_;
    QString face_ = QStringLiteral("Arial");
    double size_ = 10;
    bool bold_ = false;
    double x_ = 0;
    double y_ = 0;
    double clipRight_ = 0;
    int sheet_ = 1;
    int outputCalls_ = 0;
    int delivered_ = 0;
    SendProgress sendProgress_;
    QString error_;
};
