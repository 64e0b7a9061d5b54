// Who did what in the history window, and approving a check there, on both engines of the journal.
#include "history/tests/JournalFixture.h"
#include "platform/testing/FakePlatform.h"
#include "windows/frmHistory.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class HistoryWhoWindowTest : public ::testing::TestWithParam<Engine>, protected TestPlatform {
protected:
    void SetUp() override {
        journal = std::make_unique<EngineJournal>(GetParam());
        journal->add(WhoChecks());
        waitingId = journal->add({{.checkNo = 0,
                                   .date = "2026-12-05",
                                   .payee = "Rent for December",
                                   .cents = 250000,
                                   .status = "awaiting",
                                   .requestedBy = "bob",
                                   .requestedHost = "desk-2"}});
    }
    void TearDown() override { delete window; }

    frmHistory *open(CheckJournal &checks) {
        delete window;
        window = new frmHistory(platform, checks);
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window));
        return window;
    }

    QStringList payees() const {
        QStringList shown;
        for (int row = 0; row < window->Model().rowCount(); ++row) {
            shown << window->Model().rowAt(row).payee;
        }
        shown.sort();
        return shown;
    }

    // The access key to the box, then keys inside it, as a person chooses from the keyboard.
    void choose(Qt::Key boxKey, std::initializer_list<Qt::Key> keys) {
        QTest::keyClick(window, boxKey, Qt::AltModifier);
        for (const Qt::Key key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key);
        }
    }

    // The list's first row made current with the keyboard.
    void goToFirstRow() {
        window->grdChecks->setFocus();
        QTest::keyClick(window->grdChecks, Qt::Key_Home, Qt::ControlModifier);
    }

    std::unique_ptr<EngineJournal> journal;
    frmHistory *window = nullptr;
    qint64 waitingId = 0;
};

INSTANTIATE_TEST_SUITE_P(Engines, HistoryWhoWindowTest, ::testing::Values(Engine::File, Engine::Server), EngineName);

TEST_P(HistoryWhoWindowTest, filtersByPersonAndComputerFromTheKeyboard) {
    open(journal->checks());
    EXPECT_EQ(window->Model().headerData(ColBy, Qt::Horizontal).toString(), QStringLiteral("By"));
    QStringList users;
    for (int i = 0; i < window->cboUser->count(); ++i) {
        users << window->cboUser->itemText(i);
    }
    EXPECT_EQ(users, (QStringList{QStringLiteral("All"), QStringLiteral("anna"), QStringLiteral("bob"),
                                  QStringLiteral("carol")}));
    const struct {
        Qt::Key box;
        std::initializer_list<Qt::Key> keys;
        QStringList payees;
    } steps[] = {
        {Qt::Key_U, {Qt::Key_End}, {QStringLiteral("Approved by carol")}},
        {Qt::Key_U,
         {Qt::Key_Home, Qt::Key_Down},
         {QStringLiteral("Printed by anna"), QStringLiteral("Voided by anna")}},
        {Qt::Key_M, {Qt::Key_Down}, {QStringLiteral("Voided by anna")}}, // anna, and the desk bob printed it on
        {Qt::Key_U,
         {Qt::Key_Home},
         {QStringLiteral("Approved by carol"), QStringLiteral("Rent for December"), QStringLiteral("Voided by anna"),
          QStringLiteral("Waiting for carol")}},
        {Qt::Key_S, {Qt::Key_End}, {QStringLiteral("Rent for December"), QStringLiteral("Waiting for carol")}},
    };
    for (const auto &step : steps) {
        choose(step.box, step.keys);
        EXPECT_EQ(payees(), step.payees) << window->cboUser->currentText().toStdString() << " "
                                         << window->cboComputer->currentText().toStdString();
    }
    EXPECT_EQ(window->cboStatus->currentText(), QStringLiteral("Awaiting approval"));
    EXPECT_EQ(window->lblTotal->text(),
              QStringLiteral("2 checks: 0 issued, total 0.00; 0 voided; 2 awaiting approval"));
}

// The person who asked cannot approve: the journal's reason is shown and the check still waits.
// Another person, on their own journal object, approves it, and the list shows it approved.
TEST_P(HistoryWhoWindowTest, approvesOnlyAsAnotherPersonAndShowsItAtOnce) {
    CheckJournal &asker = journal->checks();
    asker.SetWho({QStringLiteral("bob"), QStringLiteral("desk-2")});
    open(asker);
    QTest::keyClicks(window->txtPayee, QStringLiteral("rent"));
    ASSERT_EQ(payees(), QStringList{QStringLiteral("Rent for December")});
    goToFirstRow();
    EXPECT_TRUE(window->cmdApprove->isEnabled());
    EXPECT_FALSE(window->cmdVoid->isEnabled());
    EXPECT_EQ(window->Model().data(window->Model().index(0, ColCheckNo)).toString(), QString());

    QTest::keyClick(window, Qt::Key_R, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !messages.shown.isEmpty(); }, 3000));
    const FileResult again = asker.Approve(waitingId);
    ASSERT_FALSE(again.ok);
    EXPECT_EQ(messages.shown[0].text, again.error);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Approve Check"));
    EXPECT_EQ(window->Model().rowAt(0).status, QStringLiteral("awaiting"));
    EXPECT_EQ(journal->value(waitingId, QStringLiteral("status")).toString(), QStringLiteral("awaiting"));

    delete window;
    window = nullptr;
    const std::unique_ptr<CheckJournal> approver =
        journal->another({QStringLiteral("carol"), QStringLiteral("laptop")});
    open(*approver);
    QTest::keyClicks(window->txtPayee, QStringLiteral("rent"));
    goToFirstRow();
    ASSERT_TRUE(window->cmdApprove->isEnabled());
    QTest::mouseClick(window->cmdApprove, Qt::LeftButton);
    EXPECT_EQ(messages.shown.size(), 1);
    ASSERT_EQ(window->Model().rowCount(), 1);
    EXPECT_EQ(window->Model().data(window->Model().index(0, ColStatus)).toString(), QStringLiteral("approved"));
    EXPECT_TRUE(window->Model()
                    .data(window->Model().index(0, ColBy), Qt::ToolTipRole)
                    .toString()
                    .contains(QStringLiteral("Approved by carol on laptop")));
    EXPECT_FALSE(window->cmdApprove->isEnabled());
    // Approved checks wait for a print run: they are not issued, so not among those awaiting.
    choose(Qt::Key_S, {Qt::Key_End});
    EXPECT_EQ(window->Model().rowCount(), 0);
    delete window;
    window = nullptr;
}

} // namespace
