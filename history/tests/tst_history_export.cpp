#include "history/HistoryExport.h"
#include "history/HistoryModel.h"
#include "history/tests/JournalFixture.h"
#include "platform/testing/TempFolder.h"

#include <QBuffer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>

#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct FieldRow {
    const char *text;
    const char *csv;
};

class CsvFieldTest : public ::testing::TestWithParam<FieldRow> {};

TEST_P(CsvFieldTest, quotesOnlyWhatNeedsIt) {
    EXPECT_EQ(CsvField(QString::fromUtf8(GetParam().text)), QString::fromUtf8(GetParam().csv));
}

INSTANTIATE_TEST_SUITE_P(Fields, CsvFieldTest,
                         ::testing::Values(FieldRow{"plain", "plain"}, FieldRow{"", ""}, FieldRow{"a,b", "\"a,b\""},
                                           FieldRow{"say \"hi\"", "\"say \"\"hi\"\"\""}, FieldRow{"\"", "\"\"\"\""},
                                           FieldRow{"cr\rhere", "\"cr\rhere\""}, FieldRow{"lf\nhere", "\"lf\nhere\""},
                                           FieldRow{" spaces kept ", " spaces kept "},
                                           FieldRow{"M\xc3\xbcller", "M\xc3\xbcller"}));

struct AmountRow {
    qint64 cents;
    const char *plain;
};

class PlainAmountTest : public ::testing::TestWithParam<AmountRow> {};

TEST_P(PlainAmountTest, isADecimalWithAPointAndTwoPlaces) {
    EXPECT_EQ(PlainAmount(GetParam().cents), QString::fromLatin1(GetParam().plain));
}

INSTANTIATE_TEST_SUITE_P(Amounts, PlainAmountTest,
                         ::testing::Values(AmountRow{123450, "1234.50"}, AmountRow{0, "0.00"}, AmountRow{5, "0.05"},
                                           AmountRow{100, "1.00"}, AmountRow{99999999999, "999999999.99"},
                                           AmountRow{-5, "-0.05"},
                                           AmountRow{std::numeric_limits<qint64>::min(), "-92233720368547758.08"}));

class ExportTest : public ::testing::Test {
protected:
    void SetUp() override { journal.add(SampleChecks()); }

    QByteArray exportBytes(ExportFormat format, const HistoryFilter &filter = {}, const HistorySort &sort = {}) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const ExportOutcome outcome = WriteExport(journal.connection, filter, sort, format, buffer);
        EXPECT_TRUE(outcome.ok) << outcome.error.toStdString();
        return buffer.data();
    }

    // The file's records as Python's csv module reads them.
    static QList<QStringList> ReadWithPython(const QString &path) {
        QProcess python;
        python.start(QStringLiteral("python3"), {QStringLiteral(READ_CSV_SCRIPT), path});
        EXPECT_TRUE(python.waitForFinished(30000));
        EXPECT_EQ(python.exitCode(), 0) << python.readAllStandardError().toStdString();
        QList<QStringList> records;
        for (const QJsonValue &record : QJsonDocument::fromJson(python.readAllStandardOutput()).array()) {
            QStringList fields;
            for (const QJsonValue &field : record.toArray()) {
                fields << field.toString();
            }
            records << fields;
        }
        return records;
    }

    JournalFile journal;
    TempFolder folder;
};

TEST_F(ExportTest, csvIsUtf8WithCrlfQuotedFieldsAndAHeader) {
    HistoryFilter filter;
    filter.checkFrom = 1002;
    filter.checkTo = 1004;
    EXPECT_EQ(exportBytes(ExportFormat::Csv, filter),
              QByteArray("Check Number,Date Printed,Payee,Amount,Memo,Status,Void Reason,Void Date,Reprinted As,"
                         "Account Number\r\n"
                         "1002,2026-11-02,\"The \"\"Best\"\" Plumbing\",99.99,\"Pipes, valves\",issued,,,,1234567\r\n"
                         "1003,2026-11-15,M\xc3\xbcller & S\xc3\xb6hne,0.50,,voided,lost in the mail,2026-11-20,,"
                         "1234567\r\n"
                         "1004,2026-11-30,\"line one\r\nline two\",1000000.00,\"note\nsecond\",issued,,,,1234567\r\n"));
}

