#pragma once

#include "platform/Printer.h"

#include <QString>

// The name of the printer chosen in the dialog: the system's printer name, "PDF" for a PDF file,
// empty for a printer that is not a real one.
QString PrinterName(Printer &printer);

// Passes the printer dialog through and keeps the name of the printer chosen.
class NamingPrinterDialog final : public PrinterDialog {
public:
    explicit NamingPrinterDialog(PrinterDialog &inner) : inner_(inner) {}
    std::unique_ptr<Printer> ShowPrinter(const QString &preselect = QString()) override;
    // The chosen printer's name; empty until one is chosen.
    QString name;

private:
    PrinterDialog &inner_;
};
