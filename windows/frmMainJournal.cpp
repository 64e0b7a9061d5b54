// The entry window and the check journal: checks printed before are set aside, an interrupted run
// is finished or put to the person, and a run's forms are reviewed.
#include "windows/frmMain.h"

#include "checkbook/CheckbookSettings.h"
#include "datafiles/DataFiles.h"
#include "journal/RunEnd.h"
#include "journal/SetAside.h"
#include "platform/Clock.h"
#include "register/Register.h"
#include "windows/Program.h"
#include "windows/frmMainRules.h"
#include "windows/frmStartup.h"

#include <QScopedValueRollback>

namespace {

QString numbersText(const QStringList &numbers) {
    return (numbers.size() == 1 ? QStringLiteral("Check No. ") : QStringLiteral("Check Nos. ")) +
           numbers.join(QStringLiteral(", "));
}

// What to do when the journal does not answer, for its file or for its server.
QString noPrinting(const CheckJournal &journal) {
    return journal.Place().server
               ? QStringLiteral("No check is printed until the check journal answers; the pending checks are kept. "
                                "Make sure this computer can reach the server (the network, and the server named on "
                                "the Journal page), then print again.")
               : QStringLiteral("No check is printed until the check journal answers; the pending checks are kept. "
                                "Close any other program that has the journal open, make room on the disk if it is "
                                "full, then print again.");
}

} // namespace

bool frmMain::SetAsidePrintedChecks() {
    Platform &platform = program_.platform;
    const KeepQuestion keep = [&platform](const QStringList &numbers) {
        const QString count = numbers.size() == 1 ? QStringLiteral("1 check waiting to be printed was")
                                                  : QString::number(numbers.size()) +
                                                        QStringLiteral(" checks waiting to be printed were");
        const MsgResult answer = platform.messages.MsgBox(
            count + QStringLiteral(" printed before: ") + numbersText(numbers) +
                QStringLiteral(".\r\nThe check journal holds them with the same payee, amount and memo.\r\n\r\n"
                               "Discard them? Yes discards them; No keeps them to print again on purpose."),
            MsgButtons::YesNo, QStringLiteral("Checks Already Printed"), MsgResult::Yes);
        return answer == MsgResult::No;
    };
    const SetAsideResult result = SetAsidePrinted(program_.Journal(), program_.Book(),
                                                  program_.Startup()->Settings().AcctNo, keep, platform.clock.Now());
    if (result.result) {
        return true;
    }
    if (!result.asked.isEmpty()) {
        Message(QStringLiteral("Your answer about ") + numbersText(result.asked) +
                    QStringLiteral(" could not be carried out or remembered:\r\n") + result.result.error,
                QStringLiteral("Check Journal"));
    } else {
        Message(QStringLiteral("The pending checks could not be compared with the checks printed before:\r\n") +
                    result.result.error + QStringLiteral("\r\n") + noPrinting(program_.Journal()),
                QStringLiteral("Check Journal"));
    }
    return false;
}

FileResult frmMain::RestoreRegister() {
    const BackupRestore restore = RestoreFromBackup(program_.Book(), kRegisterFile);
    if (restore.restored) {
        SetAsidePrintedChecks();
    }
    return restore.result;
}

FileResult frmMain::ResolveUnfinishedRuns() {
    if (resolving_) {
        return FileResult::Ok();
    }
    const QScopedValueRollback<bool> busy(resolving_, true);
    Platform &platform = program_.platform;
    CheckJournal &journal = program_.Journal();
    QList<UnresolvedRun> runs;
    FileResult result = journal.LoadUnresolved(runs);
    const QString account = AccountDigits(program_.Startup()->Settings().AcctNo);
    for (qsizetype i = 0; result && i < runs.size(); ++i) {
        const UnresolvedRun &run = runs[i];
        // A run of another checkbook is put to the person when that checkbook is open.
        if (AccountDigits(run.run.accountNo) != account) {
            continue;
        }
        // The review itself is the question: it lists the run's forms as printed and asks how each
        // one came out; a form that never came out is marked spoiled, since no number is used twice.
        const QList<PrintMark> marks = program_.ReviewPrintedChecks(run.checks);
        int requeued = 0;
        bool settingsChanged = false;
        result = ResolveRun(journal, program_.Book(), run, marks, platform.clock.Today(), &requeued, &settingsChanged);
        if (settingsChanged) {
            const SettingsLoad load = LoadSettings(program_.Book());
            if (load.state == SettingsState::Loaded) {
                program_.Startup()->SetSettings(load.settings);
            }
        }
        program_.NotifyJournalChanged();
    }
    return result;
}

