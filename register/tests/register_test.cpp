#include "register/Register.h"

#include "datafiles/DataFiles.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

namespace {

RegisterRecord Record(const char *checkNo, const char *date, const char *payTo, const char *amount, const char *memo) {
    return {S(checkNo), S(date), S(payTo), S(amount), S(memo), kStatusPrinted};
}

const RegisterRecord kFirst = Record("1001", "12/07/2026", "Ann Smith", "12.34", "Rent");
const RegisterRecord kSecond =
    Record("1002", "12/07/2026", "Caf\xc3\xa9 M\xc3\xbcller & S\xc3\xb6hne GmbH und Co KG", "1234567.89",
           "Invoice 2026-118, \xe2\x82\xac"
           "500 deposit");
const RegisterRecord kThird = Record("1003", "12/08/2026", "Bob", "0.5", "A memo that runs to forty characters: 40");

// The same three records as they must stand on disk, field by field.
const QByteArray kFirstBytes = "1001                "
                               "12/07/2026"
                               "Ann Smith                "
                               "12.34          "
                               "Rent                               "
                               "Printed   ";
const QByteArray kSecondBytes = "1002                "
                                "12/07/2026"
                                "Caf\xe9 M\xfcller & S\xf6hne GmbH "
                                "1234567.89     "
                                "Invoice 2026-118, \x80"
                                "500 deposit     "
                                "Printed   ";
const QByteArray kThirdBytes = "1003                "
                               "12/08/2026"
                               "Bob                      "
                               "0.5            "
                               "A memo that runs to forty character"
                               "Printed   ";

// A record with its amount field holding `amount` instead.
QByteArray WithAmount(const QByteArray &record, const char *amount) {
    QByteArray field(amount);
    field.append(kAmountWidth - field.size(), ' ');
    return QByteArray(record).replace(kCheckNoWidth + kCheckDateWidth + kPayToWidth, kAmountWidth, field);
}

class RegisterTest : public ::testing::Test {
protected:
    TempFolder folder;
    QtFiles files{folder.path()};
};

TEST(RegisterRecordBytes, handWrittenRecordsAre115BytesEach) {
    EXPECT_EQ(kFirstBytes.size(), kRecordLength);
    EXPECT_EQ(kSecondBytes.size(), kRecordLength);
    EXPECT_EQ(kThirdBytes.size(), kRecordLength);
}

struct FieldRow {
    const char *label;
    RegisterRecord record;
    int offset;
    QByteArray bytes;
};

void PrintTo(const FieldRow &row, std::ostream *out) {
    *out << row.label;
}

class EncodeFieldTest : public ::testing::TestWithParam<FieldRow> {};

TEST_P(EncodeFieldTest, fieldIsPaddedOrCutToItsWidth) {
    const QByteArray bytes = EncodeRecord(GetParam().record);
    ASSERT_EQ(bytes.size(), kRecordLength);
    EXPECT_EQ(bytes.mid(GetParam().offset, GetParam().bytes.size()), GetParam().bytes);
}

RegisterRecord WithPayTo(const char *payTo) {
    return Record("1", "12/07/2026", payTo, "1", "m");
}
RegisterRecord WithMemo(const char *memo) {
    return Record("1", "12/07/2026", "p", "1", memo);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, EncodeFieldTest,
    ::testing::Values(FieldRow{"30-char payee cut to 25", WithPayTo("ABCDEFGHIJKLMNOPQRSTUVWXYZabcd"), 30,
                               "ABCDEFGHIJKLMNOPQRSTUVWXY"},
                      FieldRow{"3-char payee and 22 blanks", WithPayTo("Bob"), 30, "Bob                      "},
                      FieldRow{"empty payee is 25 blanks", WithPayTo(""), 30, QByteArray(25, ' ')},
                      FieldRow{"40-char memo cut to 35", WithMemo("0123456789012345678901234567890123456789"), 70,
                               "01234567890123456789012345678901234"},
                      FieldRow{"status is Printed and 3 blanks", WithMemo("m"), 105, "Printed   "},
                      FieldRow{"a character the code page lacks is ?", WithPayTo("\xce\xa9mega \xe2\x86\x92 Co"), 30,
                               "?mega ? Co               "},
                      FieldRow{"a long date is cut to 10", Record("7", "Wednesday, 12/07/2026", "p", "1", "m"), 0,
                               "7                   Wednesday,"},
                      FieldRow{"a check number longer than 20 is cut",
                               Record("123456789012345678901234", "d", "p", "1", "m"), 0,
                               "12345678901234567890d         "}));

TEST(RegisterRecordBytes, decodeGivesTheFieldsWithTheirBlanks) {
    const RegisterRecord record = DecodeRecord(kSecondBytes);
    EXPECT_EQ(record.CheckNo, S("1002                "));
    EXPECT_EQ(record.CheckDate, S("12/07/2026"));
    EXPECT_EQ(record.PayTo, S("Caf\xc3\xa9 M\xc3\xbcller & S\xc3\xb6hne GmbH "));
    EXPECT_EQ(record.Amount, S("1234567.89     "));
    EXPECT_EQ(record.Memo, S("Invoice 2026-118, \xe2\x82\xac"
                             "500 deposit     "));
    EXPECT_EQ(record.Status, S("Printed   "));
    EXPECT_EQ(EncodeRecord(record), kSecondBytes);
}

TEST_F(RegisterTest, threeAppendsWriteTheHandWrittenBytes) {
    ASSERT_TRUE(AppendRegisterRecord(files, kFirst));
    EXPECT_EQ(folder.read(S("TempRegister.txt")).size(), 115);
    ASSERT_TRUE(AppendRegisterRecord(files, kSecond));
    ASSERT_TRUE(AppendRegisterRecord(files, kThird));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kFirstBytes + kSecondBytes + kThirdBytes);
    EXPECT_EQ(folder.entries(), QStringList{S("TempRegister.txt")});
    EXPECT_FALSE(AnyFileOpen(files)) << "the register is never held open between operations";
}

