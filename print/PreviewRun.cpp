#include "print/PreviewRun.h"

#include "platform/ForwardingPrinter.h"
#include "print/FormOutline.h"

namespace {

// Stands for the chosen printer inside the preview: draws on the preview's printer, reports the
// chosen printer's name, and adds the forms' outlines to every sheet before it ends.
class OutlinedSheets final : public ForwardingPrinter {
public:
    OutlinedSheets(Printer &device, QString printerName, QString style)
        : ForwardingPrinter(device), name_(std::move(printerName)), style_(std::move(style)) {}

    bool NewPage() override { return outline() && target().NewPage(); }
    bool EndDoc() override { return outline() && target().EndDoc(); }
    QString PrinterName() const override { return name_.isEmpty() ? target().PrinterName() : name_; }

private:
    // The outline lies on the paper, from its corner; it keeps the current position, which the run
    // may go on from.
    bool outline() {
        const double x = target().CurrentX();
        const double y = target().CurrentY();
        const bool drawn = DrawFormOutline(target(), style_, Pen::Faint, target().PaperCorner());
        target().SetCurrentX(x);
        target().SetCurrentY(y);
        return drawn;
    }

    QString name_;
    QString style_;
};

// The printer dialog of a preview run: chooses the preview's printer without asking.
class PreviewChoice final : public PrinterDialog {
public:
    PreviewChoice(Printer &device, const QString &printerName, const QString &style)
        : device_(device), name_(printerName), style_(style) {}
    std::unique_ptr<Printer> ShowPrinter() override { return std::make_unique<OutlinedSheets>(device_, name_, style_); }

private:
    Printer &device_;
    QString name_;
    QString style_;
};

// The preview asks nothing: after a printer error it shows what was drawn before it.
class QuietAnswers final : public MessageBoxes {
public:
    using MessageBoxes::MsgBox;
    MsgResult MsgBox(const QString &, MsgButtons buttons, const QString &, MsgResult) override {
        return buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK;
    }
};

} // namespace

PrintPreview::Answer PreviewPendingChecks(Platform &platform, const PrintRequest &request, const QString &printerName) {
    return platform.preview.ShowPreview(QStringLiteral("Print Preview"), printerName, [&](Printer &device) {
        PreviewChoice choice(device, printerName, request.CheckStyle);
        QuietAnswers quiet;
        Platform run = platform.With(quiet).With(choice);
        PrintPendingChecks(run, request);
    });
}
