#pragma once

#include "platform/Files.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>

class QSqlQuery;

// The journal file in the program's folder, beside the settings file.
inline const QString kJournalFile = QStringLiteral("CheckJournal.db");
// The schema version this program writes; older files are brought up to it at open.
constexpr int kJournalVersion = 2;

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

// A pending record the journal holds as printed, and what was decided about it before.
enum class SetAsideDecision { None, Discard, Keep, Printed };

// The check journal. One object holds one connection, used on the thread that opened it; every
// write is one transaction of prepared statements with bound values.
class CheckJournal {
public:
    // folder: the program's folder (App.Path). busyMillis: how long a write waits for another
    // program's lock before it gives up.
    explicit CheckJournal(QString folder, int busyMillis = 2000);
    ~CheckJournal();
    CheckJournal(const CheckJournal &) = delete;
    CheckJournal &operator=(const CheckJournal &) = delete;

    // The file's full path, with the system's separators.
    QString Path() const;
    // Opens the file, creating it owner-only when missing, and brings its schema up to date.
    // Opening an open journal does nothing.
    FileResult Open();
    void Close();
    bool IsOpen() const;

    // Proves the journal takes a write now: a small committed write, with the reason when not.
    FileResult CheckWritable();
    // Fails, naming the first, when a number of first..first+count-1 is already issued to this account.
    FileResult CheckNumbersFree(const QString &accountNo, qint64 first, qint64 count);

    // Writes the run and its checks as issued, and the work the run leaves due, in one
    // transaction. Checks that print again a spoiled form mark that form reprinted; printedKeys
    // (the register records' keys) end a "keep" decision of the set-aside records among them.
    FileResult RecordRun(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due, qint64 *runId,
                         qint64 *dueId, const QList<QByteArray> &printedKeys = {});
    // Marks printed forms of a run spoiled (voided as "spoiled", to be printed again) or void,
    // with the work this leaves due, in one transaction.
    FileResult RecordReview(qint64 runId, const QList<qint64> &checkNos, const QList<PrintMark> &marks, QDate today,
                            const DueWork &due, qint64 *dueId);
    FileResult LoadDueWork(QList<DueWork> &due);
    FileResult ClearDueWork(qint64 id);

    // True in *held when the account's check of that number, payee, amount and memo is in the
    // journal as printed (issued, voided or reprinted).
    FileResult HoldsPrinted(const QString &accountNo, qint64 checkNo, const QString &payee, qint64 amountCents,
                            const QString &memo, bool *held);
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
    };
    FileResult LoadChecks(QList<Row> &rows);
    int SchemaVersion();

private:
    FileResult migrate();
    FileResult fail(const QString &what, const QString &reason) const;
    FileResult failQuery(const QString &what, const QSqlQuery &query) const;
    FileResult writeDue(const DueWork &due, qint64 *dueId);
    bool begin(QString *error);

    QString folder_;
    QString connection_;
    int busyMillis_;
    QSqlDatabase db_;
};
