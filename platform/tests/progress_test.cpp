// The real progress window, driven with real key and mouse events.
#include "platform/QtProgress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Opens a stage of 100 steps that shows at once, and takes the first step so that it appears.
QProgressDialog &openShown(QtProgress &progress, bool cancellable) {
    progress.Open(QStringLiteral("Printing Checks"), QStringLiteral("Drawing the checks for the printer."), 100,
                  cancellable);
    EXPECT_TRUE(progress.Advance(1));
    QProgressDialog *dialog = progress.dialog();
    EXPECT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    return *dialog;
}

QPushButton *cancelButton(QProgressDialog &dialog) {
    return dialog.findChild<QPushButton *>(QStringLiteral("cmdCancel"));
}

struct Way {
    const char *name;
    std::function<void(QProgressDialog &)> act;
};

const Way kWays[] = {
    {"clickOnCancel",
     [](QProgressDialog &d) {
         if (QPushButton *cancel = cancelButton(d)) {
             QTest::mouseClick(cancel, Qt::LeftButton);
         }
     }},
    {"spaceOnCancel",
     [](QProgressDialog &d) {
         if (QPushButton *cancel = cancelButton(d)) {
             cancel->setFocus();
             QTest::keyClick(cancel, Qt::Key_Space);
         }
     }},
    {"returnOnCancel",
     [](QProgressDialog &d) {
         if (QPushButton *cancel = cancelButton(d)) {
             cancel->setFocus();
             QTest::keyClick(cancel, Qt::Key_Return);
         }
     }},
    {"accessKeyAltC", [](QProgressDialog &d) { QTest::keyClick(&d, Qt::Key_C, Qt::AltModifier); }},
    {"escape", [](QProgressDialog &d) { QTest::keyClick(&d, Qt::Key_Escape); }},
    {"closeControl",
     [](QProgressDialog &d) {
         QCloseEvent close;
         QApplication::sendEvent(&d, &close);
     }},
};

class ProgressWays : public ::testing::TestWithParam<Way> {};

TEST_P(ProgressWays, cancelsACancellableStage) {
    QtProgress progress(0);
    QProgressDialog &dialog = openShown(progress, true);
    ASSERT_NE(cancelButton(dialog), nullptr);
    GetParam().act(dialog);
    // An access key presses its button visibly: the click comes a moment later, while the job
    // lets the dialog take its events.
    EXPECT_TRUE(QTest::qWaitFor([&dialog] { return dialog.wasCanceled(); }, 2000));
    EXPECT_FALSE(progress.Advance(2));
    EXPECT_FALSE(progress.Advance(3)) << "a cancelled stage stays cancelled";
    progress.Close();
    EXPECT_EQ(progress.dialog(), nullptr);
}

TEST_P(ProgressWays, cannotStopAStageThatCannotBeCalledBack) {
    QtProgress progress(0);
    QProgressDialog &dialog = openShown(progress, false);
    EXPECT_EQ(cancelButton(dialog), nullptr);
    GetParam().act(dialog);
    EXPECT_TRUE(progress.Advance(2));
    ASSERT_NE(progress.dialog(), nullptr);
    EXPECT_TRUE(progress.dialog()->isVisible());
    progress.Close();
}

INSTANTIATE_TEST_SUITE_P(Real, ProgressWays, ::testing::ValuesIn(kWays),
                         [](const ::testing::TestParamInfo<Way> &param) { return std::string(param.param.name); });

TEST(QtProgressTest, showsTitleTextAndStepsDoneOfTotal_modalOverTheOtherWindows) {
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QtProgress progress(0);
    QProgressDialog &dialog = openShown(progress, true);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Printing Checks"));
    EXPECT_NE(dialog.findChild<QLabel *>(), nullptr);
    EXPECT_EQ(dialog.findChild<QLabel *>()->text(), QStringLiteral("Drawing the checks for the printer."));
    EXPECT_EQ(dialog.windowModality(), Qt::ApplicationModal);
    QProgressBar *bar = dialog.findChild<QProgressBar *>();
    ASSERT_NE(bar, nullptr);
    // A shown stage redraws at most every 40 ms: the step is taken until the bar shows it.
    EXPECT_TRUE(QTest::qWaitFor([&] { return progress.Advance(42) && bar->value() == 42; }, 5000));
    EXPECT_EQ(bar->text(), QStringLiteral("42 of 100"));
    EXPECT_TRUE(progress.Advance(100));
    EXPECT_EQ(bar->text(), QStringLiteral("100 of 100"));
    EXPECT_EQ(QApplication::activeModalWidget(), &dialog);
    progress.Close();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtProgressTest, keepsTheProgramAnsweringWhileSteppingOnceShown) {
    QtProgress progress(0);
    openShown(progress, true);
    int fired = 0;
    QTimer::singleShot(0, [&fired] { ++fired; });
    QTest::qWait(0);
    fired = 0;
    QTimer::singleShot(0, [&fired] { ++fired; });
    // Steps in a tight loop for a while, as a print run does, without returning to the event loop.
    QElapsedTimer running;
    running.start();
    for (int step = 2; running.elapsed() < 200; step = step % 99 + 2) {
        ASSERT_TRUE(progress.Advance(step));
    }
    EXPECT_EQ(fired, 1);
    progress.Close();
}

TEST(QtProgressTest, aShortStageNeverShows) {
    QtProgress progress(60000);
    progress.Open(QStringLiteral("Printing Checks"), QStringLiteral("x"), 3, true);
    for (int step = 1; step <= 3; ++step) {
        EXPECT_TRUE(progress.Advance(step));
    }
    ASSERT_NE(progress.dialog(), nullptr);
    EXPECT_FALSE(progress.dialog()->isVisible());
    progress.Close();
    EXPECT_TRUE(progress.Advance(4)) << "with no stage open there is nothing to cancel";
}

} // namespace
