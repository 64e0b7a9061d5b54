#pragma once

#include "journal/JournalPlace.h"
#include "journal/Payees.h"
#include "platform/Clock.h"
#include "platform/Files.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

class QSqlQuery;

// The journal lives in its own owner-only folder of the program's folder, which no file dialog of
// the program opens on, so that nothing but SQLite ever opens its files.
inline const QString kJournalFolder = QStringLiteral("Journal");
inline const QString kJournalFile = QStringLiteral("CheckJournal.db");
// The schema version this program writes; older files are brought up to it at open.
constexpr int kJournalVersion = 5;

// An amount of cents for messages: "$1,234.50".
QString Dollars(qint64 cents);

// The digits of an account number alone: "0012-345678" and "0012 345678" are one account.
QString AccountDigits(const QString &accountNo);

// Who did something, and on which computer: the operating-system user's login and the host name.
struct JournalWho {
    QString user;
    QString host;
    bool operator==(const JournalWho &) const = default;
};

// One print run, as the runs table keeps it.
struct JournalRun {
    QDateTime printedAt;
    QString printer;
    QString style;
    QString accountNo;
    QString bankName;
    int checksOnFirstSheet = 3;
};

// One check form a run used.
struct JournalCheck {
    qint64 checkNo = 0;
    QDate datePrinted;
    QString payee;
    qint64 amountCents = 0;
    QString memo;
    int sheet = 1;
    int slot = 1;
};

// File changes a committed run still owes: each file is given its new contents only while it still
// holds the old ones, so doing the work twice changes nothing.
struct DueWork {
    qint64 id = 0;
    QByteArray settingsBefore; // the settings file's bytes before the run; empty: leave the file alone
    QByteArray settingsAfter;
    QByteArray registerBefore; // SHA-256 of the register's bytes before (of nothing when missing)
    QByteArray registerAfter;  // the register's new bytes; empty: no register
};

// What the person said about one printed form.
enum class PrintMark { Good, Spoiled, Void };

// One export of checks to a file: which check went out with which code (I issued, V void).
struct ExportLog {
    QDateTime when;
    QString accountDigits;
    QString layout;
    QString path;
    QList<qint64> checkIds;
    QList<QChar> codes;
};

// What moving a journal to the server copied, as counted on both sides before the move commits.
struct JournalMove {
    qint64 runs = 0;
    qint64 checks = 0;
    qint64 cents = 0; // the sum of every check's amount
    qint64 payees = 0;
    QString keptFile; // the embedded file, left as it was and read-only
};

// A run whose end was never recorded: its checks are still "printing", and the file work its end
// owes is kept beside it (not yet due).
struct UnresolvedRun {
    qint64 runId = 0;
    JournalRun run;
    QList<JournalCheck> checks;
    DueWork due;
    QByteArray records; // the register records of the run, in the order printed
};

// What identifies a check's content: its payee, cents and memo.
QString PrintedContentKey(const QString &payee, qint64 amountCents, const QString &memo);

// A pending record the journal holds as printed, and what was decided about it before.
enum class SetAsideDecision { None, Discard, Keep, Printed };

// The check journal. One object holds one connection, used on the thread that opened it; every
// write is one transaction of prepared statements with bound values.
class CheckJournal {
public:
    // folder: the program's folder (App.Path); the embedded journal is in its Journal folder, and
    // the file work of runs is this folder's. busyMillis: how long a write waits for another
    // program's lock before it gives up.
    explicit CheckJournal(QString folder, int busyMillis = 2000);
    ~CheckJournal();
    CheckJournal(const CheckJournal &) = delete;
    CheckJournal &operator=(const CheckJournal &) = delete;

    // Where the journal is: the embedded file (the default) or a server. Changing it closes the
    // journal; the next use opens the new place.
    void SetPlace(const JournalPlace &place);
    const JournalPlace &Place() const { return place_; }
    // Who this program records as doing what it writes.
    void SetWho(const JournalWho &who) { who_ = who; }
    // The clock of the times the journal records itself (approvals); the system's when none.
    void SetClock(const Clock *clock) { clock_ = clock; }
    const JournalWho &Who() const { return who_; }

