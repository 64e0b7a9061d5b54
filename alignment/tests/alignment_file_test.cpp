#include "alignment/AlignmentFile.h"
#include "platform/QtFiles.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/TestHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kThree = QStringLiteral("Deluxe 3-On-A-Page");
const QString kWallet = QStringLiteral("Deluxe Wallet-Size");

struct OffsetCase {
    const char *typed;
    int hundredths;
};

class ParseOffsetAccepts : public ::testing::TestWithParam<OffsetCase> {};

TEST_P(ParseOffsetAccepts, inchesInHundredths) {
    QString error;
    const std::optional<int> value = ParseOffset(S(GetParam().typed), QStringLiteral("Horizontal offset"), &error);
    ASSERT_TRUE(value.has_value()) << qPrintable(error);
    EXPECT_EQ(*value, GetParam().hundredths);
    EXPECT_TRUE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Typed, ParseOffsetAccepts,
                         ::testing::Values(OffsetCase{"0", 0}, OffsetCase{"0.1", 10}, OffsetCase{"+0.10", 10},
                                           OffsetCase{"-.05", -5}, OffsetCase{" 0.25 ", 25}, OffsetCase{"1", 100},
                                           OffsetCase{"-1.00", -100}, OffsetCase{"1.", 100},
                                           OffsetCase{"\xe2\x88\x92"
                                                      "0.05",
                                                      -5},
                                           OffsetCase{"000.07", 7}));

class ParseOffsetRefuses : public ::testing::TestWithParam<const char *> {};

TEST_P(ParseOffsetRefuses, namingTheField) {
    for (const QString &field : {QStringLiteral("Horizontal offset"), QStringLiteral("Vertical offset")}) {
        QString error;
        EXPECT_FALSE(ParseOffset(S(GetParam()), field, &error).has_value());
        EXPECT_TRUE(error.startsWith(field + u':')) << qPrintable(error);
        EXPECT_TRUE(error.contains(QStringLiteral("-1.00"))) << qPrintable(error);
    }
}

INSTANTIATE_TEST_SUITE_P(Typed, ParseOffsetRefuses,
                         ::testing::Values("", " ", ".", "+", "-", "1.01", "-1.5", "2", "abc", "0.105", "1e-2", "0,05",
                                           "--1", "0.1.2", "0x10", "nan", "1000000000000"));

TEST(OffsetText, signAndTwoDecimals) {
    const std::pair<int, const char *> rows[] = {{10, "+0.10"},  {-5, "-0.05"},   {0, "0.00"},
                                                 {100, "+1.00"}, {-100, "-1.00"}, {37, "+0.37"}};
    for (const auto &[hundredths, text] : rows) {
        EXPECT_EQ(OffsetText(hundredths), S(text));
        EXPECT_EQ(ParseOffset(OffsetText(hundredths), QStringLiteral("x"), nullptr), hundredths);
    }
}

TEST(AlignmentTable, printerNeverSeenGetsNoOffsetAndProtectionIsOff) {
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Laser"), kThree, {10, -5});
    EXPECT_EQ(table.Offset(QStringLiteral("Inkjet"), kThree), AlignmentOffset{});
    EXPECT_EQ(table.Offset(QStringLiteral("Laser"), kWallet), AlignmentOffset{});
    EXPECT_EQ(table.Offset(QStringLiteral("Laser"), kThree), (AlignmentOffset{10, -5}));
    const PrintAdjustment unseen = table.Adjustment(QStringLiteral("Inkjet"), kThree);
    EXPECT_EQ(unseen.OffsetX, 0);
    EXPECT_EQ(unseen.OffsetY, 0);
    EXPECT_FALSE(unseen.CheckProtection);
}

TEST(AlignmentTable, adjustmentIsInTwipsAndProtectionPerStyle) {
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Laser"), kWallet, {10, -5});
    table.SetCheckProtection(kWallet, true);
    const PrintAdjustment wallet = table.Adjustment(QStringLiteral("Laser"), kWallet);
    EXPECT_DOUBLE_EQ(wallet.OffsetX, 144);
    EXPECT_DOUBLE_EQ(wallet.OffsetY, -72);
    EXPECT_TRUE(wallet.CheckProtection);
    EXPECT_TRUE(table.Adjustment(QStringLiteral("Other"), kWallet).CheckProtection);
    EXPECT_FALSE(table.Adjustment(QStringLiteral("Laser"), kThree).CheckProtection);
}

TEST(AlignmentTable, zeroOffsetLeavesNoEntry) {
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Laser"), kThree, {3, 0});
    table.SetOffset(QStringLiteral("Laser"), kThree, {0, 0});
    table.SetCheckProtection(kThree, false);
    EXPECT_TRUE(table.IsEmpty());
}

