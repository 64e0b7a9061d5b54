// The Payees window and the entry window's offer to add a payee, driven by keys against the journal.
#include "frmMainFixture.h"

#include "journal/CheckJournal.h"
#include "platform/testing/TestHelpers.h"
#include "windows/frmPayees.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

class PayeesWindowTest : public EntryWindowTest {
protected:
    std::unique_ptr<frmPayees> open() {
        auto window = std::make_unique<frmPayees>(platform, program->Journal());
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }
    QStringList book() {
        QList<Payee> payees;
        EXPECT_TRUE(program->Journal().LoadPayees(payees));
        QStringList lines;
        for (const Payee &payee : payees) {
            lines << payee.name + QLatin1Char('|') + payee.address.join(QLatin1Char('/'));
        }
        return lines;
    }
    void add(const QString &name, const QString &address) {
        Payee payee;
        payee.name = name;
        payee.address = {address};
        ASSERT_TRUE(program->Journal().SavePayee(payee));
    }
};

TEST_F(PayeesWindowTest, closingWithAnUnsavedEditAsksSaveDiscardOrCancel) {
    const struct {
        MsgResult answer;
        bool stillOpen;
        const char *book;
    } cases[] = {
        {MsgResult::Cancel, true, "Acme|1 Old Road"},
        {MsgResult::Discard, false, "Acme|1 Old Road"},
        {MsgResult::Save, false, "Acme|2 New Road"},
    };
    add(QStringLiteral("Acme"), QStringLiteral("1 Old Road"));
    for (const auto &c : cases) {
        auto window = open();
        QTest::keyClick(window->txtSearch, Qt::Key_Return);
        ASSERT_EQ(window->Shown().name, QStringLiteral("Acme"));
        window->txtAddress[0]->setFocus();
        window->txtAddress[0]->selectAll();
        QTest::keyClicks(window->txtAddress[0], QStringLiteral("2 New Road"));
        messages.setNextAnswer(c.answer);
        QTest::keyClick(window->txtAddress[0], Qt::Key_Escape);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].buttons, MsgButtons::SaveDiscardCancel);
        EXPECT_EQ(window->isVisible(), c.stillOpen);
        EXPECT_EQ(book(), QStringList{S(c.book)});
        messages.shown.clear();
    }
}

TEST_F(PayeesWindowTest, deleteAsksFirstAndNoKeepsThePayee) {
    add(QStringLiteral("Acme"), QStringLiteral("1 Old Road"));
    for (const MsgResult answer : {MsgResult::No, MsgResult::Yes}) {
        auto window = open();
        messages.setNextAnswer(answer);
        window->cmdDelete_Click();
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("Checks already written")));
        EXPECT_EQ(book().size(), answer == MsgResult::No ? 1 : 0);
        messages.shown.clear();
    }
}

TEST_F(PayeesWindowTest, aNewPayeeIsOfferedOnceAfterAcceptAndOneOfTheBookNever) {
    add(QStringLiteral("Known Co"), QStringLiteral("1 Elm"));
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    const struct {
        const char *payee;
        bool offered;
    } cases[] = {{"Known Co", false}, {"New & Co", true}, {"NEW & CO", false}};
    for (const auto &c : cases) {
        AcceptCheck(S(c.payee), QStringLiteral("5"), QStringLiteral("memo"));
        EXPECT_EQ(main->cmdAddPayee->isVisible(), c.offered) << c.payee;
    }
    // Hidden by the third check: the second's offer went unanswered, which is No.
    EXPECT_EQ(book(), Strings({"Known Co|1 Elm"}));
    AcceptCheck(QStringLiteral("Third Firm"), QStringLiteral("5"), QStringLiteral("memo"));
    EXPECT_EQ(main->cmdAddPayee->toolTip(), QStringLiteral("Add \"Third Firm\" to the payee book"));
    main->cmdAddPayee->click();
    EXPECT_FALSE(main->cmdAddPayee->isVisible());
    EXPECT_EQ(book(), Strings({"Known Co|1 Elm", "Third Firm|"}));
    EXPECT_TRUE(messages.shown.isEmpty());
}

} // namespace
