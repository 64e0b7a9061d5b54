#pragma once

#include "platform/Printer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QList>
#include <QPointF>
#include <QString>

#include <memory>
#include <optional>

class QPainter;
class QPrinter;
class QWidget;

// The real printer: a QPrinter drawn on with a QPainter. Positions are twips from the top left of the
// printable area whatever resolution the device has; font sizes are points at the device's resolution.
//
// The job is kept as a list of sheets until EndDoc replays it onto the device, so that Abort can
// abandon it whole: Qt's PDF and CUPS engines cannot abort a job once painting has begun.
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
    QString PrinterName() const override;
    bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) override;

    // The device, for its page layout and settings.
    QPrinter &device() { return *printer_; }

private:
    // One text on a sheet, in device units: left end of its baseline, and the clip (<= 0: none).
    struct Item {
        QPointF baseline;
        QString text;
        QFont font;
        double clipRight = 0;
        // A line instead of a text: from the baseline point to lineEnd.
        bool isLine = false;
        QPointF lineEnd;
        Pen pen = Pen::Solid;
    };

    const QFontMetricsF &metrics() const;
    void fontChanged();
    void startJob();
    void drawLine(QPainter &painter, const Item &item) const;
    bool replay();

    std::unique_ptr<QPrinter> printer_;
    QFont font_;
    mutable std::optional<QFontMetricsF> metrics_;
    double dpiX_ = 1440;
    double dpiY_ = 1440;
    double x_ = 0;
    double y_ = 0;
    double clipRight_ = 0;
    bool jobOpen_ = false;
    QList<QList<Item>> sheets_;
    QString error_;
};

// A printer that writes its job to a PDF file on US Letter sheets.
std::unique_ptr<Printer> MakePdfPrinter(const QString &path);

// The system's printer dialog (QPrintDialog). The dialog offers printing to a PDF file; the copies
// count is fixed at one. Needs a QApplication.
class QtPrinterDialog final : public PrinterDialog {
public:
    explicit QtPrinterDialog(QWidget *parent = nullptr) : parent_(parent) {}
    std::unique_ptr<Printer> ShowPrinter() override;

private:
    QWidget *parent_;
};
