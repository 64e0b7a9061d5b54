#include "JournalEngines.h"
#include "JournalTestData.h"
#include "journal/CheckJournal.h"
#include "journal/RunEnd.h"
#include "journal/SetAside.h"

#include "platform/testing/FakePlatform.h"
#include "platform/testing/TempFolder.h"
#include "platform/testing/TestHelpers.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int Mode(const QString &path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? static_cast<int>(info.st_mode & 0777) : -1;
}

class JournalTest : public ::testing::Test {
protected:
    QString journalPath() const { return folder.file(kJournalPath); }

    // Puts checks first..first+count-1 in the register, as Accept would.
    void Pending(qint64 first, int count) {
        for (qint64 n = first; n < first + count; ++n) {
            ASSERT_TRUE(AppendRegisterRecord(files, NumberedCheck(n)));
        }
    }
    QList<RegisterRecord> Register() {
        QList<RegisterRecord> records;
        EXPECT_TRUE(ReadAllRecords(files, records));
        return records;
    }
    QStringList RegisterNumbers() {
        QStringList numbers;
        for (const RegisterRecord &record : Register()) {
            numbers << record.CheckNo.trimmed();
        }
        return numbers;
    }
    // Prints every pending check from form `first`, as a whole run ends.
    FinishResult PrintAll(qint64 first, int left = 3) {
        FinishedRun run;
        run.run = JournalRunOf(JournalSetup(first, left));
        run.printed = Register();
        run.firstCheckNo = first;
        run.today = QDate(2026, 12, 8);
        run.settingsAfter = JournalSetup(first + run.printed.size(), 3);
        return FinishRun(journal, files, run);
    }
    QList<CheckJournal::Row> Rows() {
        QList<CheckJournal::Row> rows;
        EXPECT_TRUE(journal.LoadChecks(rows));
        return rows;
    }

    TempFolder folder;
    FaultyFiles files{folder.path()};
    CheckJournal journal{folder.path()};
};

// The journal's behaviour, the same on the embedded file and on the server; Anna does what the
// tests do unless they say otherwise.
class EngineTest : public JournalTest, public ::testing::WithParamInterface<Engine> {
protected:
    void SetUp() override {
        journalPlace = NewPlace(GetParam());
        Use(journal, journalPlace);
    }
    bool OnServer() const { return GetParam() == Engine::Server; }
    void Use(CheckJournal &other, const JournalPlace &place, const JournalWho &who = kAnna) {
        other.SetPlace(place);
        other.SetWho(who);
    }
    // The first column of every row of a statement run beside the journal, which is closed first
    // (the file is locked while open).
    QStringList Column(const QString &statement) {
        journal.Close();
        RawJournal raw(journalPlace, journalPath());
        return raw.column(statement);
    }
    static const CheckJournal::Row *RowOf(const QList<CheckJournal::Row> &rows, qint64 id) {
        for (const CheckJournal::Row &row : rows) {
            if (row.id == id) {
                return &row;
            }
        }
        return nullptr;
    }

    JournalPlace journalPlace;
};

INSTANTIATE_TEST_SUITE_P(Engines, EngineTest, ::testing::Values(Engine::File, Engine::Server), EngineName);

TEST_F(JournalTest, open_createsAnOwnerOnlyFileInItsOwnFolderLockedInWriteAheadModeAtTheCurrentVersion) {
    ASSERT_TRUE(journal.Open()) << journal.Open().error.toStdString();
    ASSERT_TRUE(IntentOf(journal, 1001));
    EXPECT_EQ(journal.Path(), QDir::toNativeSeparators(journalPath()));
    EXPECT_EQ(journal.SchemaVersion(), kJournalVersion);
    EXPECT_EQ(Mode(folder.file(kJournalFolder)), 0700);
    for (const char *suffix : {"", "-wal"}) {
        SCOPED_TRACE(suffix);
        const QString path = journalPath() + QLatin1String(suffix);
        ASSERT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(Mode(path), 0600);
    }
    EXPECT_FALSE(QFileInfo::exists(journalPath() + S("-shm"))) << "the write-ahead index is kept in memory";
    {
        RawJournal other(journalPath(), S("other"));
        EXPECT_FALSE(other.exec(S("SELECT COUNT(*) FROM checks"))) << "no other connection gets in while open";
    }
    journal.Close();
    RawJournal raw(journalPath());
    EXPECT_EQ(raw.column(S("PRAGMA journal_mode")), Strings({"wal"}));
    EXPECT_EQ(raw.column(S("SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name")),
              Strings({"approval_limits", "checks", "due_work", "export_rows", "exports", "payees", "reprint_due",
                       "runs", "set_aside"}));
}

TEST_F(JournalTest, open_tightensAJournalOthersCouldRead) {
    ASSERT_TRUE(journal.Open());
    journal.Close();
    ASSERT_EQ(::chmod(QFile::encodeName(journalPath()).constData(), 0644), 0);
    ASSERT_TRUE(journal.Open());
    EXPECT_EQ(Mode(journalPath()), 0600);
}

// The runs table of schema versions 1 and 2, as the program before wrote it.
constexpr const char *kOldRunsTable =
    "CREATE TABLE runs(id INTEGER PRIMARY KEY, printed_at TEXT NOT NULL, printer TEXT NOT NULL, style TEXT NOT NULL, "
    "account_no TEXT NOT NULL, bank_name TEXT NOT NULL, checks_on_first_sheet INTEGER NOT NULL)";

TEST_F(JournalTest, aVersion1JournalIsMigratedKeepingItsChecks) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(kJournalFolder));
    {
        RawJournal raw(journalPath());
        const char *failed = raw.execAll({
            kOldRunsTable,
            "CREATE TABLE checks(id INTEGER PRIMARY KEY, run_id INTEGER NOT NULL REFERENCES runs(id), "
            "account_no TEXT NOT NULL, check_no INTEGER NOT NULL, date_printed TEXT NOT NULL, payee TEXT NOT "
            "NULL, amount_cents INTEGER NOT NULL, memo TEXT NOT NULL, status TEXT NOT NULL CHECK(status IN "
            "('issued','voided','reprinted')), void_reason TEXT, void_date TEXT, reprinted_as INTEGER)",
            "CREATE UNIQUE INDEX checks_issued_number ON checks(account_no, check_no) WHERE status = 'issued'",
            "INSERT INTO runs VALUES(1, '2026-11-02T09:00:00', 'Old Printer', 'Deluxe Wallet-Size', "
            "'0012-345678', 'First Example Bank', 2)",
            "INSERT INTO checks VALUES(1, 1, '0012-345678', 700, '2026-11-02', 'Old Payee', 1250, 'Old memo', "
            "'issued', NULL, NULL, NULL)",
            "INSERT INTO checks VALUES(2, 1, '0012-345678', 701, '2026-11-02', 'Torn Form', 99, '', 'voided', "
            "'torn', '2026-11-03', NULL)",
            "PRAGMA user_version = 1",
        });
        ASSERT_EQ(failed, nullptr) << failed;
    }
    ASSERT_TRUE(journal.Open()) << journal.Open().error.toStdString();
    EXPECT_EQ(journal.SchemaVersion(), kJournalVersion);
    const QList<CheckJournal::Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].check.checkNo, 700);
    EXPECT_EQ(rows[0].check.payee, S("Old Payee"));
    EXPECT_EQ(rows[0].check.amountCents, 1250);
    EXPECT_EQ(rows[0].check.sheet, 0) << "sheet and slot of old checks are not known";
    EXPECT_EQ(rows[1].status, S("voided"));
    EXPECT_EQ(rows[1].voidReason, S("torn"));
    EXPECT_EQ(rows[1].voidDate, S("2026-11-03"));
    // The index still keeps issued numbers apart, and new runs go in with their places.
    JournalCheck twice{700, QDate(2026, 12, 8), S("Someone"), 1, S(""), 1, 1};
    EXPECT_FALSE(journal.RecordRun(JournalRunOf(JournalSetup(700)), {twice}, {}, nullptr, nullptr));
    JournalCheck next{702, QDate(2026, 12, 8), S("New Payee"), 500, S("New"), 1, 2};
    ASSERT_TRUE(journal.RecordRun(JournalRunOf(JournalSetup(702)), {next}, {}, nullptr, nullptr));
    EXPECT_EQ(Rows().size(), 3);
    EXPECT_EQ(Rows().last().check.slot, 2);
    journal.Close();
    RawJournal raw(journalPath(), S("after"));
    EXPECT_EQ(
        raw.column(S("SELECT name FROM sqlite_master WHERE type = 'index' AND tbl_name = 'checks' ORDER BY name")),
        Strings({"checks_account_number", "checks_approval", "checks_check_no", "checks_date", "checks_payee",
                 "checks_printing"}));
}

