#include "history/PayeeCsv.h"

#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QFile>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

Payee Make(const char *name, QStringList address, const char *memo, const char *notes) {
    Payee payee;
    payee.name = S(name);
    payee.address = std::move(address);
    payee.memo = S(memo);
    payee.notes = S(notes);
    return payee;
}

TEST(PayeeCsv, exportThenImportKeepsEveryFieldAndNeutralisesFormulas) {
    const QList<Payee> book{
        Make("=Sum Corp", Strings({"=1+2 Main St", "Suite \"B\", Floor 2"}), "-rent", "@note, with comma"),
        Make("+Plus Co", {}, "", "two\r\nlines"),
        Make("Café Nord", Strings({"Rue 1", "", "Paris"}), "Dues", "Ünïcode notes ✓"),
        Make("'Quoted", {}, "", ""),
    };
    const QByteArray bytes = PayeesCsv(book);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"
                                 "Name,Address 1,Address 2,Address 3,Address 4,Memo,Notes\r\n"));
    // Text a spreadsheet would run gets a leading single quote.
    EXPECT_TRUE(bytes.contains("\r\n'=Sum Corp,'=1+2 Main St,\"Suite \"\"B\"\", Floor 2\",,,'-rent,\"'@note, with "
                               "comma\"\r\n"))
        << bytes.toStdString();
    EXPECT_TRUE(bytes.contains("\r\n'+Plus Co,,,,,,\"two\r\nlines\"\r\n"));

    PayeeRows rows;
    ASSERT_TRUE(ReadPayees(bytes, rows));
    EXPECT_TRUE(rows.problems.isEmpty()) << rows.problems.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(rows.payees, book);

    TempFolder folder;
    const QString path = folder.file(QStringLiteral("payees.csv"));
    ASSERT_TRUE(ExportPayees(book, path));
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ASSERT_TRUE(ReadPayeesFile(path, rows));
    EXPECT_EQ(rows.payees, book);
}

TEST(PayeeCsv, badRowsAreNamedAndTheGoodOnesKept) {
    const QByteArray file = "name,address 1\n"
                            "Good One,1 Elm\n"
                            "A Name Of Twenty-Six Chars\n"
                            "  ,1 Elm\n"
                            "\xCE\xA9mega,\n"
                            "GOOD ONE\n"
                            "Too,Many,Fields,a,b,c,d,e\n"
                            "Wide,12345678901234567890123456789012345678901\n"
                            "Long Memo,,,,,123456789012345678901234567890123456\n"
                            "Plain,,,,,Memo\n";
    PayeeRows rows;
    ASSERT_TRUE(ReadPayees(file, rows));
    ASSERT_EQ(rows.payees.size(), 2);
    EXPECT_EQ(rows.payees[0].name, S("Good One"));
    EXPECT_EQ(rows.payees[0].address, Strings({"1 Elm"}));
    EXPECT_EQ(rows.payees[1].memo, S("Memo"));
    const char *expected[] = {"Row 3: The name \"A Name Of Twenty-Six Chars\" is 26 characters long",
                              "Row 4: The name is blank",
                              "Row 5: The name holds the character \"Ω\"",
                              "Row 6: \"GOOD ONE\" is on an earlier row already",
                              "Row 7: it has 8 fields",
                              "Row 8: The address line 1 is 41 characters",
                              "Row 9: The memo is 36 characters"};
    ASSERT_EQ(rows.problems.size(), static_cast<qsizetype>(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_TRUE(rows.problems[static_cast<qsizetype>(i)].startsWith(S(expected[i])))
            << rows.problems[static_cast<qsizetype>(i)].toStdString();
    }
}

TEST(PayeeCsv, aFileThatIsNotUtf8TextOrTooLargeIsRefusedWhole) {
    const struct {
        const char *what;
        QByteArray bytes;
        const char *reason;
    } cases[] = {
        {"binary", QByteArray("PK\x03\x04\x00\x00zip", 9), "not CSV text in UTF-8"},
        {"Latin-1", QByteArray("Caf\xE9 Nord,1 Rue\n"), "not CSV text in UTF-8"},
        {"10 MB", QByteArray(10 * 1024 * 1024, 'a'), "a payee file must be smaller than 10 MB"},
    };
    for (const auto &c : cases) {
        PayeeRows rows;
        const FileResult read = ReadPayees(c.bytes, rows);
        EXPECT_FALSE(read.ok) << c.what;
        EXPECT_TRUE(read.error.contains(QLatin1String(c.reason))) << c.what << ": " << read.error.toStdString();
        EXPECT_TRUE(rows.payees.isEmpty()) << c.what;
    }
}

} // namespace
