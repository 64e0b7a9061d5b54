// The entry window with the check journal: checks printed before are set aside, a run that cannot
// be recorded does not start, a crashed run is finished, and printed forms are reviewed.
#include "frmMainFixture.h"

#include "journal/RunEnd.h"
#include "platform/QtPrinter.h"
#include "platform/testing/RecordingPrinter.h"
#include "platform/testing/TestHelpers.h"
#include "platform/testing/WhenUp.h"
#include "windows/frmPrintedChecks.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>

namespace {

RegisterRecord Earlier(int checkNo, const QString &payee) {
    return {QString::number(checkNo), QStringLiteral("12/01/2026"),  payee,
            QStringLiteral("25.50"),  QStringLiteral("Backup memo"), kStatusPrinted};
}

} // namespace

class JournalWindowTest : public EntryWindowTest {
protected:
    void UsePrinter() {
        printerDialog.makePrinter = [this] {
            auto printer = std::make_unique<RecordingPrinter>(log);
            printer->charWidth = 100;
            printer->lineHeight = 240;
            return printer;
        };
    }
    QStringList PrintedPayees() const {
        QStringList payees;
        for (const PrinterCall &call : log.Texts()) {
            if (call.text.contains(QStringLiteral("Payee"))) {
                payees << call.text.trimmed();
            }
        }
        return payees;
    }
    QList<CheckJournal::Row> Journal() {
        QList<CheckJournal::Row> rows;
        EXPECT_TRUE(program->Journal().LoadChecks(rows).ok);
        return rows;
    }
    QStringList Statuses() {
        QStringList statuses;
        for (const CheckJournal::Row &row : Journal()) {
            statuses << QString::number(row.check.checkNo) + QLatin1Char(' ') + row.status;
        }
        return statuses;
    }
    void WriteBackup(const QList<RegisterRecord> &records) {
        QByteArray bytes;
        for (const RegisterRecord &record : records) {
            bytes += EncodeRecord(record);
        }
        QDir(dir.path()).mkpath(QStringLiteral("Backup"));
        QFile file(dir.filePath(QStringLiteral("Backup/TempRegister.txt")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QString JournalPath() const { return dir.filePath(kJournalFolder + QLatin1Char('/') + kJournalFile); }
    PrinterLog log;
};

TEST_F(JournalWindowTest, aBackupCopyPrintedOnceDoesNotPrintAgain) {
    WriteBackup({Earlier(1001, QStringLiteral("Payee A")), Earlier(1002, QStringLiteral("Payee B")),
                 Earlier(1003, QStringLiteral("Payee C"))});
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    ASSERT_TRUE(messages.shown.isEmpty()) << "nothing printed yet";
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1004"));
    UsePrinter();
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(PrintedPayees(), Strings({"Payee A", "Payee B", "Payee C"}));
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 issued", "1003 issued"}));
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1004"));
    ASSERT_EQ(reviewed.size(), 1);
    EXPECT_EQ(reviewed[0].size(), 3);

    // Back in the entry window the copy comes back; the person is asked once, and the default
    // discards the three.
    OpenEntry();
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_EQ(messages.shown[0].title, QStringLiteral("Checks Already Printed"));
    EXPECT_TRUE(messages.shown[0].text.startsWith(
        QStringLiteral("3 checks waiting to be printed were printed before: Check Nos. 1001, 1002, 1003.")))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].defaultButton, MsgResult::Yes);
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1004"));
    EXPECT_FALSE(main->cmdExpense[6]->isEnabled());

    // Printing again prints nothing the first run printed, and asks nothing more.
    messages.shown.clear();
    main->cmdExpense[6]->setEnabled(true);
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(Titles(), Strings({"Nothing to Print"}));
    EXPECT_EQ(PrintedPayees(), Strings({"Payee A", "Payee B", "Payee C"}));
    EXPECT_EQ(printerDialog.shown, 1);
    OpenEntry();
    EXPECT_EQ(Titles(), Strings({"Nothing to Print"}));

    // A new check beside the copy prints alone.
    AcceptCheck(QStringLiteral("Payee D"), QStringLiteral("7"), QStringLiteral("New"));
    ASSERT_EQ(Pending().size(), 1) << "the copy's checks are not brought back under the new one";
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1005"));
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(PrintedPayees(), Strings({"Payee A", "Payee B", "Payee C", "Payee D"}));
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 issued", "1003 issued", "1004 issued"}));
}

TEST_F(JournalWindowTest, keptChecksPrintAgainOnPurpose) {
    WriteBackup({Earlier(1001, QStringLiteral("Payee A"))});
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    UsePrinter();
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    messages.setNextAnswer(MsgResult::No);
    OpenEntry();
    ASSERT_EQ(Titles(), Strings({"Checks Already Printed"}));
    EXPECT_EQ(Pending().size(), 1);
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(PrintedPayees(), Strings({"Payee A", "Payee A"}));
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 issued"}));
    EXPECT_EQ(Titles(), Strings({"Checks Already Printed"})) << "asked once";
}

TEST_F(JournalWindowTest, aJournalThatCannotBeWrittenKeepsTheRunFromStarting) {
    // Each puts something in place of the journal that cannot take a run.
    const struct {
        const char *label;
        void (*spoil)(const QString &path);
        const char *reason;
    } cases[] = {
        {"not a database",
         [](const QString &path) {
             QFile file(path);
             file.open(QIODevice::WriteOnly);
             file.write(QByteArray(8192, 'x'));
         },
         "not a database"},
        {"newer than this program",
         [](const QString &path) {
             {
                 QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("newer"));
                 db.setDatabaseName(path);
                 db.open();
                 QSqlQuery(db).exec(QStringLiteral("PRAGMA user_version = 9"));
                 db.close();
             }
             QSqlDatabase::removeDatabase(QStringLiteral("newer"));
         },
         "newer"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.label);
        ASSERT_TRUE(DeleteRegister(files).ok);
        messages.shown.clear();
        OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("2")));
        AcceptCheck(QStringLiteral("Payee 1"), QStringLiteral("10"), QStringLiteral("Memo 1"));
        AcceptCheck(QStringLiteral("Payee 2"), QStringLiteral("20"), QStringLiteral("Memo 2"));
        program->Journal().Close();
        QFile::remove(JournalPath());
        c.spoil(JournalPath());
        const QByteArray settingsBefore = SettingsFile();
        UsePrinter();
        main->cmdExpense[6]->click();
        main->cmPrintSummary[0]->click();
        EXPECT_EQ(printerDialog.shown, 0) << "no printer dialog";
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("Checks Not Printed"));
        EXPECT_TRUE(messages.shown[0].text.contains(QDir::toNativeSeparators(JournalPath())))
            << messages.shown[0].text.toStdString();
        EXPECT_TRUE(messages.shown[0].text.contains(QLatin1String(c.reason))) << messages.shown[0].text.toStdString();
        EXPECT_EQ(Pending().size(), 2);
        EXPECT_EQ(SettingsFile(), settingsBefore);
        EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
        program->Journal().Close();
        QFile::remove(JournalPath());
    }
}

