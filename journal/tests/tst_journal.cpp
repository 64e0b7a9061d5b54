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
              Strings({"checks", "due_work", "export_rows", "exports", "reprint_due", "runs", "set_aside"}));
}

TEST_F(JournalTest, open_tightensAJournalOthersCouldRead) {
    ASSERT_TRUE(journal.Open());
    journal.Close();
    ASSERT_EQ(::chmod(QFile::encodeName(journalPath()).constData(), 0644), 0);
    ASSERT_TRUE(journal.Open());
    EXPECT_EQ(Mode(journalPath()), 0600);
}

TEST_F(JournalTest, aVersion1JournalIsMigratedKeepingItsChecks) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(kJournalFolder));
    {
        RawJournal raw(journalPath());
        for (const char *statement : {
                 "CREATE TABLE runs(id INTEGER PRIMARY KEY, printed_at TEXT NOT NULL, printer TEXT NOT NULL, style "
                 "TEXT NOT NULL, account_no TEXT NOT NULL, bank_name TEXT NOT NULL, checks_on_first_sheet INTEGER "
                 "NOT NULL)",
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
             }) {
            ASSERT_TRUE(raw.exec(QLatin1String(statement))) << statement;
        }
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
        Strings({"checks_account_number", "checks_check_no", "checks_date", "checks_payee", "checks_printing"}));
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

TEST(JournalPlaces, sheetAndSlotFollowTheFormsInThePrinter) {
    const struct {
        int firstSheet;
        qsizetype index;
        int sheet, slot;
    } cases[] = {
        {3, 0, 1, 1}, {3, 2, 1, 3}, {3, 3, 2, 1}, {3, 5, 2, 3}, {3, 6, 3, 1}, {2, 1, 1, 2},     {2, 2, 2, 1},
        {2, 4, 2, 3}, {1, 0, 1, 1}, {1, 1, 2, 1}, {1, 3, 2, 3}, {1, 4, 3, 1}, {1, 999, 334, 3},
    };
    for (const auto &c : cases) {
        const SheetSlot place = SheetAndSlot(c.index, c.firstSheet);
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

TEST_F(JournalTest, aRunIsRecordedWithEveryFormAndTheRestStaysPending) {
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
    journal.Close();
    RawJournal raw(journalPath());
    EXPECT_EQ(raw.column(S("SELECT printed_at || '|' || printer || '|' || style || '|' || bank_name || '|' || "
                           "checks_on_first_sheet FROM runs")),
              Strings({"2026-12-08T10:15:00|Office Printer|Deluxe 3-On-A-Page|First Example Bank|2"}));
}

TEST_F(JournalTest, emptyTextsAreKeptAsEmptyText) {
    JournalRun run = JournalRunOf(JournalSetup(1));
    run.printer = QString();
    JournalCheck check{1, QDate(2026, 12, 8), QString(), 0, QString(), 1, 1};
    ASSERT_TRUE(journal.RecordRun(run, {check}, {}, nullptr, nullptr));
    journal.Close();
    {
        RawJournal raw(journalPath());
        EXPECT_EQ(raw.column(S("SELECT quote(printer) FROM runs")), Strings({"''"}));
        EXPECT_EQ(raw.column(S("SELECT quote(payee) || quote(memo) FROM checks")), Strings({"''''"}));
    }
    // A decision about a register with no Backup copy is kept under the empty identity.
    ASSERT_TRUE(journal.RememberSetAside({QByteArray("k")}, {S("1")}, QString(), SetAsideDecision::Keep, QDateTime()));
    SetAsideDecision decision = SetAsideDecision::None;
    ASSERT_TRUE(journal.LoadSetAside(QByteArray("k"), QString(), &decision));
    EXPECT_EQ(decision, SetAsideDecision::Keep);
}

TEST_F(JournalTest, anIssuedNumberCannotBeIssuedAgainAndTheFailedRunLeavesNoTrace) {
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
    EXPECT_TRUE(twice.error.contains(journal.Path())) << twice.error.toStdString();
    EXPECT_EQ(Rows().size(), 2) << "the whole run was rolled back";
    journal.Close();
    RawJournal raw(journalPath());
    EXPECT_EQ(raw.column(S("SELECT COUNT(*) FROM runs")), Strings({"1"}));
}

TEST_F(JournalTest, dueWorkIsFinishedOnlyOnFilesThatStillHoldTheirOldContents) {
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
        bool settingsChanged = false;
        ASSERT_TRUE(FinishDueWork(hereJournal, hereFiles, &settingsChanged));
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

TEST_F(JournalTest, aSpoiledFormIsVoidedAndItsCheckPrintsAgainOnTheNextForm) {
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

TEST_F(JournalTest, allPrintedWellChangesNothing) {
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

class SetAsideTest : public JournalTest {
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

TEST_F(SetAsideTest, aBackupCopyPrintedBeforeIsAskedAboutOnceAndDiscardedByDefault) {
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

TEST_F(SetAsideTest, anotherBackupCopyIsANewOccurrence) {
    BackupOf(1001, 2);
    ASSERT_TRUE(PrintAll(1001).journal);
    Check();
    ASSERT_EQ(questions.size(), 1);
    BackupOf(1001, 1);
    Check();
    EXPECT_EQ(questions.size(), 2);
    EXPECT_EQ(questions.last(), Strings({"1001"}));
}

TEST_F(SetAsideTest, keptChecksPrintAgainOnceOnPurpose) {
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

TEST_F(SetAsideTest, onlyTheSameAccountNumberPayeeAmountAndMemoCount) {
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
