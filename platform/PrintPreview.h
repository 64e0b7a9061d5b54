#pragma once

#include "platform/Printer.h"

#include <QString>

#include <functional>
#include <memory>

class QWidget;

// A true-scale view of a print job before it is printed, on a printer the person may change.
class PrintPreview {
public:
    // What the preview shows for a printer (by name): the line that names it and its offsets, and
    // the job's drawing on a printer standing for it (the drawing ends with EndDoc; it may run again
    // whenever the view is redrawn).
    struct Job {
        std::function<QString(const QString &printerName)> describe;
        std::function<void(Printer &, const QString &printerName)> draw;
    };
    virtual ~PrintPreview() = default;
    // Opens on the named printer (empty: the system's default); the person may choose another
    // through `chooser`, and the sheets are drawn again for it. Returns the printer to print on
    // when the person asked to print (the one shown), nullptr when the preview was closed.
    virtual std::unique_ptr<Printer> ShowPreview(const QString &title, const QString &printerName,
                                                 PrinterDialog &chooser, const Job &job) = 0;
};

// A modal dialog with the printer's line above Qt's print preview widget (QPrintPreviewWidget) on
// US Letter sheets, and the buttons "Choose Printer...", zoom, "Print Checks" and "Close". Printing
// a printer nobody chose in the dialog goes to that system printer as it is set up; a PDF file or
// a printer the system does not know is chosen in the dialog first. Needs a QApplication.
class QtPrintPreview final : public PrintPreview {
public:
    explicit QtPrintPreview(QWidget *parent = nullptr) : parent_(parent) {}
    std::unique_ptr<Printer> ShowPreview(const QString &title, const QString &printerName, PrinterDialog &chooser,
                                         const Job &job) override;

private:
    QWidget *parent_;
};