TEST_F(JournalWindowTest, aSetupNumberAlreadyIssuedIsRefusedAndTheNextFreeOneOffered) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Payee 1"), QStringLiteral("10"), QStringLiteral("Memo 1"));
    UsePrinter();
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    ASSERT_EQ(Statuses(), Strings({"1001 issued"}));
    // The setup is put back by hand to a number already used.
    SaveSetup(Setup(QStringLiteral("1001"), QStringLiteral("2")));
    startup->SetSettings(Setup(QStringLiteral("1001"), QStringLiteral("2")));
    OpenEntry();
    AcceptCheck(QStringLiteral("Payee 2"), QStringLiteral("20"), QStringLiteral("Memo 2"));
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(printerDialog.shown, 1);
    ASSERT_EQ(Titles(), Strings({"Check Numbers Taken"}));
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("Check No. 1001 of account 0012-345678 is already "
                                                               "in the check journal")))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("issued on 2026-12-07. A number in the journal is "
                                                               "never used again.\r\nThe next free number is 1002")))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("Print the checks as Nos. 1002 to 1002 instead?")))
        << messages.shown[0].text.toStdString();
    EXPECT_EQ(messages.shown[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(messages.shown[0].defaultButton, MsgResult::No) << "the forms in the printer may not be numbered so";
    EXPECT_EQ(Pending().size(), 1);

    // Yes takes the next free number: the setup moves to it and the check prints under it.
    messages.shown.clear();
    messages.setNextAnswer(MsgResult::Yes);
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(Titles(), Strings({"Check Numbers Taken"}));
    EXPECT_EQ(printerDialog.shown, 2);
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 issued"}));
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1003"));
    EXPECT_EQ(Pending().size(), 0);
}

TEST_F(JournalWindowTest, aRunStoppedByACrashIsFinishedAtTheNextActivationWithoutAQuestion) {
    // A run of three recorded in the journal; then the program died before the settings and the
    // register were brought up to date.
    SaveSetup(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    WritePending(4, 1001);
    QFile registerFile(dir.filePath(QStringLiteral("TempRegister.txt")));
    ASSERT_TRUE(registerFile.open(QIODevice::ReadOnly));
    const QByteArray registerBytes = registerFile.readAll();
    registerFile.close();
    DueWork due;
    due.settingsBefore = SettingsFile();
    due.settingsAfter = EncodeSettings(Setup(QStringLiteral("1004"), QStringLiteral("3")));
    due.registerBefore = QCryptographicHash::hash(registerBytes, QCryptographicHash::Sha256);
    due.registerAfter = registerBytes.mid(3 * kRecordLength);
    QList<JournalCheck> checks;
    for (int i = 0; i < 3; ++i) {
        checks.append(JournalCheckFor(Pending()[i], 1001 + i, clock.today, SheetAndSlot(i, 3)));
    }
    ASSERT_TRUE(program->Journal().RecordRun({QDateTime(clock.today, QTime(9, 0)), QString(), kStyle3OnAPage,
                                              QStringLiteral("0012-345678"), QStringLiteral("First Example Bank"), 3},
                                             checks, due, nullptr, nullptr));
    OpenEntry();
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_EQ(Pending().size(), 1);
    EXPECT_EQ(Pending()[0].PayTo.trimmed(), QStringLiteral("Earlier Payee 4"));
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1004"));
    EXPECT_EQ(main->lblCheck->text(), QStringLiteral("1005"));
    EXPECT_EQ(SettingsFile(), due.settingsAfter);
}

TEST_F(JournalWindowTest, aSpoiledFormPrintsAgainOnTheNextFormAndAVoidOneDoesNot) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("2")));
    for (int i = 1; i <= 4; ++i) {
        AcceptCheck(QStringLiteral("Payee %1").arg(i), QString::number(i * 10), QStringLiteral("Memo %1").arg(i));
    }
    UsePrinter();
    reviewMarks = {{PrintMark::Good, PrintMark::Spoiled, PrintMark::Void, PrintMark::Good}};
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    ASSERT_EQ(reviewed.size(), 1);
    const struct {
        qint64 checkNo;
        const char *payee;
        qint64 cents;
        int sheet, slot;
    } listed[] = {{1001, "Payee 1", 1000, 1, 1},
                  {1002, "Payee 2", 2000, 1, 2},
                  {1003, "Payee 3", 3000, 2, 1},
                  {1004, "Payee 4", 4000, 2, 2}};
    ASSERT_EQ(reviewed[0].size(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(reviewed[0][i].checkNo, listed[i].checkNo);
        EXPECT_EQ(reviewed[0][i].payee, QLatin1String(listed[i].payee));
        EXPECT_EQ(reviewed[0][i].amountCents, listed[i].cents);
        EXPECT_EQ(reviewed[0][i].sheet, listed[i].sheet);
        EXPECT_EQ(reviewed[0][i].slot, listed[i].slot);
    }
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 voided", "1003 voided", "1004 issued"}));
    // The setup follows the forms used, the spoiled one included; its check waits on the next form.
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1005"));
    EXPECT_EQ(startup->Settings().ChecksOnForm, QStringLiteral("1"));
    ASSERT_EQ(Pending().size(), 1);
    EXPECT_EQ(Pending()[0].PayTo.trimmed(), QStringLiteral("Payee 2"));
    EXPECT_EQ(Pending()[0].CheckNo.trimmed(), QStringLiteral("1005"));
    EXPECT_EQ(Panel(), QStringLiteral("fraPrintSummary"));
    EXPECT_TRUE(main->isVisible());

    main->cmPrintSummary[0]->click();
    EXPECT_EQ(PrintedPayees(), Strings({"Payee 1", "Payee 2", "Payee 3", "Payee 4", "Payee 2"}));
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 reprinted", "1003 voided", "1004 issued", "1005 issued"}));
    EXPECT_EQ(Journal()[1].reprintedAs, 1005);
    EXPECT_EQ(Journal()[1].voidReason, QStringLiteral("spoiled"));
    EXPECT_EQ(Journal()[2].voidReason, QStringLiteral("void"));
    EXPECT_FALSE(RegisterExists());
    EXPECT_TRUE(startup->isVisible());
}

