#include "register/Register.h"

#include "platform/testing/FakePlatform.h"
#include "platform/testing/KilledChild.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QDir>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

// Record n of a test register: every record differs from its neighbours in every field.
RegisterRecord Numbered(qint64 n) {
    const QString number = QString::number(n);
    return {number,
            S("12/07/2026"),
            S("Payee number ") + number,
            number + S(".25"),
            S("Memo for check ") + number + S(" of the crash test"),
            kStatusPrinted};
}

QByteArray Records(qint64 count) {
    QByteArray bytes;
    for (qint64 n = 1; n <= count; ++n) {
        bytes += EncodeRecord(Numbered(n));
    }
    return bytes;
}

class AppendFaultTest : public ::testing::TestWithParam<InjectedFault> {
protected:
    TempFolder folder;
    FaultyFiles files{folder.path()};
};

TEST_P(AppendFaultTest, failedAppendIsReportedAndTheRegisterUnchanged) {
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(1)));
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(2)));
    GetParam().applyTo(files);
    const FileResult result = AppendRegisterRecord(files, Numbered(3));
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(folder.file(S("TempRegister.txt")))))
        << result.error.toStdString();
    EXPECT_EQ(folder.read(S("TempRegister.txt")), Records(2));
    EXPECT_EQ(folder.entries(), QStringList{S("TempRegister.txt")}) << "no temporary file is left behind";
    // Once the disk has room again the next append goes right after the old records.
    files.bytesBeforeFull = -1;
    files.failSync = false;
    files.failRename = false;
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(3)));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), Records(3));
}

TEST_P(AppendFaultTest, failedFirstAppendLeavesNoRegister) {
    GetParam().applyTo(files);
    const FileResult result = AppendRegisterRecord(files, Numbered(1));
    EXPECT_FALSE(result);
    EXPECT_TRUE(folder.entries().isEmpty()) << folder.entries().join(S(" ")).toStdString();
}

TEST_P(AppendFaultTest, failedAppendToADamagedRegisterKeepsItsBytes) {
    const QByteArray damaged = Records(1) + QByteArray(85, 'x');
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), damaged));
    GetParam().applyTo(files);
    EXPECT_FALSE(AppendRegisterRecord(files, Numbered(3)));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), damaged);
}

TEST_P(AppendFaultTest, failedAppendOfManyRecordsStoresNoneOfThem) {
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(1)));
    QList<RegisterRecord> imported;
    for (qint64 n = 2; n <= 500; ++n) {
        imported.append(Numbered(n));
    }
    GetParam().applyTo(files);
    EXPECT_FALSE(AppendRegisterRecords(files, imported));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), Records(1));
    files.bytesBeforeFull = -1;
    files.failSync = false;
    files.failRename = false;
    ASSERT_TRUE(AppendRegisterRecords(files, imported));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), Records(500));
}

INSTANTIATE_TEST_SUITE_P(Faults, AppendFaultTest,
                         ::testing::Values(InjectedFault{"full disk", 0, false, false},
                                           InjectedFault{"full after 1 byte", 1, false, false},
                                           InjectedFault{"full after 60 bytes", 60, false, false},
                                           InjectedFault{"full one byte short", 114, false, false},
                                           InjectedFault{"failing flush", -1, true, false},
                                           InjectedFault{"failing rename", -1, false, true}));

TEST(AppendFaults, aBackupThatCannotBeRestoredIsNotHiddenBehindANewRegister) {
    TempFolder folder;
    FaultyFiles files(folder.path());
    ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), Records(2)));
    files.failRename = true;
    const FileResult result = AppendRegisterRecord(files, Numbered(3));
    EXPECT_FALSE(result);
    EXPECT_FALSE(folder.exists(S("TempRegister.txt")));
    EXPECT_EQ(folder.read(S("Backup/TempRegister.txt")), Records(2));
    files.failRename = false;
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(3)));
    EXPECT_EQ(folder.read(S("TempRegister.txt")), Records(3));
}

TEST(AppendFaults, aRegisterHoldsAtMost32767Checks) {
    TempFolder folder;
    QtFiles files(folder.path());
    // Printable records: only the count stands in the way.
    const QByteArray full = EncodeRecord(Numbered(1)).repeated(32766);
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), full));
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(32767)));
    EXPECT_EQ(RegisterRecordCount(files), 32767);
    const FileResult result = AppendRegisterRecord(files, Numbered(32768));
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.error.contains(S("is full: it holds 32767 checks"))) << result.error.toStdString();
    EXPECT_EQ(RegisterRecordCount(files), 32767);
    // Records that would pass the limit together are refused together.
    ASSERT_TRUE(folder.write(S("TempRegister.txt"), full));
    const FileResult many = AppendRegisterRecords(files, {Numbered(32767), Numbered(32768)});
    EXPECT_TRUE(many.error.contains(S("it holds 32766 checks already, 2 more do not fit"))) << many.error.toStdString();
    EXPECT_EQ(folder.read(S("TempRegister.txt")), full);
}

