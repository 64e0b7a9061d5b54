#include "checkbook/CheckbookSettings.h"

#include "platform/testing/FakePlatform.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

CheckbookSettings Settings(const char *bank, const char *acct, const char *checkNo, const char *onForm,
                           const char *style) {
    return {S(bank), S(acct), S(checkNo), S(onForm), S(style)};
}

// The example file, byte for byte.
const CheckbookSettings kExample = Settings("First Example Bank", "0012-345678", "1041", "3", "Deluxe Wallet-Size");
const QByteArray kExampleBytes = "\"First Example Bank\"\r\n"
                                 "\"0012-345678\"\r\n"
                                 "\"1041\"\r\n"
                                 "\"3\"\r\n"
                                 "\"Deluxe Wallet-Size\"\r\n";

bool Same(const CheckbookSettings &a, const CheckbookSettings &b) {
    return a.BankName == b.BankName && a.AcctNo == b.AcctNo && a.CheckNo == b.CheckNo &&
           a.ChecksOnForm == b.ChecksOnForm && a.CheckStyle == b.CheckStyle;
}

std::string Show(const CheckbookSettings &s) {
    return QStringList({s.BankName, s.AcctNo, s.CheckNo, s.ChecksOnForm, s.CheckStyle}).join(S("|")).toStdString();
}

TEST(SettingsBytes, exampleFileIsWrittenExactly) {
    EXPECT_EQ(EncodeSettings(kExample), kExampleBytes);
}

TEST(SettingsBytes, emptyValueIsTwoDoubleQuotesAndTextGoesOutInTheCodePage) {
    const CheckbookSettings settings = Settings("Cr\xc3\xa9"
                                                "dit Mutuel, Paris",
                                                "", "7", "1", "Deluxe 3-On-A-Page");
    EXPECT_EQ(EncodeSettings(settings), QByteArray("\"Cr\xe9"
                                                   "dit Mutuel, Paris\"\r\n\"\"\r\n\"7\"\r\n\"1\"\r\n"
                                                   "\"Deluxe 3-On-A-Page\"\r\n"));
}

struct DecodeRow {
    const char *label;
    QByteArray bytes;
    CheckbookSettings settings;
};

void PrintTo(const DecodeRow &row, std::ostream *out) {
    *out << row.label;
}

class DecodeTest : public ::testing::TestWithParam<DecodeRow> {};

