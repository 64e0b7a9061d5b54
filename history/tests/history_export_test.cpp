#include "history/HistoryExport.h"
#include "history/HistoryModel.h"
#include "history/tests/JournalFixture.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

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

struct SpreadsheetRow {
    const char *text;
    const char *cell;
};

class SpreadsheetTextTest : public ::testing::TestWithParam<SpreadsheetRow> {};

// The characters OWASP's CSV-injection guidance names start a formula; a single quote before them
// makes the cell plain text. Anything else is left as it is.
TEST_P(SpreadsheetTextTest, neutralisesWhatASpreadsheetWouldRun) {
    EXPECT_EQ(SpreadsheetText(QString::fromUtf8(GetParam().text)), QString::fromUtf8(GetParam().cell));
}

INSTANTIATE_TEST_SUITE_P(Cells, SpreadsheetTextTest,
                         ::testing::Values(SpreadsheetRow{"=HYPERLINK(\"http://x\")", "'=HYPERLINK(\"http://x\")"},
                                           SpreadsheetRow{"+1+2", "'+1+2"}, SpreadsheetRow{"-2+3", "'-2+3"},
                                           SpreadsheetRow{"@SUM(A1)", "'@SUM(A1)"}, SpreadsheetRow{"\tcmd", "'\tcmd"},
                                           SpreadsheetRow{"\rcmd", "'\rcmd"},
                                           SpreadsheetRow{"Acme = best", "Acme = best"},
                                           SpreadsheetRow{" =padded", " =padded"}, SpreadsheetRow{"", ""},
                                           SpreadsheetRow{"'quoted", "'quoted"}));

struct PayeeRow {
    const char *payee;
    int length;
    const char *line;
};

class OneLinePayeeTest : public ::testing::TestWithParam<PayeeRow> {};

TEST_P(OneLinePayeeTest, isOneLineCutToTheLength) {
    EXPECT_EQ(OneLinePayee(QString::fromUtf8(GetParam().payee), GetParam().length), QString::fromUtf8(GetParam().line));
}

INSTANTIATE_TEST_SUITE_P(Payees, OneLinePayeeTest,
                         ::testing::Values(PayeeRow{"line one\r\nline two", 0, "line one line two"},
                                           PayeeRow{"tab\there", 0, "tab here"},
                                           PayeeRow{"Acme Hardware and Lumber", 10, "Acme Hardw"},
                                           PayeeRow{"Ann  Example ", 5, "Ann E"}, PayeeRow{"Ann Ex", 4, "Ann"},
                                           PayeeRow{"\xc3\x89lodie Fran\xc3\xa7"
                                                    "aise",
                                                    6, "\xc3\x89lodie"},
                                           PayeeRow{"Short", 40, "Short"}));

struct SettingsRow {
    const char *label;
    const char *ini;
    QString columns;
    QString dateFormat;
    QString voidCode;
    bool header;
    int payeeLength;
    QStringList problems;
};

void PrintTo(const SettingsRow &row, std::ostream *out) {
    *out << row.label;
}

class ExportSettingsTest : public ::testing::TestWithParam<SettingsRow> {};

// The person's own layout read from Exports.ini: what can be used is kept, each damaged entry keeps
// its default and is named.
TEST_P(ExportSettingsTest, keepsWhatIsReadableAndNamesTheRest) {
    QStringList problems;
    const ExportSettings settings = DecodeExportSettings(QByteArray(GetParam().ini), &problems);
    EXPECT_EQ(FieldsText(settings.custom.fields), GetParam().columns);
    EXPECT_EQ(settings.custom.dateFormat, GetParam().dateFormat);
    EXPECT_EQ(settings.custom.voidCode, GetParam().voidCode);
    EXPECT_EQ(settings.custom.header, GetParam().header);
    EXPECT_EQ(settings.custom.payeeLength, GetParam().payeeLength);
    EXPECT_EQ(problems, GetParam().problems);
    // What was read is written back the same.
    QStringList again;
    EXPECT_EQ(DecodeExportSettings(EncodeExportSettings(settings), &again).custom, settings.custom);
    EXPECT_TRUE(again.isEmpty());
}

const QString kDefaultColumns = QStringLiteral("code, account, number, amount, date, payee");

