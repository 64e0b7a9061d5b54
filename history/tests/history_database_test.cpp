// The history over the journal's own connection: old files brought up to date, bad files left
// alone, and voiding through the journal while the history has a read open.
#include "history/HistoryModel.h"
#include "history/tests/JournalFixture.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

struct BadJournal {
    const char *label;
    QByteArray bytes;
};

void PrintTo(const BadJournal &row, std::ostream *out) {
    *out << row.label;
}

class BadJournalTest : public ::testing::TestWithParam<BadJournal> {};

TEST_P(BadJournalTest, failsWithAReasonAndLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(kJournalFolder));
    const QString path = QDir(dir.path()).filePath(kJournalFolder + QLatin1Char('/') + kJournalFile);
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().bytes);
    }
    QFile before(path);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    const QByteArray bytes = before.readAll();
    before.close();

    {
        CheckJournal journal(dir.path());
        const FileResult opened = journal.Open();
        EXPECT_FALSE(opened.ok);
        EXPECT_TRUE(opened.error.contains(QDir::toNativeSeparators(path))) << opened.error.toStdString();
    }
    QFile after(path);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), bytes);
}

INSTANTIATE_TEST_SUITE_P(Files, BadJournalTest,
                         ::testing::Values(BadJournal{"text file", QByteArray("\"First Bank\"\r\n").repeated(200)},
                                           BadJournal{"zeros", QByteArray(8192, '\0')}));

TEST(HistoryOverTheJournal, readsAVersionOneJournalBroughtUpToDate) {
    JournalFile journal(1);
    journal.add({{1001, "2026-11-02", "Old style", 500}});
    CheckJournal &opened = journal.openJournal();
    EXPECT_EQ(opened.SchemaVersion(), kJournalVersion);
    HistoryModel model(opened.ConnectionName());
    model.setFilter(HistoryFilter{});
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.rowAt(0).payee, QStringLiteral("Old style"));
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
    CheckJournal &checks = journal.openJournal();
    const qint64 id = journal.add({GetParam().check});
    const QString statusBefore = journal.value(id, QStringLiteral("status")).toString();
    const QVariant reasonBefore = journal.value(id, QStringLiteral("void_reason"));

    const FileResult outcome = checks.VoidCheck(id, QString::fromUtf8(GetParam().reason), GetParam().date);
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
    CheckJournal &checks = journal.openJournal();
    const qint64 id = journal.add({{1001, "2026-11-02", "Acme", 100}});
    const FileResult outcome = checks.VoidCheck(id + 1, QStringLiteral("gone"), QDate(2026, 11, 5));
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(journal.value(id, QStringLiteral("status")).toString(), QStringLiteral("issued"));
}

} // namespace
