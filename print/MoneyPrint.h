#pragma once

#include "platform/Printer.h"

#include <QString>

#include <memory>

// The printer helpers of the print run.

// Shows the printer dialog; nullptr when it was cancelled. The printer prints one copy.
std::unique_ptr<Printer> ChoosePrinter(PrinterDialog &dialog);
// Portrait for "Portrait", else landscape; the check font "Ariel" 10 pt, not bold.
void SetupPrinter(Printer &printer, const QString &orientation);
// Sets the current position from inches; a coordinate of 0 or less is left as it is.
void MoveToInches(Printer &printer, float x, float y);