TEST_F(JournalTest, aJournalFromANewerProgramIsLeftAloneAndNamed) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(kJournalFolder));
    {
        RawJournal raw(journalPath());
        ASSERT_TRUE(raw.exec(S("PRAGMA user_version = 7")));
    }
    const QByteArray before = folder.read(kJournalPath);
    const FileResult opened = journal.Open();
    ASSERT_FALSE(opened);
    EXPECT_TRUE(opened.error.contains(QDir::toNativeSeparators(journalPath()))) << opened.error.toStdString();
    EXPECT_TRUE(opened.error.contains(S("newer"))) << opened.error.toStdString();
    EXPECT_EQ(folder.read(kJournalPath), before);
}

// A number the journal holds for the account is refused in any status and under any spelling of
// the account, naming the number, its status and date and the next free run of numbers.
TEST_P(EngineTest, aNumberInTheJournalIsNeverIssuedAgainWhateverItsStatusOrTheAccountsSpelling) {
    Pending(1001, 3);
    ASSERT_TRUE(PrintAll(1001).journal);
    qint64 runId = 0;
    ASSERT_TRUE(IntentOf(journal, 1004, 1, &runId));
    ASSERT_TRUE(journal.VoidCheck(Rows()[1].id, S("Lost in mail, stop payment"), QDate(2026, 12, 9)));
    const struct {
        const char *account;
        qint64 first, count;
        const char *found; // empty: free
    } cases[] = {
        {"0012-345678", 1002, 1, "Check No. 1002 of account 0012-345678 is already in the check journal"},
        {"0012 345678", 1002, 1, "voided (Lost in mail, stop payment) on 2026-12-08"},
        {"0012.345678", 1001, 1, "issued on 2026-12-08"},
        {"0012345678", 1004, 1, "being printed in a run whose end was never recorded"},
        {"0012-345678", 999, 3, "The next free number is 1005: set the next check number in the checkbook setup"},
        {"0012-345678", 999, 2, ""},
        {"0012-345678", 1005, 50, ""},
        {"9999-1", 1001, 4, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.account) + " " + std::to_string(c.first));
        bool taken = false;
        const FileResult result = journal.CheckNumbersFree(S(c.account), c.first, c.count, &taken);
        EXPECT_EQ(result.ok, *c.found == '\0');
        EXPECT_EQ(taken, !result.ok);
        EXPECT_TRUE(result.error.contains(QLatin1String(c.found))) << result.error.toStdString();
        if (!result.ok) {
            EXPECT_TRUE(result.error.contains(journal.Where())) << result.error.toStdString();
        }
    }
    // The intent itself refuses a voided number under another spelling, and leaves no trace.
    const int before = static_cast<int>(Rows().size());
    JournalRun other = JournalRunOf(JournalSetup(1002));
    other.accountNo = S("0012 345678");
    JournalCheck again{1002, QDate(2026, 12, 9), S("Again"), 1, S(""), 1, 1};
    EXPECT_FALSE(journal.RecordIntent(other, {again}, {}, {}, nullptr));
    EXPECT_EQ(Rows().size(), before);
}

// Schema version 2 as the program before wrote it, with one number twice (voided, then issued
// again under another spelling of the account), a spoiled form awaiting its reprint and due work.
TEST_F(JournalTest, aVersion2JournalHoldingOneNumberTwiceIsMigratedWhole) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(kJournalFolder));
    {
        RawJournal raw(journalPath());
        const char *failed = raw.execAll({
            kOldRunsTable,
            "CREATE TABLE checks(id INTEGER PRIMARY KEY, run_id INTEGER NOT NULL REFERENCES runs(id), "
            "account_no TEXT NOT NULL, check_no INTEGER NOT NULL, date_printed TEXT NOT NULL, payee TEXT NOT "
            "NULL, amount_cents INTEGER NOT NULL, memo TEXT NOT NULL, sheet INTEGER NOT NULL, slot INTEGER NOT "
            "NULL, status TEXT NOT NULL CHECK(status IN ('issued','voided','reprinted')), void_reason TEXT, "
            "void_date TEXT, reprinted_as INTEGER)",
            "CREATE UNIQUE INDEX checks_issued_number ON checks(account_no, check_no) WHERE status = 'issued'",
            "CREATE TABLE set_aside(record_key BLOB NOT NULL, backup_id TEXT NOT NULL, check_no TEXT NOT NULL, "
            "decision TEXT NOT NULL, decided_at TEXT NOT NULL, PRIMARY KEY(record_key, backup_id))",
            "CREATE TABLE due_work(id INTEGER PRIMARY KEY, settings_before BLOB NOT NULL, settings_after BLOB "
            "NOT NULL, register_before BLOB NOT NULL, register_after BLOB NOT NULL)",
            "CREATE TABLE reprint_due(check_id INTEGER PRIMARY KEY REFERENCES checks(id))",
            "CREATE TABLE write_probe(id INTEGER PRIMARY KEY, written INTEGER NOT NULL)",
            "INSERT INTO runs VALUES(1, '2026-11-02T09:00:00', 'P', 'S', '0012-345678', 'B', 3)",
            "INSERT INTO runs VALUES(2, '2026-11-05T09:00:00', 'P', 'S', '0012 345678', 'B', 3)",
            "INSERT INTO checks VALUES(1, 1, '0012-345678', 1001, '2026-11-02', 'Rent', 50000, '', 1, 1, "
            "'voided', 'Lost in mail', '2026-11-04', NULL)",
            "INSERT INTO checks VALUES(2, 1, '0012-345678', 1002, '2026-11-02', 'Power', 7000, '', 1, 2, "
            "'voided', 'spoiled', '2026-11-02', NULL)",
            "INSERT INTO checks VALUES(3, 2, '0012 345678', 1001, '2026-11-05', 'Rent', 50000, '', 1, 1, "
            "'issued', NULL, NULL, NULL)",
            "INSERT INTO reprint_due VALUES(2)",
            "INSERT INTO due_work VALUES(7, x'', x'', x'00', x'')",
            "PRAGMA user_version = 2",
        });
        ASSERT_EQ(failed, nullptr) << failed;
    }
    ASSERT_TRUE(journal.Open()) << journal.Open().error.toStdString();
    EXPECT_EQ(journal.SchemaVersion(), kJournalVersion);
    const QList<CheckJournal::Row> rows = Rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].status, S("voided"));
    EXPECT_EQ(rows[2].status, S("issued"));
    EXPECT_EQ(rows[2].accountNo, S("0012 345678"));
    QList<DueWork> due;
    ASSERT_TRUE(journal.LoadDueWork(due));
    ASSERT_EQ(due.size(), 1);
    EXPECT_EQ(due[0].id, 7);
    bool taken = false;
    EXPECT_FALSE(journal.CheckNumbersFree(S("0012-345678"), 1001, 1, &taken));
    EXPECT_TRUE(taken);
    // The spoiled form still waits for its check, matched by the account's digits.
    JournalRun run = JournalRunOf(JournalSetup(1003));
    run.accountNo = S("0012.345678");
    ASSERT_TRUE(
        journal.RecordRun(run, {{1003, QDate(2026, 12, 8), S("Power"), 7000, S(""), 1, 1}}, {}, nullptr, nullptr));
    EXPECT_EQ(Rows()[1].status, S("reprinted"));
    EXPECT_EQ(Rows()[1].reprintedAs, 1003);
    journal.Close();
    RawJournal raw(journalPath(), S("after"));
    EXPECT_EQ(raw.column(S("SELECT DISTINCT account_digits FROM checks")), Strings({"0012345678"}));
    EXPECT_EQ(raw.column(S("SELECT DISTINCT account_digits FROM runs")), Strings({"0012345678"}));
    EXPECT_EQ(raw.column(S("PRAGMA foreign_key_check")), QStringList());
}

