#pragma once

#include "forms/CheckForm.h"
#include "platform/Platform.h"
#include "print/PrintAdjustment.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// What the print run needs from the main menu window, read when the run starts.
struct PrintRequest {
    QString CheckStyle;         // the selected entry of lstCheckStyle: the name of the form printed on
    QString AcctNo;             // txtAcctNo, printed where the form has the account number
    int ChecksOnFirstSheet = 3; // the number in cboChecks, 1 to the form's checks per sheet
    // The alignment of the printer chosen in the printer dialog, asked once it is chosen; none: as laid out.
    AdjustmentLookup Adjustment;
    QString FormsFolder;     // where the person's forms are; empty: the built-in forms alone
    qint64 FirstCheckNo = 0; // the number of the first form used; 0: no check number is printed
    // The address printed for a payee where the form has the address block; none: the block stays empty.
    std::function<QStringList(const QString &payTo)> AddressOf;
    // The most checks printed, from the first pending one; the rest stay pending (checks held back
    // for approval wait at the end of the register). -1: every pending check.
    qint64 MostChecks = -1;
};

enum class PrintOutcome {
    Printed,        // every pending check was sent to the printer
    Cancelled,      // the printer dialog or the progress window was cancelled; nothing printed, no message
    Failed,         // a printer error; `printed` checks reached the printer (Yes to eject), else 0
    NothingToPrint, // the register is missing or empty; no job was started
    Damaged,        // a record of the register cannot be printed; nothing printed, message shown
    UnknownForm,    // the check style names no form there is; nothing printed, message shown
};

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::NothingToPrint;
    int printed = 0; // checks that reached the printer, in record order from record 1
    QString error;
    QString printerName; // the printer chosen; empty when none was
};

// The form the check style names, read from the Forms folder now; none, with the message that says
// so, when there is no such form.
std::optional<CheckForm> FindRequestedForm(const PrintRequest &request, QString *message);

// Prints every record of the register in record order on the form the check style names, as many
// checks to a sheet as the form holds, the first sheet filled from slot 1 to ChecksOnFirstSheet, on `chosen` when a
// printer was chosen beforehand (in the preview), else on the one chosen in the printer dialog. Shows the error
// questions. beforePrinting is told the chosen printer's name before the printer gets anything; false stops the run as
// if the printer dialog had been cancelled (it has said why). A style that names no form is refused, with a message,
// before a printer is asked for.
PrintResult PrintPendingChecks(Platform &platform, const PrintRequest &request,
                               std::unique_ptr<Printer> chosen = nullptr,
                               const std::function<bool(const QString &printerName)> &beforePrinting = {});