INSTANTIATE_TEST_SUITE_P(
    Files, ExportSettingsTest,
    ::testing::Values(
        SettingsRow{"missing", "", kDefaultColumns, QStringLiteral("MMDDYY"), QStringLiteral("C"), false, 40, {}},
        SettingsRow{"whole",
                    "[PositivePay]\r\nLayout=My own layout\r\n[MyLayout]\r\nColumns=number,payee\r\n"
                    "DateFormat=YYYY-MM-DD\r\nVoidCode=X\r\nHeader=1\r\nPayeeLength=12\r\n",
                    QStringLiteral("number, payee"),
                    QStringLiteral("YYYY-MM-DD"),
                    QStringLiteral("X"),
                    true,
                    12,
                    {}},
        SettingsRow{"damaged entries",
                    "Columns=number, amonut\nDateFormat=QQ\nVoidCode=I\nHeader=yes\nPayeeLength=-3\nVoidCode=V\n",
                    kDefaultColumns, QStringLiteral("MMDDYY"), QStringLiteral("V"), false, 40,
                    Strings({"Columns", "DateFormat", "VoidCode", "Header", "PayeeLength"})},
        SettingsRow{"binary junk",
                    "\x01\x02=\xff\xfe\n=\n[x",
                    kDefaultColumns,
                    QStringLiteral("MMDDYY"),
                    QStringLiteral("C"),
                    false,
                    40,
                    {}}),
    [](const ::testing::TestParamInfo<SettingsRow> &row) { return "file" + std::to_string(row.index); });

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

ExportRequest Csv() {
    return ExportRequest{};
}

ExportRequest Pay(const PayLayout &layout, const char *digits, bool onlyNew = false) {
    ExportRequest request;
    request.format = ExportFormat::PositivePay;
    request.layout = layout;
    request.accountDigits = QString::fromLatin1(digits);
    request.onlyNew = onlyNew;
    return request;
}

// The sample checks in a journal of the engine engine() names: the file unless a test runs on both.
class ExportTest : public ::testing::Test {
protected:
    virtual Engine engine() const { return Engine::File; }
    void SetUp() override {
        journal_ = std::make_unique<EngineJournal>(engine());
        firstId = journal_->add(SampleChecks());
    }
    EngineJournal &journal() { return *journal_; }

    QByteArray exportBytes(const ExportRequest &request, const HistoryFilter &filter = {},
                           const HistorySort &sort = {}) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const ExportOutcome outcome = WriteExport(journal().connection, filter, sort, request, buffer);
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

    TempFolder folder;
    qint64 firstId = 0;

private:
    std::unique_ptr<EngineJournal> journal_;
};

