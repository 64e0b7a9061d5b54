#pragma once

#include "platform/Printer.h"

#include <QString>

#include <functional>

class QWidget;

// A true-scale view of a print job before it is printed.
class PrintPreview {
public:
    enum class Answer { Close, Print };
    virtual ~PrintPreview() = default;
    // Shows the sheets that `draw` prints (and ends with EndDoc) on a printer standing for the named
    // one (empty: the system's default printer). `draw` may run again whenever the view is redrawn.
    // Print: the person asked to print the job; Close: the preview was closed.
    virtual Answer ShowPreview(const QString &title, const QString &printerName,
                               const std::function<void(Printer &)> &draw) = 0;
};

// A modal dialog with Qt's print preview widget (QPrintPreviewWidget) on US Letter sheets, zoom
// buttons, "Print Checks" and "Close". Needs a QApplication.
class QtPrintPreview final : public PrintPreview {
public:
    explicit QtPrintPreview(QWidget *parent = nullptr) : parent_(parent) {}
    Answer ShowPreview(const QString &title, const QString &printerName,
                       const std::function<void(Printer &)> &draw) override;

private:
    QWidget *parent_;
};
