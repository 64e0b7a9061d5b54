#pragma once

#include "platform/Platform.h"
#include "print/PrintRun.h"

#include <QString>

#include <memory>

// Shows the pending checks as the print run would print them on the named printer (empty: the
// system's default), its offsets included and named, each sheet with the check forms' outlines drawn
// faintly; the person may choose another printer in the preview. Prints nothing and changes nothing:
// the preview's drawing runs the print run on the preview's own printer, answering its questions
// quietly. Returns the printer shown when the person asked to print from the preview (the run is to
// print on it, with its offsets), nullptr when the preview was closed.
std::unique_ptr<Printer> PreviewPendingChecks(Platform &platform, const PrintRequest &request,
                                              const QString &printerName);

// The preview's line for a printer: its name, where its offsets move the checks, and whether check
// protection is on.
QString PrinterAdjustmentText(const QString &printerName, const PrintAdjustment &adjustment);
