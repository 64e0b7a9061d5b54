// Who did what in the history window, and approving a check there, on both engines of the journal.
#include "history/tests/JournalFixture.h"
#include "platform/testing/FakePlatform.h"
#include "windows/frmHistory.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class HistoryWhoWindowTest : public ::testing::TestWithParam<Engine>, protected TestPlatform {
protected:
    void TearDown() override { delete window; }

    // The window on the journal, the list narrowed to the one check whose payee has the text.
    void open(CheckJournal &checks, const QString &payee = QString()) {
        delete window;
        window = new frmHistory(platform, checks);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        QTest::keyClicks(window->txtPayee, payee);
        window->grdChecks->setFocus();
        QTest::keyClick(window->grdChecks, Qt::Key_Home, Qt::ControlModifier);
    }

    QStringList payees() const {
        QStringList shown;
        for (int row = 0; row < window->Model().rowCount(); ++row) {
            shown << window->Model().rowAt(row).payee;
        }
        shown.sort();
        return shown.isEmpty() ? shown : QStringList{shown.join(QStringLiteral(", "))};
    }

    // The box's access key, then keys inside it, as a person chooses from the keyboard.
    void choose(Qt::Key boxKey, std::initializer_list<Qt::Key> keys) {
        QTest::keyClick(window, boxKey, Qt::AltModifier);
        for (const Qt::Key key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key);
        }
    }

    frmHistory *window = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Engines, HistoryWhoWindowTest, ::testing::Values(Engine::File, Engine::Server), EngineName);

// The person and computer filters from the keyboard; then the person who asked for a check cannot
// approve it (the journal's reason is shown, the check still waits), and another person, on a
// journal object of their own, approves it and sees it approved at once.
TEST_P(HistoryWhoWindowTest, filtersByWhoAndApprovesOnlyAsAnotherPerson) {
    EngineJournal journal(GetParam());
    journal.add(WhoChecks());
    const qint64 rent = journal.add({{0, "2026-12-05", "Rent for December", 250000, "", "awaiting", nullptr, nullptr, 0,
                                      "1234567", "", "", "", "", "bob", "desk-2"}});
    CheckJournal &asker = journal.checks();
    asker.SetWho({QStringLiteral("bob"), QStringLiteral("desk-2")});
    open(asker);
    // Tab walks the second row as it reads: the check numbers, the person, the computer, the checkbook.
    window->SetCheckbooks({{QStringLiteral("Home"), QStringLiteral("1234567")}, {QStringLiteral("Shop"), {}}}, 0);
    window->txtCheckNoTo->setFocus();
    for (QWidget *next : {static_cast<QWidget *>(window->cboUser), static_cast<QWidget *>(window->cboComputer),
                          static_cast<QWidget *>(window->cboCheckbook)}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    const struct {
        Qt::Key box;
        std::initializer_list<Qt::Key> keys;
        const char *payees;
    } steps[] = {
        {Qt::Key_U, {Qt::Key_End}, "Approved by carol"},
        {Qt::Key_U, {Qt::Key_Home, Qt::Key_Down}, "Printed by anna, Voided by anna"},
        {Qt::Key_M, {Qt::Key_Down}, "Voided by anna"}, // anna, and desk-2 where bob printed it
        {Qt::Key_U, {Qt::Key_Home}, "Approved by carol, Rent for December, Voided by anna, Waiting for carol"},
        {Qt::Key_S, {Qt::Key_End}, "Rent for December, Waiting for carol"},
    };
    for (const auto &step : steps) {
        choose(step.box, step.keys);
        EXPECT_EQ(payees(), QStringList{QString::fromLatin1(step.payees)});
        EXPECT_EQ(window->cboUser->count(), 4); // All, anna, bob, carol
    }
    EXPECT_EQ(window->lblTotal->text(),
              QStringLiteral("2 checks: 0 issued, total 0.00; 0 voided; 2 awaiting approval"));

    open(asker, QStringLiteral("rent"));
    EXPECT_TRUE(window->cmdApprove->isEnabled());
    EXPECT_FALSE(window->cmdVoid->isEnabled());
    EXPECT_EQ(window->Model().data(window->Model().index(0, ColCheckNo)).toString(), QString());
    QTest::keyClick(window, Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !messages.shown.isEmpty(); }, 3000));
    const FileResult again = asker.Approve(rent);
    ASSERT_FALSE(again.ok);
    EXPECT_EQ(messages.shown[0].text, again.error);
    EXPECT_EQ(window->Model().rowAt(0).status, QStringLiteral("awaiting"));

    delete window;
    window = nullptr;
    const std::unique_ptr<CheckJournal> approver = journal.another({QStringLiteral("carol"), QStringLiteral("laptop")});
    open(*approver, QStringLiteral("rent"));
    QTest::mouseClick(window->cmdApprove, Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), 1);
    ASSERT_EQ(window->Model().rowCount(), 1);
    EXPECT_EQ(window->Model().data(window->Model().index(0, ColStatus)).toString(), QStringLiteral("approved"));
    EXPECT_TRUE(window->Model()
                    .data(window->Model().index(0, ColBy), Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("Approved by carol on laptop")));
    EXPECT_FALSE(window->cmdApprove->isEnabled());
    delete window;
    window = nullptr;
}

// A server that cannot be reached: no window, and a message naming the server and what to do.
TEST(HistoryServerWindow, anUnreachableServerIsNamedAndNoWindowOpens) {
    TestPlatform test;
    JournalPlace nowhere;
    nowhere.server = true;
    nowhere.host = test.dir.path(); // a folder without the server's socket
    nowhere.database = QStringLiteral("checks");
    CheckJournal journal(test.dir.path());
    journal.SetPlace(nowhere);
    EXPECT_EQ(ShowHistoryWindow(test.platform, journal, nullptr), nullptr);
    ASSERT_EQ(test.messages.shown.size(), 1);
    EXPECT_TRUE(test.messages.shown[0].text.contains(test.dir.path())) << test.messages.shown[0].text.toStdString();
    EXPECT_TRUE(test.messages.shown[0].text.endsWith(QStringLiteral("Make sure the server can be reached, then "
                                                                    "choose History again.")));
}

} // namespace
