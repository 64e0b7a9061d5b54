#include "windows/FormCanvas.h"

#include "platform/Fonts.h"
#include "windows/frmForms.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

// Room around the sheet in the drawing, inches.
constexpr double kMargin = 0.25;
constexpr double kNudge = 0.01;
constexpr double kShiftNudge = 0.10;

double hundredths(double inches) {
    return std::round(inches * 100) / 100;
}

// What the drawing shows for an item.
QString sampleText(const FormItem &item) {
    switch (item.Field) {
    case FormField::Date:
        return QStringLiteral("12/07/2026");
    case FormField::Payee:
        return QStringLiteral("Sample Payee Company");
    case FormField::Amount:
        return QStringLiteral("$1,234.56");
    case FormField::Words:
        return QStringLiteral("One Thousand Two Hundred Thirty Four DOLLARS and 56 CENTS");
    case FormField::Memo:
        return QStringLiteral("Sample memo");
    case FormField::Address:
        return QStringList{QStringLiteral("Sample Payee Company"), QStringLiteral("100 Main Street"),
                           QStringLiteral("Suite 200"), QStringLiteral("Springfield, IL 62701")}
            .mid(0, item.Lines)
            .join(u'\n');
    case FormField::CheckNumber:
        return QStringLiteral("1001");
    case FormField::Account:
        return item.Masked ? QStringLiteral("****6789") : QStringLiteral("123-456789");
    }
    return {};
}

} // namespace

FormCanvas::FormCanvas(frmForms &window) : QWidget(nullptr), window_(window) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QPointF FormCanvas::pixelOf(QPointF inches) const {
    return (inches + QPointF(kMargin, kMargin)) * pixelsPerInch();
}

void FormCanvas::fitSheet(const QSizeF &page) {
    setFixedSize((QSizeF(page.width() + 2 * kMargin, page.height() + 2 * kMargin) * pixelsPerInch()).toSize());
}

QRectF FormCanvas::itemRect(const FormItem &item, QPointF shift) const {
    const QFontMetricsF metrics(itemFont(item), this);
    const QString text = sampleText(item);
    double width = 0;
    for (const QString &line : text.split(u'\n')) {
        width = std::max(width, metrics.horizontalAdvance(line));
    }
    int lines = item.Field == FormField::Address ? item.Lines : 1;
    if (item.Field == FormField::Words) {
        width = item.Width * pixelsPerInch();
        lines = item.Rule == WordsRule::Wrap ? static_cast<int>(std::ceil(metrics.horizontalAdvance(text) / width)) : 1;
    } else if (item.ClipWidth > 0) {
        width = std::min(width, item.ClipWidth * pixelsPerInch());
    }
    const QPointF anchor = pixelOf(QPointF(item.X, item.Y) + shift);
    const double left = item.RightAnchored ? anchor.x() - width : anchor.x();
    return QRectF(left, anchor.y(), width, std::max(1, lines) * metrics.lineSpacing());
}

void FormCanvas::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().window());
    const CheckForm &form = window_.Form();
    painter.fillRect(QRectF(pixelOf({0, 0}), pixelOf(QPointF(form.Page.width(), form.Page.height()))), Qt::white);
    const double ppi = pixelsPerInch();
    for (const FormArea &area : form.Areas) {
        const QRectF band(pixelOf({area.Check.left(), area.Check.bottom() - kMicrClearBand}),
                          QSizeF(area.Check.width(), kMicrClearBand) * ppi);
        painter.fillRect(band, QColor(255, 225, 225));
        painter.setPen(QColor(200, 80, 80));
        painter.setFont(itemFont(FormItem{}));
        painter.drawText(band.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("MICR clear band: nothing prints here"));
        painter.setPen(QPen(Qt::gray, 1, area.Outlined ? Qt::SolidLine : Qt::DotLine));
        for (const QLineF &line : area.OutlineLines()) {
            painter.drawLine(QLineF(pixelOf(line.p1()), pixelOf(line.p2())));
        }
    }
    for (int a = 0; a < form.Areas.size(); ++a) {
        for (int i = 0; i < form.Areas[a].Items.size(); ++i) {
            const FormItem &item = form.Areas[a].Items[i];
            const bool selected = a == window_.SelectedArea() && i == window_.SelectedItem();
            const QRectF box = itemRect(item, selected ? drag_ : QPointF());
            if (selected) {
                painter.fillRect(box, QColor(210, 228, 255));
                painter.setPen(QPen(QColor(0, 90, 200), 1));
                painter.drawRect(box);
            }
            painter.setPen(Qt::black);
            painter.setFont(itemFont(item));
            const int flags = item.Field == FormField::Words && item.Rule == WordsRule::Wrap
                                  ? Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap
                                  : (item.RightAnchored ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
            painter.save();
            painter.setClipRect(box);
            painter.drawText(box, flags, sampleText(item));
            painter.restore();
        }
    }
}

void FormCanvas::mousePressEvent(QMouseEvent *event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    setFocus(Qt::MouseFocusReason);
    const CheckForm &form = window_.Form();
    for (int a = static_cast<int>(form.Areas.size()) - 1; a >= 0; --a) {
        for (int i = static_cast<int>(form.Areas[a].Items.size()) - 1; i >= 0; --i) {
            if (itemRect(form.Areas[a].Items[i]).contains(event->position())) {
                window_.SelectItem(a, i);
                pressed_ = event->position();
                dragging_ = !form.BuiltIn;
                return;
            }
        }
    }
}

void FormCanvas::mouseMoveEvent(QMouseEvent *event) {
    if (!dragging_) {
        return;
    }
    const QPointF delta = (event->position() - pressed_) / pixelsPerInch();
    drag_ = QPointF(hundredths(delta.x()), hundredths(delta.y()));
    update();
}

void FormCanvas::mouseReleaseEvent(QMouseEvent *event) {
    if (!dragging_ || event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = false;
    const QPointF moved = drag_;
    drag_ = {};
    const FormItem &item = window_.Form().Areas[window_.SelectedArea()].Items[window_.SelectedItem()];
    if (!moved.isNull()) {
        window_.MoveSelected(hundredths(item.X + moved.x()), hundredths(item.Y + moved.y()));
    }
    update();
}

void FormCanvas::keyPressEvent(QKeyEvent *event) {
    const double step = event->modifiers() & Qt::ShiftModifier ? kShiftNudge : kNudge;
    QPointF by;
    switch (event->key()) {
    case Qt::Key_Left:
        by = {-step, 0};
        break;
    case Qt::Key_Right:
        by = {step, 0};
        break;
    case Qt::Key_Up:
        by = {0, -step};
        break;
    case Qt::Key_Down:
        by = {0, step};
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    if (window_.SelectedItem() >= 0 && !window_.Form().BuiltIn) {
        const FormItem &item = window_.Form().Areas[window_.SelectedArea()].Items[window_.SelectedItem()];
        window_.MoveSelected(hundredths(item.X + by.x()), hundredths(item.Y + by.y()));
    }
}

void FormCanvas::focusInEvent(QFocusEvent *event) {
    QWidget::focusInEvent(event);
    update();
}

QFont FormCanvas::itemFont(const FormItem &item) const {
    QFont font(ArialCompatibleFace());
    font.setPointSizeF(item.FontSize);
    return font;
}