// The whole life of a run's intent: recorded before printing, then ended whole or in part,
// released when nothing reached the printer, or (its end lost) put to the person at the next start.
TEST_P(EngineTest, anIntentEndsIssuedReleasedOrResolvedWithThePersonsMarks) {
    const struct {
        const char *label;
        int printed; // checks that reached the printer; -1: the program died before the end
        QList<PrintMark> marks;
        QStringList statuses;
        QStringList pending;
        qint64 nextCheckNo;
    } cases[] = {
        {"whole run", 4, {}, Strings({"1001 issued", "1002 issued", "1003 issued", "1004 issued"}), {}, 1005},
        {"part run", 2, {}, Strings({"1001 issued", "1002 issued"}), Strings({"1003", "1004"}), 1003},
        {"nothing printed", 0, {}, {}, Strings({"1001", "1002", "1003", "1004"}), 1001},
        {"end lost",
         -1,
         {PrintMark::Good, PrintMark::Spoiled, PrintMark::Void, PrintMark::Good},
         Strings({"1001 issued", "1002 voided", "1003 voided", "1004 issued"}),
         Strings({"1005"}),
         1005},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder place;
        FaultyFiles disk(place.path());
        ASSERT_TRUE(SaveSettings(disk, JournalSetup(1001, 3)));
        for (qint64 n = 1001; n < 1005; ++n) {
            ASSERT_TRUE(AppendRegisterRecord(disk, NumberedCheck(n)));
        }
        QList<RegisterRecord> records;
        ASSERT_TRUE(ReadAllRecords(disk, records));
        FinishedRun run;
        run.run = JournalRunOf(JournalSetup(1001, 3));
        run.printed = records;
        run.firstCheckNo = 1001;
        run.today = QDate(2026, 12, 8);
        run.settingsAfter = JournalSetup(1005, 2);
        const JournalPlace where = NewPlace(GetParam());
        {
            CheckJournal first(place.path());
            Use(first, where);
            ASSERT_TRUE(RecordPrintIntent(first, disk, run, &run.intentId));
            QList<CheckJournal::Row> rows;
            ASSERT_TRUE(first.LoadChecks(rows));
            ASSERT_EQ(rows.size(), 4);
            EXPECT_EQ(rows[0].status, S("printing"));
            if (c.printed == 0) {
                ASSERT_TRUE(ReleaseIntent(first, run.intentId));
            } else if (c.printed > 0) {
                run.printed = records.mid(0, c.printed);
                run.settingsAfter = JournalSetup(1001 + c.printed, 2);
                ASSERT_TRUE(FinishRun(first, disk, run).journal);
            }
        }
        // The next start: what is left unresolved is put to the person.
        CheckJournal next(place.path());
        Use(next, where);
        QList<UnresolvedRun> unresolved;
        ASSERT_TRUE(next.LoadUnresolved(unresolved));
        ASSERT_EQ(unresolved.size(), c.printed < 0 ? 1 : 0);
        if (c.printed < 0) {
            EXPECT_EQ(unresolved[0].checks.size(), 4);
            EXPECT_EQ(unresolved[0].run.printer, S("Office Printer"));
            int requeued = 0;
            bool changed = false;
            ASSERT_TRUE(ResolveRun(next, disk, unresolved[0], c.marks, QDate(2026, 12, 9), &requeued, &changed));
            EXPECT_EQ(requeued, 1);
            EXPECT_TRUE(changed);
            ASSERT_TRUE(next.LoadUnresolved(unresolved));
            EXPECT_TRUE(unresolved.isEmpty());
        }
        QList<CheckJournal::Row> rows;
        ASSERT_TRUE(next.LoadChecks(rows));
        QStringList statuses;
        for (const CheckJournal::Row &row : std::as_const(rows)) {
            statuses << QString::number(row.check.checkNo) + QLatin1Char(' ') + row.status;
        }
        EXPECT_EQ(statuses, c.statuses);
        QList<RegisterRecord> left;
        ASSERT_TRUE(ReadAllRecords(disk, left));
        QStringList numbers;
        for (const RegisterRecord &record : std::as_const(left)) {
            numbers << record.CheckNo.trimmed();
        }
        EXPECT_EQ(numbers, c.pending);
        EXPECT_EQ(LoadSettings(disk).settings.CheckNo, QString::number(c.nextCheckNo));
        if (c.printed < 0) {
            EXPECT_EQ(left[0].PayTo.trimmed(), S("Payee 1002")) << "the spoiled form's check prints again";
        }
    }
}

// What is planted in place of the journal's folder or files is refused, named, and left alone: a
// link is not followed, a folder is not chmodded, a read-only journal is not made writable.
enum class Plant { Link, Folder, ReadOnly };