TEST_F(JournalWindowTest, theRealReviewAfterARunTakesReturnAsAllPrintedWell) {
    program->ReviewPrintedChecks = [this](const QList<JournalCheck> &checks) {
        return ReviewPrintedChecks(checks, messages, main);
    };
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Payee 1"), QStringLiteral("10"), QStringLiteral("Memo 1"));
    AcceptCheck(QStringLiteral("Payee 2"), QStringLiteral("20"), QStringLiteral("Memo 2"));
    const QString pdf = dir.filePath(QStringLiteral("run.pdf"));
    printerDialog.makePrinter = [pdf] { return MakePdfPrinter(pdf); };
    QString shownTitle;
    int rows = 0;
    WhenUp<frmPrintedChecks>([&](frmPrintedChecks &review) {
        shownTitle = review.windowTitle();
        rows = review.grdPrintedChecks->model()->rowCount();
        QTest::keyClick(&review, Qt::Key_Return);
    });
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(shownTitle, QStringLiteral("Printed Checks"));
    EXPECT_EQ(rows, 2);
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 issued"}));
    EXPECT_FALSE(RegisterExists());
    EXPECT_TRUE(startup->isVisible());
    EXPECT_TRUE(messages.shown.isEmpty());
    // Read through the program's own connection: the journal admits no other while it is open.
    QSqlQuery query(QSqlDatabase::database(program->Journal().ConnectionName()));
    ASSERT_TRUE(query.exec(QStringLiteral("SELECT printer, checks_on_first_sheet FROM runs")) && query.next());
    EXPECT_EQ(query.value(0).toString(), QStringLiteral("PDF"));
    EXPECT_EQ(query.value(1).toInt(), 3);
}

