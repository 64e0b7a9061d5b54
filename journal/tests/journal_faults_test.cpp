#include "FullDiskVfs.h"
#include "JournalTestData.h"
#include "journal/CheckJournal.h"
#include "journal/RunEnd.h"

#include "platform/testing/FakePlatform.h"
#include "platform/testing/KilledChild.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

#include <cstdio>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Every way the journal can refuse a write ends in a message that names the file and the reason.
void ExpectNamed(const FileResult &result, const QString &path, const QString &reason) {
    ASSERT_FALSE(result);
    EXPECT_TRUE(result.error.contains(QDir::toNativeSeparators(path))) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(reason, Qt::CaseInsensitive)) << result.error.toStdString();
}

TEST(JournalUnwritable, aFileThatIsNotADatabase) {
    TempFolder folder;
    const QByteArray junk = QByteArray("These are my notes, not a journal.\n").repeated(200);
    ASSERT_TRUE(folder.write(kJournalPath, junk));
    CheckJournal journal(folder.path());
    ExpectNamed(IntentOf(journal, 1001), folder.file(kJournalPath), S("not a database"));
    EXPECT_EQ(folder.read(kJournalPath), junk) << "the file is left as it was";
}

TEST(JournalUnwritable, aDatabaseLockedByAnotherWriter) {
    TempFolder folder;
    {
        CheckJournal first(folder.path());
        ASSERT_TRUE(first.Open());
    }
    CheckJournal journal(folder.path(), 200);
    {
        RawJournal other(folder.file(kJournalPath));
        ASSERT_TRUE(other.exec(S("BEGIN EXCLUSIVE")));
        ASSERT_TRUE(other.exec(S("INSERT INTO exports(exported_at, account_digits, layout, path, rows) "
                                 "VALUES('', '', '', '', 0)")));
        ExpectNamed(IntentOf(journal, 1001), folder.file(kJournalPath), S("locked"));
        ASSERT_TRUE(other.exec(S("ROLLBACK")));
        // Merely open in another program, the journal is still not this one's alone.
        ExpectNamed(IntentOf(journal, 1001), folder.file(kJournalPath), S("locked"));
    }
    EXPECT_TRUE(IntentOf(journal, 1001)) << "writable again once the other program lets go";
}

