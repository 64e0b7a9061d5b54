#pragma once

#include "checkbook/CheckbookSettings.h"
#include "journal/CheckJournal.h"
#include "register/Register.h"

#include <QHash>
#include <QList>
#include <QStringList>

// Where the index-th check (from 0) of a run lands: the first sheet takes checksOnFirstSheet checks
// from slot 1 down, every later sheet perSheet (the form's checks per sheet).
struct SheetSlot {
    int sheet = 1;
    int slot = 1;
};
SheetSlot SheetAndSlot(qsizetype index, int checksOnFirstSheet, int perSheet = 3);

// Whole cents of a register amount, rounded half away from zero; false when it is not a number.
bool AmountCents(const QString &amount, qint64 *cents);
// The journal's row for a register record printed on form checkNo; payee and memo lose the
// register's trailing blanks.
JournalCheck JournalCheckFor(const RegisterRecord &record, qint64 checkNo, QDate printed, SheetSlot place);
// What identifies one pending record: the SHA-256 of its 115 bytes.
QByteArray RecordKey(const QByteArray &recordBytes);

// The register's bytes, restored from Backup like every read of it; empty when there is none.
FileResult ReadRegisterBytes(Files &files, QByteArray &bytes);
// Gives the register these bytes; none deletes it.
FileResult WriteRegisterBytes(Files &files, const QByteArray &bytes);
// The register's bytes with the check numbers renumbered from firstCheckNo.
QByteArray RenumberRecords(const QByteArray &bytes, qint64 firstCheckNo);

// A run about to print (`printed`: every record it will print) or one that reached the printer with
// `printed.size()` checks.
struct FinishedRun {
    JournalRun run;
    QList<RegisterRecord> printed; // the first records of the register, in the order printed
    qint64 firstCheckNo = 0;       // the number of the first form used
    QDate today;
    CheckbookSettings settingsAfter; // the setup moved past the forms used
    qint64 intentId = 0;             // the run's intent in the journal; 0: none was recorded
    int checksPerSheet = 3;          // of the form the run prints on
    // The address printed with each payee's checks, by PayeeKey; the journal keeps it with them.
    QHash<QString, QStringList> addresses;
};

// Records the intent of a run before the printer gets anything: its checks as "printing" and the
// file work its whole end would owe. Fails, and nothing is recorded, when a number is in the
// journal already or the journal cannot take the write.
FileResult RecordPrintIntent(CheckJournal &journal, Files &files, const FinishedRun &run, qint64 *runId);

struct FinishResult {
    FileResult journal;  // failed: the run's checks stay "printing" (or unrecorded) and no file changed
    FileResult settings; // failed: the settings file keeps its old contents
    FileResult registerTrim;
    qint64 runId = 0;
    QList<JournalCheck> checks;
};

// Ends a run: one journal transaction turns its checks issued (those of the intent past the
// printed ones are released) and leaves the file work due, then the settings file, then the
// register trimmed of the printed checks, then the due work cleared. Killed at any point,
// FinishDueWork at the next start completes what the journal holds. Without an intent, the run
// and its end are recorded in one transaction.
FinishResult FinishRun(CheckJournal &journal, Files &files, const FinishedRun &run);

// Releases an intent none of whose forms reached the printer.
FileResult ReleaseIntent(CheckJournal &journal, qint64 runId);

// Resolves a run whose end was never recorded, with the person's marks of what came out of the
// printer: good forms are issued, spoiled ones voided and their checks put back at the front of
// the register (renumbered from the number after the run's), void ones voided; the setup moves
// past every number of the run and the register lets go of its checks. *requeued: checks put back.
FileResult ResolveRun(CheckJournal &journal, Files &files, const UnresolvedRun &run, const QList<PrintMark> &marks,
                      QDate today, int *requeued, bool *settingsChanged);

// Completes the file work of committed runs and reviews that a crash interrupted: a file still
// holding its old contents gets its new ones, any other is left alone. *settingsChanged tells
// whether the settings file was rewritten. Given an account, the work of runs of another account's
// checkbook waits until that checkbook is open.
FileResult FinishDueWork(CheckJournal &journal, Files &files, bool *settingsChanged, const QString &accountNo = {});

// Records the review of a run's printed forms. Spoiled forms are voided as "spoiled" and their
// checks go back to the front of the register to print on the next forms (the register's checks
// are renumbered from nextCheckNo); void forms are voided as "void". *requeued: checks put back.
FileResult ApplyReview(CheckJournal &journal, Files &files, qint64 runId, const QList<JournalCheck> &checks,
                       const QList<RegisterRecord> &printed, const QList<PrintMark> &marks, QDate today,
                       qint64 nextCheckNo, int *requeued);
