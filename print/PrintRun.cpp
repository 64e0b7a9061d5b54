#include "print/PrintRun.h"

#include "forms/FormFile.h"
#include "platform/Clock.h"
#include "print/CheckLayout.h"
#include "print/MoneyPrint.h"
#include "register/Amount.h"
#include "register/Register.h"
#include "words/Currency.h"

#include <QDir>
#include <QList>

#include <numeric>

namespace {

const QString kDamagedTitle = QStringLiteral("Checks Not Printed");
const QString kNothingPrinted = QStringLiteral("No check was printed; the pending checks are kept.");

// The amount of a record without the blanks that pad its field.
QString amountText(const RegisterRecord &record) {
    qsizetype end = record.Amount.size();
    while (end > 0 && record.Amount.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    return record.Amount.left(end);
}

// The register read whole and checked, so that a run never stops half-way over a bad record: every
// amount must be one the entry window takes. Shows the message for a damaged register; false then.
bool readPrintableRecords(Platform &platform, QList<RegisterRecord> &records, PrintResult &result) {
    FileResult read = ReadAllRecords(platform.files, records);
    for (qsizetype i = 0; read && i < records.size(); ++i) {
        const QString amount = amountText(records.at(i));
        const AmountCheck check = CheckAmountText(amount);
        if (!check) {
            read = FileResult::Fail(QStringLiteral("The register %1 cannot be printed: check number %2 (to \"%3\") "
                                                   "has the amount \"%4\", which %5.")
                                        .arg(QDir::toNativeSeparators(platform.files.FullPath(kRegisterFile)))
                                        .arg(i + 1)
                                        .arg(records.at(i).PayTo.trimmed(), amount, AmountProblemText(check.problem)));
        }
    }
    if (read) {
        return true;
    }
    result = {PrintOutcome::Damaged, 0, read.error, {}};
    platform.messages.MsgBox(read.error + QStringLiteral("\r\n") + kNothingPrinted, MsgButtons::OK, kDamagedTitle);
    return false;
}

// The progress window of one run, taken away however the run ends.
class RunProgress {
public:
    RunProgress(Progress &progress, int checks) : progress_(progress) {
        progress_.Open(kProgressTitle, QStringLiteral("Drawing the checks for the printer."), checks, true);
    }
    ~RunProgress() { Close(); }
    RunProgress(const RunProgress &) = delete;
    RunProgress &operator=(const RunProgress &) = delete;

    // False once the person has cancelled.
    bool Drawn(int checks) { return progress_.Advance(checks); }
    // The job goes to the printer: from here on it cannot be called back.
    void Sending(Printer &printer, int sheets) {
        progress_.Open(kProgressTitle, QStringLiteral("Sending the checks to the printer."), sheets, false);
        printer.SetSendProgress([this](int sent, int) { progress_.Advance(sent); });
    }
    void Close() {
        if (open_) {
            open_ = false;
            progress_.Close();
        }
    }

private:
    static inline const QString kProgressTitle = QStringLiteral("Printing Checks");
    Progress &progress_;
    bool open_ = true;
};

// The checks drawn on each sheet of the job so far, to count what reached the printer.
class SheetCounts {
public:
    void Drawn() { ++counts_.last(); }
    void NewSheet() { counts_.append(0); }
    int Sheets() const { return static_cast<int>(counts_.size()); }
    // Checks on the first `sheets` sheets.
    int ChecksOn(int sheets) const {
        return std::accumulate(counts_.cbegin(), counts_.cbegin() + qBound(0, sheets, Sheets()), 0);
    }

private:
    QList<int> counts_{0};
};

// The error questions: Yes sends what was drawn so far, No abandons the rest of the job. Either
// way the checks on sheets that already reached the printer count as printed, and no sheet is
// sent twice (the printer keeps track of what went out).
PrintResult failed(Platform &platform, Printer &printer, RunProgress &progress, int drawn, const SheetCounts &sheets) {
    progress.Close();
    const QString reason = printer.ErrorText();
    platform.messages.MsgBox(QStringLiteral("An Error has occurred while Printing"), MsgButtons::OK,
                             QStringLiteral("Print Error"));
    const MsgResult eject = platform.messages.MsgBox(QStringLiteral("Does a Form need to be Ejected From The Printer?"),
                                                     MsgButtons::YesNo, QStringLiteral("Form in Printer"));
    printer.SetSendProgress({});
    if (eject == MsgResult::Yes && printer.EndDoc()) {
        return {PrintOutcome::Failed, drawn, reason, printer.PrinterName()};
    }
    const int delivered = printer.SheetsDelivered();
    printer.Abort();
    return {PrintOutcome::Failed, qMin(drawn, sheets.ChecksOn(delivered)), reason, printer.PrinterName()};
}

} // namespace

std::optional<CheckForm> FindRequestedForm(const PrintRequest &request, QString *message) {
    std::optional<CheckForm> form;
    if (request.FormsFolder.isEmpty()) {
        form = BuiltInForm(request.CheckStyle);
    } else {
        form = FormCatalog(request.FormsFolder).Find(request.CheckStyle);
    }
    if (!form && message) {
        *message = QStringLiteral("The check style \"%1\" names no check form that Quillane has, so the checks would "
                                  "be printed on the wrong places of the form.\r\nPick the form of your checks in the "
                                  "checkbook setup, then print again.\r\n")
                       .arg(request.CheckStyle) +
                   kNothingPrinted;
    }
    return form;
}

PrintResult PrintPendingChecks(Platform &platform, const PrintRequest &request, std::unique_ptr<Printer> chosen,
                               const std::function<bool(const QString &printerName)> &beforePrinting) {
    PrintResult result;
    QList<RegisterRecord> records;
    if (!readPrintableRecords(platform, records, result)) {
        return result;
    }
    if (request.MostChecks >= 0 && records.size() > request.MostChecks) {
        records.resize(request.MostChecks);
    }
    if (records.isEmpty()) {
        return {PrintOutcome::NothingToPrint, 0, {}, {}};
    }
    // Checks printed on the wrong layout are spoiled forms: a style without its form prints nothing.
    QString noForm;
    const std::optional<CheckForm> form = FindRequestedForm(request, &noForm);
    if (!form) {
        platform.messages.MsgBox(noForm, MsgButtons::OK, kDamagedTitle);
        return {PrintOutcome::UnknownForm, 0, noForm, {}};
    }
    const int perSheet = form->ChecksPerSheet();

    std::unique_ptr<Printer> printer = chosen ? std::move(chosen) : ChoosePrinter(platform.printerDialog);
    if (!printer) {
        return {PrintOutcome::Cancelled, 0, {}, {}};
    }
    if (beforePrinting && !beforePrinting(printer->PrinterName())) {
        printer->Abort();
        return {PrintOutcome::Cancelled, 0, {}, {}};
    }
    SetupPrinter(*printer, QStringLiteral("Portrait"));
    // Every item moves by the chosen printer's offsets before anything is drawn.
    const PrintAdjustment adjustment =
        request.Adjustment ? request.Adjustment(printer->PrinterName(), request.CheckStyle) : PrintAdjustment{};
    printer = AdjustedPrinter(std::move(printer), adjustment);

    const QLocale locale = ProgramLocale();
    const CheckSettings settings{
        request.CheckStyle,         request.AcctNo, ShortDateText(platform.clock.Today(), locale), locale,
        adjustment.CheckProtection, &*form};
    RunProgress progress(platform.progress, static_cast<int>(records.size()));
    SheetCounts sheets;
    int slotOnSheet = 1;
    // The first sheet may have used checks at the bottom; it is filled from the top slot down.
    int checksOnSheet = qBound(1, request.ChecksOnFirstSheet, perSheet);
    int printed = 0;
    for (const RegisterRecord &record : std::as_const(records)) {
        const QString checkNo = request.FirstCheckNo > 0 ? QString::number(request.FirstCheckNo + printed) : QString();
        const QStringList address = request.AddressOf ? request.AddressOf(record.PayTo) : QStringList();
        if (!PrintOneCheck(*printer, settings, record.PayTo, record.Amount, record.Memo, slotOnSheet, checkNo,
                           address)) {
            return failed(platform, *printer, progress, printed, sheets);
        }
        ++printed;
        sheets.Drawn();
        ++slotOnSheet;
        if (!progress.Drawn(printed)) {
            // Cancel: as if the printer dialog had been cancelled; nothing reaches the printer.
            printer->Abort();
            return {PrintOutcome::Cancelled, 0, {}, printer->PrinterName()};
        }
        if (printed == records.size()) {
            break;
        }
        if (slotOnSheet > checksOnSheet) {
            if (!printer->NewPage()) {
                return failed(platform, *printer, progress, printed, sheets);
            }
            sheets.NewSheet();
            slotOnSheet = 1;
            checksOnSheet = perSheet;
        }
    }
    progress.Sending(*printer, sheets.Sheets());
    if (!printer->EndDoc()) {
        return failed(platform, *printer, progress, printed, sheets);
    }
    return {PrintOutcome::Printed, printed, {}, printer->PrinterName()};
}
