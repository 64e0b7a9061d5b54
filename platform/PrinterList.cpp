#include "platform/PrinterList.h"

#include "platform/Printer.h"

#include <QPrinterInfo>

QStringList QtPrinterList::PrinterNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterList::DefaultPrinterName() const {
    return QPrinterInfo::defaultPrinterName();
}

QStringList PrinterChoices(const PrinterList &printers) {
    QStringList names = printers.PrinterNames();
    names.append(kPdfPrinterName);
    names.removeDuplicates();
    return names;
}