TEST_F(RegisterTest, appendToNoRegisterWritesTheRecordAlone) {
    ASSERT_TRUE(AppendRegisterRecord(files, kThird));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kThirdBytes);
}

TEST_F(RegisterTest, anEmptyRegisterReceivesRecordOne) {
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), QByteArray()));
    ASSERT_TRUE(AppendRegisterRecord(files, kFirst));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kFirstBytes);
}

TEST_F(RegisterTest, aRegisterOnlyInBackupIsRestoredAndAppendedAfter) {
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), kFirstBytes + kSecondBytes));
    ASSERT_TRUE(AppendRegisterRecord(files, kThird));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kFirstBytes + kSecondBytes + kThirdBytes);
    EXPECT_EQ(folder.read(S("Backup/TempRegister.txt")), kFirstBytes + kSecondBytes);
}

TEST_F(RegisterTest, anExistingRegisterInAnotherCaseIsTheOneAppendedTo) {
    ASSERT_TRUE(folder.write(S("tempREGISTER.TXT"), kFirstBytes));
    ASSERT_TRUE(AppendRegisterRecord(files, kSecond));
    EXPECT_EQ(folder.entries(), QStringList{S("tempREGISTER.TXT")});
    EXPECT_EQ(folder.read(S("tempREGISTER.TXT")), kFirstBytes + kSecondBytes);
}

TEST_F(RegisterTest, appendPutsTheRecordAfterTheLastWholeRecord) {
    for (const int records : {0, 1, 3}) {
        SCOPED_TRACE(records);
        const QByteArray before = (kFirstBytes + kSecondBytes + kThirdBytes).left(records * kRecordLength);
        ASSERT_TRUE(folder.write(S("TempRegister.txt"), before));
        ASSERT_TRUE(AppendRegisterRecord(files, kThird));
        EXPECT_EQ(folder.read(S("TempRegister.txt")), before + kThirdBytes);
    }
}

struct RefusedRow {
    const char *label;
    QByteArray bytes;
    const char *mentions; // words the refusal must hold
};

void PrintTo(const RefusedRow &row, std::ostream *out) {
    *out << row.label;
}

class DamagedAppendTest : public RegisterTest, public ::testing::WithParamInterface<RefusedRow> {};

