#include "print/PreviewRun.h"

#include "platform/ForwardingPrinter.h"
#include "platform/Units.h"
#include "print/FormOutline.h"

#include <QStringList>

#include <cmath>

namespace {

// Stands for the chosen printer inside the preview: draws on the preview's printer, reports the
// chosen printer's name, and adds the forms' outlines to every sheet before it ends.
class OutlinedSheets final : public ForwardingPrinter {
public:
    OutlinedSheets(Printer &device, QString printerName, std::optional<CheckForm> form)
        : ForwardingPrinter(device), name_(std::move(printerName)), form_(std::move(form)) {}

    bool NewPage() override { return outline() && target().NewPage(); }
    bool EndDoc() override { return outline() && target().EndDoc(); }
    QString PrinterName() const override { return name_.isEmpty() ? target().PrinterName() : name_; }

private:
    // The outline lies on the paper, from its corner; it keeps the current position, which the run
    // may go on from. A style that names no form has none (and the run prints nothing).
    bool outline() {
        if (!form_) {
            return true;
        }
        const double x = target().CurrentX();
        const double y = target().CurrentY();
        const bool drawn = DrawFormOutline(target(), *form_, Pen::Faint, target().PaperCorner());
        target().SetCurrentX(x);
        target().SetCurrentY(y);
        return drawn;
    }

    QString name_;
    std::optional<CheckForm> form_;
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

QString PrinterAdjustmentText(const QString &printerName, const PrintAdjustment &adjustment) {
    const auto inches = [](double twips, const char *positive, const char *negative) {
        return QStringLiteral("%1 in %2")
            .arg(std::abs(twips) / kTwipsPerInch, 0, 'f', 2)
            .arg(QLatin1String(twips > 0 ? positive : negative));
    };
    QStringList moves;
    if (adjustment.OffsetX != 0) {
        moves << inches(adjustment.OffsetX, "to the right", "to the left");
    }
    if (adjustment.OffsetY != 0) {
        moves << inches(adjustment.OffsetY, "down", "up");
    }
    const QString name = printerName.isEmpty() ? QStringLiteral("the system's default printer") : printerName;
    const QString offsets =
        moves.isEmpty() ? QStringLiteral("no offsets") : QStringLiteral("moved ") + moves.join(QStringLiteral(" and "));
    return QStringLiteral("Printer: %1 (%2, check protection %3). Offsets are set in Printer Alignment.")
        .arg(name, offsets, adjustment.CheckProtection ? QStringLiteral("on") : QStringLiteral("off"));
}

std::unique_ptr<Printer> PreviewPendingChecks(Platform &platform, const PrintRequest &request,
                                              const QString &printerName) {
    PrintPreview::Job job;
    job.describe = [&request](const QString &name) {
        return PrinterAdjustmentText(name, request.Adjustment ? request.Adjustment(name, request.CheckStyle)
                                                              : PrintAdjustment{});
    };
    job.draw = [&](Printer &device, const QString &name) {
        QuietAnswers quiet;
        Platform run = platform.With(quiet);
        PrintPendingChecks(run, request,
                           std::make_unique<OutlinedSheets>(device, name, FindRequestedForm(request, nullptr)));
    };
    return platform.preview.ShowPreview(QStringLiteral("Print Preview"), printerName, platform.printerDialog, job);
}