TEST_P(DecodeTest, readsFiveFieldsByTheSequentialInputRules) {
    CheckbookSettings settings;
    QString error;
    ASSERT_TRUE(DecodeSettings(GetParam().bytes, settings, &error)) << error.toStdString();
    EXPECT_TRUE(Same(settings, GetParam().settings)) << Show(settings);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DecodeTest,
    ::testing::Values(
        DecodeRow{"the example", kExampleBytes, kExample},
        DecodeRow{"comma inside quotes", "\"Bank, Trust & Co\"\r\n\"\"\r\n\"12\"\r\n\"2\"\r\n\"x\"\r\n",
                  Settings("Bank, Trust & Co", "", "12", "2", "x")},
        DecodeRow{"blanks inside quotes kept", "\"  padded  \"\r\n\" \"\r\n\"1\"\r\n\"3\"\r\n\"s\"\r\n",
                  Settings("  padded  ", " ", "1", "3", "s")},
        DecodeRow{"blanks before a quote skipped", "  \"a\"\r\n\t\"b\"\r\n \"1\"\r\n\"2\"\r\n\"s\"\r\n",
                  Settings("a", "b", "1", "2", "s")},
        DecodeRow{"unquoted fields run to comma or line end", "Bank , Acct\r\n 1041 \r\n3,Deluxe Wallet-Size\r\n",
                  Settings("Bank", "Acct", "1041", "3", "Deluxe Wallet-Size")},
        DecodeRow{"LF line ends and no last line end", "\"a\"\n\"b\"\n\"1\"\n\"2\"\n\"s\"",
                  Settings("a", "b", "1", "2", "s")},
        DecodeRow{"text after a closing quote ignored", "\"a\" junk\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                  Settings("a", "b", "1", "2", "s")},
        DecodeRow{"anything after five values ignored", kExampleBytes + "\"sixth\"\r\nmore\r\n", kExample},
        DecodeRow{"code page characters", "\"Caf\xe9 \x80\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                  Settings("Caf\xc3\xa9 \xe2\x82\xac", "b", "1", "2", "s")},
        DecodeRow{"a line break inside quotes", "\"two\r\nlines\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                  Settings("two\r\nlines", "b", "1", "2", "s")},
        DecodeRow{"byte-order mark before the example", "\xef\xbb\xbf" + kExampleBytes, kExample},
        DecodeRow{"byte-order mark before an unquoted field", "\xef\xbb\xbf Bank , Acct\r\n1\r\n2\r\ns\r\n",
                  Settings("Bank", "Acct", "1", "2", "s")},
        DecodeRow{"byte-order mark and UTF-8 text",
                  "\xef\xbb\xbf\"Cr\xc3\xa9"
                  "dit \xe2\x82\xac\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                  Settings("Cr\xc3\xa9"
                           "dit \xe2\x82\xac",
                           "b", "1", "2", "s")},
        DecodeRow{"byte-order mark before code page text",
                  "\xef\xbb\xbf\"Caf\xe9\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                  Settings("Caf\xc3\xa9", "b", "1", "2", "s")},
        DecodeRow{"a mark later in the file is text",
                  "\"a\"\r\n\"\xef\xbb\xbf"
                  "b\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                  Settings("a",
                           "\xc3\xaf\xc2\xbb\xc2\xbf"
                           "b",
                           "1", "2", "s")}));

struct DamagedRow {
    const char *label;
    QByteArray bytes;
    const char *reason;
};

void PrintTo(const DamagedRow &row, std::ostream *out) {
    *out << row.label;
}

class DamagedDecodeTest : public ::testing::TestWithParam<DamagedRow> {};

TEST_P(DamagedDecodeTest, failsWithAReasonAndLeavesTheSettingsAlone) {
    CheckbookSettings settings = kExample;
    QString error;
    EXPECT_FALSE(DecodeSettings(GetParam().bytes, settings, &error));
    EXPECT_EQ(error, S(GetParam().reason));
    EXPECT_TRUE(Same(settings, kExample)) << Show(settings);
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedDecodeTest,
    ::testing::Values(
        DamagedRow{"empty", "", "it holds no settings"}, DamagedRow{"blanks only", "   ", "it holds no settings"},
        DamagedRow{"four lines", "\"a\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n", "it holds only 4 of the 5 settings"},
        DamagedRow{"one line", "\"First Example Bank\"\r\n", "it holds only 1 of the 5 settings"},
        DamagedRow{"unclosed quote", "\"a\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"Deluxe Wallet-Size\r\n",
                   "the double quote that opens value 5 is never closed"},
        DamagedRow{"zeros", QByteArray(40, '\0'), "it holds NUL bytes where text should be"},
        DamagedRow{"byte-order mark only", "\xef\xbb\xbf", "it holds no settings"},
        DamagedRow{"byte-order mark and four lines", "\xef\xbb\xbf\"a\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n",
                   "it holds only 4 of the 5 settings"},
        // Values longer than setup lets a person type.
        DamagedRow{"61-character bank name", "\"" + QByteArray(61, 'B') + "\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                   "the Bank Name holds 61 characters, more than the 60 setup allows"},
        DamagedRow{"41-character account in UTF-8",
                   "\xef\xbb\xbf\"a\"\r\n\"" + QByteArray(20, 'x') + QByteArray(21, ' ') +
                       "\"\r\n\"1\"\r\n\"2\"\r\n\"s\"\r\n",
                   "the Account Number holds 41 characters, more than the 40 setup allows"},
        DamagedRow{"21-character check number", "a,b,000000000000000001001,3,s\r\n",
                   "the Next Check # holds 21 characters, more than the 20 setup allows"},
        DamagedRow{"unquoted style of 65", "a,b,1,3," + QByteArray(65, 's'),
                   "the Check Style holds 65 characters, more than the 64 setup allows"}));

class SettingsFileTest : public ::testing::Test {
protected:
    TempFolder folder;
    QtFiles files{folder.path()};
};

TEST_F(SettingsFileTest, saveThenLoad_keepsEveryValue) {
    const CheckbookSettings saved = Settings("First Bank, Springfield", "", "1041", "2", "Deluxe 3-On-A-Page");
    ASSERT_TRUE(SaveSettings(files, saved));
    const SettingsLoad load = LoadSettings(files);
    ASSERT_EQ(load.state, SettingsState::Loaded) << load.error.toStdString();
    EXPECT_TRUE(Same(load.settings, saved)) << Show(load.settings);
    EXPECT_EQ(folder.read(S("DraftMere.txt")).count("\"\"\r\n"), 1) << "the empty account number is two quotes";
}

TEST_F(SettingsFileTest, saveWritesTheExampleBytes) {
    ASSERT_TRUE(SaveSettings(files, kExample));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), kExampleBytes);
    EXPECT_EQ(folder.entries(), QStringList{S("DraftMere.txt")});
}

TEST_F(SettingsFileTest, aFileWithAByteOrderMarkLoadsAndIsSavedWithoutIt) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "\xef\xbb\xbf" + kExampleBytes));
    const SettingsLoad load = LoadSettings(files);
    ASSERT_EQ(load.state, SettingsState::Loaded) << load.error.toStdString();
    EXPECT_TRUE(Same(load.settings, kExample)) << Show(load.settings);
    ASSERT_TRUE(SaveSettings(files, load.settings));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), kExampleBytes);
}

