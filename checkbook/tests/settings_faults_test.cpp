#include "checkbook/CheckbookSettings.h"

#include "platform/testing/FakePlatform.h"
#include "platform/testing/KilledChild.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const CheckbookSettings kOld{S("First Example Bank"), S("0012-345678"), S("1041"), S("3"), S("Deluxe Wallet-Size")};
const CheckbookSettings kNew{S("Second National Bank of a Much Longer Name, Springfield"), S(""), S("1044"), S("1"),
                             S("Deluxe 3-On-A-Page")};

class SaveFaultTest : public ::testing::TestWithParam<InjectedFault> {
protected:
    TempFolder folder;
    FaultyFiles files{folder.path()};
};

TEST_P(SaveFaultTest, failedSaveIsReportedNamingTheFileAndTheOldFileStays) {
    ASSERT_TRUE(SaveSettings(files, kOld));
    const QByteArray old = folder.read(S("DraftMere.txt"));
    GetParam().applyTo(files);
    const FileResult result = SaveSettings(files, kNew);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(folder.file(S("DraftMere.txt")))))
        << result.error.toStdString();
    EXPECT_EQ(folder.read(S("DraftMere.txt")), old);
    EXPECT_EQ(folder.entries(), QStringList{S("DraftMere.txt")}) << "no temporary file is left behind";
    const SettingsLoad load = LoadSettings(files);
    ASSERT_EQ(load.state, SettingsState::Loaded);
    EXPECT_EQ(load.settings.CheckNo, S("1041"));
}

TEST_P(SaveFaultTest, failedFirstSaveLeavesNoFile) {
    GetParam().applyTo(files);
    EXPECT_FALSE(SaveSettings(files, kNew));
    EXPECT_TRUE(folder.entries().isEmpty());
    EXPECT_EQ(LoadSettings(files).state, SettingsState::Missing);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SaveFaultTest,
    ::testing::Values(InjectedFault{"full disk", 0, false, false}, InjectedFault{"full after 1 byte", 1, false, false},
                      InjectedFault{"full inside the first line", 30, false, false},
                      InjectedFault{"full inside the last line", 90, false, false},
                      InjectedFault{"full one byte short", EncodeSettings(kNew).size() - 1, false, false},
                      InjectedFault{"failing flush", -1, true, false},
                      InjectedFault{"failing rename", -1, false, true}));

TEST(SaveFaults, aRealFullDiskLeavesTheOldFile) {
    ScopedTmpfs disk(64 * 1024);
    if (!disk.mounted()) {
        std::printf("Skipping the tmpfs part: %s\n", qPrintable(disk.reason()));
        GTEST_SKIP() << disk.reason().toStdString();
    }
    QtFiles files(disk.path());
    ASSERT_TRUE(SaveSettings(files, kOld));
    disk.fill(S("filler"));
    const FileResult result = SaveSettings(files, kNew);
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << result.error.toStdString();
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({S("DraftMere.txt"), S("filler")}));
    const SettingsLoad load = LoadSettings(files);
    ASSERT_EQ(load.state, SettingsState::Loaded);
    EXPECT_EQ(EncodeSettings(load.settings), EncodeSettings(kOld));
    ASSERT_TRUE(QFile::remove(disk.path() + S("/filler")));
    ASSERT_TRUE(SaveSettings(files, kNew));
    EXPECT_EQ(LoadSettings(files).settings.CheckNo, S("1044"));
}

// Kills children that save the two settings in turn; after every kill the file must hold exactly
// the old or the new bytes, and the leftovers of the killed save are cleared at the next start.
void KillSaves(QtFiles &files, const TempFolder &folder, int rounds) {
    const QByteArray oldBytes = EncodeSettings(kOld);
    const QByteArray newBytes = EncodeSettings(kNew);
    bool nextIsNew = true;
    KilledChild child(
        [&files, &nextIsNew] {
            if (!SaveSettings(files, nextIsNew ? kNew : kOld)) {
                ::_exit(3);
            }
            nextIsNew = !nextIsNew;
        },
        20261207);
    child.calibrate(6);
    ASSERT_TRUE(SaveSettings(files, kOld));
    nextIsNew = true;
    int sawOld = 0;
    int sawNew = 0;
    int leftovers = 0;
    for (int round = 0; round < rounds; ++round) {
        QString why;
        ASSERT_TRUE(child.round(&why)) << why.toStdString();
        const QByteArray bytes = folder.read(S("DraftMere.txt"));
        ASSERT_TRUE(bytes == oldBytes || bytes == newBytes)
            << "round " << round << ": " << bytes.size() << " bytes: " << bytes.toStdString();
        (bytes == oldBytes ? sawOld : sawNew) += 1;
        // The next child starts by saving the other contents, so that every kill can change the file.
        nextIsNew = bytes == oldBytes;
        if (folder.entries().size() > 1) {
            ++leftovers;
            files.RemoveStrayTemporaries();
            ASSERT_EQ(folder.entries(), QStringList{S("DraftMere.txt")});
        }
    }
    std::printf("%d kills: old file %d times, new file %d times, %d saves cut off with a temporary file left "
                "(delays up to %d us)\n",
                rounds, sawOld, sawNew, leftovers, child.maxDelayMicros());
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

TEST(SaveCrash, aKilledSaveLeavesTheOldOrTheNewFileWhole) {
    TempFolder folder;
    QtFiles files(folder.path());
    KillSaves(files, folder, 100);
}

TEST(SaveCrash, aKilledSaveLeavesTheOldOrTheNewFileWhole_killsAmongTheWrites) {
    TempFolder folder;
    UnflushedFiles files(folder.path());
    KillSaves(files, folder, 250);
}

} // namespace