class ExportOnBothEngines : public ExportTest, public ::testing::WithParamInterface<Engine> {
protected:
    Engine engine() const override { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Engines, ExportOnBothEngines, ::testing::Values(Engine::File, Engine::Server), EngineName);

TEST_P(ExportOnBothEngines, csvIsUtf8WithCrlfQuotedFieldsAndAHeader) {
    HistoryFilter filter;
    filter.checkFrom = 1002;
    filter.checkTo = 1004;
    EXPECT_EQ(
        exportBytes(Csv(), filter),
        QByteArray("\xEF\xBB\xBF"
                   "Check Number,Date Printed,Payee,Amount,Memo,Status,Void Reason,Void Date,Reprinted As,"
                   "Account Number\r\n"
                   "1002,2026-11-02,\"The \"\"Best\"\" Plumbing\",99.99,\"Pipes, valves\",issued,,,,\"1234567\"\r\n"
                   "1003,2026-11-15,M\xc3\xbcller & S\xc3\xb6hne,0.50,,voided,lost in the mail,2026-11-20,,"
                   "\"1234567\"\r\n"
                   "1004,2026-11-30,\"line one\r\nline two\",1000000.00,\"note\nsecond\",issued,,,,"
                   "\"1234567\"\r\n"));
}

struct LayoutRow {
    const char *label;
    PayLayout layout;
    QByteArray bytes;
};

void PrintTo(const LayoutRow &row, std::ostream *out) {
    *out << row.label;
}

PayLayout OwnLayout() {
    PayLayout own;
    own.name = CustomLayoutName();
    own.fields = {PayField::CheckNo, PayField::Payee, PayField::Date, PayField::Code};
    own.dateFormat = QStringLiteral("YYYY-MM-DD");
    own.voidCode = QStringLiteral("X");
    own.header = true;
    own.payeeLength = 5;
    return own;
}

class PositivePayLayoutTest : public ExportTest, public ::testing::WithParamInterface<std::tuple<Engine, LayoutRow>> {
protected:
    Engine engine() const override { return std::get<0>(GetParam()); }
    const LayoutRow &row() const { return std::get<1>(GetParam()); }
};

// Checks 1003 to 1006 of account 1234567: void (voided 2026-11-20), issued with a two-line payee,
// spoiled and reprinted (2026-12-01) and its reprint. A void row carries its void date; payees are
// one line, cut to the layout's length.
TEST_P(PositivePayLayoutTest, writesTheBanksColumnsCodesAndDates) {
    HistoryFilter filter;
    filter.checkFrom = 1003;
    filter.checkTo = 1007;
    const QByteArray bytes = exportBytes(Pay(row().layout, "1234567"), filter);
    EXPECT_EQ(bytes, row().bytes) << bytes.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PositivePayLayoutTest,
    ::testing::Combine(::testing::Values(Engine::File, Engine::Server),
                       ::testing::Values(LayoutRow{"issue code first", BuiltInLayouts()[0],
                                                   "C,1234567,1003,0.50,112026,M\xc3\xbcller & S\xc3\xb6hne\r\n"
                                                   "I,1234567,1004,1000000.00,113026,line one line two\r\n"
                                                   "C,1234567,1005,700.01,120126,\xc3\x89lodie Fran\xc3\xa7"
                                                   "aise\r\n"
                                                   "I,1234567,1006,700.01,120126,\xc3\x89lodie Fran\xc3\xa7"
                                                   "aise\r\n"},
                                         LayoutRow{"account amount number date", BuiltInLayouts()[1],
                                                   "1234567,0.50,1003,11/20/2026,V\r\n"
                                                   "1234567,1000000.00,1004,11/30/2026,I\r\n"
                                                   "1234567,700.01,1005,12/01/2026,V\r\n"
                                                   "1234567,700.01,1006,12/01/2026,I\r\n"},
                                         LayoutRow{"account number amount date code payee", BuiltInLayouts()[2],
                                                   "1234567,1003,0.50,112026,V,M\xc3\xbcller & S\xc3\xb6hne\r\n"
                                                   "1234567,1004,1000000.00,113026,I,line one line two\r\n"
                                                   "1234567,1005,700.01,120126,V,\xc3\x89lodie Fran\xc3\xa7"
                                                   "aise\r\n"
                                                   "1234567,1006,700.01,120126,I,\xc3\x89lodie Fran\xc3\xa7"
                                                   "aise\r\n"},
                                         LayoutRow{"own columns with a header", OwnLayout(),
                                                   "Check Number,Payee,Date,Code\r\n"
                                                   "1003,M\xc3\xbclle,2026-11-20,X\r\n"
                                                   "1004,line,2026-11-30,I\r\n"
                                                   "1005,\xc3\x89lodi,2026-12-01,X\r\n"
                                                   "1006,\xc3\x89lodi,2026-12-01,I\r\n"})));

TEST_P(ExportOnBothEngines, positivePayHoldsOneAccountByItsDigits) {
    EXPECT_EQ(exportBytes(Pay(BuiltInLayouts()[1], "7654321")), QByteArray("7654321,0.01,1007,12/05/2026,I\r\n"));
    EXPECT_EQ(exportBytes(Pay(BuiltInLayouts()[1], "999")), QByteArray());
}

// What an export sent is remembered: the next "only new" export sends nothing again, a check voided
// since goes out once more as void with its void date, and "all" sends everything.
TEST_P(ExportOnBothEngines, onlyNewSendsWhatNoEarlierExportSent) {
    CheckJournal &checks = journal().checks();
    const PayLayout layout = BuiltInLayouts()[1];
    const QString path = folder.file(QStringLiteral("pay.csv"));
    ExportOutcome first = ExportToFile(journal().connection, {}, {}, Pay(layout, "1234567", true), path);
    ASSERT_TRUE(first.ok) << first.error.toStdString();
    EXPECT_EQ(first.rows, 7);
    ASSERT_EQ(first.checkIds.size(), 7);
    EXPECT_EQ(first.codes.count(QLatin1Char('V')), 2);
    ASSERT_TRUE(checks
                    .RecordExport({QDateTime(QDate(2026, 12, 6), QTime(9, 0)), QStringLiteral("1234567"), layout.name,
                                   path, first.checkIds, first.codes})
                    .ok);
    EXPECT_EQ(exportBytes(Pay(layout, "1234567", true)), QByteArray());

    ASSERT_TRUE(checks.VoidCheck(firstId + 1, QStringLiteral("stolen"), QDate(2026, 12, 7)).ok); // 1002
    EXPECT_EQ(exportBytes(Pay(layout, "1234567", true)), QByteArray("1234567,99.99,1002,12/07/2026,V\r\n"));
    EXPECT_EQ(exportBytes(Pay(layout, "1234567", false)).count("\r\n"), 7);

    // Nothing new: no file at all when the export is told not to write an empty one.
    ExportRequest quiet = Pay(layout, "7654321", true);
    const QString none = folder.file(QStringLiteral("none.csv"));
    ASSERT_TRUE(checks
                    .RecordExport({QDateTime(QDate(2026, 12, 6), QTime(9, 0)),
                                   QStringLiteral("7654321"),
                                   layout.name,
                                   none,
                                   {7},
                                   {QLatin1Char('I')}})
                    .ok);
    quiet.writeEmpty = false;
    const ExportOutcome empty = ExportToFile(journal().connection, {}, {}, quiet, none);
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.rows, 0);
    EXPECT_FALSE(QFileInfo::exists(none));
}