TEST_F(SettingsFileTest, savingTwiceLeavesExactlyFiveLines) {
    ASSERT_TRUE(SaveSettings(files, Settings("A much longer bank name than later", "123", "99", "1", "x")));
    ASSERT_TRUE(SaveSettings(files, kExample));
    const QByteArray bytes = folder.read(S("DraftMere.txt"));
    EXPECT_EQ(bytes, kExampleBytes);
    EXPECT_EQ(bytes.count("\r\n"), 5);
}

TEST_F(SettingsFileTest, aFileInAnotherCaseIsTheOneReadAndRewritten) {
    ASSERT_TRUE(folder.write(S("draftmere.TXT"), kExampleBytes));
    const SettingsLoad load = LoadSettings(files);
    ASSERT_EQ(load.state, SettingsState::Loaded);
    EXPECT_TRUE(Same(load.settings, kExample));
    CheckbookSettings changed = kExample;
    changed.CheckNo = S("1044");
    ASSERT_TRUE(SaveSettings(files, changed));
    EXPECT_EQ(folder.entries(), QStringList{S("draftmere.TXT")});
    EXPECT_TRUE(folder.read(S("draftmere.TXT")).contains("\"1044\"\r\n"));
}

TEST_F(SettingsFileTest, noFileAndNoBackup_isMissingAndCreatesNothing) {
    const SettingsLoad load = LoadSettings(files);
    EXPECT_EQ(load.state, SettingsState::Missing);
    EXPECT_TRUE(load.error.isEmpty());
    EXPECT_TRUE(folder.entries().isEmpty());
}

TEST_F(SettingsFileTest, aFileOnlyInBackupIsRestoredAndLoaded) {
    ASSERT_TRUE(folder.write(S("Backup/DraftMere.txt"), kExampleBytes));
    const SettingsLoad load = LoadSettings(files);
    ASSERT_EQ(load.state, SettingsState::Loaded);
    EXPECT_TRUE(Same(load.settings, kExample));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), kExampleBytes);
    EXPECT_EQ(folder.read(S("Backup/DraftMere.txt")), kExampleBytes);
}

TEST_F(SettingsFileTest, aShortFileIsDamagedWithAReasonNamingTheFile) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), "\"First Example Bank\"\r\n\"0012-345678\"\r\n\"1041\"\r\n"));
    const SettingsLoad load = LoadSettings(files);
    EXPECT_EQ(load.state, SettingsState::Damaged);
    EXPECT_EQ(load.error, S("The settings file ") + QDir::toNativeSeparators(folder.file(S("DraftMere.txt"))) +
                              S(" cannot be used: it holds only 3 of the 5 settings."));
    EXPECT_FALSE(AnyFileOpen(files)) << "loading closes every file";
}

TEST_F(SettingsFileTest, aFileLongerThanAnySettingsIsDamagedUnread_theLongestSetupWritesLoads) {
    // The longest values setup takes, each character two bytes in UTF-8, still load.
    const QString longest[5] = {QString(60, QChar(0xE9)), QString(40, QChar(0xE9)), S("1").rightJustified(20, u'0'),
                                S("   3"), S("Deluxe Wallet-Size")};
    QByteArray bytes("\xef\xbb\xbf");
    for (const QString &value : longest) {
        bytes += '"' + value.toUtf8() + "\"\r\n";
    }
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), bytes));
    ASSERT_EQ(LoadSettings(files).state, SettingsState::Loaded);

    // A ten-megabyte bank name.
    bytes = '"' + QByteArray(10 * 1024 * 1024, 'B') + "\"\r\n\"b\"\r\n\"1\"\r\n\"2\"\r\n\"Deluxe Wallet-Size\"\r\n";
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), bytes));
    const SettingsLoad load = LoadSettings(files);
    EXPECT_EQ(load.state, SettingsState::Damaged);
    EXPECT_EQ(load.error, S("The settings file ") + QDir::toNativeSeparators(folder.file(S("DraftMere.txt"))) +
                              S(" cannot be used: it is %1 bytes long, and the settings setup writes never take "
                                "more than %2.")
                                  .arg(bytes.size())
                                  .arg(kMaxSettingsFileBytes));
    EXPECT_FALSE(AnyFileOpen(files));
}

