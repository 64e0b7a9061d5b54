#include "print/MoneyPrint.h"

#include "platform/Units.h"

std::unique_ptr<Printer> ChoosePrinter(PrinterDialog &dialog) {
    return dialog.ShowPrinter();
}

void SetupPrinter(Printer &printer, const QString &orientation) {
    printer.SetOrientation(orientation == QLatin1String("Portrait") ? Printer::Orientation::Portrait
                                                                    : Printer::Orientation::Landscape);
    // The face name the forms were laid out with; the font substitutions map it to an Arial-like face.
    printer.SetFontName(QStringLiteral("Ariel"));
    printer.SetFontBold(false);
    printer.SetFontSize(10);
}

void MoveToInches(Printer &printer, float x, float y) {
    if (x > 0) {
        printer.SetCurrentX(x * float(kTwipsPerInch));
    }
    if (y > 0) {
        printer.SetCurrentY(y * float(kTwipsPerInch));
    }
}