TEST_F(ExportTest, positivePayHasTheBankColumnsAndNoHeader) {
    HistoryFilter filter;
    filter.checkFrom = 1003;
    filter.checkTo = 1006;
    EXPECT_EQ(exportBytes(ExportFormat::PositivePay, filter),
              QByteArray("1234567,1003,2026-11-15,0.50,M\xc3\xbcller & S\xc3\xb6hne,V\r\n"
                         "1234567,1004,2026-11-30,1000000.00,\"line one\r\nline two\",I\r\n"
                         "1234567,1005,2026-12-01,700.01,\xc3\x89lodie Fran\xc3\xa7"
                         "aise,V\r\n"
                         "1234567,1006,2026-12-01,700.01,\xc3\x89lodie Fran\xc3\xa7"
                         "aise,I\r\n"));
}

TEST_F(ExportTest, followsTheFilterAndSortOfTheHistory) {
    HistoryFilter filter;
    filter.status = StatusFilter::Issued;
    const HistorySort sort{ColAmount, true};
    HistoryModel model(journal.connection);
    model.setFilter(filter);
    model.setSort(sort);
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << QString::number(model.rowAt(row).checkNo);
    }
    const QString path = folder.file(QStringLiteral("positive-pay.csv"));
    ASSERT_TRUE(ExportToFile(journal.connection, filter, sort, ExportFormat::PositivePay, path).ok);
    QStringList exported;
    for (const QStringList &record : ReadWithPython(path)) {
        exported << record.value(1);
    }
    EXPECT_EQ(exported, shown);
    EXPECT_EQ(shown.size(), 6);
}

TEST_F(ExportTest, bothFilesReadBackWithPythonsCsvModule) {
    for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::PositivePay}) {
        const QString path = folder.file(format == ExportFormat::Csv ? QStringLiteral("history.csv")
                                                                     : QStringLiteral("positive-pay.csv"));
        const ExportOutcome outcome = ExportToFile(journal.connection, {}, {}, format, path);
        ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
        EXPECT_EQ(outcome.rows, 8);

        QList<QStringList> records = ReadWithPython(path);
        if (format == ExportFormat::Csv) {
            ASSERT_FALSE(records.isEmpty());
            EXPECT_EQ(records.takeFirst().first(), QStringLiteral("Check Number"));
        }
        QList<TestCheck> expected = SampleChecks();
        std::sort(expected.begin(), expected.end(),
                  [](const TestCheck &a, const TestCheck &b) { return a.checkNo < b.checkNo; });
        ASSERT_EQ(records.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const TestCheck &check = expected[i];
            const QStringList &fields = records[i];
            SCOPED_TRACE(check.checkNo);
            const bool issued = QByteArray(check.status) == "issued";
            const QString amount = QString::number(check.cents / 100) + QLatin1Char('.') +
                                   QString::number(check.cents % 100).rightJustified(2, QLatin1Char('0'));
            if (format == ExportFormat::Csv) {
                ASSERT_EQ(fields.size(), 10);
                EXPECT_EQ(fields[0], QString::number(check.checkNo));
                EXPECT_EQ(fields[1], QString::fromUtf8(check.date));
                EXPECT_EQ(fields[2], QString::fromUtf8(check.payee));
                EXPECT_EQ(fields[3], amount);
                EXPECT_EQ(fields[4], QString::fromUtf8(check.memo));
                EXPECT_EQ(fields[5], QString::fromUtf8(check.status));
                EXPECT_EQ(fields[6], check.voidReason ? QString::fromUtf8(check.voidReason) : QString());
                EXPECT_EQ(fields[8], check.reprintedAs ? QString::number(check.reprintedAs) : QString());
                EXPECT_EQ(fields[9], QString::fromUtf8(check.account));
            } else {
                ASSERT_EQ(fields.size(), 6);
                EXPECT_EQ(fields[0], QString::fromUtf8(check.account));
                EXPECT_EQ(fields[1], QString::number(check.checkNo));
                EXPECT_EQ(fields[2], QString::fromUtf8(check.date));
                EXPECT_EQ(fields[3], amount);
                EXPECT_EQ(fields[4], QString::fromUtf8(check.payee));
                EXPECT_EQ(fields[5], issued ? QStringLiteral("I") : QStringLiteral("V"));
            }
        }
    }
}