TEST_F(SettingsFileTest, aSettingsFileThatIsAFolderIsMissing) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(S("DraftMere.txt")));
    EXPECT_EQ(LoadSettings(files).state, SettingsState::Missing);
}

TEST_F(SettingsFileTest, aBackupThatCannotBeRestoredIsDamagedNotMissing) {
    ASSERT_TRUE(folder.write(S("Backup/DraftMere.txt"), kExampleBytes));
    FaultyFiles faulty(folder.path());
    faulty.failRename = true;
    const SettingsLoad load = LoadSettings(faulty);
    EXPECT_EQ(load.state, SettingsState::Damaged);
    EXPECT_TRUE(load.error.contains(QDir::toNativeSeparators(folder.file(S("DraftMere.txt")))))
        << load.error.toStdString();
}

TEST_F(SettingsFileTest, aValueWithADoubleQuoteIsNotSaved) {
    ASSERT_TRUE(folder.write(S("DraftMere.txt"), kExampleBytes));
    CheckbookSettings quoted = kExample;
    quoted.AcctNo = S("12\"34");
    const FileResult result = SaveSettings(files, quoted);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.error, S("The settings cannot be saved to ") +
                                QDir::toNativeSeparators(folder.file(S("DraftMere.txt"))) +
                                S(": the Account Number holds a double quote."));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), kExampleBytes);
}

struct ProblemRow {
    const char *label;
    CheckbookSettings settings;
    SettingsProblem::Field field;
    const char *message;
};

void PrintTo(const ProblemRow &row, std::ostream *out) {
    *out << row.label;
}

class CheckSettingsTest : public ::testing::TestWithParam<ProblemRow> {};

TEST_P(CheckSettingsTest, namesTheFieldAndWhatItMayHold) {
    const SettingsProblem problem = CheckSettings(GetParam().settings);
    EXPECT_EQ(problem.field, GetParam().field);
    EXPECT_EQ(problem.message, S(GetParam().message));
    EXPECT_EQ(static_cast<bool>(problem), GetParam().field != SettingsProblem::Field::None);
}

using F = SettingsProblem::Field;

