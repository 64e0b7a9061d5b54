#include "JournalTestData.h"
#include "journal/CheckJournal.h"

#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <gtest/gtest.h>

namespace {

class PayeeBookTest : public ::testing::Test {
protected:
    Payee Named(const QString &name, const QStringList &address = {}, const QString &memo = {}) {
        Payee payee;
        payee.name = name;
        payee.address = address;
        payee.memo = memo;
        return payee;
    }
    // A run of one check per payee, printed at that hour of 2026-12-08, with the address printed.
    void Printed(qint64 checkNo, const QString &payee, int hour, const QString &address = {}) {
        JournalRun run = JournalRunOf(JournalSetup(checkNo));
        run.printedAt = QDateTime(QDate(2026, 12, 8), QTime(hour, 0));
        const JournalCheck check{checkNo, QDate(2026, 12, 8), payee, 1000, QStringLiteral("memo"), 1, 1};
        ASSERT_TRUE(journal.RecordRun(run, {check}, {}, nullptr, nullptr, {}, {address}));
    }
    QStringList ChoiceNames() {
        QList<PayeeChoice> choices;
        EXPECT_TRUE(journal.LoadPayeeChoices(choices));
        QStringList names;
        for (const PayeeChoice &choice : choices) {
            names << choice.name + (choice.inBook ? QStringLiteral(" (book)") : QString());
        }
        return names;
    }

    TempFolder folder;
    CheckJournal journal{folder.path()};
};

TEST_F(PayeeBookTest, aVersion3JournalGainsThePayeeBookKeepingItsChecks) {
    Printed(500, QStringLiteral("Old Payee"), 9);
    journal.Close();
    {
        // The journal as the program before the payee book left it.
        RawJournal raw(folder.file(kJournalPath));
        const char *failed = raw.execAll(kUndoVersion5);
        ASSERT_EQ(failed, nullptr) << failed;
        failed =
            raw.execAll({"DROP TABLE payees", "ALTER TABLE checks DROP COLUMN address", "PRAGMA user_version = 3"});
        ASSERT_EQ(failed, nullptr) << failed;
    }
    ASSERT_TRUE(journal.Open());
    EXPECT_EQ(journal.SchemaVersion(), kJournalVersion);
    QList<CheckJournal::Row> rows;
    ASSERT_TRUE(journal.LoadChecks(rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].check.payee, S("Old Payee"));
    EXPECT_EQ(rows[0].address, QString());
    EXPECT_TRUE(journal.SavePayee(Named(QStringLiteral("Old Payee"), {QStringLiteral("1 Main St")})));
    EXPECT_EQ(ChoiceNames(), Strings({"Old Payee (book)"}));
}

TEST_F(PayeeBookTest, namesAreOnePayeeIgnoringCaseAndSurroundingBlanks) {
    const struct {
        const char *kept;
        const char *second;
        bool secondKept;
    } cases[] = {
        {"Acme Corp", "ACME CORP", false}, {"Blue Gate", "  blue gate ", false}, {"Café Nord", "CAFÉ NORD", false},
        {"Dock Co", "Dock Co.", true},     {"Elm Tree", "Elm  Tree", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.second);
        ASSERT_TRUE(journal.SavePayee(Named(S(c.kept))));
        const FileResult second = journal.SavePayee(Named(S(c.second)));
        EXPECT_EQ(second.ok, c.secondKept) << second.error.toStdString();
        if (!c.secondKept) {
            EXPECT_TRUE(second.error.contains(S(c.kept))) << second.error.toStdString();
        }
    }
    QList<Payee> book;
    ASSERT_TRUE(journal.LoadPayees(book));
    EXPECT_EQ(book.size(), 7);
    // The schema itself holds one row per key, whoever writes.
    journal.Close();
    RawJournal raw(folder.file(kJournalPath));
    EXPECT_FALSE(raw.exec(QStringLiteral("INSERT INTO payees(name, name_key) VALUES('ACME', 'acme corp')")));
}

TEST_F(PayeeBookTest, deletingOrChangingAPayeeLeavesItsPrintedChecksAsTheyWent) {
    qint64 id = 0;
    ASSERT_TRUE(journal.SavePayee(
        Named(QStringLiteral("Harbor Light"), Strings({"12 Quay St", "Portland"}), QStringLiteral("Dock fees")), &id));
    QHash<QString, QStringList> addresses;
    ASSERT_TRUE(journal.PayeeAddresses(Strings({" HARBOR LIGHT", "Nobody"}), addresses));
    EXPECT_EQ(addresses.value(PayeeKey(QStringLiteral("harbor light"))), Strings({"12 Quay St", "Portland"}));
    EXPECT_EQ(addresses.size(), 1);
    Printed(700, QStringLiteral("Harbor Light"), 10, QStringLiteral("12 Quay St\nPortland"));

    Payee moved = Named(QStringLiteral("Harbor Light"), {QStringLiteral("99 Ropewalk")});
    moved.id = id;
    ASSERT_TRUE(journal.SavePayee(moved));
    QList<Payee> book;
    ASSERT_TRUE(journal.LoadPayees(book));
    ASSERT_EQ(book.size(), 1);
    EXPECT_EQ(book[0].lastUsed, QDateTime(QDate(2026, 12, 8), QTime(10, 0)));
    ASSERT_TRUE(journal.DeletePayee(id));
    ASSERT_TRUE(journal.LoadPayees(book));
    EXPECT_TRUE(book.isEmpty());

    QList<CheckJournal::Row> rows;
    ASSERT_TRUE(journal.LoadChecks(rows));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].status, S("issued"));
    EXPECT_EQ(rows[0].address, S("12 Quay St\nPortland"));
    // The printed payee still completes, from the journal now.
    EXPECT_EQ(ChoiceNames(), Strings({"Harbor Light"}));
}

TEST_F(PayeeBookTest, choicesAreOnePerNameMostRecentlyUsedFirst) {
    for (const char *name : {"Never Used", "Zed Hardware", "Mid Supply"}) {
        ASSERT_TRUE(journal.SavePayee(Named(S(name))));
    }
    Printed(801, QStringLiteral("ZED HARDWARE "), 15);
    Printed(802, QStringLiteral("Mid Supply"), 11);
    Printed(803, QStringLiteral("journal only"), 13);
    EXPECT_EQ(ChoiceNames(),
              Strings({"Zed Hardware (book)", "journal only", "Mid Supply (book)", "Never Used (book)"}));

    // An import changes the payee of the same name; one bad payee and nothing changes.
    int added = 0;
    int changed = 0;
    ASSERT_TRUE(
        journal.ImportPayees({Named(QStringLiteral("never used"), {QStringLiteral("5 Elm")})}, &added, &changed));
    EXPECT_EQ(changed, 1);
    EXPECT_FALSE(journal.ImportPayees({Named(QStringLiteral("Fine")), Named(QString(30, u'x'))}, &added, &changed));
    QList<Payee> book;
    ASSERT_TRUE(journal.LoadPayees(book));
    ASSERT_EQ(book.size(), 3);
    EXPECT_EQ(book[1].name + book[1].address.join(QString()), S("never used5 Elm"));
}

} // namespace
