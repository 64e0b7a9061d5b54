#pragma once

#include <QString>
#include <QStringList>

// The printers the system offers.
class PrinterList {
public:
    virtual ~PrinterList() = default;
    // The names of the installed printers, in the system's order.
    virtual QStringList PrinterNames() const = 0;
    // The system's default printer; empty when there is none.
    virtual QString DefaultPrinterName() const = 0;
};

// The printers known to the system's print service (QPrinterInfo).
class QtPrinterList final : public PrinterList {
public:
    QStringList PrinterNames() const override;
    QString DefaultPrinterName() const override;
};

// The printers a person chooses among: the installed ones in the system's order, then a PDF file,
// each name once (a printer queue named "PDF" shares its name, and its offsets, with the PDF file).
QStringList PrinterChoices(const PrinterList &printers);