bool frmMain::SettleJournal(bool forPrinting) {
    CheckJournal &journal = program_.Journal();
    FileResult result = journal.Open();
    if (result) {
        bool settingsChanged = false;
        result = FinishDueWork(journal, program_.Book(), &settingsChanged, program_.Startup()->Settings().AcctNo);
        if (settingsChanged) {
            // The run before a crash had moved the setup on; the main menu shows what the file says.
            const SettingsLoad load = LoadSettings(program_.Book());
            if (load.state == SettingsState::Loaded) {
                program_.Startup()->SetSettings(load.settings);
            }
        }
    }
    // Runs whose end was never recorded are put to the person before anything else can print.
    if (result) {
        result = ResolveUnfinishedRuns();
    }
    if (!result) {
        // The entry window works without the journal; a print run says what is wrong.
        if (forPrinting) {
            Message(result.error + QStringLiteral("\r\n") + noPrinting(journal), QStringLiteral("Checks Not Printed"));
        }
        return !forPrinting;
    }
    if (!SetAsidePrintedChecks()) {
        return !forPrinting;
    }
    if (!forPrinting) {
        return true;
    }
    const CheckbookSettings settings = program_.Startup()->Settings();
    qint64 first = 0;
    const qint64 pending = PendingChecks();
    if (pending > 0 && SettingNumber(settings.CheckNo, 1, kLastCheckNo, &first)) {
        // A number in the journal is never used again, and numbers others printed on this account since
        // the setup was saved come first: the run is offered the numbers after the journal's highest.
        bool taken = false;
        qint64 nextFree = 0;
        qint64 journalNext = 0;
        result = journal.CheckNumbersFree(settings.AcctNo, first, pending, &taken, &nextFree);
        if (!result && taken) {
            return OfferNextFree(result.error, nextFree, pending);
        }
        if (result) {
            result = journal.NextNumber(settings.AcctNo, &journalNext);
        }
        if (result && journalNext > first) {
            return OfferNextFree(QStringLiteral("The check journal %1 holds check numbers up to %2 of account %3, "
                                                "above this checkbook's next number %4.")
                                     .arg(journal.Where())
                                     .arg(journalNext - 1)
                                     .arg(settings.AcctNo)
                                     .arg(first),
                                 journalNext, pending);
        }
        if (!result) {
            Message(result.error + QStringLiteral("\r\nNo check was printed; the pending checks are kept."),
                    QStringLiteral("Checks Not Printed"));
            return false;
        }
    }
    return true;
}

bool frmMain::ReviewRun(qint64 runId, const QList<JournalCheck> &checks, const QList<RegisterRecord> &printed,
                        qint64 nextCheckNo) {
    const QList<PrintMark> marks = program_.ReviewPrintedChecks(checks);
    int requeued = 0;
    const FileResult result = ApplyReview(program_.Journal(), program_.Book(), runId, checks, printed, marks,
                                          program_.platform.clock.Today(), nextCheckNo, &requeued);
    program_.NotifyJournalChanged();
    if (!result) {
        Message(QStringLiteral("The spoiled and void forms could not be recorded:\r\n") + result.error +
                    (requeued > 0 ? QString() : QStringLiteral("\r\nNo check was put back to be printed again.")),
                QStringLiteral("Check Journal"));
    }
    return requeued > 0;
}
