#include "history/HistoryDatabase.h"
#include "history/HistoryModel.h"
#include "history/tests/JournalFixture.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

TEST(OpenHistoryDatabase, aMissingJournalIsAnEmptyHistoryAndNoFileAppears) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CheckJournal.db"));
    const HistoryConnection connection = OpenHistoryDatabase(path);
    ASSERT_TRUE(connection.ok()) << connection.error.toStdString();
    {
        HistoryModel model(connection.connectionName);
        model.setFilter(HistoryFilter{});
        EXPECT_TRUE(model.lastError().isEmpty()) << model.lastError().toStdString();
        EXPECT_EQ(model.rowCount(), 0);
        EXPECT_EQ(model.totalCents(), 0);
    }
    CloseHistoryDatabase(connection.connectionName);
    EXPECT_FALSE(QFileInfo::exists(path));
    EXPECT_FALSE(QSqlDatabase::contains(connection.connectionName));
}

struct BadJournal {
    const char *label;
    QByteArray bytes; // empty: a database without the checks table
};

void PrintTo(const BadJournal &row, std::ostream *out) {
    *out << row.label;
}

class BadJournalTest : public ::testing::TestWithParam<BadJournal> {};

TEST_P(BadJournalTest, failsWithAReasonAndLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("CheckJournal.db"));
    if (GetParam().bytes.isEmpty()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bad-journal"));
        db.setDatabaseName(path);
        ASSERT_TRUE(db.open());
        QSqlQuery(db).exec(QStringLiteral("CREATE TABLE other(x)"));
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("bad-journal"));
    } else {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().bytes);
    }
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();

    const HistoryConnection connection = OpenHistoryDatabase(path);
    EXPECT_FALSE(connection.ok());
    EXPECT_FALSE(connection.error.isEmpty());
    EXPECT_FALSE(QSqlDatabase::contains(connection.connectionName));
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, BadJournalTest,
                         ::testing::Values(BadJournal{"text file", QByteArray("\"First Bank\"\r\n").repeated(200)},
                                           BadJournal{"no checks table", QByteArray()}));

TEST(OpenHistoryDatabase, readsAVersionOneJournal) {
    JournalFile journal(1);
    journal.add({{1001, "2026-11-02", "Old style", 500}});
    const HistoryConnection connection = OpenHistoryDatabase(journal.path);
    ASSERT_TRUE(connection.ok()) << connection.error.toStdString();
    {
        HistoryModel model(connection.connectionName);
        model.setFilter(HistoryFilter{});
        ASSERT_EQ(model.rowCount(), 1);
        EXPECT_EQ(model.rowAt(0).payee, QStringLiteral("Old style"));
    }
    CloseHistoryDatabase(connection.connectionName);
}

struct VoidRow {
    const char *label;
    TestCheck check;
    const char *reason;
    QDate date;
    bool ok;
};

void PrintTo(const VoidRow &row, std::ostream *out) {
    *out << row.label;
}

class VoidCheckTest : public ::testing::TestWithParam<VoidRow> {};

TEST_P(VoidCheckTest, voidsOnlyAnIssuedCheckWithAReasonAndAPlausibleDate) {
    JournalFile journal;
    const qint64 id = journal.add({GetParam().check});
    const QString statusBefore = journal.value(id, QStringLiteral("status")).toString();
    const QVariant reasonBefore = journal.value(id, QStringLiteral("void_reason"));

    const VoidOutcome outcome =
        VoidCheck(journal.connection, id, QString::fromUtf8(GetParam().reason), GetParam().date);
    EXPECT_EQ(outcome.ok, GetParam().ok) << outcome.error.toStdString();
    if (GetParam().ok) {
        EXPECT_EQ(journal.value(id, QStringLiteral("status")).toString(), QStringLiteral("voided"));
        EXPECT_EQ(journal.value(id, QStringLiteral("void_reason")).toString(),
                  QString::fromUtf8(GetParam().reason).trimmed());
        EXPECT_EQ(journal.value(id, QStringLiteral("void_date")).toString(), GetParam().date.toString(Qt::ISODate));
    } else {
        EXPECT_FALSE(outcome.error.isEmpty());
        EXPECT_EQ(journal.value(id, QStringLiteral("status")).toString(), statusBefore);
        EXPECT_EQ(journal.value(id, QStringLiteral("void_reason")), reasonBefore);
    }
    // No transaction is left open: another write goes through.
    QSqlQuery write(QSqlDatabase::database(journal.connection));
    EXPECT_TRUE(write.exec(QStringLiteral("UPDATE checks SET memo = 'x' WHERE id = ") + QString::number(id)));
    EXPECT_FALSE(QSqlDatabase::database(journal.connection).rollback()); // nothing to roll back
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VoidCheckTest,
    ::testing::Values(VoidRow{"issued", {1001, "2026-11-02", "Acme", 100}, "  lost in the mail ", {2026, 11, 5}, true},
                      VoidRow{"same day as printed", {1001, "2026-11-02", "Acme", 100}, "typo", {2026, 11, 2}, true},
                      VoidRow{"already voided",
                              {1001, "2026-11-02", "Acme", 100, "", "voided", "first", "2026-11-03"},
                              "second",
                              {2026, 11, 5},
                              false},
                      VoidRow{"reprinted",
                              {1001, "2026-11-02", "Acme", 100, "", "reprinted", "spoiled", "2026-11-02", 1002},
                              "again",
                              {2026, 11, 5},
                              false},
                      VoidRow{"blank reason", {1001, "2026-11-02", "Acme", 100}, "   ", {2026, 11, 5}, false},
                      VoidRow{
                          "before it was printed", {1001, "2026-11-02", "Acme", 100}, "early", {2026, 11, 1}, false},
                      VoidRow{"invalid date", {1001, "2026-11-02", "Acme", 100}, "no date", QDate(), false}));

TEST(VoidCheck, anUnknownCheckChangesNothing) {
    JournalFile journal;
    const qint64 id = journal.add({{1001, "2026-11-02", "Acme", 100}});
    const VoidOutcome outcome = VoidCheck(journal.connection, id + 1, QStringLiteral("gone"), QDate(2026, 11, 5));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(journal.value(id, QStringLiteral("status")).toString(), QStringLiteral("issued"));
}

} // namespace
