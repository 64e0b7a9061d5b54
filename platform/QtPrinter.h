#pragma once

#include "platform/Printer.h"

#include <QByteArray>
#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QPrinter;
class QWidget;

// The real printer: a QPrinter drawn on with a QPainter. Positions are twips from the top left of the
// printable area whatever resolution the device has; font sizes are points at the device's resolution.
//
// The job is kept as compact records until EndDoc draws it onto the device, so that Abort can
// abandon it whole: Qt's PDF and CUPS engines cannot abort a job once painting has begun. A PDF
// file is written to a temporary file beside it and renamed over it at the end, so the file is
// either the whole job or left as it was; a new file is readable by its owner alone.
class QtPrinter final : public Printer {
public:
    // Takes over a printer chosen in a dialog or set up for a file; it prints one copy.
    explicit QtPrinter(std::unique_ptr<QPrinter> printer);
    // An unfinished job is abandoned.
    ~QtPrinter() override;

    void SetOrientation(Orientation orientation) override;
    void SetFontName(const QString &face) override;
    void SetFontSize(double points) override;
    void SetFontBold(bool bold) override;

    double CurrentX() const override { return x_; }
    double CurrentY() const override { return y_; }
    void SetCurrentX(double twips) override { x_ = twips; }
    void SetCurrentY(double twips) override { y_ = twips; }
    double TextWidth(const QString &text) const override;
    double LineHeight() const override;
    void SetClipRight(double twips) override { clipRight_ = twips; }

    bool Print(const QString &text, bool endLine) override;
    bool NewPage() override;
    bool EndDoc() override;
    void Abort() override;
    QString ErrorText() const override { return error_; }
    int SheetsDelivered() const override { return delivered_; }
    void SetSendProgress(SendProgress progress) override { sendProgress_ = std::move(progress); }
    QString PrinterName() const override;
    bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) override;

    // The device, for its page layout and settings.
    QPrinter &device() { return *printer_; }

private:
    // One text on a sheet, in device units: left end of its baseline and the clip (<= 0: none);
    // its font is fonts_[font], its characters text_[offset, offset + length) in UTF-8. Single
    // precision places a text within a thousandth of a point on any sheet; a long run keeps
    // millions of these.
    struct Item {
        float x = 0;
        float y = 0;
        float clipRight = 0;
        qint32 font = 0;
        qsizetype offset = 0;
        qsizetype length = 0;
        // A line instead of a text: from (x, y) to (x2, y2), in the pen it names.
        enum class Kind : quint8 { Text, SolidLine, FaintLine } kind = Kind::Text;
        float x2 = 0;
        float y2 = 0;
    };

    const QFontMetricsF &metrics() const;
    void fontChanged();
    void startJob();
    void clearJob();
    qint32 fontIndex();
    // Draws the sheets not yet delivered onto `device`; false with error_ set when it fails.
    bool draw(QPrinter &device, int &drawn);
    bool sendToFile(const QString &file);
    bool sendToPrinter();
    static void drawLine(QPainter &painter, const Item &item, double dpiX);

    std::unique_ptr<QPrinter> printer_;
    QFont font_;
    mutable std::optional<QFontMetricsF> metrics_;
    qint32 currentFont_ = -1;
    double dpiX_ = 1440;
    double dpiY_ = 1440;
    double x_ = 0;
    double y_ = 0;
    double clipRight_ = 0;
    bool jobOpen_ = false;
    QList<QFont> fonts_;
    QList<Item> items_;
    QByteArray text_;
    QList<qsizetype> sheetStarts_; // index in items_ of each sheet's first text
    int delivered_ = 0;
    SendProgress sendProgress_;
    QString error_;
};

// A printer that writes its job to a PDF file on US Letter sheets.
std::unique_ptr<Printer> MakePdfPrinter(const QString &path);

// The system's printer dialog (QPrintDialog). The dialog offers printing to a PDF file; the copies
// count is fixed at one. Needs a QApplication.
class QtPrinterDialog final : public PrinterDialog {
public:
    explicit QtPrinterDialog(QWidget *parent = nullptr) : parent_(parent) {}
    std::unique_ptr<Printer> ShowPrinter(const QString &preselect = QString()) override;

private:
    QWidget *parent_;
};
