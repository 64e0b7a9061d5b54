// The "Printed Checks" review: real widgets driven with real key events.
#include "platform/testing/FakePlatform.h"
#include "windows/frmPrintedChecks.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QList<JournalCheck> ThreeChecks() {
    return {{1001, QDate(2026, 12, 8), QStringLiteral("Ann Example"), 123456, QStringLiteral("Rent"), 1, 2},
            {1002, QDate(2026, 12, 8), QStringLiteral("Bob & <b>Co</b>"), 5, QStringLiteral(""), 1, 3},
            {1003, QDate(2026, 12, 8), QStringLiteral("Cy"), 100000000, QStringLiteral("Tax"), 2, 1}};
}

class PrintedChecksTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = std::make_unique<frmPrintedChecks>(ThreeChecks(), messages);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QApplication::setActiveWindow(dialog.get());
    }
    // Picks a mark with the keyboard: Down moves a closed combo box to its next entry.
    void MarkWithKeys(int row, int downs) {
        dialog->cboMark[row]->setFocus();
        for (int i = 0; i < downs; ++i) {
            QTest::keyClick(dialog->cboMark[row], Qt::Key_Down);
        }
    }
    FakeMessageBoxes messages;
    std::unique_ptr<frmPrintedChecks> dialog;
};

TEST_F(PrintedChecksTest, listsEveryFormWithItsPlaceOnTheSheets) {
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmPrintedChecks"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Printed Checks"));
    EXPECT_TRUE(dialog->lblPrintedChecks->text().startsWith(QStringLiteral("3 checks were printed.")));
    QTableWidget *grid = dialog->grdPrintedChecks;
    EXPECT_EQ(grid->objectName(), QStringLiteral("grdPrintedChecks"));
    ASSERT_EQ(grid->rowCount(), 3);
    const char *expected[3][5] = {{"1001", "Ann Example", "$1,234.56", "1", "2"},
                                  {"1002", "Bob & <b>Co</b>", "$0.05", "1", "3"},
                                  {"1003", "Cy", "$1,000,000.00", "2", "1"}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 5; ++column) {
            EXPECT_EQ(grid->item(row, column)->text(), QString::fromUtf8(expected[row][column]))
                << row << "," << column;
        }
        EXPECT_EQ(dialog->cboMark[row]->objectName(), QStringLiteral("cboMark(%1)").arg(row));
        EXPECT_EQ(dialog->cboMark[row]->currentText(), QStringLiteral("Printed well"));
    }
    EXPECT_EQ(dialog->cmdOK->objectName(), QStringLiteral("cmdOK"));
    EXPECT_TRUE(dialog->cmdOK->isDefault());
}

TEST_F(PrintedChecksTest, returnAcceptsAllPrintedWell) {
    for (QWidget *focus : {static_cast<QWidget *>(dialog->cmdOK), static_cast<QWidget *>(dialog->grdPrintedChecks),
                           static_cast<QWidget *>(dialog->cboMark[1])}) {
        SCOPED_TRACE(focus->objectName().toStdString());
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(dialog->Marks(), QList<PrintMark>(3, PrintMark::Good));
        EXPECT_TRUE(messages.shown.isEmpty());
    }
}

TEST_F(PrintedChecksTest, marksAreConfirmedThenKept) {
    MarkWithKeys(0, 1);
    MarkWithKeys(2, 2);
    EXPECT_EQ(dialog->cboMark[0]->currentText(), QStringLiteral("Spoiled, print again"));
    EXPECT_EQ(dialog->cboMark[2]->currentText(), QStringLiteral("Void"));

    // No keeps the dialog open with the marks as they are.
    messages.setNextAnswer(MsgResult::No);
    dialog->cmdOK->setFocus();
    QTest::keyClick(dialog->cmdOK, Qt::Key_Return);
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Printed Checks"));
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].defaultButton, MsgResult::No);
    EXPECT_EQ(messages.shown[0].text,
              QStringLiteral("Spoiled, voided and printed again on the next forms: Check No. 1001\r\n"
                             "Voided, not printed again: Check No. 1003\r\nIs that right?"));
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_EQ(dialog->Marks(), QList<PrintMark>(3, PrintMark::Good));

    messages.setNextAnswer(MsgResult::Yes);
    QTest::keyClick(dialog->cmdOK, Qt::Key_Space);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->Marks(), (QList<PrintMark>{PrintMark::Spoiled, PrintMark::Good, PrintMark::Void}));
}

TEST_F(PrintedChecksTest, closingCountsAsAllPrintedWellWhateverIsMarked) {
    const struct {
        const char *how;
        std::function<void(frmPrintedChecks &)> close;
    } ways[] = {
        {"Escape", [](frmPrintedChecks &d) { QTest::keyClick(&d, Qt::Key_Escape); }},
        {"the close box", [](frmPrintedChecks &d) { d.close(); }},
    };
    for (const auto &way : ways) {
        SCOPED_TRACE(way.how);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        MarkWithKeys(1, 2);
        way.close(*dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->Marks(), QList<PrintMark>(3, PrintMark::Good));
        EXPECT_TRUE(messages.shown.isEmpty());
    }
}

TEST(PrintedChecksModal, theModalReviewAnswersWhenReturnIsPressed) {
    FakeMessageBoxes messages;
    // The dialog is gone once the review returns: its name is taken while it is up.
    QString seen;
    // Pressed once the dialog's own event loop runs.
    QTimer::singleShot(0, [&seen] {
        if (QWidget *modal = QApplication::activeModalWidget()) {
            seen = modal->objectName();
            QTest::keyClick(modal, Qt::Key_Return);
        }
    });
    const QList<PrintMark> marks = ReviewPrintedChecks(ThreeChecks(), messages, nullptr);
    EXPECT_EQ(seen, QStringLiteral("frmPrintedChecks"));
    EXPECT_EQ(marks, QList<PrintMark>(3, PrintMark::Good));
}

} // namespace