    // The embedded file's full path (in the journal's folder), with the system's separators.
    QString Path() const;
    // The journal in words for messages: the embedded file's path, or the server's description.
    QString Where() const;
    // Opens the file, creating its folder and itself owner-only when missing (a journal of an
    // older program beside the settings is moved in first), locks it for this connection alone and
    // brings its schema up to date. Opening an open journal does nothing.
    FileResult Open();
    void Close();
    bool IsOpen() const;

    // The name of the program's one connection to the journal (open once Open succeeded). The
    // journal holds its file locked while open, so every reader goes through this connection.
    QString ConnectionName() const;

    // Fails, naming the number, its status and date, who took it and the next free run of numbers,
    // when a number of first..first+count-1 is in the journal for this account's digits, whatever
    // its status (*taken true then and *nextFree the first of count free numbers; false when the
    // journal could not answer).
    FileResult CheckNumbersFree(const QString &accountNo, qint64 first, qint64 count, bool *taken = nullptr,
                                qint64 *nextFree = nullptr);

    // The intent of a run, before the printer gets anything: the run and every check it will use
    // as "printing", with the file work its end will owe, in one transaction that first makes sure
    // no number is in the journal already. records: the register records of the checks; addresses:
    // the payee address printed with each check (lines joined by line feeds), kept with it.
    FileResult RecordIntent(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due,
                            const QByteArray &records, qint64 *runId, const QStringList &addresses = {});
    // The end of a run: the first marks.size() checks reached the printer and take their marks
    // (spoiled forms wait for their check to print again), the rest are released; the work the run
    // leaves becomes due. Checks that print again a spoiled form mark that form reprinted;
    // printedKeys (the register records' keys) end a "keep" decision of the set-aside records.
    FileResult EndRun(qint64 runId, const QList<PrintMark> &marks, QDate today, const DueWork &due, qint64 *dueId,
                      const QList<QByteArray> &printedKeys = {});
    // The intent and a whole run's end at once, every check printed well.
    FileResult RecordRun(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due, qint64 *runId,
                         qint64 *dueId, const QList<QByteArray> &printedKeys = {}, const QStringList &addresses = {});
    // The journal's highest check number of the account's digits, plus one; 0 when it holds none.
    FileResult NextNumber(const QString &accountNo, qint64 *next);

    // Checks above an amount need a second person's approval on this account (0: none, the default).
    FileResult LoadApprovalLimit(const QString &accountNo, qint64 *aboveCents);
    FileResult SaveApprovalLimit(const QString &accountNo, qint64 aboveCents);
    // For every check (payee, cents and memo) of a run about to start: false when it may print
    // (at or below the limit, or approved and not yet printed), true when it is held back. A held
    // check is put in the journal as "awaiting approval" when it is not there already, one row per
    // check to be printed.
    FileResult HoldForApproval(const QString &accountNo, const QList<JournalCheck> &checks, QList<bool> *held);
    // Approves a check awaiting approval: fails, naming why, when the person approving is the one
    // who asked, or the check is not awaiting approval any more.
    FileResult Approve(qint64 checkId);

    // Copies every run, check, export, payee and approval limit of this (embedded) journal into the
    // server's in one transaction there, compares the counts and totals of both before committing,
    // and leaves this file as it was, made read-only. Refused while runs are unfinished or file work
    // is due, and when a number is in both journals.
    FileResult MoveTo(CheckJournal &server, JournalMove *moved);

    // Runs of this computer's program folder whose checks are still "printing", oldest first.
    FileResult LoadUnresolved(QList<UnresolvedRun> &runs);
    // Marks printed forms of a run spoiled (voided as "spoiled", to be printed again) or void,
    // with the work this leaves due, in one transaction.
    FileResult RecordReview(qint64 runId, const QList<qint64> &checkNos, const QList<PrintMark> &marks, QDate today,
                            const DueWork &due, qint64 *dueId);
    FileResult LoadDueWork(QList<DueWork> &due);
    FileResult ClearDueWork(qint64 id);

    // Voids an issued check: fails, naming why, when the reason is blank, the date is invalid or
    // before the check was printed, or the check is not issued any more.
    FileResult VoidCheck(qint64 checkId, const QString &reason, QDate date);
    // Remembers which checks an export wrote, with their codes.
    FileResult RecordExport(const ExportLog &log);