namespace {

// Another program holding the journal locked (a database browser in the middle of a write).
class OtherProgramLock {
public:
    explicit OtherProgramLock(const QString &path) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other-program"));
        db_.setDatabaseName(path);
        locked_ = db_.open() && QSqlQuery(db_).exec(QStringLiteral("BEGIN EXCLUSIVE"));
    }
    ~OtherProgramLock() {
        QSqlQuery(db_).exec(QStringLiteral("ROLLBACK"));
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other-program"));
    }
    bool locked() const { return locked_; }

private:
    QSqlDatabase db_;
    bool locked_ = false;
};

} // namespace

// Another program takes the journal's lock while the printer dialog is open, or while the checks
// are drawn. Taken before the intent, it stops the run before the printer gets anything; taken
// after, the printed checks stay "printing" with the setup and the register as they were, and the
// next activation asks what came out of the printer before anything else can print.
TEST_F(JournalWindowTest, aJournalLockedDuringTheRunNeverLeavesPrintedChecksUnrecorded) {
    for (const bool duringDialog : {true, false}) {
        SCOPED_TRACE(duringDialog ? "locked during the printer dialog" : "locked while the checks are drawn");
        program.reset();
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
        SetUp();
        OpenEntry(Setup(QStringLiteral("3001"), QStringLiteral("3")));
        AcceptCheck(QStringLiteral("Payee 1"), QStringLiteral("10"), QStringLiteral("Memo 1"));
        AcceptCheck(QStringLiteral("Payee 2"), QStringLiteral("20"), QStringLiteral("Memo 2"));
        const QByteArray settingsBefore = SettingsFile();
        std::unique_ptr<OtherProgramLock> other;
        const auto takeLock = [this, &other] {
            if (!other) {
                // This program lets go of its connection (as after a failed write) and the other takes the file.
                program->Journal().Close();
                other = std::make_unique<OtherProgramLock>(JournalPath());
            }
        };
        UsePrinter();
        const auto makePrinter = printerDialog.makePrinter;
        if (duringDialog) {
            printerDialog.makePrinter = [makePrinter, takeLock] {
                takeLock();
                return makePrinter();
            };
        } else {
            progress.onAdvance = [takeLock](int) { takeLock(); };
        }
        main->cmdExpense[6]->click();
        main->cmPrintSummary[0]->click();
        progress.onAdvance = nullptr;
        ASSERT_TRUE(other && other->locked());
        ASSERT_EQ(messages.shown.size(), 1);
        const QString text = messages.shown[0].text;
        EXPECT_TRUE(text.contains(QDir::toNativeSeparators(JournalPath()))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("locked"))) << text.toStdString();
        EXPECT_EQ(Pending().size(), 2) << "the register is left as it was";
        EXPECT_EQ(SettingsFile(), settingsBefore);
        EXPECT_TRUE(reviewed.isEmpty());
        if (duringDialog) {
            EXPECT_EQ(messages.shown[0].title, QStringLiteral("Checks Not Printed"));
            EXPECT_TRUE(PrintedPayees().isEmpty()) << "nothing reached the printer";
        } else {
            EXPECT_EQ(messages.shown[0].title, QStringLiteral("Check Journal"));
            EXPECT_TRUE(text.contains(QStringLiteral("Check No. 3001 to 3002 stay marked as being printed")))
                << text.toStdString();
            EXPECT_EQ(PrintedPayees(), Strings({"Payee 1", "Payee 2"}));
        }
        other.reset();
        messages.shown.clear();

        // Once the other program lets go: what came out of the printer is asked, in the real review
        // window, before anything prints; Return takes every form as printed well.
        const auto fake = program->ReviewPrintedChecks;
        QString shown;
        program->ReviewPrintedChecks = [this, &fake, &shown](const QList<JournalCheck> &checks) {
            WhenUp<QWidget>([&shown](QWidget &review) {
                shown = review.objectName();
                QTest::keyClick(&review, Qt::Key_Return);
            });
            ReviewPrintedChecks(checks, messages, main);
            return fake(checks);
        };
        OpenEntry();
        EXPECT_EQ(shown, duringDialog ? QString() : QStringLiteral("frmPrintedChecks"));
        if (duringDialog) {
            EXPECT_TRUE(messages.shown.isEmpty());
            EXPECT_TRUE(Statuses().isEmpty());
            continue;
        }
        EXPECT_TRUE(messages.shown.isEmpty());
        ASSERT_EQ(reviewed.size(), 1);
        EXPECT_EQ(reviewed[0].size(), 2);
        EXPECT_EQ(reviewed[0][0].checkNo, 3001);
        EXPECT_EQ(Statuses(), Strings({"3001 issued", "3002 issued"}));
        EXPECT_FALSE(RegisterExists()) << "no number is both pending and journaled";
        EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("3003"));
        EXPECT_EQ(SettingsFile(), EncodeSettings(Setup(QStringLiteral("3003"), QStringLiteral("1"))));
    }
}