INSTANTIATE_TEST_SUITE_P(
    Settings, CheckSettingsTest,
    ::testing::Values(
        ProblemRow{"the example", kExample, F::None, ""},
        ProblemRow{"empty account and 3-on-a-page", Settings("B", "", "1", "1", "Deluxe 3-On-A-Page"), F::None, ""},
        ProblemRow{"highest check number", Settings("B", "A", "999999999", "3", "Deluxe Wallet-Size"), F::None, ""},
        ProblemRow{"bank name with a quote", Settings("The \"Best\" Bank", "A", "1", "1", "Deluxe Wallet-Size"),
                   F::BankName, "The Bank Name may not hold a double quote (\")."},
        ProblemRow{"account with a quote", Settings("B", "12\"", "1", "1", "Deluxe Wallet-Size"), F::AcctNo,
                   "The Account Number may not hold a double quote (\")."},
        ProblemRow{"bank name outside the code page", Settings("Bank \xce\xa9", "A", "1", "1", "Deluxe Wallet-Size"),
                   F::BankName,
                   "The Bank Name holds the character \"\xce\xa9\" (U+03A9), which the data files cannot store."},
        ProblemRow{"account with an emoji", Settings("B", "1\xf0\x9f\x98\x80", "1", "1", "Deluxe Wallet-Size"),
                   F::AcctNo,
                   "The Account Number holds the character \"\xf0\x9f\x98\x80\" (U+1F600), which the data files "
                   "cannot store."},
        ProblemRow{"check number zero", Settings("B", "A", "0", "1", "Deluxe Wallet-Size"), F::CheckNo,
                   "The Next Check # must be a whole number from 1 to 999999999."},
        ProblemRow{"check number too large", Settings("B", "A", "1000000000", "1", "Deluxe Wallet-Size"), F::CheckNo,
                   "The Next Check # must be a whole number from 1 to 999999999."},
        ProblemRow{
            "check number prompt",
            Settings("B", "A", "Enter the number of the first check on your Check Forms", "1", "Deluxe Wallet-Size"),
            F::CheckNo, "The Next Check # must be a whole number from 1 to 999999999."},
        ProblemRow{"no checks on the form", Settings("B", "A", "5", "0", "Deluxe Wallet-Size"), F::ChecksOnForm,
                   "The # of Checks on 1st Form must be a whole number from 1 to 3."},
        ProblemRow{"four checks on the form", Settings("B", "A", "5", "4", "Deluxe Wallet-Size"), F::ChecksOnForm,
                   "The # of Checks on 1st Form must be a whole number from 1 to 3."},
        ProblemRow{"no style", Settings("B", "A", "5", "2", ""), F::CheckStyle, "A Check Style must be selected."},
        ProblemRow{"a style longer than a form name",
                   Settings("B", "A", "5", "2", "Deluxe 3-On-A-Page with a name longer than sixty-four characters!"),
                   F::CheckStyle, "The Check Style must be the name of a check form, at most 64 characters."},
        ProblemRow{"bank name of 61", Settings(QByteArray(61, 'B').constData(), "A", "1", "1", "Deluxe Wallet-Size"),
                   F::BankName, "The Bank Name holds 61 characters; it may hold at most 60."},
        ProblemRow{"check number padded to 21", Settings("B", "A", "                 1001", "1", "Deluxe Wallet-Size"),
                   F::CheckNo, "The Next Check # holds 21 characters; it may hold at most 20."},
        ProblemRow{"checks on the form padded to 6", Settings("B", "A", "1", "     3", "Deluxe Wallet-Size"),
                   F::ChecksOnForm, "The # of Checks on 1st Form holds 6 characters; it may hold at most 5."},
        ProblemRow{"the first problem wins", Settings("\"", "\"", "0", "0", ""), F::BankName,
                   "The Bank Name may not hold a double quote (\")."}));

struct NumberRow {
    const char *text;
    qint64 low;
    qint64 high;
    bool ok;
    qint64 value;
};

class SettingNumberTest : public ::testing::TestWithParam<NumberRow> {};

TEST_P(SettingNumberTest, isAWholeNumberInRange) {
    qint64 value = -12345;
    EXPECT_EQ(SettingNumber(S(GetParam().text), GetParam().low, GetParam().high, &value), GetParam().ok)
        << GetParam().text;
    EXPECT_EQ(value, GetParam().ok ? GetParam().value : -12345) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SettingNumberTest,
    ::testing::Values(NumberRow{"1041", 1, 999999999, true, 1041}, NumberRow{"  1041 ", 1, 999999999, true, 1041},
                      NumberRow{"\t3\t", 1, 3, true, 3}, NumberRow{"+2", 1, 3, true, 2},
                      NumberRow{"-2", -5, 5, true, -2}, NumberRow{"-0", 0, 0, true, 0},
                      NumberRow{"0003", 1, 3, true, 3}, NumberRow{"999999999", 1, 999999999, true, 999999999},
                      NumberRow{"1000000000", 1, 999999999, false, 0}, NumberRow{"0", 1, 3, false, 0},
                      NumberRow{"-1", 1, 3, false, 0}, NumberRow{"", 1, 3, false, 0}, NumberRow{"  ", 1, 3, false, 0},
                      NumberRow{"+", 1, 3, false, 0}, NumberRow{"- 1", 1, 3, false, 0},
                      NumberRow{"1 2", 1, 99, false, 0}, NumberRow{"1.0", 1, 3, false, 0},
                      NumberRow{"12abc", 1, 99, false, 0}, NumberRow{"1e3", 1, 9999, false, 0},
                      NumberRow{"0x10", 1, 99, false, 0}, NumberRow{"\xd9\xa3", 1, 9, false, 0},
                      NumberRow{"99999999999999999999999999", 1, 999999999, false, 0},
                      NumberRow{"-99999999999999999999999999", -999999999, 999999999, false, 0}));

TEST(SettingNumber, mayBeAskedOnlyWhetherTheTextFits) {
    EXPECT_TRUE(SettingNumber(S("2"), 1, 3, nullptr));
    EXPECT_FALSE(SettingNumber(S("x"), 1, 3, nullptr));
}

} // namespace
