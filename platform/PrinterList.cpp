#include "platform/PrinterList.h"

#include <QPrinterInfo>

QStringList QtPrinterList::PrinterNames() const {
    return QPrinterInfo::availablePrinterNames();
}

QString QtPrinterList::DefaultPrinterName() const {
    return QPrinterInfo::defaultPrinterName();
}