// The program died after the intent was committed and before the run's end was recorded (a crash a
// few milliseconds after the job went out): the next activation shows the run for review before
// anything prints, and the marks bring the journal, the setup and the register into agreement.
TEST_F(JournalWindowTest, aRunWhoseEndWasNeverRecordedIsReviewedBeforeAnythingPrints) {
    SaveSetup(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    WritePending(3, 1001);
    QList<RegisterRecord> records = Pending();
    FinishedRun run;
    run.run = {QDateTime(clock.today, QTime(9, 0)),
               QStringLiteral("PDF"),
               kStyle3OnAPage,
               QStringLiteral("0012-345678"),
               QStringLiteral("First Example Bank"),
               3};
    run.printed = records;
    run.firstCheckNo = 1001;
    run.today = clock.today;
    run.settingsAfter = Setup(QStringLiteral("1004"), QStringLiteral("3"));
    ASSERT_TRUE(RecordPrintIntent(program->Journal(), files, run, &run.intentId));
    program->Journal().Close();

    reviewMarks = {{PrintMark::Good, PrintMark::Spoiled, PrintMark::Good}};
    OpenEntry();
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_EQ(reviewed.size(), 1);
    EXPECT_EQ(reviewed[0].size(), 3);
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 voided", "1003 issued"}));
    ASSERT_EQ(Pending().size(), 1);
    EXPECT_EQ(Pending()[0].PayTo, records[1].PayTo) << "the spoiled form's check waits for the next form";
    EXPECT_EQ(Pending()[0].CheckNo.trimmed(), QStringLiteral("1004"));
    EXPECT_EQ(startup->Settings().CheckNo, QStringLiteral("1004"));

    UsePrinter();
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(PrintedPayees().size(), 1) << "only the spoiled check prints again";
    EXPECT_EQ(Statuses(), Strings({"1001 issued", "1002 reprinted", "1003 issued", "1004 issued"}));
    EXPECT_EQ(reviewed.size(), 2);
}

// A journal whose check indexes are damaged cannot say whether a restored Backup copy was printed
// before: nothing prints on a guess, and the message names the journal.
TEST_F(JournalWindowTest, aDamagedJournalIndexStopsTheRunWithAMessage) {
    WriteBackup({Earlier(1001, QStringLiteral("Payee A")), Earlier(1002, QStringLiteral("Payee B"))});
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    UsePrinter();
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    ASSERT_EQ(Statuses(), Strings({"1001 issued", "1002 issued"}));
    program->Journal().Close();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("damage"));
        db.setDatabaseName(JournalPath());
        ASSERT_TRUE(db.open());
        QSqlQuery query(db);
        ASSERT_TRUE(query.exec(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE type = 'index' AND "
                                              "tbl_name = 'checks'")));
        QList<qint64> pages;
        while (query.next()) {
            pages << query.value(0).toLongLong();
        }
        ASSERT_FALSE(pages.isEmpty());
        query.finish();
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("damage"));
        QFile file(JournalPath());
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        for (const qint64 page : std::as_const(pages)) {
            file.seek((page - 1) * 4096);
            file.write(QByteArray(4096, '\x5a'));
        }
    }
    messages.shown.clear();
    OpenEntry();
    main->cmdExpense[6]->setEnabled(true);
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    EXPECT_EQ(printerDialog.shown, 1) << "no printer dialog for the second run";
    EXPECT_EQ(PrintedPayees(), Strings({"Payee A", "Payee B"})) << "the Backup copy did not print again";
    ASSERT_FALSE(messages.shown.isEmpty());
    const QString text = messages.shown.last().text;
    EXPECT_EQ(messages.shown.last().title, QStringLiteral("Checks Not Printed"));
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(JournalPath()))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("malformed"))) << text.toStdString();
}

