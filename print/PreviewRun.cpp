#include "print/PreviewRun.h"

#include "print/FormOutline.h"

namespace {

// Stands for the chosen printer inside the preview: draws on the preview's printer, reports the
// chosen printer's name, and adds the forms' outlines to every sheet before it ends.
class OutlinedSheets final : public Printer {
public:
    OutlinedSheets(Printer &device, QString printerName, QString style)
        : device_(device), name_(std::move(printerName)), style_(std::move(style)) {}

    void SetOrientation(Orientation orientation) override { device_.SetOrientation(orientation); }
    void SetFontName(const QString &face) override { device_.SetFontName(face); }
    void SetFontSize(double points) override { device_.SetFontSize(points); }
    void SetFontBold(bool bold) override { device_.SetFontBold(bold); }
    double CurrentX() const override { return device_.CurrentX(); }
    double CurrentY() const override { return device_.CurrentY(); }
    void SetCurrentX(double twips) override { device_.SetCurrentX(twips); }
    void SetCurrentY(double twips) override { device_.SetCurrentY(twips); }
    double TextWidth(const QString &text) const override { return device_.TextWidth(text); }
    double LineHeight() const override { return device_.LineHeight(); }
    void SetClipRight(double twips) override { device_.SetClipRight(twips); }
    bool Print(const QString &text, bool endLine) override { return device_.Print(text, endLine); }
    bool NewPage() override { return outline() && device_.NewPage(); }
    bool EndDoc() override { return outline() && device_.EndDoc(); }
    void Abort() override { device_.Abort(); }
    QString ErrorText() const override { return device_.ErrorText(); }
    QString PrinterName() const override { return name_.isEmpty() ? device_.PrinterName() : name_; }
    int SheetsDelivered() const override { return device_.SheetsDelivered(); }
    void SetSendProgress(SendProgress progress) override { device_.SetSendProgress(std::move(progress)); }
    bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) override {
        return device_.DrawLine(x1, y1, x2, y2, pen);
    }

private:
    // The outline keeps the current position: the run may go on from it.
    bool outline() {
        const double x = device_.CurrentX();
        const double y = device_.CurrentY();
        const bool drawn = DrawFormOutline(device_, style_, Pen::Faint);
        device_.SetCurrentX(x);
        device_.SetCurrentY(y);
        return drawn;
    }

    Printer &device_;
    QString name_;
    QString style_;
};

// The printer dialog of a preview run: chooses the preview's printer without asking.
class PreviewChoice final : public PrinterDialog {
public:
    PreviewChoice(Printer &device, const QString &printerName, const QString &style)
        : device_(device), name_(printerName), style_(style) {}
    std::unique_ptr<Printer> ShowPrinter(const QString & = QString()) override {
        return std::make_unique<OutlinedSheets>(device_, name_, style_);
    }

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
        Platform run{platform.App,        platform.files,    quiet,           choice,         platform.urls,
                     platform.help,       platform.clock,    platform.ender,  platform.forms, platform.progress,
                     platform.saveDialog, platform.printers, platform.preview};
        PrintPendingChecks(run, request);
    });
}
