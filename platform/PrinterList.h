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
