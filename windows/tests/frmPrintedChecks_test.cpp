// The "Printed Checks" review: real widgets driven with real key events.
#include "platform/testing/FakePlatform.h"
#include "platform/testing/WhenUp.h"
#include "windows/frmPrintedChecks.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <optional>

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
    QString cell(int row, int column) const {
        return dialog->grdPrintedChecks->model()->index(row, column).data().toString();
    }
    QModelIndex markCell(int row) const {
        return dialog->grdPrintedChecks->model()->index(row, PrintedChecksModel::ColMark);
    }
    // Opens the mark's drop-down list on the row with F2, as a person would.
    QComboBox *openEditor(int row) {
        QTableView *grid = dialog->grdPrintedChecks;
        grid->setFocus();
        grid->setCurrentIndex(markCell(row));
        QTest::keyClick(grid, Qt::Key_F2);
        auto *editor = grid->findChild<QComboBox *>(QStringLiteral("cboMark"));
        EXPECT_NE(editor, nullptr);
        return editor;
    }
    // Marks a row with one key on the list: P printed well, S spoiled, V void.
    void markWithKey(int row, Qt::Key key) {
        dialog->grdPrintedChecks->setFocus();
        dialog->grdPrintedChecks->setCurrentIndex(markCell(row));
        QTest::keyClick(dialog->grdPrintedChecks, key);
    }
    FakeMessageBoxes messages;
    std::unique_ptr<frmPrintedChecks> dialog;
};

TEST_F(PrintedChecksTest, listsEveryFormWithItsPlaceOnTheSheets) {
    EXPECT_EQ(dialog->objectName(), QStringLiteral("frmPrintedChecks"));
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Printed Checks"));
    EXPECT_TRUE(dialog->lblPrintedChecks->text().startsWith(QStringLiteral("3 checks were printed.")));
    QTableView *grid = dialog->grdPrintedChecks;
    EXPECT_EQ(grid->objectName(), QStringLiteral("grdPrintedChecks"));
    ASSERT_EQ(grid->model()->rowCount(), 3);
    const char *expected[3][6] = {{"1001", "Ann Example", "$1,234.56", "1", "2", "Printed well"},
                                  {"1002", "Bob & <b>Co</b>", "$0.05", "1", "3", "Printed well"},
                                  {"1003", "Cy", "$1,000,000.00", "2", "1", "Printed well"}};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 6; ++column) {
            EXPECT_EQ(cell(row, column), QString::fromUtf8(expected[row][column])) << row << "," << column;
        }
    }
    EXPECT_EQ(dialog->cmdOK->objectName(), QStringLiteral("cmdOK"));
    EXPECT_TRUE(dialog->cmdOK->isDefault());
}

TEST_F(PrintedChecksTest, returnAcceptsAllPrintedWell) {
    // In a mark's open drop-down list the first Return ends the editing, as in any list of Qt.
    const struct {
        const char *where;
        std::function<QWidget *()> focus;
        int returns;
    } places[] = {
        {"OK", [this] { return static_cast<QWidget *>(dialog->cmdOK); }, 1},
        {"the list", [this] { return static_cast<QWidget *>(dialog->grdPrintedChecks); }, 1},
        {"a mark's drop-down list", [this] { return static_cast<QWidget *>(openEditor(1)); }, 2},
    };
    for (const auto &place : places) {
        SCOPED_TRACE(place.where);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QWidget *focus = place.focus();
        ASSERT_NE(focus, nullptr);
        focus->setFocus();
        for (int i = 1; i < place.returns; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::focusWidget() == dialog->grdPrintedChecks; }));
            EXPECT_TRUE(dialog->isVisible());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_EQ(dialog->Marks(), QList<PrintMark>(3, PrintMark::Good));
        EXPECT_TRUE(messages.shown.isEmpty());
    }
}

