#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Runs `inside` once a modal window of type T other than `outer` is up (polled, so that it also
// works for a box opened from within another dialog); fails the test when none comes.
template <typename T> void WhenUp(std::function<void(T &)> inside, QWidget *outer = nullptr, int triesLeft = 300) {
    QTimer::singleShot(10, [inside, outer, triesLeft] {
        auto *shown = qobject_cast<T *>(QApplication::activeModalWidget());
        if (shown != nullptr && shown != outer) {
            inside(*shown);
        } else if (triesLeft > 0) {
            WhenUp<T>(inside, outer, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the dialog did not come up";
        }
    });
}