// A folder nobody may write in: a read-only mount for root (who passes every permission check),
// plain permissions for anyone else.
class ReadOnlyFolder {
public:
    ReadOnlyFolder() : disk_(1 << 20) {}
    // Makes the folder read-only with `journalFirst` already in it or not; false with a reason.
    bool make(bool journalFirst, QString *why) {
        if (::geteuid() != 0) {
            if (journalFirst) {
                CheckJournal journal(plain_.path());
                journal.Open();
            }
            path_ = plain_.path();
            // The journal's own folder too, when it is there already.
            ::chmod(QFile::encodeName(path_ + QLatin1Char('/') + kJournalFolder).constData(), 0555);
            return ::chmod(QFile::encodeName(path_).constData(), 0555) == 0;
        }
        if (!disk_.mounted()) {
            *why = disk_.reason();
            return false;
        }
        if (journalFirst) {
            CheckJournal journal(disk_.path());
            journal.Open();
        }
        path_ = disk_.path();
        if (::mount("tmpfs", QFile::encodeName(path_).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
            *why = S("remount read-only failed");
            return false;
        }
        return true;
    }
    ~ReadOnlyFolder() {
        if (!plain_.path().isEmpty()) {
            ::chmod(QFile::encodeName(plain_.path() + QLatin1Char('/') + kJournalFolder).constData(), 0700);
            ::chmod(QFile::encodeName(plain_.path()).constData(), 0755);
        }
    }
    QString path() const { return path_; }

private:
    TempFolder plain_;
    ScopedTmpfs disk_;
    QString path_;
};

TEST(JournalUnwritable, aReadOnlyFolder) {
    for (bool journalFirst : {false, true}) {
        SCOPED_TRACE(journalFirst ? "journal already there" : "no journal yet");
        ReadOnlyFolder folder;
        QString why;
        if (!folder.make(journalFirst, &why)) {
            GTEST_SKIP() << why.toStdString();
        }
        CheckJournal journal(folder.path());
        const FileResult result = IntentOf(journal, 1001);
        ExpectNamed(result, folder.path() + S("/") + kJournalPath, journalFirst ? S("") : S("read-only"));
    }
}

TEST(JournalUnwritable, aFullDisk) {
    FullDiskVfs disk;
    ASSERT_TRUE(disk.installed());
    // Less room than the one page the write test commits.
    for (long long room : {0LL, 100LL, 4000LL}) {
        SCOPED_TRACE(room);
        TempFolder folder;
        {
            CheckJournal first(folder.path());
            ASSERT_TRUE(first.Open());
        }
        CheckJournal journal(folder.path());
        ASSERT_TRUE(journal.Open());
        disk.budget = room;
        ExpectNamed(IntentOf(journal, 1001), folder.file(kJournalPath), S("full"));
        // Nothing of a run gets in either, and the journal reads as before once there is room.
        JournalCheck check{1001, QDate(2026, 12, 8), S("Payee"), 100, S("Memo"), 1, 1};
        EXPECT_FALSE(journal.RecordRun(JournalRunOf(JournalSetup(1001)), {check}, {}, nullptr, nullptr));
        disk.budget = -1;
        journal.Close();
        QList<CheckJournal::Row> rows;
        ASSERT_TRUE(journal.LoadChecks(rows));
        EXPECT_TRUE(rows.isEmpty());
        EXPECT_TRUE(IntentOf(journal, 1001));
    }
    // Room for a run of one check but not for a large run: the large run's intent fails whole,
    // before anything would print.
    TempFolder folder;
    CheckJournal journal(folder.path());
    ASSERT_TRUE(journal.Open());
    disk.budget = 60000;
    ASSERT_TRUE(IntentOf(journal, 901));
    ExpectNamed(IntentOf(journal, 1001, 1000), folder.file(kJournalPath), S("disk is full"));
    disk.budget = -1;
    QList<CheckJournal::Row> rows;
    ASSERT_TRUE(journal.LoadChecks(rows));
    EXPECT_EQ(rows.size(), 1);
}

TEST(JournalUnwritable, aRealFullDisk) {
    ScopedTmpfs disk(256 * 1024);
    if (!disk.mounted()) {
        GTEST_SKIP() << disk.reason().toStdString();
    }
    {
        CheckJournal first(disk.path());
        ASSERT_TRUE(first.Open());
    }
    disk.fill(S("filler"));
    CheckJournal journal(disk.path());
    QList<JournalCheck> checks;
    for (int i = 0; i < 2000; ++i) {
        checks.append({1001 + i, QDate(2026, 12, 8), S("A payee with a long name"), 100, S("memo"), 1, 1});
    }
    const FileResult result = journal.RecordRun(JournalRunOf(JournalSetup(1001)), checks, {}, nullptr, nullptr);
    ExpectNamed(result, disk.path() + S("/") + kJournalPath, S("full"));
}

// The end of a run killed at random points, a few hundred times: afterwards (once the next start
// has finished the due work) every check is issued once in the journal and gone from the
// register, or pending and not in the journal; none is both, none is lost.
TEST(JournalCrash, aKilledEndOfRunNeverLosesOrDoublesACheck) {
    TempFolder folder;
    UnflushedFiles files(folder.path());
    ASSERT_TRUE(SaveSettings(files, JournalSetup(1001, 2)));
    // One turn: the next start's due work, new checks when none wait, then a whole run ends.
    auto turn = [&folder, &files] {
        CheckJournal journal(folder.path());
        bool changed = false;
        if (!FinishDueWork(journal, files, &changed)) {
            ::_exit(3);
        }
        const SettingsLoad setup = LoadSettings(files);
        if (setup.state != SettingsState::Loaded) {
            ::_exit(4);
        }
        const qint64 next = setup.settings.CheckNo.toLongLong();
        QList<RegisterRecord> pending;
        if (!ReadAllRecords(files, pending)) {
            ::_exit(5);
        }
        if (pending.isEmpty()) {
            for (qint64 n = next; n < next + 3; ++n) {
                if (!AppendRegisterRecord(files, NumberedCheck(n))) {
                    ::_exit(6);
                }
            }
            ReadAllRecords(files, pending);
        }
        FinishedRun run;
        run.run = JournalRunOf(setup.settings);
        run.printed = pending;
        run.firstCheckNo = next;
        run.today = QDate(2026, 12, 8);
        run.settingsAfter = setup.settings;
        run.settingsAfter.CheckNo = QString::number(next + pending.size());
        const FinishResult result = FinishRun(journal, files, run);
        if (!result.journal || !result.settings || !result.registerTrim) {
            ::_exit(7);
        }
    };
    KilledChild child(turn, 20261208);
    child.calibrate(3);
    int issuedAtEnd = 0;
    // At least 300 kills; more on a busy machine, until the children have finished some runs.
    int rounds = 0;
    for (int round = 0; round < 300 || (issuedAtEnd <= 30 && round < 1200); ++round) {
        rounds = round + 1;
        QString why;
        ASSERT_TRUE(child.round(&why)) << why.toStdString();
        CheckJournal journal(folder.path());
        bool changed = false;
        ASSERT_TRUE(FinishDueWork(journal, files, &changed)) << "round " << round;
        QList<CheckJournal::Row> rows;
        ASSERT_TRUE(journal.LoadChecks(rows));
        QList<RegisterRecord> pending;
        ASSERT_TRUE(ReadAllRecords(files, pending)) << "round " << round;
        const SettingsLoad setup = LoadSettings(files);
        ASSERT_EQ(setup.state, SettingsState::Loaded);
        const qint64 next = setup.settings.CheckNo.toLongLong();

        QSet<qint64> issued;
        for (const CheckJournal::Row &row : std::as_const(rows)) {
            ASSERT_EQ(row.status, S("issued"));
            ASSERT_FALSE(issued.contains(row.check.checkNo)) << "round " << round << ": issued twice";
            issued.insert(row.check.checkNo);
            // The form's number and the check printed on it agree.
            ASSERT_EQ(row.check.payee, S("Payee ") + QString::number(row.check.checkNo)) << "round " << round;
        }
        // Issued: every form before the setup's next number; pending: the next ones, in order.
        ASSERT_EQ(issued.size(), next - 1001) << "round " << round;
        for (qint64 n = 1001; n < next; ++n) {
            ASSERT_TRUE(issued.contains(n)) << "round " << round << ": check " << n << " lost";
        }
        for (qsizetype i = 0; i < pending.size(); ++i) {
            const qint64 n = pending[i].CheckNo.trimmed().toLongLong();
            ASSERT_EQ(n, next + i) << "round " << round;
            ASSERT_FALSE(issued.contains(n)) << "round " << round << ": check " << n << " issued and pending";
        }
        issuedAtEnd = static_cast<int>(issued.size());
        journal.Close();
    }
    std::printf("%d checks issued over %d kills (delays up to %d us)\n", issuedAtEnd, rounds, child.maxDelayMicros());
    EXPECT_GT(issuedAtEnd, 30) << "the children seldom got to the end of a run";
}

} // namespace
