#include "platform/PrinterName.h"

#include "platform/QtPrinter.h"

#include <QPrinter>

QString PrinterName(Printer &printer) {
    auto *real = dynamic_cast<QtPrinter *>(&printer);
    if (real == nullptr) {
        return QString();
    }
    if (real->device().outputFormat() == QPrinter::PdfFormat) {
        return QStringLiteral("PDF");
    }
    return real->device().printerName();
}

std::unique_ptr<Printer> NamingPrinterDialog::ShowPrinter(const QString &preselect) {
    std::unique_ptr<Printer> printer = inner_.ShowPrinter(preselect);
    name = printer ? PrinterName(*printer) : QString();
    return printer;
}
