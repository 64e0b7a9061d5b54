#pragma once

#include "platform/Platform.h"
#include "print/PrintAdjustment.h"

#include <QString>

#include <functional>

// What the print run needs from the main menu window, read when the run starts.
struct PrintRequest {
    QString CheckStyle;         // the selected entry of lstCheckStyle
    QString AcctNo;             // txtAcctNo, printed on the wallet-size stub
    int ChecksOnFirstSheet = 3; // the number in cboChecks, 1 to 3
    // The alignment of the printer chosen in the printer dialog, asked once it is chosen; none: as laid out.
    AdjustmentLookup Adjustment;
};

enum class PrintOutcome {
    Printed,        // every pending check was sent to the printer
    Cancelled,      // the printer dialog or the progress window was cancelled; nothing printed, no message
    Failed,         // a printer error; `printed` checks reached the printer (Yes to eject), else 0
    NothingToPrint, // the register is missing or empty; no job was started
    Damaged,        // a record of the register cannot be printed; nothing printed, message shown
};

struct PrintResult {
    PrintOutcome outcome = PrintOutcome::NothingToPrint;
    int printed = 0; // checks that reached the printer, in record order from record 1
    QString error;
};

// Prints every record of the register in record order, three checks to a sheet, the first sheet
// filled from slot 1 to ChecksOnFirstSheet. Shows the printer dialog and the error questions.
// beforePrinting is told the chosen printer's name before the printer gets anything; false stops
// the run as if the printer dialog had been cancelled (it has said why).
PrintResult PrintPendingChecks(Platform &platform, const PrintRequest &request,
                               const std::function<bool(const QString &printerName)> &beforePrinting = {});
