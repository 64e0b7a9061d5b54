#include "print/PrintRun.h"

#include "platform/Clock.h"
#include "print/CheckLayout.h"
#include "print/MoneyPrint.h"
#include "register/Register.h"
#include "words/Currency.h"

#include <QDir>
#include <QList>

namespace {

constexpr int kSlotsOnSheet = 3;

const QString kDamagedTitle = QStringLiteral("Checks Not Printed");
const QString kNothingPrinted = QStringLiteral("No check was printed; the pending checks are kept.");

// The register read whole and checked, so that a run never stops half-way over a bad record.
// Shows the message for a damaged register; false then.
bool readPrintableRecords(Platform &platform, QList<RegisterRecord> &records, PrintResult &result) {
    FileResult read = ReadAllRecords(platform.files, records);
    if (read) {
        for (qsizetype i = 0; i < records.size(); ++i) {
            const QString &amount = records.at(i).Amount;
            if (!Currency::fromText(amount)) {
                read =
                    FileResult::Fail(QStringLiteral("The register %1 is damaged: check number %2 (to \"%3\") has the "
                                                    "amount \"%4\", which is not a number.")
                                         .arg(QDir::toNativeSeparators(platform.files.FullPath(kRegisterFile)))
                                         .arg(i + 1)
                                         .arg(records.at(i).PayTo.trimmed(), amount.trimmed()));
                break;
            }
        }
    }
    if (read) {
        return true;
    }
    result = {PrintOutcome::Damaged, 0, read.error};
    platform.messages.MsgBox(read.error + QStringLiteral("\r\n") + kNothingPrinted, MsgButtons::OK, kDamagedTitle);
    return false;
}

// The error questions: Yes sends what was drawn so far, No abandons the job.
PrintResult failed(Platform &platform, Printer &printer, int printed) {
    const QString reason = printer.ErrorText();
    platform.messages.MsgBox(QStringLiteral("An Error has occurred while Printing"), MsgButtons::OK,
                             QStringLiteral("Print Error"));
    const MsgResult eject = platform.messages.MsgBox(QStringLiteral("Does a Form need to be Ejected From The Printer?"),
                                                     MsgButtons::YesNo, QStringLiteral("Form in Printer"));
    if (eject == MsgResult::Yes && printer.EndDoc()) {
        return {PrintOutcome::Failed, printed, reason};
    }
    printer.Abort();
    return {PrintOutcome::Failed, 0, reason};
}

} // namespace

PrintResult PrintPendingChecks(Platform &platform, const PrintRequest &request) {
    PrintResult result;
    QList<RegisterRecord> records;
    if (!readPrintableRecords(platform, records, result)) {
        return result;
    }
    if (records.isEmpty()) {
        return {PrintOutcome::NothingToPrint, 0, {}};
    }

    std::unique_ptr<Printer> printer = ChoosePrinter(platform.printerDialog);
    if (!printer) {
        return {PrintOutcome::Cancelled, 0, {}};
    }
    SetupPrinter(*printer, QStringLiteral("Portrait"));
    // Every item moves by the chosen printer's offsets before anything is drawn.
    const PrintAdjustment adjustment =
        request.Adjustment ? request.Adjustment(printer->PrinterName(), request.CheckStyle) : PrintAdjustment{};
    printer = AdjustedPrinter(std::move(printer), adjustment);

    const QLocale locale = ProgramLocale();
    const CheckSettings settings{request.CheckStyle, request.AcctNo, ShortDateText(platform.clock.Today(), locale),
                                 locale, adjustment.CheckProtection};
    int slotOnSheet = 1;
    // The first sheet may have used checks at the bottom; it is filled from the top slot down.
    int checksOnSheet = qBound(1, request.ChecksOnFirstSheet, kSlotsOnSheet);
    int printed = 0;
    for (const RegisterRecord &record : std::as_const(records)) {
        if (!PrintOneCheck(*printer, settings, record.PayTo, record.Amount, record.Memo, slotOnSheet)) {
            return failed(platform, *printer, printed);
        }
        ++printed;
        ++slotOnSheet;
        if (printed == records.size()) {
            break;
        }
        if (slotOnSheet > checksOnSheet) {
            if (!printer->NewPage()) {
                return failed(platform, *printer, printed);
            }
            slotOnSheet = 1;
            checksOnSheet = kSlotsOnSheet;
        }
    }
    if (!printer->EndDoc()) {
        return failed(platform, *printer, printed);
    }
    return {PrintOutcome::Printed, printed, {}};
}