TEST_P(DamagedAppendTest, isRefusedNamingTheFileAndTheDamage_andAddsNothing) {
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), GetParam().bytes));
    const FileResult checked = CheckRegister(files);
    const FileResult result = AppendRegisterRecord(files, kThird);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(S(GetParam().mentions))) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(folder.file(S("TempRegister.txt")))));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), GetParam().bytes);
    EXPECT_EQ(folder.entries(), QStringList{S("TempRegister.txt")});
    EXPECT_FALSE(checked);
    EXPECT_EQ(checked.error, result.error);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedAppendTest,
    ::testing::Values(
        RefusedRow{"1 byte", QByteArray(1, 'x'), "check number 1 is cut short (1 of 115"},
        RefusedRow{"57 bytes", QByteArray(57, 'x'), "check number 1 is cut short (57 of 115"},
        RefusedRow{"114 bytes", kFirstBytes.left(114), "check number 1 is cut short (114 of 115"},
        RefusedRow{"200 bytes", QByteArray(200, 'x'), "check number 2 is cut short (85 of 115"},
        RefusedRow{"230 bytes with NUL", kFirstBytes + QByteArray(115, '\0'), "check number 2 holds NUL bytes"},
        RefusedRow{"one NUL in the first", QByteArray(1, '\0') + kFirstBytes.mid(1) + kSecondBytes,
                   "check number 1 holds NUL bytes"},
        // Records the print run refuses for their amount, named with their payee.
        RefusedRow{"letters", kFirstBytes + WithAmount(kThirdBytes, "12abc"),
                   "check number 2 (to \"Bob\") has the amount \"12abc\", which is not a number"},
        RefusedRow{"leading blank", WithAmount(kThirdBytes, " 12.5") + kFirstBytes,
                   "check number 1 (to \"Bob\") has the amount \" 12.5\", which is not a number"},
        RefusedRow{"empty", kFirstBytes + kFirstBytes + WithAmount(kThirdBytes, ""),
                   "check number 3 (to \"Bob\") has the amount \"\", which is not a number"},
        RefusedRow{"negative", WithAmount(kThirdBytes, "-5"), "amount \"-5\", which is negative"},
        RefusedRow{"three decimals", WithAmount(kThirdBytes, "1.234"),
                   "amount \"1.234\", which has more than two decimals"},
        RefusedRow{"too large", WithAmount(kThirdBytes, "1000000000"), "amount \"1000000000\", which is too large"}));

TEST_F(RegisterTest, checkRegisterPassesAMissingEmptyOrWholeRegister) {
    EXPECT_TRUE(CheckRegister(files));
    EXPECT_TRUE(folder.entries().isEmpty());
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), QByteArray()));
    EXPECT_TRUE(CheckRegister(files));
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), kFirstBytes + kSecondBytes));
    EXPECT_TRUE(CheckRegister(files));
    // Every amount form the entry window takes, the long ones included.
    QByteArray forms;
    for (const char *amount : {"7.", ".5", "0", "999999999.99", "0000000012.50", "000000000000001"}) {
        forms += WithAmount(kFirstBytes, amount);
    }
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), forms));
    const FileResult checked = CheckRegister(files);
    EXPECT_TRUE(checked) << checked.error.toStdString();
    EXPECT_TRUE(AppendRegisterRecord(files, kThird));
}

TEST_F(RegisterTest, countIsTheNumberOfWholeRecords) {
    EXPECT_EQ(RegisterRecordCount(files), 0);
    EXPECT_TRUE(folder.entries().isEmpty()) << "counting a missing register creates nothing";
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), kFirstBytes + kSecondBytes + kThirdBytes));
    EXPECT_EQ(RegisterRecordCount(files), 3);
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), QByteArray(200, 'x')));
    EXPECT_EQ(RegisterRecordCount(files), 1);
}

TEST_F(RegisterTest, countRestoresARegisterOnlyInBackup) {
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), kFirstBytes + kSecondBytes));
    EXPECT_EQ(RegisterRecordCount(files), 2);
    EXPECT_TRUE(folder.exists(S("TempRegister.txt")));
}

TEST_F(RegisterTest, readRecordGivesRecordNAndRefusesRecordsPastTheEnd) {
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), kFirstBytes + kSecondBytes + kThirdBytes));
    RegisterRecord record;
    ASSERT_TRUE(ReadRegisterRecord(files, 3, record));
    EXPECT_EQ(EncodeRecord(record), kThirdBytes);
    EXPECT_EQ(record.PayTo, S("Bob                      "));
    RegisterRecord first;
    ASSERT_TRUE(ReadRegisterRecord(files, 1, first));
    EXPECT_EQ(EncodeRecord(first), kFirstBytes);

    const FileResult past = ReadRegisterRecord(files, 4, record);
    EXPECT_FALSE(past);
    EXPECT_TRUE(past.error.contains(S("4"))) << past.error.toStdString();
    EXPECT_EQ(EncodeRecord(record), kThirdBytes) << "a failed read leaves the record alone";
    EXPECT_FALSE(ReadRegisterRecord(files, 0, record));
    EXPECT_FALSE(AnyFileOpen(files));
}

TEST_F(RegisterTest, readRecordOfAMissingRegisterFailsAndCreatesNothing) {
    RegisterRecord record;
    EXPECT_FALSE(ReadRegisterRecord(files, 1, record));
    EXPECT_TRUE(folder.entries().isEmpty());
}