TEST_F(JournalTest, aLinkOrFolderInPlaceOfTheJournalIsRefusedAndLeftAlone) {
    using enum Plant;
    const struct {
        const char *label;
        const char *name; // under the program's folder
        Plant plant;
        const char *reason;
    } cases[] = {
        {"journal folder is a link", "Journal", Link, "symbolic link"},
        {"journal folder is a file", "Journal", ReadOnly, "in the way"},
        {"journal is a link", "Journal/CheckJournal.db", Link, "symbolic link"},
        {"journal is a folder", "Journal/CheckJournal.db", Folder, "folder"},
        {"write-ahead file is a link", "Journal/CheckJournal.db-wal", Link, "symbolic link"},
        {"shared-memory file is a folder", "Journal/CheckJournal.db-shm", Folder, "folder"},
        {"journal is read-only", "Journal/CheckJournal.db", ReadOnly, "read-only"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder place;
        ASSERT_TRUE(place.write(S("elsewhere/target"), "MINE"));
        const QString planted = place.file(S(c.name));
        if (S(c.name) != kJournalFolder) {
            ASSERT_TRUE(QDir(place.path()).mkdir(kJournalFolder));
        }
        switch (c.plant) {
        case Plant::Link:
            ASSERT_EQ(::symlink(QFile::encodeName(place.file(S("elsewhere/target"))).constData(),
                                QFile::encodeName(planted).constData()),
                      0);
            break;
        case Plant::Folder:
            ASSERT_TRUE(QDir().mkpath(planted));
            ASSERT_EQ(::chmod(QFile::encodeName(planted).constData(), 0755), 0);
            break;
        case Plant::ReadOnly:
            ASSERT_TRUE(place.write(S(c.name), ""));
            ASSERT_EQ(::chmod(QFile::encodeName(planted).constData(), 0400), 0);
            break;
        }
        CheckJournal planted_journal(place.path());
        const FileResult opened = planted_journal.Open();
        ASSERT_FALSE(opened);
        EXPECT_TRUE(opened.error.contains(QDir::toNativeSeparators(planted))) << opened.error.toStdString();
        EXPECT_TRUE(opened.error.contains(QLatin1String(c.reason))) << opened.error.toStdString();
        EXPECT_EQ(place.read(S("elsewhere/target")), QByteArray("MINE"));
        struct stat info {};
        ASSERT_EQ(::lstat(QFile::encodeName(planted).constData(), &info), 0);
        EXPECT_EQ(S_ISLNK(info.st_mode), c.plant == Plant::Link);
        if (c.plant != Plant::Link) {
            EXPECT_EQ(info.st_mode & 0777, c.plant == Plant::Folder ? 0755u : 0400u);
        }
    }
}

// A journal an older program kept beside the settings moves into its folder with whatever its
// write-ahead file holds, also when an earlier move stopped half-way; one already in the folder wins.
TEST_F(JournalTest, aJournalBesideTheSettingsMovesIntoItsFolderWithItsWriteAheadFile) {
    const struct {
        const char *label;
        bool walMovedAlready;
        bool newOneToo;
        int expectedRows;
    } cases[] = {{"whole journal beside the settings", false, false, 2},
                 {"move stopped after the write-ahead file", true, false, 2},
                 {"a journal in the folder already", false, true, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder place;
        // A program killed after its run leaves the run in the write-ahead file alone.
        const pid_t child = ::fork();
        if (child == 0) {
            CheckJournal dying(place.path());
            const bool ok = dying
                                .RecordRun(JournalRunOf(JournalSetup(1001)),
                                           {{1001, QDate(2026, 12, 8), S("A"), 1, S(""), 1, 1},
                                            {1002, QDate(2026, 12, 8), S("B"), 2, S(""), 1, 2}},
                                           {}, nullptr, nullptr)
                                .ok;
            ::_exit(ok ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_EQ(WEXITSTATUS(status), 0);
        const QString inFolder = place.file(kJournalPath);
        const QString beside = place.file(kJournalFile);
        ASSERT_GT(QFileInfo(inFolder + S("-wal")).size(), 0) << "the run is in the write-ahead file";
        ASSERT_TRUE(QFile::rename(inFolder, beside));
        if (!c.walMovedAlready) {
            ASSERT_TRUE(QFile::rename(inFolder + S("-wal"), beside + S("-wal")));
        }
        if (c.newOneToo) {
            RawJournal fresh(inFolder, S("fresh"));
            ASSERT_TRUE(fresh.exec(S("CREATE TABLE notes(text)")));
        }
        CheckJournal moved(place.path());
        QList<CheckJournal::Row> rows;
        ASSERT_TRUE(moved.LoadChecks(rows)) << moved.Open().error.toStdString();
        EXPECT_EQ(rows.size(), c.expectedRows);
        EXPECT_EQ(place.exists(kJournalFile), c.newOneToo) << "the old file is moved, or left alone";
        EXPECT_EQ(Mode(inFolder), 0600);
    }
}

TEST(JournalPlaces, sheetAndSlotFollowTheFormsInThePrinter) {
    const struct {
        int firstSheet;
        qsizetype index;
        int sheet, slot;
        int perSheet = 3;
    } cases[] = {
        {3, 0, 1, 1},
        {3, 2, 1, 3},
        {3, 3, 2, 1},
        {3, 5, 2, 3},
        {3, 6, 3, 1},
        {2, 1, 1, 2},
        {2, 2, 2, 1},
        {2, 4, 2, 3},
        {1, 0, 1, 1},
        {1, 1, 2, 1},
        {1, 3, 2, 3},
        {1, 4, 3, 1},
        {1, 999, 334, 3},
        // A one-per-sheet voucher: every check on a sheet of its own, whatever the first sheet claims.
        {1, 0, 1, 1, 1},
        {3, 0, 1, 1, 1},
        {3, 1, 2, 1, 1},
        {1, 41, 42, 1, 1},
    };
    for (const auto &c : cases) {
        const SheetSlot place = SheetAndSlot(c.index, c.firstSheet, c.perSheet);
        EXPECT_EQ(place.sheet, c.sheet) << c.firstSheet << " blank, check " << c.index;
        EXPECT_EQ(place.slot, c.slot) << c.firstSheet << " blank, check " << c.index;
    }
}

TEST(JournalAmounts, registerAmountsBecomeWholeCents) {
    const struct {
        const char *amount;
        bool ok;
        qint64 cents;
    } cases[] = {
        {"10", true, 1000},
        {"10.5", true, 1050},
        {"0.01", true, 1},
        {".05", true, 5},
        {"12.345", true, 1235},
        {"12.344", true, 1234},
        {"1234567.89 ", true, 123456789},
        {"abc", false, 0},
        {"", false, 0},
        {"-3.5", true, -350},
    };
    for (const auto &c : cases) {
        qint64 cents = 0;
        EXPECT_EQ(AmountCents(S(c.amount), &cents), c.ok) << c.amount;
        if (c.ok) {
            EXPECT_EQ(cents, c.cents) << c.amount;
        }
    }
}

TEST_P(EngineTest, aRunIsRecordedWithEveryFormAndTheRestStaysPending) {
    Pending(1001, 5);
    ASSERT_TRUE(SaveSettings(files, JournalSetup(1001, 2)));
    FinishedRun run;
    run.run = JournalRunOf(JournalSetup(1001, 2));
    run.printed = Register().mid(0, 3);
    run.printed[0].PayTo = S("Padded Payee");
    run.firstCheckNo = 1001;
    run.today = QDate(2026, 12, 8);
    run.settingsAfter = JournalSetup(1004, 2);
    // The register's first record is the one printed.
    ASSERT_TRUE(WriteRegisterBytes(files, EncodeRecord(run.printed[0]) +
                                              folder.read(S("TempRegister.txt")).mid(kRecordLength)));
    const FinishResult result = FinishRun(journal, files, run);
    ASSERT_TRUE(result.journal) << result.journal.error.toStdString();
    ASSERT_TRUE(result.settings);
    ASSERT_TRUE(result.registerTrim);

    const QList<CheckJournal::Row> rows = Rows();
    ASSERT_EQ(rows.size(), 3);
    const struct {
        qint64 checkNo;
        const char *payee;
        qint64 cents;
        int sheet, slot;
    } expected[] = {
        {1001, "Padded Payee", 100125, 1, 1}, {1002, "Payee 1002", 100225, 1, 2}, {1003, "Payee 1003", 100325, 2, 1}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows[i].check.checkNo, expected[i].checkNo);
        EXPECT_EQ(rows[i].check.payee, S(expected[i].payee)) << "trailing blanks of the field are gone";
        EXPECT_EQ(rows[i].check.amountCents, expected[i].cents);
        EXPECT_EQ(rows[i].check.memo, S("Memo ") + QString::number(expected[i].checkNo));
        EXPECT_EQ(rows[i].check.sheet, expected[i].sheet);
        EXPECT_EQ(rows[i].check.slot, expected[i].slot);
        EXPECT_EQ(rows[i].check.datePrinted, QDate(2026, 12, 8));
        EXPECT_EQ(rows[i].status, S("issued"));
        EXPECT_EQ(rows[i].accountNo, S("0012-345678"));
        EXPECT_EQ(rows[i].runId, result.runId);
    }
    EXPECT_EQ(RegisterNumbers(), Strings({"1004", "1005"}));
    EXPECT_EQ(folder.read(S("DraftMere.txt")), EncodeSettings(JournalSetup(1004, 2)));
    QList<DueWork> due;
    ASSERT_TRUE(journal.LoadDueWork(due));
    EXPECT_TRUE(due.isEmpty());
    EXPECT_EQ(Column(S("SELECT printed_at || '|' || printer || '|' || style || '|' || bank_name || '|' || "
                       "checks_on_first_sheet FROM runs")),
              Strings({"2026-12-08T10:15:00|Office Printer|Deluxe 3-On-A-Page|First Example Bank|2"}));
}

TEST_P(EngineTest, emptyTextsAreKeptAsEmptyText) {
    JournalRun run = JournalRunOf(JournalSetup(1));
    run.printer = QString();
    JournalCheck check{1, QDate(2026, 12, 8), QString(), 0, QString(), 1, 1};
    ASSERT_TRUE(journal.RecordRun(run, {check}, {}, nullptr, nullptr));
    // The server's quote_literal of NULL is NULL where SQLite's quote says NULL.
    const QString quote = OnServer() ? S("coalesce(quote_literal(%1), 'NULL')") : S("quote(%1)");
    EXPECT_EQ(Column(S("SELECT %1 FROM runs").arg(quote.arg(S("printer")))), Strings({"''"}));
    EXPECT_EQ(Column(S("SELECT %1 || %2 FROM checks").arg(quote.arg(S("payee")), quote.arg(S("memo")))),
              Strings({"''''"}));
    // A decision about a register with no Backup copy is kept under the empty identity.
    ASSERT_TRUE(journal.RememberSetAside({QByteArray("k")}, {S("1")}, QString(), SetAsideDecision::Keep, QDateTime()));
    SetAsideDecision decision = SetAsideDecision::None;
    ASSERT_TRUE(journal.LoadSetAside(QByteArray("k"), QString(), &decision));
    EXPECT_EQ(decision, SetAsideDecision::Keep);
}

TEST_P(EngineTest, anIssuedNumberCannotBeIssuedAgainAndTheFailedRunLeavesNoTrace) {
    Pending(1001, 2);
    ASSERT_TRUE(PrintAll(1001).journal);
    EXPECT_TRUE(journal.CheckNumbersFree(S("0012-345678"), 1003, 10));
    EXPECT_TRUE(journal.CheckNumbersFree(S("9999"), 1001, 2)) << "another account has its own numbers";
    const FileResult taken = journal.CheckNumbersFree(S("0012-345678"), 995, 7);
    ASSERT_FALSE(taken);
    EXPECT_TRUE(taken.error.contains(S("Check No. 1001"))) << taken.error.toStdString();
    EXPECT_TRUE(taken.error.contains(S("2026-12-08"))) << taken.error.toStdString();

    JournalCheck fresh{1003, QDate(2026, 12, 9), S("Fresh"), 1, S(""), 1, 1};
    JournalCheck again{1002, QDate(2026, 12, 9), S("Again"), 1, S(""), 1, 2};
    const FileResult twice = journal.RecordRun(JournalRunOf(JournalSetup(1003)), {fresh, again}, {}, nullptr, nullptr);
    ASSERT_FALSE(twice);
    EXPECT_TRUE(twice.error.contains(journal.Where())) << twice.error.toStdString();
    EXPECT_EQ(Rows().size(), 2) << "the whole run was rolled back";
    EXPECT_EQ(Column(S("SELECT COUNT(*) FROM runs")), Strings({"1"}));
}

TEST_P(EngineTest, dueWorkIsFinishedOnlyOnFilesThatStillHoldTheirOldContents) {
    const struct {
        const char *label;
        bool settingsAlreadySaved;
        bool registerAlreadyTrimmed;
        bool personChangedSettings;
    } cases[] = {
        {"stopped right after the journal", false, false, false},
        {"stopped after the settings", true, false, false},
        {"stopped after the register", true, true, false},
        {"setup changed by hand since", false, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder here;
        QtFiles hereFiles(here.path());
        CheckJournal hereJournal(here.path());
        Use(hereJournal, NewPlace(GetParam()));
        for (qint64 n = 1001; n <= 1004; ++n) {
            ASSERT_TRUE(AppendRegisterRecord(hereFiles, NumberedCheck(n)));
        }
        ASSERT_TRUE(SaveSettings(hereFiles, JournalSetup(1001)));
        const QByteArray registerBefore = here.read(S("TempRegister.txt"));
        DueWork due;
        due.settingsBefore = EncodeSettings(JournalSetup(1001));
        due.settingsAfter = EncodeSettings(JournalSetup(1004));
        due.registerBefore = QCryptographicHash::hash(registerBefore, QCryptographicHash::Sha256);
        due.registerAfter = registerBefore.mid(3 * kRecordLength);
        QList<JournalCheck> checks;
        for (int i = 0; i < 3; ++i) {
            checks.append(JournalCheckFor(NumberedCheck(1001 + i), 1001 + i, QDate(2026, 12, 8), SheetAndSlot(i, 3)));
        }
        ASSERT_TRUE(hereJournal.RecordRun(JournalRunOf(JournalSetup(1001)), checks, due, nullptr, nullptr));
        if (c.settingsAlreadySaved) {
            ASSERT_TRUE(SaveSettings(hereFiles, JournalSetup(1004)));
        }
        if (c.personChangedSettings) {
            ASSERT_TRUE(SaveSettings(hereFiles, JournalSetup(5000)));
        }
        if (c.registerAlreadyTrimmed) {
            ASSERT_TRUE(WriteRegisterBytes(hereFiles, due.registerAfter));
            // And a check accepted since then.
            ASSERT_TRUE(AppendRegisterRecord(hereFiles, NumberedCheck(1005)));
        }
        const QByteArray registerNow = here.read(S("TempRegister.txt"));
        const QByteArray settingsNow = here.read(S("DraftMere.txt"));
        bool settingsChanged = false;
        // Another account's checkbook is open: the work waits for this one's.
        ASSERT_TRUE(FinishDueWork(hereJournal, hereFiles, &settingsChanged, S("0099-000111")));
        EXPECT_EQ(here.read(S("TempRegister.txt")), registerNow);
        EXPECT_EQ(here.read(S("DraftMere.txt")), settingsNow);
        ASSERT_TRUE(FinishDueWork(hereJournal, hereFiles, &settingsChanged, JournalSetup(1001).AcctNo));
        EXPECT_EQ(settingsChanged, !c.settingsAlreadySaved && !c.personChangedSettings);
        EXPECT_EQ(here.read(S("DraftMere.txt")), EncodeSettings(JournalSetup(c.personChangedSettings ? 5000 : 1004)));
        EXPECT_EQ(here.read(S("TempRegister.txt")), c.registerAlreadyTrimmed ? registerNow : due.registerAfter);
        QList<DueWork> left;
        ASSERT_TRUE(hereJournal.LoadDueWork(left));
        EXPECT_TRUE(left.isEmpty());
        // Done twice, it changes nothing more.
        const QByteArray settled = here.read(S("TempRegister.txt"));
        ASSERT_TRUE(FinishDueWork(hereJournal, hereFiles, &settingsChanged));
        EXPECT_FALSE(settingsChanged);
        EXPECT_EQ(here.read(S("TempRegister.txt")), settled);
    }
}

TEST_P(EngineTest, aSpoiledFormIsVoidedAndItsCheckPrintsAgainOnTheNextForm) {
    Pending(1001, 5);
    FinishedRun run;
    run.run = JournalRunOf(JournalSetup(1001, 3));
    run.printed = Register().mid(0, 3);
    run.firstCheckNo = 1001;
    run.today = QDate(2026, 12, 8);
    run.settingsAfter = JournalSetup(1004, 3);
    const FinishResult first = FinishRun(journal, files, run);
    ASSERT_TRUE(first.journal);
    ASSERT_EQ(RegisterNumbers(), Strings({"1004", "1005"}));

    int requeued = 0;
    ASSERT_TRUE(ApplyReview(journal, files, first.runId, first.checks, run.printed,
                            {PrintMark::Good, PrintMark::Spoiled, PrintMark::Void}, QDate(2026, 12, 9), 1004,
                            &requeued));
    EXPECT_EQ(requeued, 1);
    // The spoiled check goes first, on form 1004; the others move up one form.
    const QList<RegisterRecord> pending = Register();
    ASSERT_EQ(pending.size(), 3);
    EXPECT_EQ(RegisterNumbers(), Strings({"1004", "1005", "1006"}));
    EXPECT_EQ(pending[0].PayTo.trimmed(), S("Payee 1002"));
    EXPECT_EQ(pending[1].PayTo.trimmed(), S("Payee 1004"));
    QList<CheckJournal::Row> rows = Rows();
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].status, S("issued"));
    EXPECT_EQ(rows[1].status, S("voided"));
    EXPECT_EQ(rows[1].voidReason, S("spoiled"));
    EXPECT_EQ(rows[1].voidDate, S("2026-12-09"));
    EXPECT_EQ(rows[2].status, S("voided"));
    EXPECT_EQ(rows[2].voidReason, S("void"));

    // The next run prints it again: the spoiled form now says which form took its place.
    const FinishResult second = PrintAll(1004);
    ASSERT_TRUE(second.journal) << second.journal.error.toStdString();
    rows = Rows();
    ASSERT_EQ(rows.size(), 6);
    EXPECT_EQ(rows[1].status, S("reprinted"));
    EXPECT_EQ(rows[1].reprintedAs, 1004);
    EXPECT_EQ(rows[1].voidReason, S("spoiled"));
    EXPECT_EQ(rows[2].status, S("voided")) << "a void form is not printed again";
    EXPECT_EQ(rows[3].check.checkNo, 1004);
    EXPECT_EQ(rows[3].check.payee, S("Payee 1002"));
    EXPECT_FALSE(folder.exists(S("TempRegister.txt")));
}

TEST_P(EngineTest, allPrintedWellChangesNothing) {
    Pending(1001, 2);
    const FinishResult run = PrintAll(1001);
    const QByteArray journalBefore = folder.read(kJournalPath);
    int requeued = -1;
    ASSERT_TRUE(ApplyReview(journal, files, run.runId, run.checks, {}, {PrintMark::Good, PrintMark::Good},
                            QDate(2026, 12, 9), 1003, &requeued));
    EXPECT_EQ(requeued, 0);
    EXPECT_FALSE(folder.exists(S("TempRegister.txt")));
    for (const CheckJournal::Row &row : Rows()) {
        EXPECT_EQ(row.status, S("issued"));
    }
}

// Who did what is kept with every run, review mark, void and export, as the person and computer
// that did it.
TEST_P(EngineTest, whoPrintedMarkedVoidedAndExportedIsKept) {
    EXPECT_EQ(journal.Where(), OnServer() ? journalPlace.Describe() : journal.Path());
    Pending(1001, 4);
    const FinishResult run = PrintAll(1001);
    ASSERT_TRUE(run.journal) << run.journal.error.toStdString();
    journal.SetWho(kBen);
    qint64 dueId = 0;
    ASSERT_TRUE(journal.RecordReview(run.runId, {1002, 1003}, {PrintMark::Spoiled, PrintMark::Void}, QDate(2026, 12, 9),
                                     {}, &dueId));
    journal.SetWho(kCarl);
    ASSERT_TRUE(journal.VoidCheck(Rows()[0].id, S("Lost in mail"), QDate(2026, 12, 10)));
    const JournalWho dora{S("dora"), S("laptop")};
    journal.SetWho(dora);
    ExportLog log{QDateTime(QDate(2026, 12, 11), QTime(9, 0)),
                  S("0012345678"),
                  S("CSV"),
                  S("/tmp/out.csv"),
                  {Rows()[3].id},
                  {QLatin1Char('I')}};
    ASSERT_TRUE(journal.RecordExport(log));
    const struct {
        qint64 checkNo;
        const char *status;
        JournalWho markedBy;
    } expected[] = {{1001, "voided", kCarl}, {1002, "voided", kBen}, {1003, "voided", kBen}, {1004, "issued", {}}};
    const QList<CheckJournal::Row> rows = Rows();
    ASSERT_EQ(rows.size(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(expected[i].checkNo);
        EXPECT_EQ(rows[i].check.checkNo, expected[i].checkNo);
        EXPECT_EQ(rows[i].status, S(expected[i].status));
        EXPECT_EQ(rows[i].printedBy, kAnna);
        EXPECT_EQ(rows[i].markedBy, expected[i].markedBy);
    }
    EXPECT_EQ(Column(S("SELECT os_user || '@' || host FROM runs")), Strings({"anna@desk-1"}));
    EXPECT_EQ(Column(S("SELECT os_user || '@' || host FROM exports")), Strings({"dora@laptop"}));
}

// The next number is the journal's highest of the account's digits plus one, whatever the status;
// a number another took is refused naming who took it, with the next free run of numbers.
TEST_P(EngineTest, theNextNumberAndATakenNumberFollowEveryoneOnTheAccount) {
    qint64 next = -1;
    ASSERT_TRUE(journal.NextNumber(S("0012-345678"), &next));
    EXPECT_EQ(next, 0) << "an empty journal has no number to follow";
    journal.SetWho(kBen);
    Pending(1001, 3);
    ASSERT_TRUE(PrintAll(1001).journal);
    ASSERT_TRUE(IntentOf(journal, 1005, 2));
    ASSERT_TRUE(journal.VoidCheck(Rows()[2].id, S("Torn"), QDate(2026, 12, 9)));
    journal.SetWho(kAnna);
    const struct {
        const char *account;
        qint64 next;
    } numbers[] = {{"0012-345678", 1007}, {"0012 345678", 1007}, {"9999-1", 0}};
    for (const auto &n : numbers) {
        ASSERT_TRUE(journal.NextNumber(S(n.account), &next));
        EXPECT_EQ(next, n.next) << n.account;
    }
    const struct {
        qint64 first, count;
        qint64 nextFree; // 0: free
    } cases[] = {{1001, 1, 1004}, {1003, 1, 1004}, {1004, 2, 1007}, {1000, 5, 1007},
                 {1004, 1, 0},    {1007, 9, 0},    {990, 11, 0},    {990, 12, 1007}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + "+" + std::to_string(c.count));
        bool taken = false;
        qint64 nextFree = -1;
        const FileResult result = journal.CheckNumbersFree(S("0012-345678"), c.first, c.count, &taken, &nextFree);
        EXPECT_EQ(result.ok, c.nextFree == 0);
        EXPECT_EQ(taken, c.nextFree != 0);
        if (!result.ok) {
            EXPECT_EQ(nextFree, c.nextFree);
            for (const QString &part : {kBen.user, kBen.host, QString::number(c.nextFree)}) {
                EXPECT_TRUE(result.error.contains(part)) << result.error.toStdString();
            }
        }
    }
}

// The marks of a run go to its checks in the order printed, though an approved check's row is older
// than its run: one form out of two marks the first printed, and the approved second keeps its approval.
TEST_P(EngineTest, aPartlyPrintedRunMarksItsFormsInTheOrderPrinted) {
    const QString account = S("0012-345678");
    ASSERT_TRUE(journal.SaveApprovalLimit(account, 50000));
    const JournalCheck small{1001, QDate(2026, 12, 8), S("Corner Shop"), 5000, S(""), 1, 1};
    const JournalCheck big{1002, QDate(2026, 12, 8), S("Landlord"), 90000, S("Rent"), 1, 2};
    QList<bool> answer;
    ASSERT_TRUE(journal.HoldForApproval(account, {big}, &answer));
    ASSERT_EQ(Rows().size(), 1);
    const qint64 bigId = Rows().at(0).id;
    journal.SetWho(kBen);
    ASSERT_TRUE(journal.Approve(bigId));
    journal.SetWho(kAnna);
    qint64 runId = 0;
    qint64 dueId = 0;
    ASSERT_TRUE(journal.RecordIntent(JournalRunOf(JournalSetup(1001)), {small, big}, {}, {}, &runId));
    ASSERT_TRUE(journal.EndRun(runId, {PrintMark::Good}, QDate(2026, 12, 8), {}, &dueId));
    const QList<CheckJournal::Row> rows = Rows();
    ASSERT_EQ(rows.size(), 2);
    for (const CheckJournal::Row &row : rows) {
        const bool approved = row.id == bigId;
        EXPECT_EQ(row.status, approved ? S("approved") : S("issued")) << row.check.payee.toStdString();
        EXPECT_EQ(row.check.checkNo, approved ? 0 : 1001) << row.check.payee.toStdString();
    }
}

// A limit per account holds checks above it as "awaiting approval" until another person approves
// them; an approved check prints once, its row becoming the printing one, and a run released
// before printing gives the approval back.
TEST_P(EngineTest, aCheckAboveTheLimitWaitsForAnotherPersonsApprovalAndPrintsOnce) {
    const QString account = S("0012-345678");
    const JournalCheck small{0, QDate(2026, 12, 8), S("Corner Shop"), 5000, S(""), 0, 0};
    const JournalCheck big{0, QDate(2026, 12, 8), S("Landlord"), 90000, S("Rent"), 0, 0};
    const auto held = [&](const QList<bool> &expected, const char *when) {
        QList<bool> answer;
        const FileResult result = journal.HoldForApproval(account, {small, big}, &answer);
        EXPECT_TRUE(result) << when << ": " << result.error.toStdString();
        EXPECT_EQ(answer, expected) << when;
    };
    qint64 limit = -1;
    ASSERT_TRUE(journal.LoadApprovalLimit(account, &limit));
    EXPECT_EQ(limit, 0);
    held({false, false}, "no limit");
    EXPECT_TRUE(Rows().isEmpty());
    ASSERT_TRUE(journal.SaveApprovalLimit(S("0012 345678"), 50000));
    ASSERT_TRUE(journal.LoadApprovalLimit(account, &limit));
    EXPECT_EQ(limit, 50000);
    held({false, true}, "above the limit");
    held({false, true}, "asked again");
    QList<CheckJournal::Row> rows = Rows();
    ASSERT_EQ(rows.size(), 1) << "one row per check, however often asked";
    const qint64 bigId = rows[0].id;
    EXPECT_EQ(rows[0].status, S("awaiting"));
    EXPECT_EQ(rows[0].requestedBy, kAnna);
    EXPECT_EQ(rows[0].check.amountCents, 90000);

    const struct {
        const JournalWho *who;
        bool approved;
    } approvals[] = {{&kAnna, false}, {&kBen, true}, {&kCarl, false}};
    for (const auto &a : approvals) {
        journal.SetWho(*a.who);
        const FileResult result = journal.Approve(bigId);
        EXPECT_EQ(result.ok, a.approved) << a.who->user.toStdString() << ": " << result.error.toStdString();
    }
    journal.SetWho(kAnna);
    rows = Rows();
    ASSERT_NE(RowOf(rows, bigId), nullptr);
    EXPECT_EQ(RowOf(rows, bigId)->status, S("approved"));
    EXPECT_EQ(RowOf(rows, bigId)->approvedBy, kBen);
    held({false, false}, "approved");

    const auto intent = [&](qint64 *runId) {
        JournalCheck first = small;
        first.checkNo = 1001;
        first.sheet = first.slot = 1;
        JournalCheck second = big;
        second.checkNo = 1002;
        second.sheet = 1;
        second.slot = 2;
        const FileResult result =
            journal.RecordIntent(JournalRunOf(JournalSetup(1001)), {first, second}, {}, {}, runId);
        EXPECT_TRUE(result) << result.error.toStdString();
    };
    qint64 runId = 0;
    intent(&runId);
    rows = Rows();
    ASSERT_NE(RowOf(rows, bigId), nullptr);
    EXPECT_EQ(RowOf(rows, bigId)->status, S("printing"));
    EXPECT_EQ(RowOf(rows, bigId)->check.checkNo, 1002);
    ASSERT_TRUE(ReleaseIntent(journal, runId));
    ASSERT_NE(RowOf(Rows(), bigId), nullptr);
    EXPECT_EQ(RowOf(Rows(), bigId)->status, S("approved")) << "the released run gave the approval back";
    held({false, false}, "released");

    intent(&runId);
    qint64 dueId = 0;
    ASSERT_TRUE(journal.EndRun(runId, {PrintMark::Good, PrintMark::Good}, QDate(2026, 12, 8), {}, &dueId));
    rows = Rows();
    ASSERT_EQ(rows.size(), 2);
    ASSERT_NE(RowOf(rows, bigId), nullptr);
    EXPECT_EQ(RowOf(rows, bigId)->status, S("issued"));
    EXPECT_EQ(RowOf(rows, bigId)->approvedBy, kBen);
    EXPECT_EQ(RowOf(rows, bigId)->printedBy, kAnna);
    held({false, true}, "printed once: the same check again waits anew");
    EXPECT_EQ(Rows().size(), 3);
}

// Moving the embedded journal to the server copies everything in one transaction and leaves the
// file as it was, read-only; unfinished runs or a number on both sides refuse the move untouched.
TEST_F(JournalTest, theEmbeddedJournalMovesToTheServerWholeOrNotAtAll) {
    const struct {
        const char *label;
        bool unfinished;     // a run of the file still printing
        qint64 serverNumber; // a number the server holds already (0: none)
        bool refused;
        const char *named; // in the refusal
    } cases[] = {
        {"moved", false, 0, false, ""},
        {"another account's number", false, 1002, false, ""},
        {"unfinished run", true, 0, true, ""},
        {"number on both sides", false, 1002, true, "1002"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder here;
        FaultyFiles disk(here.path());
        CheckJournal file(here.path());
        file.SetWho(kAnna);
        for (qint64 n = 1001; n <= 1003; ++n) {
            ASSERT_TRUE(AppendRegisterRecord(disk, NumberedCheck(n)));
        }
        FinishedRun run;
        run.run = JournalRunOf(JournalSetup(1001));
        ASSERT_TRUE(ReadAllRecords(disk, run.printed));
        run.firstCheckNo = 1001;
        run.today = QDate(2026, 12, 8);
        run.settingsAfter = JournalSetup(1004);
        ASSERT_TRUE(FinishRun(file, disk, run).journal);
        ASSERT_TRUE(file.VoidCheck(1, S("Torn"), QDate(2026, 12, 9)));
        Payee payee;
        payee.name = S("Payee 1001");
        ASSERT_TRUE(file.SavePayee(payee));
        ASSERT_TRUE(file.SaveApprovalLimit(S("0012-345678"), 70000));
        if (c.unfinished) {
            ASSERT_TRUE(IntentOf(file, 1004));
        }
        QList<CheckJournal::Row> before;
        ASSERT_TRUE(file.LoadChecks(before));

        const JournalPlace place = NewPlace(Engine::Server);
        CheckJournal server(here.path());
        server.SetPlace(place);
        server.SetWho(kBen);
        if (c.serverNumber != 0) {
            JournalRun elsewhere = JournalRunOf(JournalSetup(c.serverNumber));
            if (!c.refused) {
                elsewhere.accountNo = S("0099-000111");
            }
            ASSERT_TRUE(server.RecordRun(elsewhere, {{c.serverNumber, QDate(2026, 12, 1), S("X"), 1, S(""), 1, 1}}, {},
                                         nullptr, nullptr));
        }
        JournalMove moved;
        const FileResult result = file.MoveTo(server, &moved);
        EXPECT_EQ(result.ok, !c.refused) << result.error.toStdString();
        EXPECT_TRUE(result.error.contains(QLatin1String(c.named))) << result.error.toStdString();
        QList<CheckJournal::Row> after;
        ASSERT_TRUE(server.LoadChecks(after));
        const int already = c.serverNumber != 0 ? 1 : 0;
        if (!result.ok) {
            EXPECT_EQ(after.size(), already) << "nothing was copied";
            EXPECT_EQ(Mode(here.file(kJournalPath)), 0600) << "the file stays in use";
            QList<CheckJournal::Row> still;
            EXPECT_TRUE(file.LoadChecks(still));
            EXPECT_EQ(still.size(), before.size());
            continue;
        }
        EXPECT_EQ(moved.runs, 1);
        EXPECT_EQ(moved.checks, 3);
        EXPECT_EQ(moved.cents, 100125 + 100225 + 100325);
        EXPECT_EQ(moved.payees, 1);
        EXPECT_EQ(Mode(moved.keptFile) & 0222, 0) << "the kept file is read-only";
        RawJournal kept(moved.keptFile, S("kept"));
        EXPECT_EQ(kept.column(S("SELECT COUNT(*) || ' ' || SUM(amount_cents) FROM checks")), Strings({"3 300675"}));
        ASSERT_EQ(after.size(), 3 + already);
        for (int i = 0; i < 3; ++i) {
            const CheckJournal::Row &row = after[i + already];
            SCOPED_TRACE(before[i].check.checkNo);
            EXPECT_EQ(row.check.checkNo, before[i].check.checkNo);
            EXPECT_EQ(row.check.payee, before[i].check.payee);
            EXPECT_EQ(row.check.amountCents, before[i].check.amountCents);
            EXPECT_EQ(row.status, before[i].status);
            EXPECT_EQ(row.voidReason, before[i].voidReason);
            EXPECT_EQ(row.printedBy, kAnna);
            EXPECT_EQ(row.markedBy, before[i].markedBy);
        }
        qint64 limit = 0;
        ASSERT_TRUE(server.LoadApprovalLimit(S("0012-345678"), &limit));
        EXPECT_EQ(limit, 70000);
        QList<Payee> payees;
        ASSERT_TRUE(server.LoadPayees(payees));
        EXPECT_EQ(payees.size(), 1);
    }
}

// On one server, unfinished runs and due file work are each program folder's own; the numbers are
// everyone's.
TEST(JournalStations, unfinishedRunsAndDueWorkStayWithTheirOwnProgramFolder) {
    const JournalPlace place = NewPlace(Engine::Server);
    TempFolder folders[2];
    CheckJournal desk0(folders[0].path());
    CheckJournal desk1(folders[1].path());
    CheckJournal *desks[] = {&desk0, &desk1};
    DueWork due;
    due.settingsBefore = "before";
    due.settingsAfter = "after";
    for (int i = 0; i < 2; ++i) {
        desks[i]->SetPlace(place);
        desks[i]->SetWho(kAnna);
        const qint64 first = 1001 + 10 * i;
        ASSERT_TRUE(IntentOf(*desks[i], first, 2 + i));
        ASSERT_TRUE(desks[i]->RecordRun(JournalRunOf(JournalSetup(first + 5)),
                                        {{first + 5, QDate(2026, 12, 8), S("P"), 1, S(""), 1, 1}}, due, nullptr,
                                        nullptr));
    }
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        QList<UnresolvedRun> unresolved;
        ASSERT_TRUE(desks[i]->LoadUnresolved(unresolved));
        ASSERT_EQ(unresolved.size(), 1);
        EXPECT_EQ(unresolved[0].checks.size(), 2 + i);
        EXPECT_EQ(unresolved[0].checks[0].checkNo, 1001 + 10 * i);
        QList<DueWork> work;
        ASSERT_TRUE(desks[i]->LoadDueWork(work));
        EXPECT_EQ(work.size(), 1);
        EXPECT_FALSE(desks[i]->CheckNumbersFree(S("0012-345678"), 1011 - 10 * i, 1)) << "the other's number";
    }
}

// A server that cannot be reached, refuses the database or refuses the write: nothing is recorded,
// and the message names the server and its reason.
TEST(JournalServerTrouble, aRunDoesNotStartWithoutTheServerAndSaysWhy) {
    const JournalPlace good = NewPlace(Engine::Server);
    const struct {
        const char *label;
        void (*spoil)(JournalPlace &);
        const char *reason;
    } cases[] = {
        {"no server on the port", [](JournalPlace &p) { p.port += 1; }, "No such file or directory"},
        {"no such database", [](JournalPlace &p) { p.database += QStringLiteral("_gone"); }, "does not exist"},
        {"no such role", [](JournalPlace &p) { p.user = QStringLiteral("nobody_here"); }, "nobody_here"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        JournalPlace place = good;
        c.spoil(place);
        TempFolder here;
        CheckJournal journal(here.path());
        journal.SetPlace(place);
        qint64 runId = 0;
        const FileResult intent = IntentOf(journal, 1001, 1, &runId);
        ASSERT_FALSE(intent);
        EXPECT_TRUE(intent.error.contains(place.Describe())) << intent.error.toStdString();
        EXPECT_TRUE(intent.error.contains(QLatin1String(c.reason))) << intent.error.toStdString();
        EXPECT_FALSE(here.exists(kJournalFolder)) << "no file journal in its place";
    }
    TempFolder here;
    {
        CheckJournal reached(here.path());
        reached.SetPlace(good);
        ASSERT_TRUE(IntentOf(reached, 1001));
        QList<CheckJournal::Row> rows;
        ASSERT_TRUE(reached.LoadChecks(rows));
        EXPECT_EQ(rows.size(), 1) << "the failed attempts left nothing";
    }
    // The server refuses the write: the run is refused with the server's reason.
    JournalPlace other = good;
    other.database = QStringLiteral("postgres");
    ASSERT_EQ(RunOnServer(other, S("ALTER DATABASE %1 SET default_transaction_read_only = on").arg(good.database)),
              QString());
    CheckJournal refused(here.path());
    refused.SetPlace(good);
    const FileResult intent = IntentOf(refused, 1002);
    ASSERT_FALSE(intent);
    EXPECT_TRUE(intent.error.contains(good.Describe())) << intent.error.toStdString();
    EXPECT_TRUE(intent.error.contains(S("read-only transaction"))) << intent.error.toStdString();
}

class SetAsideTest : public EngineTest {
protected:
    // Answers the question with `keepThem` and records what it was asked.
    SetAsideResult Check(bool keepThem = false) {
        return SetAsidePrinted(
            journal, files, S("0012-345678"),
            [this, keepThem](const QStringList &numbers) {
                questions.append(numbers);
                return keepThem;
            },
            QDateTime(QDate(2026, 12, 8), QTime(11, 0)));
    }
    void BackupOf(qint64 first, int count) {
        QByteArray bytes;
        for (qint64 n = first; n < first + count; ++n) {
            bytes += EncodeRecord(NumberedCheck(n));
        }
        ASSERT_TRUE(folder.write(S("Backup/TempRegister.txt"), bytes));
    }
    QList<QStringList> questions;
};

INSTANTIATE_TEST_SUITE_P(Engines, SetAsideTest, ::testing::Values(Engine::File, Engine::Server), EngineName);

TEST_P(SetAsideTest, aBackupCopyPrintedBeforeIsAskedAboutOnceAndDiscardedByDefault) {
    BackupOf(1001, 3);
    ASSERT_EQ(RegisterNumbers(), Strings({"1001", "1002", "1003"}));
    SetAsideResult found = Check();
    EXPECT_TRUE(questions.isEmpty()) << "nothing printed yet";
    ASSERT_TRUE(PrintAll(1001).journal);
    EXPECT_FALSE(folder.exists(S("TempRegister.txt")));

    // The next look restores the copy; the journal knows all three.
    found = Check();
    ASSERT_TRUE(found.result) << found.result.error.toStdString();
    EXPECT_EQ(questions, QList<QStringList>{Strings({"1001", "1002", "1003"})});
    EXPECT_EQ(found.discarded, 3);
    EXPECT_FALSE(folder.exists(S("TempRegister.txt")));
    // While the same copy sits there, it is dropped without asking.
    for (int i = 0; i < 3; ++i) {
        found = Check();
        EXPECT_EQ(found.discarded, 3);
        EXPECT_FALSE(folder.exists(S("TempRegister.txt")));
    }
    EXPECT_EQ(questions.size(), 1);
    // A new check accepted beside a restored copy stays; only the printed ones go.
    ASSERT_TRUE(AppendRegisterRecord(files, NumberedCheck(1004)));
    found = Check();
    EXPECT_EQ(found.discarded, 3);
    EXPECT_EQ(RegisterNumbers(), Strings({"1004"}));
    EXPECT_EQ(questions.size(), 1);
}

TEST_P(SetAsideTest, anotherBackupCopyIsANewOccurrence) {
    BackupOf(1001, 2);
    ASSERT_TRUE(PrintAll(1001).journal);
    Check();
    ASSERT_EQ(questions.size(), 1);
    BackupOf(1001, 1);
    Check();
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(questions.last(), Strings({"1001"}));
}

TEST_P(SetAsideTest, keptChecksPrintAgainOnceOnPurpose) {
    BackupOf(1001, 2);
    ASSERT_TRUE(PrintAll(1001).journal);
    SetAsideResult found = Check(true);
    EXPECT_EQ(found.kept, 2);
    EXPECT_EQ(found.discarded, 0);
    EXPECT_EQ(RegisterNumbers(), Strings({"1001", "1002"}));
    // Not asked again while they wait.
    found = Check(true);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_EQ(found.kept, 2);
    // Printed again on purpose (on forms 1003 and 1004); the copy in Backup then brings them back
    // once more, and this time they go without a question.
    ASSERT_TRUE(PrintAll(1003).journal);
    found = Check(true);
    EXPECT_EQ(found.discarded, 2);
    EXPECT_EQ(questions.size(), 1);
    EXPECT_FALSE(folder.exists(S("TempRegister.txt")));
}

// The register copied into Backup, then printed under other numbers after the setup's next number
// was changed: the copy's checks are set aside by their payee, amount and memo. A check written
// again after the run (in the register, or in a copy made after the run) is a new check and stays.
TEST_P(SetAsideTest, aBackupCopyIsSetAsideByContentWhateverNumberItPrintedUnder) {
    const struct {
        const char *label;
        QTime copyMade;    // the run prints at 10:15
        bool writtenAgain; // the same payee, amount and memo written again in the register after the run
        bool setAside;
    } cases[] = {
        {"copy made before the run", QTime(9, 0), false, true},
        {"the same check written again after the run", QTime(9, 0), true, false},
        {"copy made after the run", QTime(11, 0), false, false},
    };
    qint64 base = 6001;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        questions.clear();
        base += 100;
        BackupOf(base, 2);
        QFile copy(folder.file(S("Backup/TempRegister.txt")));
        ASSERT_TRUE(copy.open(QIODevice::ReadWrite));
        ASSERT_TRUE(copy.setFileTime(QDateTime(QDate(2026, 12, 8), c.copyMade), QFileDevice::FileModificationTime));
        copy.close();
        // The setup's next number moved on by four (the first was taken, as the message advised).
        ASSERT_TRUE(WriteRegisterBytes(files, RenumberRecords(folder.read(S("Backup/TempRegister.txt")), base + 4)));
        ASSERT_TRUE(PrintAll(base + 4).journal);
        ASSERT_FALSE(folder.exists(S("TempRegister.txt")));
        QStringList left = {QString::number(base), QString::number(base + 1)};
        if (c.writtenAgain) {
            RegisterRecord again = NumberedCheck(base);
            again.CheckNo = QString::number(base + 6);
            ASSERT_TRUE(WriteRegisterBytes(files, EncodeRecord(again)));
            left = QStringList{again.CheckNo};
        }
        const SetAsideResult found = Check();
        ASSERT_TRUE(found.result) << found.result.error.toStdString();
        EXPECT_EQ(questions.size(), c.setAside ? 1 : 0);
        if (c.setAside) {
            EXPECT_EQ(questions[0], left);
            EXPECT_FALSE(folder.exists(S("TempRegister.txt")));
        } else {
            EXPECT_EQ(RegisterNumbers(), left);
        }
        ASSERT_TRUE(WriteRegisterBytes(files, {}));
        ASSERT_TRUE(QFile::remove(folder.file(S("Backup/TempRegister.txt"))));
    }
}

TEST_P(SetAsideTest, onlyTheSameAccountNumberPayeeAmountAndMemoCount) {
    Pending(1001, 1);
    ASSERT_TRUE(PrintAll(1001).journal);
    const struct {
        const char *label;
        void (*change)(RegisterRecord &);
        bool setAside;
    } cases[] = {
        {"the same check", [](RegisterRecord &) {}, true},
        {"amount written otherwise", [](RegisterRecord &r) { r.Amount = S("1001.250"); }, true},
        {"another number", [](RegisterRecord &r) { r.CheckNo = S("1002"); }, false},
        {"another payee", [](RegisterRecord &r) { r.PayTo = S("Payee 1001x"); }, false},
        {"another amount", [](RegisterRecord &r) { r.Amount = S("1001.26"); }, false},
        {"another memo", [](RegisterRecord &r) { r.Memo = S("Memo"); }, false},
        {"a number that is none", [](RegisterRecord &r) { r.CheckNo = S("abc"); }, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        RegisterRecord record = NumberedCheck(1001);
        c.change(record);
        ASSERT_TRUE(WriteRegisterBytes(files, EncodeRecord(record)));
        questions.clear();
        const SetAsideResult found = Check();
        EXPECT_EQ(found.discarded, c.setAside ? 1 : 0);
        EXPECT_EQ(questions.size(), c.setAside ? 1 : 0);
        EXPECT_EQ(folder.exists(S("TempRegister.txt")), !c.setAside);
    }
    // Another account's journal does not hold it (a record not decided about before).
    RegisterRecord record = NumberedCheck(1001);
    record.Amount = S("1001.2500");
    ASSERT_TRUE(WriteRegisterBytes(files, EncodeRecord(record)));
    const SetAsideResult other = SetAsidePrinted(journal, files, S("9999"), nullptr, QDateTime());
    EXPECT_EQ(other.discarded, 0);
    EXPECT_TRUE(other.asked.isEmpty());
    EXPECT_EQ(SetAsidePrinted(journal, files, S("0012-345678"), nullptr, QDateTime()).discarded, 1);
}

} // namespace