    // True in *held when the journal holds as printed (issued, voided or reprinted) a check of the
    // account's digits with this payee, amount and memo that either has this number or was printed
    // at or after printedSince (when valid).
    FileResult HoldsPrinted(const QString &accountNo, const JournalCheck &content, qint64 checkNo,
                            const QDateTime &printedSince, bool *held);
    // The payee, cents and memo of every check of the account's digits the journal holds as printed
    // (issued, voided or reprinted), each as PrintedContentKey gives it.
    FileResult LoadPrintedContents(const QString &accountNo, QSet<QString> *contents);
    FileResult LoadSetAside(const QByteArray &recordKey, const QString &backupId, SetAsideDecision *decision);
    FileResult RememberSetAside(const QList<QByteArray> &recordKeys, const QList<QString> &checkNos,
                                const QString &backupId, SetAsideDecision decision, const QDateTime &when);

    // Every check of the journal in id order, for tests and checks of agreement.
    struct Row {
        qint64 runId = 0;
        JournalCheck check;
        QString accountNo;
        QString status;
        QString voidReason;
        QString voidDate;
        qint64 reprintedAs = 0;
        qint64 id = 0;
        QString address; // as printed with the check, lines joined by line feeds
        JournalWho printedBy;
        JournalWho markedBy;    // who marked it spoiled or void, or voided it
        JournalWho requestedBy; // who asked for approval
        JournalWho approvedBy;
    };
    FileResult LoadChecks(QList<Row> &rows);
    int SchemaVersion();

    // The payee book, by name. The journal is its only writer; issued checks never change with it.
    FileResult LoadPayees(QList<Payee> &payees);
    // Adds the payee (id 0; *id gets the new one) or changes it; fails, naming the fault, when
    // PayeeFault finds one or another payee has the same name ignoring case and blanks.
    FileResult SavePayee(const Payee &payee, qint64 *id = nullptr);
    FileResult DeletePayee(qint64 id);
    // Adds the payees, or changes those whose name the book has already, all in one transaction;
    // nothing changes when one cannot be kept. *added and *changed count them.
    FileResult ImportPayees(const QList<Payee> &payees, int *added, int *changed);
    // The names the payee box completes: the book's and the payees of issued checks, one per name
    // ignoring case and blanks (the book's spelling first), most recently used first.
    FileResult LoadPayeeChoices(QList<PayeeChoice> &choices);
    // The book's address of each of the names (by PayeeKey) that has one.
    FileResult PayeeAddresses(const QStringList &names, QHash<QString, QStringList> &addresses);

private:
    FileResult prepareFolder();
    FileResult openServer();
    FileResult openFile();
    // The program folder and the person: the file work and unfinished runs of one computer's
    // program folder are that folder's alone, even on a shared server.
    QString station() const;
    FileResult migrate();
    FileResult fail(const QString &what, const QString &reason) const;
    // Also notes a number taken by another program, and a lost server connection to be made anew.
    FileResult failQuery(const QString &what, const QSqlQuery &query);
    FileResult migrateServer();
    bool lost();
    QDateTime now() const;
    FileResult approvalLimit(const QString &digits, qint64 *aboveCents);
    // Runs body inside one transaction, committed when body succeeds and rolled back otherwise.
    FileResult transact(const QString &what, const std::function<FileResult()> &body);
    FileResult writeDue(const DueWork &due, qint64 runId, bool armed, const QByteArray &records, qint64 *dueId);
    FileResult checkNumbersFree(const QString &accountNo, qint64 first, qint64 count, bool *taken = nullptr,
                                qint64 *nextFree = nullptr);
    FileResult writeIntent(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due,
                           const QByteArray &records, qint64 *runId, const QStringList &addresses);
    FileResult writePayee(const Payee &payee, qint64 *id);
    FileResult writeEnd(qint64 runId, const QList<PrintMark> &marks, QDate today, const DueWork &due, qint64 *dueId,
                        const QList<QByteArray> &printedKeys);

    QString folder_;
    JournalPlace place_;
    JournalWho who_;
    QString connection_;
    int busyMillis_;
    QSqlDatabase db_;
    const Clock *clock_ = nullptr;
    bool dead_ = false;         // the server connection was lost: made anew at the next use
    bool numbersTaken_ = false; // the last write failed on a number another program had just taken
    bool inTransaction_ = false;
    QElapsedTimer sinceUse_; // since the journal was last used, for a server connection left idle
};