struct AlignmentFileTest : ::testing::Test {
    QTemporaryDir dir;
    QString path = AlignmentFilePath(dir.path());
    QtFiles files{dir.path()};

    void write(const QByteArray &bytes) const {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(bytes), bytes.size());
    }
};

TEST_F(AlignmentFileTest, saveThenLoad_keepsEveryPrinterAndStyleWithAwkwardNames) {
    AlignmentTable table;
    const QStringList printers{QStringLiteral("HP LaserJet 4/5 [tray 2]"), QStringLiteral("Büro=Drucker;#1\\a"),
                               kPdfPrinterName};
    int n = 0;
    for (const QString &printer : printers) {
        table.SetOffset(printer, kThree, {++n, -n});
        table.SetOffset(printer, kWallet, {-100, 100 - n});
    }
    table.SetCheckProtection(kWallet, true);
    ASSERT_TRUE(SaveAlignment(files, table));

    AlignmentTable loaded;
    const FileResult result = LoadAlignment(files, loaded);
    ASSERT_TRUE(result) << qPrintable(result.error);
    EXPECT_EQ(loaded, table);
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("Alignment.ini"));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".new")));
}

TEST_F(AlignmentFileTest, savedFileIsReadableByItsOwnerAlone_evenWhenItWasOpenBefore) {
    write("[Offsets]\nsize=0\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther |
                                    QFileDevice::ReadGroup);
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Laser"), kThree, {1, 2});
    ASSERT_TRUE(SaveAlignment(files, table));
    EXPECT_EQ(QFileInfo(path).permissions() &
                  (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteGroup | QFileDevice::WriteOther),
              QFileDevice::Permissions());
    EXPECT_TRUE(QFileInfo(path).permissions() & QFileDevice::ReadOwner);
}

TEST_F(AlignmentFileTest, saveReplacesEntriesThatAreGone) {
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Old"), kThree, {5, 5});
    ASSERT_TRUE(SaveAlignment(files, table));
    table.SetOffset(QStringLiteral("Old"), kThree, {0, 0});
    table.SetOffset(QStringLiteral("New"), kThree, {1, 1});
    ASSERT_TRUE(SaveAlignment(files, table));
    AlignmentTable loaded;
    ASSERT_TRUE(LoadAlignment(files, loaded));
    EXPECT_EQ(loaded.Offset(QStringLiteral("Old"), kThree), AlignmentOffset{});
    EXPECT_EQ(loaded.Offset(QStringLiteral("New"), kThree), (AlignmentOffset{1, 1}));
}

TEST_F(AlignmentFileTest, missingFileIsAnEmptyTable) {
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Stale"), kThree, {1, 1});
    EXPECT_TRUE(LoadAlignment(files, table));
    EXPECT_TRUE(table.IsEmpty());
}

TEST_F(AlignmentFileTest, unwritableFolder_failsNamingTheFile) {
    const QString missing = dir.filePath(QStringLiteral("no/such/folder/Alignment.ini"));
    QtFiles nowhere(dir.filePath(QStringLiteral("no/such/folder")));
    const FileResult result = SaveAlignment(nowhere, AlignmentTable());
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(missing))) << qPrintable(result.error);
}

TEST_F(AlignmentFileTest, aSaveThatFailsOnTheDiskLeavesTheOldSettingsWhole) {
    AlignmentTable before;
    before.SetOffset(QStringLiteral("Laser"), kThree, {1, 2});
    ASSERT_TRUE(SaveAlignment(files, before));
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = old.readAll();
    const struct {
        const char *label;
        qint64 bytesBeforeFull;
        bool failSync;
        bool failRename;
    } faults[] = {{"full disk", 0, false, false},
                  {"full disk part way", 20, false, false},
                  {"failing flush", -1, true, false},
                  {"failing rename", -1, false, true}};
    AlignmentTable after;
    after.SetOffset(QStringLiteral("Inkjet with a long name"), kWallet, {-5, 7});
    for (const auto &fault : faults) {
        FaultyFiles faulty(dir.path());
        faulty.bytesBeforeFull = fault.bytesBeforeFull;
        faulty.failSync = fault.failSync;
        faulty.failRename = fault.failRename;
        const FileResult result = SaveAlignment(faulty, after);
        EXPECT_FALSE(result) << fault.label;
        EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path))) << qPrintable(result.error);
        QFile now(path);
        ASSERT_TRUE(now.open(QIODevice::ReadOnly));
        EXPECT_EQ(now.readAll(), oldBytes) << fault.label;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{kAlignmentFileName})
            << fault.label;
        AlignmentTable loaded;
        ASSERT_TRUE(LoadAlignment(files, loaded)) << fault.label;
        EXPECT_EQ(loaded, before) << fault.label;
    }
}

