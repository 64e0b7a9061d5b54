#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMetaObject>
#include <QTest>

#include <algorithm>

// Returns once what the input sent so far set going has happened, so that a check that something
// did not happen means it: every event posted until now is handled (a call queued behind them has
// run), and no button is in the middle of the visible press an access key gives it (the click
// follows that press 100 ms later). Twice over, for what those events set going in turn.
inline void Settle() {
    const auto noButtonDown = [] {
        const QWidgetList widgets = QApplication::allWidgets();
        return std::none_of(widgets.cbegin(), widgets.cend(), [](QWidget *widget) {
            auto *button = qobject_cast<QAbstractButton *>(widget);
            return button != nullptr && button->isDown();
        });
    };
    for (int round = 0; round < 2; ++round) {
        bool reached = false;
        QMetaObject::invokeMethod(
            qApp, [&reached] { reached = true; }, Qt::QueuedConnection);
        EXPECT_TRUE(QTest::qWaitFor([&reached] { return reached; }, 5000)) << "the posted events were not handled";
        EXPECT_TRUE(QTest::qWaitFor(noButtonDown, 5000)) << "a button stayed pressed";
    }
}