TEST_P(ExportOnBothEngines, followsTheFilterAndSortOfTheHistory) {
    HistoryFilter filter;
    filter.status = StatusFilter::Issued;
    const HistorySort sort{ColAmount, true};
    HistoryModel model(journal().connection);
    model.setFilter(filter);
    model.setSort(sort);
    QStringList shown;
    for (int row = 0; row < model.rowCount(); ++row) {
        shown << QString::number(model.rowAt(row).checkNo);
    }
    const QString path = folder.file(QStringLiteral("positive-pay.csv"));
    ASSERT_TRUE(ExportToFile(journal().connection, filter, sort, Csv(), path).ok);
    QStringList exported;
    QList<QStringList> records = ReadWithPython(path);
    ASSERT_FALSE(records.isEmpty());
    records.removeFirst();
    for (const QStringList &record : records) {
        exported << record.value(0);
    }
    EXPECT_EQ(exported, shown);
    EXPECT_EQ(shown.size(), 6);
}

TEST_P(ExportOnBothEngines, bothFilesReadBackWithPythonsCsvModule) {
    // The bank's layout with every column, the payee whole.
    PayLayout every = BuiltInLayouts()[2];
    every.payeeLength = 0;
    for (const ExportFormat format : {ExportFormat::Csv, ExportFormat::PositivePay}) {
        const QString path = folder.file(format == ExportFormat::Csv ? QStringLiteral("history.csv")
                                                                     : QStringLiteral("positive-pay.csv"));
        const bool csv = format == ExportFormat::Csv;
        // Positive pay: one account per file; the sample's other account is 1007's alone.
        const ExportOutcome outcome =
            ExportToFile(journal().connection, {}, {}, csv ? Csv() : Pay(every, "1234567"), path);
        ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
        EXPECT_EQ(outcome.rows, csv ? 8 : 7);

        QList<QStringList> records = ReadWithPython(path);
        if (format == ExportFormat::Csv) {
            ASSERT_FALSE(records.isEmpty());
            EXPECT_EQ(records.takeFirst().first(), QStringLiteral("Check Number"));
        }
        QList<TestCheck> expected = SampleChecks();
        if (!csv) {
            expected.removeIf([](const TestCheck &check) { return check.checkNo == 1007; });
        }
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
                const QDate date = QDate::fromString(
                    QString::fromUtf8(issued || !check.voidDate ? check.date : check.voidDate), Qt::ISODate);
                EXPECT_EQ(fields[0], QString::fromUtf8(check.account));
                EXPECT_EQ(fields[1], QString::number(check.checkNo));
                EXPECT_EQ(fields[2], amount);
                EXPECT_EQ(fields[3], date.toString(QStringLiteral("MMddyy")));
                EXPECT_EQ(fields[4], issued ? QStringLiteral("I") : QStringLiteral("V"));
                EXPECT_EQ(fields[5], QString::fromUtf8(check.payee).simplified());
            }
        }
    }
}

