#include "windows/Controls.h"

#include "windows/Twips.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSvgRenderer>
#include <QVBoxLayout>
#include <QWidget>

// Q_INIT_RESOURCE must be used outside any namespace.
static void initResources() {
    Q_INIT_RESOURCE(windows);
}

namespace {

// One event of one control, turned into a call of its handler.
class EventHook final : public QObject {
public:
    enum class Kind { Click, DblClick, GotFocus };

    EventHook(QWidget *control, Kind kind, std::function<void()> handler)
        : QObject(control), kind_(kind), handler_(std::move(handler)) {
        control->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
            if (kind_ == Kind::Click) {
                pressed_ = static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (kind_ == Kind::Click && pressed_) {
                const auto *mouse = static_cast<QMouseEvent *>(event);
                pressed_ = false;
                const auto *widget = static_cast<QWidget *>(watched);
                if (mouse->button() == Qt::LeftButton && widget->rect().contains(mouse->position().toPoint())) {
                    handler_();
                }
            }
            break;
        case QEvent::MouseButtonDblClick:
            pressed_ = false;
            if (kind_ == Kind::DblClick && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
                handler_();
            }
            break;
        case QEvent::FocusIn: {
            const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
            if (kind_ == Kind::GotFocus && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
                handler_();
            }
            break;
        }
        default:
            break;
        }
        return false;
    }

private:
    Kind kind_;
    std::function<void()> handler_;
    bool pressed_ = false;
};

bool isTextBox(const QObject *control) {
    if (qobject_cast<const QLineEdit *>(control)) {
        return true;
    }
    const auto *combo = qobject_cast<const QComboBox *>(control);
    return combo && combo->isEditable();
}

bool isReturn(const QKeyEvent &key) {
    return (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
           (key.modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

// An Alt+letter: reaching a control, no access key took it. Ctrl+Alt is left alone (AltGr on some desktops).
bool isUnansweredAccessKey(const QKeyEvent &key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers();
    return (modifiers & Qt::AltModifier) && !(modifiers & Qt::ControlModifier) && !key.text().isEmpty() &&
           key.text().at(0).isPrint();
}

// The window's key rules, watching every control of the window. Menus, and boxes and popups opened over
// the window, keep their own keys.
class KeyRules final : public QObject {
public:
    explicit KeyRules(QWidget *window) : QObject(window), window_(window) { watch(window); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        switch (event->type()) {
        case QEvent::ChildAdded:
            if (QObject *child = static_cast<QChildEvent *>(event)->child(); child->isWidgetType()) {
                watch(static_cast<QWidget *>(child));
            }
            break;
        case QEvent::KeyPress:
            return onWindow(watched) && keyPress(watched, *static_cast<QKeyEvent *>(event));
        case QEvent::FocusIn:
            return onWindow(watched) && focusIn(static_cast<QWidget *>(watched), *static_cast<QFocusEvent *>(event));
        default:
            break;
        }
        return false;
    }

private:
    bool onWindow(QObject *watched) const {
        return watched->isWidgetType() && static_cast<QWidget *>(watched)->window() == window_ &&
               !qobject_cast<QMenu *>(watched);
    }

    void watch(QWidget *widget) {
        if (qobject_cast<QMenu *>(widget)) {
            return;
        }
        // Taken out and put back, so that these rules run before the control's other hooks.
        widget->removeEventFilter(this);
        widget->installEventFilter(this);
        for (QObject *child : widget->children()) {
            if (child->isWidgetType()) {
                watch(static_cast<QWidget *>(child));
            }
        }
    }

    static bool keyPress(QObject *watched, const QKeyEvent &key) {
        if (isReturn(key)) {
            if (auto *button = qobject_cast<QPushButton *>(watched)) {
                if (!key.isAutoRepeat() && button->isEnabled()) {
                    button->click();
                }
                return true;
            }
            return isTextBox(watched);
        }
        return isUnansweredAccessKey(key);
    }

    // Qt selects a line edit's whole text when the keyboard brings the focus in; the box gets the focus as
    // if the program had put it there, which keeps the caret and selects nothing.
    static bool focusIn(QWidget *control, const QFocusEvent &focus) {
        const Qt::FocusReason reason = focus.reason();
        if (!isTextBox(control) ||
            (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason && reason != Qt::ShortcutFocusReason)) {
            return false;
        }
        QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(control, &plain);
        return true;
    }

    QWidget *window_;
};

} // namespace

void UseWindowKeys(QWidget *window) {
    new KeyRules(window);
}

void InitWindowResources() {
    static const bool done = [] {
        initResources();
        return true;
    }();
    Q_UNUSED(done);
}

QWidget *MakeClientArea(QWidget *window, QMenuBar *menuBar, int width, int height) {
    auto *layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    if (menuBar) {
        layout->setMenuBar(menuBar);
    }
    auto *client = new QWidget(window);
    client->setObjectName(QStringLiteral("client"));
    SizeClientTwips(client, width, height);
    layout->addWidget(client);
    return client;
}

void CentreOnScreen(QWidget *window) {
    window->adjustSize();
    const QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen) {
        return;
    }
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QLabel *MakeImage(QWidget *parent, const QString &objectName, const QString &svgResource, int left, int top, int width,
                  int height) {
    auto *image = new QLabel(parent);
    image->setObjectName(objectName);
    PlaceTwips(image, left, top, width, height);
    const qreal ratio = parent->devicePixelRatioF();
    QPixmap pixmap(image->size() * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(svgResource);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(image->size())));
    painter.end();
    image->setPixmap(pixmap);
    return image;
}

QGroupBox *MakeFrame(QWidget *parent, const QString &objectName, const QString &caption) {
    auto *frame = new QGroupBox(caption, parent);
    frame->setObjectName(objectName);
    frame->setFont(FormFont(true)); // the caption; every control on it has its own font
    frame->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; padding: 0px 2px; }"));
    return frame;
}

QFont FormFont(bool bold) {
    return DesignFont(QStringLiteral("MS Sans Serif"), 8.25, bold);
}

void SetTabIndex(QWidget *control, int index) {
    control->setProperty("TabIndex", index);
}

void ChainTabOrder(const QList<QWidget *> &controls) {
    for (qsizetype i = 1; i < controls.size(); ++i) {
        QWidget::setTabOrder(controls[i - 1], controls[i]);
    }
}

void OnClick(QWidget *control, std::function<void()> handler) {
    new EventHook(control, EventHook::Kind::Click, std::move(handler));
}

void OnDblClick(QWidget *control, std::function<void()> handler) {
    new EventHook(control, EventHook::Kind::DblClick, std::move(handler));
}

void OnGotFocus(QWidget *control, std::function<void()> handler) {
    new EventHook(control, EventHook::Kind::GotFocus, std::move(handler));
}