TEST_F(ExportTest, theFileIsForItsOwnerOnlyEvenWhenReplacingAnOpenerOne) {
    const QString path = folder.file(QStringLiteral("history.csv"));
    ASSERT_TRUE(folder.write(QStringLiteral("history.csv"), "old"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
    ASSERT_TRUE(ExportToFile(journal.connection, {}, {}, ExportFormat::Csv, path).ok);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(folder.read(QStringLiteral("history.csv")).startsWith("Check Number,"));
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("history.csv")});
}

TEST_F(ExportTest, aFolderThatCannotBeWrittenLeavesNoFileAndSaysWhy) {
    ASSERT_TRUE(folder.write(QStringLiteral("not-a-folder"), "x"));
    for (const QString &path : {folder.file(QStringLiteral("missing/history.csv")),
                                folder.file(QStringLiteral("not-a-folder/history.csv"))}) {
        SCOPED_TRACE(path.toStdString());
        const ExportOutcome outcome = ExportToFile(journal.connection, {}, {}, ExportFormat::Csv, path);
        EXPECT_FALSE(outcome.ok);
        EXPECT_FALSE(outcome.error.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("not-a-folder")});
}

TEST_F(ExportTest, aReadOnlyFolderLeavesNoFile) {
    // Root writes through permission bits, so the folder is a file system mounted read-only.
    ScopedTmpfs tmpfs(1 << 20);
    if (!tmpfs.mounted()) {
        GTEST_SKIP() << tmpfs.reason().toStdString();
    }
    ASSERT_EQ(::mount("tmpfs", QFile::encodeName(tmpfs.path()).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr),
              0);
    const QString path = tmpfs.path() + QStringLiteral("/history.csv");
    const ExportOutcome outcome = ExportToFile(journal.connection, {}, {}, ExportFormat::PositivePay, path);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_TRUE(QDir(tmpfs.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

TEST_F(ExportTest, aFullDiskLeavesNoPartialFileAndKeepsTheOldOne) {
    // Enough rows that the export is written in several pieces.
    QList<TestCheck> many;
    for (int i = 0; i < 5000; ++i) {
        many.append({5000 + i, "2026-12-02", "A payee long enough to fill the disk quickly", 100 + i});
    }
    journal.add(many);
    ScopedTmpfs tmpfs(64 * 1024);
    if (!tmpfs.mounted()) {
        GTEST_SKIP() << tmpfs.reason().toStdString();
    }
    const QString path = tmpfs.path() + QStringLiteral("/history.csv");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("older export\r\n");
    }
    const ExportOutcome outcome = ExportToFile(journal.connection, {}, {}, ExportFormat::Csv, path);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_EQ(QDir(tmpfs.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{QStringLiteral("history.csv")});
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("older export\r\n"));
}

TEST_F(ExportTest, aJournalThatCannotBeReadLeavesNoFile) {
    const QString path = folder.file(QStringLiteral("history.csv"));
    const ExportOutcome outcome = ExportToFile(QStringLiteral("no-such-connection"), {}, {}, ExportFormat::Csv, path);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_TRUE(folder.entries().isEmpty());
}

} // namespace
