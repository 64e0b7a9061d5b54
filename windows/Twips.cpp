#include "windows/Twips.h"

#include "platform/Units.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QWidget>
#include <QtMath>

int TwipsToPixels(int twips) {
    const QScreen *screen = QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInch() : 96.0;
    return qRound(twips * dpi / kTwipsPerInch);
}

namespace {

// Pixels the caption needs beyond its text, by kind of control.
int captionWidth(const QWidget *control) {
    if (const auto *label = qobject_cast<const QLabel *>(control)) {
        if (label->wordWrap() || label->text().isEmpty()) {
            return 0;
        }
        return label->fontMetrics().horizontalAdvance(label->text()) + 2 * label->margin() + 1;
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(control)) {
        QString text = button->text();
        if (text.isEmpty()) {
            return 0;
        }
        text.remove(QLatin1Char('&'));
        const int textWidth = button->fontMetrics().horizontalAdvance(text);
        if (qobject_cast<const QRadioButton *>(control) || qobject_cast<const QCheckBox *>(control)) {
            const QStyle *style = button->style();
            return style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, button) +
                   style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, button) + textWidth + 2;
        }
        return textWidth + 8;
    }
    return 0;
}

} // namespace

void PlaceTwips(QWidget *control, int left, int top, int width, int height) {
    int w = TwipsToPixels(width);
    const int needed = captionWidth(control);
    if (needed > w) {
        w = needed;
    }
    control->setGeometry(TwipsToPixels(left), TwipsToPixels(top), w, TwipsToPixels(height));
}

void SizeClientTwips(QWidget *window, int width, int height) {
    window->setFixedSize(TwipsToPixels(width), TwipsToPixels(height));
}

QFont DesignFont(const QString &face, double points, bool bold) {
    QFont font(face);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString ArrayName(const char *name, int index) {
    return QString::fromLatin1(name) + QLatin1Char('(') + QString::number(index) + QLatin1Char(')');
}