struct DamagedCase {
    const char *label;
    const char *bytes;
};

class DamagedAlignmentFile : public AlignmentFileTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedAlignmentFile, isReportedNamingTheFileAndMeansNoOffsets) {
    write(QByteArray(GetParam().bytes));
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Stale"), kThree, {1, 1});
    const FileResult result = LoadAlignment(files, table);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path))) << qPrintable(result.error);
    EXPECT_TRUE(result.error.contains(QStringLiteral("damaged"))) << qPrintable(result.error);
    EXPECT_TRUE(table.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedAlignmentFile,
    ::testing::Values(
        DamagedCase{"binary", "\x01\x02\xff\xfe garbage\n\x00\x10"},
        DamagedCase{"foreignKeys", "Name=Quillane\nCheckNo=1001\n"}, DamagedCase{"foreignGroup", "[Window]\nx=1\n"},
        DamagedCase{
            "outOfRange",
            "[Offsets]\nsize=1\n1\\Printer=Laser\n1\\Style=Deluxe 3-On-A-Page\n1\\Horizontal=5\n1\\Vertical=0\n"},
        DamagedCase{"notANumber", "[Offsets]\nsize=1\n1\\Printer=Laser\n1\\Style=Deluxe 3-On-A-Page\n"
                                  "1\\Horizontal=abc\n1\\Vertical=0\n"},
        DamagedCase{"missingStyle", "[Offsets]\nsize=1\n1\\Printer=Laser\n1\\Horizontal=0.1\n1\\Vertical=0\n"},
        DamagedCase{"sizeNotANumber", "[Offsets]\nsize=many\n"},
        DamagedCase{"protectionNotABoolean", "[CheckProtection]\nsize=1\n1\\Style=Deluxe 3-On-A-Page\n1\\On=maybe\n"}),
    [](const ::testing::TestParamInfo<DamagedCase> &row) { return std::string(row.param.label); });

TEST_F(AlignmentFileTest, partlyDamagedFile_keepsTheReadableEntriesAndNamesTheOthers) {
    write("[Offsets]\nsize=3\n"
          "1\\Printer=Laser\n1\\Style=Deluxe 3-On-A-Page\n1\\Horizontal=+0.10\n1\\Vertical=-0.05\n"
          "2\\Printer=Inkjet\n2\\Style=Deluxe 3-On-A-Page\n2\\Horizontal=7\n2\\Vertical=0\n"
          "3\\Printer=Inkjet\n3\\Style=Deluxe Wallet-Size\n3\\Horizontal=0.02\n3\\Vertical=0.03\n"
          "[CheckProtection]\nsize=2\n1\\Style=Deluxe 3-On-A-Page\n1\\On=true\n"
          "2\\Style=Deluxe Wallet-Size\n2\\On=yes\n");
    AlignmentTable table;
    const FileResult result = LoadAlignment(files, table);
    ASSERT_FALSE(result);
    EXPECT_EQ(table.Offset(QStringLiteral("Laser"), kThree), (AlignmentOffset{10, -5}));
    EXPECT_EQ(table.Offset(QStringLiteral("Inkjet"), kWallet), (AlignmentOffset{2, 3}));
    EXPECT_EQ(table.Offset(QStringLiteral("Inkjet"), kThree), AlignmentOffset{});
    EXPECT_TRUE(table.CheckProtection(kThree));
    EXPECT_FALSE(table.CheckProtection(kWallet));
    EXPECT_EQ(result.error,
              QStringLiteral("The alignment settings %1 are damaged: offset entry 2 (printer \"Inkjet\"), check "
                             "protection entry 2 (Deluxe Wallet-Size) could not be read. The other entries are kept; "
                             "until the alignment is saved again, checks print without the offsets and the check "
                             "protection those entries held (no asterisks around the amounts).")
                  .arg(QDir::toNativeSeparators(path)));
}

TEST_F(AlignmentFileTest, aLinkInTheFilesPlaceIsNotWrittenThrough) {
    const QString target = dir.filePath(QStringLiteral("elsewhere.txt"));
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("not the settings\n");
    }
    ASSERT_TRUE(QFile::link(target, path));
    AlignmentTable table;
    table.SetOffset(QStringLiteral("Laser"), kThree, {1, 2});
    const FileResult result = SaveAlignment(files, table);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path))) << qPrintable(result.error);
    EXPECT_TRUE(result.error.contains(QStringLiteral("link"))) << qPrintable(result.error);
    EXPECT_TRUE(QFileInfo(path).isSymLink());
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("not the settings\n"));
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".new")));
}

} // namespace
