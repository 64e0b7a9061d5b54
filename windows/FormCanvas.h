#pragma once

#include "forms/CheckForm.h"

#include <QPointF>
#include <QRectF>
#include <QWidget>

class frmForms;

// The true-scale drawing of a form in the Check Forms window: the sheet, outlines, clear bands and
// the items with sample data. A click selects an item, a drag moves it, the arrow keys nudge it
// (0.01 in, 0.10 in with Shift); every move goes through the window, which may refuse it.
class FormCanvas final : public QWidget {
public:
    explicit FormCanvas(frmForms &window);

    double pixelsPerInch() const { return logicalDpiX(); }
    // A point of the sheet in inches, in the drawing's pixels.
    QPointF pixelOf(QPointF inches) const;
    // Sizes the drawing to the page at true scale.
    void fitSheet(const QSizeF &page);
    // The item's box on the drawing, in pixels, drawn `shift` inches away.
    QRectF itemRect(const FormItem &item, QPointF shift = {}) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    QFont itemFont(const FormItem &item) const;

    frmForms &window_;
    QPointF pressed_;
    QPointF drag_; // inches the selected item is being dragged, shown before it is dropped
    bool dragging_ = false;
};
