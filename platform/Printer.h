#pragma once

#include <QString>

#include <functional>
#include <memory>

// A printer with a drawing surface in twips (1440 to the inch), origin at the top left of the
// printable area, and a current position where the next text goes.
class Printer {
public:
    enum class Orientation { Portrait = 1, Landscape = 2 };

    virtual ~Printer() = default;

    virtual void SetOrientation(Orientation orientation) = 0;
    virtual void SetFontName(const QString &face) = 0;
    virtual void SetFontSize(double points) = 0;
    virtual void SetFontBold(bool bold) = 0;

    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;
    virtual void SetCurrentX(double twips) = 0;
    virtual void SetCurrentY(double twips) = 0;
    // Width of a text in the current font, in twips.
    virtual double TextWidth(const QString &text) const = 0;
    // Height of one printed line in the current font, in twips.
    virtual double LineHeight() const = 0;
    // Text drawn after this is cut at this x (twips); 0 or less draws to the page edge.
    virtual void SetClipRight(double twips) = 0;

    // Prints text with its top left at the current position. endLine: the position moves to the
    // start of the next line (x 0, y one line lower); otherwise x moves past the text.
    virtual bool Print(const QString &text, bool endLine) = 0;
    // Ends the sheet; the next text goes on a new one.
    virtual bool NewPage() = 0;
    // Ends the job and sends it. After a failure the job stays open: a second EndDoc sends only
    // the sheets that have not reached the printer yet, never one twice.
    virtual bool EndDoc() = 0;
    // Abandons the job: nothing more of it reaches the printer.
    virtual void Abort() = 0;
    // Why the last operation failed.
    virtual QString ErrorText() const = 0;
    // Sheets of the open job that have reached the printer (in order from the first), also when
    // the call that sent them failed; 0 for a printer that sends a job only whole at EndDoc.
    virtual int SheetsDelivered() const = 0;

    // Told while EndDoc sends the job: sheets sent so far and sheets in the job.
    using SendProgress = std::function<void(int sent, int sheets)>;
    virtual void SetSendProgress(SendProgress progress) = 0;

    // The name of the printer the job goes to; kPdfPrinterName when it goes to a PDF file.
    virtual QString PrinterName() const = 0;
    // How a line is drawn: solid black, or a faint grey that only a preview uses.
    enum class Pen { Solid, Faint };
    // Draws a thin straight line between two points given in twips; the current position stays.
    virtual bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) = 0;
};

// The printer name a job printed to a PDF file goes by.
inline const QString kPdfPrinterName = QStringLiteral("PDF");

// The printer-choice dialog.
class PrinterDialog {
public:
    virtual ~PrinterDialog() = default;
    // Lets the person pick a printer; nullptr when the dialog was cancelled. The printer prints
    // one copy whatever the dialog offered. preselect: the printer the dialog opens on (a system
    // printer's name or kPdfPrinterName); empty for the system's default.
    virtual std::unique_ptr<Printer> ShowPrinter(const QString &preselect = QString()) = 0;
};