TEST_F(ExportTest, theFileIsForItsOwnerOnlyEvenWhenReplacingAnOpenerOne) {
    const QString path = folder.file(QStringLiteral("history.csv"));
    ASSERT_TRUE(folder.write(QStringLiteral("history.csv"), "old"));
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
                                    QFileDevice::ReadOther);
    ASSERT_TRUE(ExportToFile(journal().connection, {}, {}, Csv(), path).ok);
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_TRUE(folder.read(QStringLiteral("history.csv"))
                    .startsWith("\xEF\xBB\xBF"
                                "Check Number,"));
    EXPECT_EQ(folder.entries(), QStringList{QStringLiteral("history.csv")});
}

TEST_F(ExportTest, aFolderThatCannotBeWrittenLeavesNoFileAndSaysWhy) {
    ASSERT_TRUE(folder.write(QStringLiteral("not-a-folder"), "x"));
    for (const QString &path : {folder.file(QStringLiteral("missing/history.csv")),
                                folder.file(QStringLiteral("not-a-folder/history.csv"))}) {
        SCOPED_TRACE(path.toStdString());
        const ExportOutcome outcome = ExportToFile(journal().connection, {}, {}, Csv(), path);
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
    const ExportOutcome outcome = ExportToFile(journal().connection, {}, {}, Pay(BuiltInLayouts()[0], "1234567"), path);
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
    journal().add(many);
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
    const ExportOutcome outcome = ExportToFile(journal().connection, {}, {}, Csv(), path);
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
    const ExportOutcome outcome = ExportToFile(QStringLiteral("no-such-connection"), {}, {}, Csv(), path);
    EXPECT_FALSE(outcome.ok);
    EXPECT_FALSE(outcome.error.isEmpty());
    EXPECT_TRUE(folder.entries().isEmpty());
}

struct WhoExportRow {
    const char *label;
    const char *user;
    const char *computer;
    StatusFilter status;
    qint64 rows; // of the CSV and of positive pay alike
};

void PrintTo(const WhoExportRow &row, std::ostream *out) {
    *out << row.label;
}

class WhoExportTest : public ::testing::TestWithParam<std::tuple<Engine, WhoExportRow>> {};

// The exports follow the person and computer filters, and never write a check that waits for
// approval or was approved and not printed: no such check was issued.
TEST_P(WhoExportTest, writesThePersonsIssuedChecksAndNoneAwaitingApproval) {
    const auto &[engine, row] = GetParam();
    EngineJournal journal(engine);
    journal.add(WhoChecks());
    HistoryFilter filter;
    filter.user = QString::fromLatin1(row.user);
    filter.computer = QString::fromLatin1(row.computer);
    filter.status = row.status;
    for (const ExportRequest &request : {Csv(), Pay(BuiltInLayouts()[1], "1234567")}) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        const ExportOutcome outcome = WriteExport(journal.connection, filter, {}, request, buffer);
        ASSERT_TRUE(outcome.ok) << outcome.error.toStdString();
        EXPECT_EQ(outcome.rows, row.rows);
        EXPECT_FALSE(buffer.data().contains("carol")) << buffer.data().toStdString();
    }
    QList<ExportAccount> accounts;
    QString error;
    ASSERT_TRUE(ListExportAccounts(journal.connection, accounts, &error)) << error.toStdString();
    ASSERT_EQ(accounts.size(), 1);
    EXPECT_EQ(accounts[0].checks, 2);
}

INSTANTIATE_TEST_SUITE_P(
    People, WhoExportTest,
    ::testing::Combine(::testing::Values(Engine::File, Engine::Server),
                       ::testing::Values(WhoExportRow{"everyone", "", "", StatusFilter::All, 2},
                                         WhoExportRow{"who printed and voided", "anna", "", StatusFilter::All, 2},
                                         WhoExportRow{"who printed one and asked", "bob", "", StatusFilter::All, 1},
                                         WhoExportRow{"who only approved", "carol", "", StatusFilter::All, 0},
                                         WhoExportRow{"the approver's computer", "", "laptop", StatusFilter::All, 0},
                                         WhoExportRow{"awaiting approval", "", "", StatusFilter::Awaiting, 0})));

} // namespace
