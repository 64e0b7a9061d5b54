#include "import/CheckImport.h"
#include "import/Csv.h"

#include "journal/CheckJournal.h"
#include "platform/QtFiles.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

QString Cells(const QList<QStringList> &rows) {
    QStringList out;
    for (const QStringList &row : rows) {
        out.append(row.join(QLatin1Char('|')));
    }
    return out.join(QLatin1Char('/'));
}

TEST(ImportRows, eachRowTakesTheEntryWindowsVerdictWithItsRowNumber) {
    struct Case {
        const char *payee, *amount, *memo;
        const char *stored;  // payee|amount|memo as the register keeps them, or the reason refused
        const char *verdict; // the verdict's beginning
    };
    const Case cases[] = {
        {"Acme Supply", "1234.56", "Rent", "Acme Supply|1234.56|Rent", "Good"},
        {"Acme Supply", "1,234.56", "Rent", "Acme Supply|1234.56|Rent", "Good"},
        {"Acme Supply", "$1,234.56", "Rent", "Acme Supply|1234.56|Rent", "Good"},
        {"Caf\xc3\xa9 Zo\xc3\xab", "$7", "\xe2\x82\xac fee", "Caf\xc3\xa9 Zo\xc3\xab|7|\xe2\x82\xac fee", "Good"},
        {"Acme", "1,23.00", "Rent", "the amount \"1,23.00\" is not a number", "Refused"},
        {"Acme", "1234.56 USD", "Rent", "the amount \"1234.56 USD\" is not a number", "Refused"},
        {"Acme", "12.345", "Rent", "the amount \"12.345\" has more than two decimals", "Refused"},
        {"Acme", "-5.00", "Rent", "the amount \"-5.00\" is negative", "Refused"},
        {"Acme", "$1,000,000,000.00", "Rent", "the amount \"$1,000,000,000.00\" is too large", "Refused"},
        {"Acme", "0000000000001.00", "Rent", "the amount \"0000000000001.00\" is longer than the 15", "Refused"},
        {"   ", "5", "Rent", "the payee is missing", "Refused"},
        {"Acme", "", "Rent", "the amount is missing", "Refused"},
        {"Acme", "5", "", "the memo is missing", "Refused"},
        {"\xc5\x81\xc3\xb3\x64\xc5\xba", "5", "Rent", "the payee holds the character \"\xc5\x81\" (U+0141)", "Refused"},
        {"Acme", "5", "Rent \xe2\x86\x92 May", "the memo holds the character \"\xe2\x86\x92\" (U+2192)", "Refused"},
        {"Acme", "5", "Two\nlines", "the memo holds the control character U+000A", "Refused"},
        {"The Very Long Name Of A Payee Inc", "5", "Rent", "The Very Long Name Of A P|5|Rent",
         "Payee cut to 25 characters"},
        {"Acme", "5", "A memo far longer than thirty-five characters", "Acme|5|A memo far longer than thirty-five ",
         "Memo cut to 35 characters"},
        {"Printed Payee", "$10.50", "Twice", "Printed Payee|10.50|Twice", "Printed before"},
    };
    QList<QStringList> rows{{S("Amount"), S("Memo"), S("Payee")}, {}};
    for (const Case &c : cases) {
        rows.append({S(c.amount), S(c.memo), S(c.payee)});
    }
    const QSet<QString> printed{PrintedContentKey(S("Printed Payee"), 1050, S("Twice"))};
    const ImportColumns columns = ChooseColumns(rows, {});
    EXPECT_EQ(columns, (ImportColumns{2, 0, 1, true, {S("Payee"), S("Amount"), S("Memo")}}));

    const QList<ImportRow> judged = PreviewImport(rows, columns, printed);
    ASSERT_EQ(judged.size(), std::size(cases)); // the blank row is left out
    for (size_t i = 0; i < std::size(cases); ++i) {
        const ImportRow &row = judged[i];
        SCOPED_TRACE(cases[i].stored);
        EXPECT_EQ(row.row, static_cast<int>(i) + 3);
        const QString stored = row.refused() ? row.reason
                                             : row.record.PayTo + QLatin1Char('|') + row.record.Amount +
                                                   QLatin1Char('|') + row.record.Memo;
        EXPECT_TRUE(stored.startsWith(S(cases[i].stored))) << stored.toStdString();
        EXPECT_TRUE(row.Verdict().startsWith(S(cases[i].verdict))) << row.Verdict().toStdString();
        EXPECT_EQ(row.keep, !row.refused() && !row.printed);
    }
    const QList<RegisterRecord> kept = KeptRecords(judged, 1001, S("12/08/2026"));
    ASSERT_EQ(kept.size(), 6);
    EXPECT_EQ(kept[5].CheckNo, S("1006"));
    EXPECT_EQ(EncodeRecord(kept[4]).mid(30, 25), QByteArray("The Very Long Name Of A P"));
}