// Setup's Accept refuses a number the journal holds for the account in any status and under any
// spelling of the account, naming its status and the next free number, and saves nothing.
TEST_F(JournalWindowTest, setupRefusesANumberTheJournalHoldsTheMomentItIsAccepted) {
    OpenEntry(Setup(QStringLiteral("1001"), QStringLiteral("3")));
    AcceptCheck(QStringLiteral("Payee 1"), QStringLiteral("10"), QStringLiteral("Memo 1"));
    AcceptCheck(QStringLiteral("Payee 2"), QStringLiteral("20"), QStringLiteral("Memo 2"));
    UsePrinter();
    main->cmdExpense[6]->click();
    main->cmPrintSummary[0]->click();
    ASSERT_TRUE(
        program->Journal().VoidCheck(Journal()[1].id, QStringLiteral("Lost in mail, stop payment"), clock.today));
    const struct {
        const char *account;
        const char *checkNo;
        const char *said; // empty: accepted
    } cases[] = {
        {"0012-345678", "1002", "Check No. 1002 of account 0012-345678 is already in the check journal"},
        {"0012 345678", "1002", "voided (Lost in mail, stop payment)"},
        {"0012.345678", "1001", "The next free number is 1003"},
        {"0012-345678", "1003", ""},
        {"0099-1", "1001", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.account) + " " + c.checkNo);
        messages.shown.clear();
        SaveSetup(Setup(QStringLiteral("1003"), QStringLiteral("1")));
        const QByteArray before = SettingsFile();
        CheckbookSettings typed = Setup(QLatin1String(c.checkNo), QStringLiteral("3"));
        typed.AcctNo = QLatin1String(c.account);
        startup->SetSettings(typed);
        startup->cmdAccept->click();
        if (*c.said == '\0') {
            EXPECT_TRUE(messages.shown.isEmpty());
            EXPECT_EQ(SettingsFile(), EncodeSettings(typed));
            continue;
        }
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_TRUE(messages.shown[0].text.contains(QLatin1String(c.said))) << messages.shown[0].text.toStdString();
        EXPECT_EQ(SettingsFile(), before) << "nothing saved";
    }
}
