#pragma once

#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

// Ends the process once the watched window has been painted: at the first event after its first
// paint that is not part of painting it, or when control is back in the event loop.
class PaintedExit final : public QObject {
public:
    explicit PaintedExit(QString windowName) : windowName_(std::move(windowName)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const auto *widget = watched->isWidgetType() ? static_cast<QWidget *>(watched) : nullptr;
        const bool inWindow = widget && widget->window()->objectName() == windowName_;
        if (!painted_ && inWindow && event->type() == QEvent::Paint && widget->isWindow()) {
            painted_ = true;
            QTimer::singleShot(0, [] { ::_exit(0); });
        } else if (painted_ && !(inWindow && event->type() == QEvent::Paint)) {
            ::_exit(0);
        }
        return false;
    }

private:
    QString windowName_;
    bool painted_ = false;
};