TEST(AppendFaults, aRegisterPastTheLimitCountsWhatItHolds) {
    TempFolder folder;
    QtFiles files(folder.path());
    for (const int records : {32768, 40000}) {
        const QByteArray full = EncodeRecord(Numbered(1)).repeated(records);
        ASSERT_TRUE(folder.write(S("TempRegister.txt"), full));
        const FileResult result = AppendRegisterRecord(files, Numbered(1));
        EXPECT_FALSE(result);
        EXPECT_TRUE(result.error.contains(S("it holds %1 checks already").arg(records))) << result.error.toStdString();
        EXPECT_EQ(folder.read(S("TempRegister.txt")).size(), full.size());
    }
}

TEST(AppendFaults, aRealFullDiskLeavesWholeRecords) {
    ScopedTmpfs disk(64 * 1024);
    if (!disk.mounted()) {
        std::printf("Skipping the tmpfs part: %s\n", qPrintable(disk.reason()));
        GTEST_SKIP() << disk.reason().toStdString();
    }
    QtFiles files(disk.path());
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(1)));
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(2)));
    disk.fill(S("filler"));
    const FileResult result = AppendRegisterRecord(files, Numbered(3));
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QString::fromLocal8Bit(std::strerror(ENOSPC)))) << result.error.toStdString();
    QFile in(disk.path() + S("/TempRegister.txt"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(in.readAll(), Records(2));
    in.close();
    EXPECT_EQ(QDir(disk.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name),
              QStringList({S("TempRegister.txt"), S("filler")}));
    ASSERT_TRUE(QFile::remove(disk.path() + S("/filler")));
    ASSERT_TRUE(AppendRegisterRecord(files, Numbered(3)));
    EXPECT_EQ(RegisterRecordCount(files), 3);
}

// Kills children that append record after record; after every kill the register must hold whole
// records only, each the one appended under its number.
void KillAppends(QtFiles &files, const TempFolder &folder, int rounds) {
    KilledChild child(
        [&files] {
            const qint64 next = RegisterRecordCount(files) + 1;
            if (!AppendRegisterRecord(files, Numbered(next))) {
                ::_exit(3);
            }
        },
        20261207);
    child.calibrate(5);
    QByteArray expected = Records(5);
    int unchangedRounds = 0;
    for (int round = 0; round < rounds; ++round) {
        QString why;
        ASSERT_TRUE(child.round(&why)) << why.toStdString();
        const QByteArray bytes = folder.read(S("TempRegister.txt"));
        ASSERT_EQ(bytes.size() % kRecordLength, 0) << "round " << round << ": " << bytes.size() << " bytes";
        ASSERT_GE(bytes.size(), expected.size()) << "round " << round;
        unchangedRounds += bytes.size() == expected.size() ? 1 : 0;
        for (qint64 n = expected.size() / kRecordLength + 1; n <= bytes.size() / kRecordLength; ++n) {
            expected += EncodeRecord(Numbered(n));
        }
        ASSERT_EQ(bytes, expected) << "round " << round;
    }
    std::printf("%lld records after %d kills (%d kills before any new record, delays up to %d us)\n",
                static_cast<long long>(expected.size() / kRecordLength), rounds, unchangedRounds,
                child.maxDelayMicros());
    EXPECT_GT(expected.size(), Records(5).size()) << "the children never got to append";
    // What the killed appends left behind is cleared away at the next start.
    files.RemoveStrayTemporaries();
    EXPECT_EQ(folder.entries(), QStringList{S("TempRegister.txt")});
}

TEST(AppendCrash, aKilledAppendLeavesOnlyWholeEarlierRecords) {
    TempFolder folder;
    QtFiles files(folder.path());
    KillAppends(files, folder, 100);
}

TEST(AppendCrash, aKilledAppendLeavesOnlyWholeEarlierRecords_killsAmongTheWrites) {
    TempFolder folder;
    UnflushedFiles files(folder.path());
    KillAppends(files, folder, 250);
}

} // namespace
