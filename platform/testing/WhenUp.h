#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `inside` once a modal window of type T other than `outer` is up (polled, so that it also
// works for a box opened from within another dialog); fails the test when none comes within 3 s.
// Nothing runs once `context` is gone: a fixture's object keeps a late poll out of the next test.
template <typename T>
void WhenUp(std::function<void(T &)> inside, QWidget *outer = nullptr, QObject *context = nullptr,
            int triesLeft = 300) {
    QTimer::singleShot(10, context != nullptr ? context : qApp, [inside, outer, context, triesLeft] {
        auto *shown = qobject_cast<T *>(QApplication::activeModalWidget());
        if (shown != nullptr && shown != outer) {
            inside(*shown);
        } else if (triesLeft > 0) {
            WhenUp<T>(inside, outer, context, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the dialog did not come up";
        }
    });
}