TEST_F(RegisterTest, readAllGivesEveryRecordInOrder) {
    QList<RegisterRecord> records;
    ASSERT_TRUE(ReadAllRecords(files, records));
    EXPECT_TRUE(records.isEmpty());
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), kFirstBytes + kSecondBytes + kThirdBytes));
    ASSERT_TRUE(ReadAllRecords(files, records));
    ASSERT_EQ(records.size(), 3);
    EXPECT_EQ(EncodeRecord(records[0]), kFirstBytes);
    EXPECT_EQ(EncodeRecord(records[1]), kSecondBytes);
    EXPECT_EQ(EncodeRecord(records[2]), kThirdBytes);
    EXPECT_FALSE(AnyFileOpen(files));
}

struct DamageRow {
    const char *label;
    QByteArray bytes;
    int wholeBefore;      // good records before the damaged one
    const char *mentions; // words the message must hold
};

void PrintTo(const DamageRow &row, std::ostream *out) {
    *out << row.label;
}

class DamagedRegisterTest : public RegisterTest, public ::testing::WithParamInterface<DamageRow> {};

TEST_P(DamagedRegisterTest, readAllNamesTheDamagedRecord) {
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), GetParam().bytes));
    QList<RegisterRecord> records;
    const FileResult result = ReadAllRecords(files, records);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(S(GetParam().mentions))) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(folder.file(S("TempRegister.txt")))));
    EXPECT_EQ(records.size(), GetParam().wholeBefore);
}

INSTANTIATE_TEST_SUITE_P(
    Damage, DamagedRegisterTest,
    ::testing::Values(
        DamageRow{"cut short", kFirstBytes + kSecondBytes.left(85), 1, "check number 2 is cut short"},
        DamageRow{"200 bytes", QByteArray(200, 'x'), 1, "check number 2 is cut short (85 of 115"},
        DamageRow{"NUL bytes", kFirstBytes + QByteArray(115, '\0') + kThirdBytes, 1, "check number 2 holds NUL bytes"},
        DamageRow{"one NUL", kFirstBytes + kSecondBytes + kThirdBytes.left(50) + '\0' + kThirdBytes.mid(51), 2,
                  "check number 3 holds NUL bytes"}));

TEST_F(RegisterTest, removeFirstRecordsKeepsTheRest) {
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), kFirstBytes + kSecondBytes + kThirdBytes));
    ASSERT_TRUE(RemoveFirstRecords(files, 0));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kFirstBytes + kSecondBytes + kThirdBytes);
    ASSERT_TRUE(RemoveFirstRecords(files, 1));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kSecondBytes + kThirdBytes);
    ASSERT_TRUE(RemoveFirstRecords(files, 2));
    EXPECT_TRUE(folder.entries().isEmpty());
    EXPECT_TRUE(RemoveFirstRecords(files, 1)) << "nothing to remove from a missing register";
}

TEST_F(RegisterTest, removingMoreRecordsThanThereAreDeletesTheRegister) {
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), kFirstBytes + kSecondBytes));
    ASSERT_TRUE(RemoveFirstRecords(files, 5));
    EXPECT_TRUE(folder.entries().isEmpty());
}

TEST(RemoveFirstRecords, aFailedRewriteLeavesTheRegisterAsItWas) {
    TempFolder folder;
    FaultyFiles files(folder.path());
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), kFirstBytes + kSecondBytes + kThirdBytes));
    files.failRename = true;
    EXPECT_FALSE(RemoveFirstRecords(files, 1));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kFirstBytes + kSecondBytes + kThirdBytes);
    EXPECT_EQ(folder.entries(), QStringList{S("TempRegister.txt")});
}

TEST_F(RegisterTest, deleteClosesOpenFilesAndDeletesTheRegisterUnderEitherName) {
    ASSERT_TRUE(AppendRegisterRecord(files, kFirst));
    int number = 0;
    ASSERT_TRUE(OpenRandomFile(files, kRegisterFile, kRecordLength, number));
    ASSERT_TRUE(DeleteRegister(files));
    EXPECT_FALSE(AnyFileOpen(files));
    EXPECT_TRUE(folder.entries().isEmpty());
}

TEST_F(RegisterTest, deleteWithOnlyABackupLeavesTheBackupUntouched) {
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), kFirstBytes));
    ASSERT_TRUE(DeleteRegister(files));
    EXPECT_EQ(folder.entries(), QStringList{S("Backup")});
    EXPECT_EQ(folder.read(S("Backup/TempRegister.txt")), kFirstBytes);
    ASSERT_TRUE(AppendRegisterRecord(files, kSecond));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), kFirstBytes + kSecondBytes)
        << "the next append restores the backup again";
}

} // namespace
