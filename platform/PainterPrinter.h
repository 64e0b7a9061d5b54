#pragma once

#include "platform/Printer.h"

#include <QFont>
#include <QPointF>
#include <QString>

class QPainter;

// A printer that draws straight onto a painter (a widget, an image) at a scale: texts are measured
// as on a 1440-dot printer, so lines break as on paper, and drawn scaled. Sheets are not kept apart:
// NewPage and EndDoc only go back to the top left.
class PainterPrinter final : public Printer {
public:
    // One twip is `scale` units of the painter; twip (0, 0) lies at `origin`.
    PainterPrinter(QPainter &painter, double scale, QPointF origin = {});

    void SetOrientation(Orientation) override {}
    void SetFontName(const QString &face) override { font_.setFamily(face); }
    void SetFontSize(double points) override { font_.setPointSizeF(points); }
    void SetFontBold(bool bold) override { font_.setBold(bold); }

    double CurrentX() const override { return x_; }
    double CurrentY() const override { return y_; }
    void SetCurrentX(double twips) override { x_ = twips; }
    void SetCurrentY(double twips) override { y_ = twips; }
    double TextWidth(const QString &text) const override;
    double LineHeight() const override;
    void SetClipRight(double twips) override { clipRight_ = twips; }
    // The drawing is of the paper itself.
    QPointF PaperCorner() const override { return {}; }

    bool Print(const QString &text, bool endLine) override;
    bool NewPage() override;
    bool EndDoc() override;
    void Abort() override;
    QString ErrorText() const override { return {}; }
    QString PrinterName() const override { return printerName; }
    // A drawing on screen sends nothing.
    int SheetsDelivered() const override { return 0; }
    void SetSendProgress(SendProgress) override {}
    bool DrawLine(double x1, double y1, double x2, double y2, Pen pen) override;

    // The name PrinterName reports.
    QString printerName;

private:
    QPainter &painter_;
    double scale_;
    QPointF origin_;
    QFont font_;
    double x_ = 0;
    double y_ = 0;
    double clipRight_ = 0;
};