TEST_F(PrintedChecksTest, marksAreConfirmedThenKept) {
    // Row 1001 through its drop-down list (Down, then Return on the closed list), row 1003 with V.
    QComboBox *editor = openEditor(0);
    ASSERT_NE(editor, nullptr);
    QTest::keyClick(editor, Qt::Key_Down);
    markWithKey(2, Qt::Key_V);
    EXPECT_EQ(cell(0, PrintedChecksModel::ColMark), QStringLiteral("Spoiled, print again"));
    EXPECT_EQ(cell(2, PrintedChecksModel::ColMark), QStringLiteral("Void"));

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

TEST_F(PrintedChecksTest, everyMarkIsSetByKeyAndByMouse) {
    const struct {
        Qt::Key key;
        PrintMark mark;
    } keys[] = {{Qt::Key_S, PrintMark::Spoiled}, {Qt::Key_V, PrintMark::Void}, {Qt::Key_P, PrintMark::Good}};
    for (const auto &key : keys) {
        markWithKey(1, key.key);
        EXPECT_EQ(dialog->Model().marks().at(1), key.mark) << QTest::toString(key.key);
    }
    // The mouse: a double click opens the list, a click on an entry picks it.
    QTableView *grid = dialog->grdPrintedChecks;
    const QRect rect = grid->visualRect(markCell(2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, rect.center());
    auto *editor = grid->findChild<QComboBox *>(QStringLiteral("cboMark"));
    ASSERT_NE(editor, nullptr);
    editor->showPopup();
    QAbstractItemView *list = editor->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const QRect entry = list->visualRect(list->model()->index(2, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry.center());
    EXPECT_TRUE(QTest::qWaitFor([this] { return dialog->Model().marks().at(2) == PrintMark::Void; }));
    EXPECT_EQ(dialog->Model().marks(), (QList<PrintMark>{PrintMark::Good, PrintMark::Good, PrintMark::Void}));
}

// Escape and the close box: untouched means all printed well; with marks the person says whether
// they stand, and Cancel goes back to the list with the marks as they were.
TEST_F(PrintedChecksTest, closingAsksWhetherTheMarksStand) {
    const struct {
        const char *how;
        std::function<void(frmPrintedChecks &)> close;
    } ways[] = {
        {"Escape", [](frmPrintedChecks &d) { QTest::keyClick(d.grdPrintedChecks, Qt::Key_Escape); }},
        {"the close box", [](frmPrintedChecks &d) { d.windowHandle()->close(); }},
    };
    const PrintMark G = PrintMark::Good;
    const struct {
        const char *name;
        bool marked;
        std::optional<MsgResult> answer; // none: no question may come
        bool open;                       // the dialog is still up after the answer
        QList<PrintMark> marks;
    } rows[] = {
        {"untouched", false, std::nullopt, false, {G, G, G}},
        {"marks kept", true, MsgResult::Yes, false, {G, PrintMark::Void, G}},
        {"marks discarded", true, MsgResult::No, false, {G, G, G}},
        {"back to the list", true, MsgResult::Cancel, true, {G, G, G}},
    };
    for (const auto &way : ways) {
        for (const auto &row : rows) {
            SCOPED_TRACE(std::string(way.how) + ", " + row.name);
            dialog = std::make_unique<frmPrintedChecks>(ThreeChecks(), messages);
            dialog->show();
            ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
            messages.shown.clear();
            if (row.marked) {
                markWithKey(1, Qt::Key_V);
                messages.setNextAnswer(*row.answer);
            }
            way.close(*dialog);
            EXPECT_EQ(dialog->isVisible(), row.open);
            EXPECT_EQ(dialog->Marks(), row.marks);
            if (!row.answer) {
                EXPECT_TRUE(messages.shown.isEmpty());
                continue;
            }
            ASSERT_EQ(messages.shown.size(), 1);
            EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNoCancel);
            EXPECT_EQ(messages.shown[0].title, QStringLiteral("Printed Checks"));
            EXPECT_TRUE(messages.shown[0].text.startsWith(
                QStringLiteral("Voided, not printed again: Check No. 1002\r\nKeep these marks?")));
            if (row.open) {
                EXPECT_EQ(dialog->Model().marks().at(1), PrintMark::Void);
            }
        }
    }
}

TEST(PrintedChecksModal, theModalReviewAnswersWhenReturnIsPressed) {
    FakeMessageBoxes messages;
    // The dialog is gone once the review returns: its name is taken while it is up.
    QString seen;
    // Pressed once the dialog's own event loop runs.
    WhenUp<QWidget>([&seen](QWidget &modal) {
        seen = modal.objectName();
        QTest::keyClick(&modal, Qt::Key_Return);
    });
    const QList<PrintMark> marks = ReviewPrintedChecks(ThreeChecks(), messages, nullptr);
    EXPECT_EQ(seen, QStringLiteral("frmPrintedChecks"));
    EXPECT_EQ(marks, QList<PrintMark>(3, PrintMark::Good));
}

} // namespace