TEST(ImportColumnsChoice, headerCaptionsRememberedColumnsOrTheColumnOfAmounts) {
    const ImportColumns remembered{1, 2, 0, true, {S("Who"), S("How much"), S("Why")}};
    struct Case {
        QList<QStringList> rows;
        ImportColumns remembered, expected;
    };
    const Case cases[] = {
        {{{S("Acme"), S("12.00"), S("Rent")}}, {}, {0, 1, 2, false, {}}},
        {{{S("Why"), S("Who"), S("How much")}, {S("Rent"), S("Acme"), S("1")}},
         remembered,
         {1, 2, 0, true, {S("Who"), S("How much"), S("Why")}}},
        {{{S("Note"), S("Vendor"), S("Sum")}, {S("Rent"), S("Acme"), S("1")}},
         {},
         {1, 2, 0, true, {S("Vendor"), S("Sum"), S("Note")}}},
        {{{S("Rent"), S("Acme"), S("$1")}}, remembered, {1, 2, 0, false, {}}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(ChooseColumns(c.rows, c.remembered), c.expected) << Cells(c.rows).toStdString();
    }
    TempFolder folder;
    QtFiles files(folder.path());
    EXPECT_EQ(LoadImportColumns(files), ImportColumns{});
    ASSERT_TRUE(SaveImportColumns(files, remembered));
    EXPECT_EQ(LoadImportColumns(files), remembered);
    EXPECT_EQ(QFile::permissions(folder.file(S("Import.ini"))),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
}

TEST(CsvFile, rfc4180RowsOrARefusalThatImportsNothing) {
    struct Case {
        QByteArray bytes;
        const char *rows;    // cells joined by |, rows by /
        const char *refusal; // part of the message, or empty
    };
    const Case cases[] = {
        {"a,b\r\nc,d\r\n", "a|b/c|d", ""},
        {"\xEF\xBB\xBFPayee,\"1,234.56\",\"He said \"\"hi\"\"\"\n\n", "Payee|1,234.56|He said \"hi\"/", ""},
        {"\"two\nlines\",x\nlast,", "two\nlines|x/last|", ""},
        {"\xFF\xFEP\0a\0", "", "is in UTF-16"},
        {QByteArray("a,b\nc\0d\n", 8), "", "line 2 holds the control byte 0x00"},
        {"x\n\x01\x02\x03", "", "is not a text file"},
        {"Caf\xe9,12.00\n", "", "is not in UTF-8 (line 1"},
        {"a,\"open\nb,c\n", "", "ends inside a quoted field that begins on line 1"},
    };
    for (const Case &c : cases) {
        QList<QStringList> rows;
        const FileResult result = ParseCsv(c.bytes, S("The file x.csv"), rows);
        EXPECT_EQ(result.ok, *c.refusal == '\0') << c.bytes.toStdString();
        EXPECT_TRUE(result.error.contains(S(c.refusal))) << result.error.toStdString();
        EXPECT_EQ(Cells(rows), S(c.rows)) << c.bytes.toStdString();
    }
    TempFolder folder;
    QtFiles files(folder.path());
    for (const qint64 size : {kLargestCsvBytes - 1, kLargestCsvBytes}) {
        QByteArray big(size, 'x');
        big[0] = '\n';
        ASSERT_TRUE(folder.write(S("big.csv"), big));
        QList<QStringList> rows;
        const FileResult result = ReadCsvFile(files, S("/big.csv"), rows);
        EXPECT_EQ(result.ok, size < kLargestCsvBytes) << result.error.toStdString();
        EXPECT_EQ(rows.size(), size < kLargestCsvBytes ? 2 : 0);
    }
}

} // namespace
