// The ways out of the check entry window: Menu, the print-summary panel, Print Checks and
// Cancel Print.
#include "windows/frmMain.h"

#include "alignment/AlignmentFile.h"
#include "checkbook/CheckbookSettings.h"
#include "datafiles/DataFiles.h"
#include "forms/FormFile.h"
#include "journal/RunEnd.h"
#include "print/PreviewRun.h"
#include "print/PrintRun.h"
#include "register/Register.h"
#include "windows/Program.h"
#include "windows/frmAlignment.h"
#include "windows/frmMainRules.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

namespace {

struct SetupNumbers {
    qint64 checkNo = 0;
    int left = 0;
};

bool ReadSetupNumbers(const CheckbookSettings &settings, SetupNumbers &numbers) {
    qint64 left = 0;
    if (!SettingNumber(settings.CheckNo, 1, kLastCheckNo, &numbers.checkNo) ||
        !SettingNumber(settings.ChecksOnForm, 1, 3, &left)) {
        return false;
    }
    numbers.left = static_cast<int>(left);
    return true;
}

QString checksText(qint64 count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" check") : QStringLiteral(" checks"));
}

} // namespace

bool frmMain::RefuseSwitch() {
    if (!isVisible()) {
        return false;
    }
    RestoreRegister();
    if (!program_.Book().Dir(kRegisterFileSlash)) {
        return false;
    }
    if (AskToPrintPending()) {
        ShowPrintSummary();
    }
    return true;
}

bool frmMain::AskToPrintPending() {
    return program_.platform.messages.MsgBox(
               QStringLiteral("Checks remain Unprinted\r\nExiting Now will Delete all Check Entries\r\n"
                              "Do you want to Print the Checks?"),
               MsgButtons::YesNo, QStringLiteral("Checks are NOT Printed"), MsgResult::Yes) == MsgResult::Yes;
}

void frmMain::LeaveToMenu() {
    RestoreRegister();
    Files &files = program_.Book();
    if (files.Dir(kRegisterFileSlash) && AskToPrintPending()) {
        ShowPrintSummary();
        return;
    }
    const FileResult deleted = DeleteDataFile(files, kRegisterFileSlash);
    if (!deleted) {
        Message(QStringLiteral("The unprinted checks could not be deleted from ") +
                    QDir::toNativeSeparators(files.FullPath(kRegisterFileSlash)) + QStringLiteral(":\r\n") +
                    deleted.error,
                QStringLiteral("Register Error"));
        return;
    }
    Forms &forms = program_.platform.forms;
    forms.Hide(this);
    forms.Show(program_.Splash());
}

void frmMain::ShowPrintSummary() {
    ComposePrintSummary();
    fraMain->hide();
    fraCheckImage->hide();
    fraPrintSummary->show();
    cmPrintSummary[0]->setFocus();
}

void frmMain::ComposePrintSummary() {
    SetupNumbers setup;
    if (!ReadSetupNumbers(program_.Startup()->Settings(), setup)) {
        return;
    }
    lblPrintSummary->setText(PrintSummaryText(setup.left, setup.checkNo, PendingChecks()));
    for (int i = 0; i < 3; ++i) {
        Shape2[i]->setVisible(i < setup.left);
    }
}

void frmMain::cmPrintSummary_Click(int Index) {
    if (Index == 0) {
        PrintChecks();
        return;
    }
    if (Index == 2) {
        PreviewChecks();
        return;
    }
    // Cancel Print: everything stays pending for a later run.
    Forms &forms = program_.platform.forms;
    forms.Hide(this);
    forms.Show(program_.Startup());
}

bool frmMain::ComposePrintRequest(PrintRequest &request) {
    const CheckbookSettings settings = program_.Startup()->Settings();
    SetupNumbers setup;
    if (CheckSettings(settings) || !ReadSetupNumbers(settings, setup)) {
        BackToMainMenu(QStringLiteral("Checks cannot be printed with this checkbook setup.\r\n") +
                       CheckSettings(settings).message);
        return false;
    }
    request.CheckStyle = settings.CheckStyle;
    request.FormsFolder = FormsFolder(program_.platform.App.Path);
    request.AcctNo = settings.AcctNo;
    request.FirstCheckNo = setup.checkNo;
    request.ChecksOnFirstSheet = setup.left;
    QString noForm;
    const std::optional<CheckForm> form = FindRequestedForm(request, &noForm);
    if (!form) {
        BackToMainMenu(noForm);
        return false;
    }
    checksPerSheet_ = form->ChecksPerSheet();
    // The alignment is read once; the run asks it for the printer chosen in the printer dialog.
    AlignmentTable alignment;
    const FileResult loaded = LoadAlignment(program_.platform.files, alignment);
    if (!loaded) {
        // Asked before anything prints: unprotected checks cannot be taken back.
        const MsgResult answer = program_.platform.messages.MsgBox(
            loaded.error + QStringLiteral("\r\n\r\nOpen Printer Alignment to look at the settings and save them "
                                          "again? Yes opens it and prints nothing; No prints the checks as they "
                                          "stand."),
            MsgButtons::YesNo, QStringLiteral("Printer Alignment"), MsgResult::Yes);
        if (answer != MsgResult::No) {
            frmAlignment window(program_, settings.CheckStyle, this);
            window.exec();
            return false;
        }
    }
    request.Adjustment = [alignment](const QString &printerName, const QString &style) {
        return alignment.Adjustment(printerName, style);
    };
    // The book's addresses are read once: what prints is what the journal keeps with the checks.
    QList<RegisterRecord> records;
    ReadAllRecords(program_.Book(), records);
    QStringList payees;
    for (const RegisterRecord &record : std::as_const(records)) {
        payees << record.PayTo;
    }
    printAddresses_.clear();
    program_.Journal().PayeeAddresses(payees, printAddresses_);
    request.AddressOf = [addresses = printAddresses_](const QString &payTo) {
        return addresses.value(PayeeKey(payTo));
    };
    return true;
}

void frmMain::PreviewChecks() {
    PrintRequest request;
    if (PendingChecks() == 0) {
        Message(QStringLiteral("There are no checks waiting to be printed.\r\nWrite and accept a check first."),
                QStringLiteral("Nothing to Print"));
        return;
    }
    if (!ComposePrintRequest(request)) {
        return;
    }
    // Printing from the preview is Print Checks on the printer shown, with its offsets and its outcome.
    Platform book = program_.platform.With(program_.Book());
    if (std::unique_ptr<Printer> printer =
            PreviewPendingChecks(book, request, program_.platform.printers.DefaultPrinterName())) {
        PrintChecks(std::move(printer));
    }
}

void frmMain::PrintChecks(std::unique_ptr<Printer> chosen) {
    PrintRequest request;
    if (!ComposePrintRequest(request)) {
        return;
    }
    // The journal must answer before a form is used: unfinished runs, checks printed before, numbers
    // already used and checks awaiting approval.
    if (!SettleJournal(true)) {
        return;
    }
    // What is printed, for the journal; a damaged register is the print run's to report. A register
    // set aside whole stays that way: the run is not handed its Backup copy to restore again.
    const FileResult restored = RestoreRegister();
    qint64 printable = -1;
    QStringList held;
    if (!HoldBackForApproval(restored, &printable, &held)) {
        return;
    }
    // The forms carry the numbers the journal records: the setup as the journal's answers left it.
    if (SetupNumbers setup; ReadSetupNumbers(program_.Startup()->Settings(), setup)) {
        request.FirstCheckNo = setup.checkNo;
        request.ChecksOnFirstSheet = setup.left;
    }
    if (printable == 0) {
        Message(QStringLiteral("No check was printed: every pending check waits for a second person's approval.\r\n") +
                    held.join(QStringLiteral("\r\n")),
                QStringLiteral("Checks Held for Approval"));
        return;
    }
    request.MostChecks = printable;
    const qint64 pending = PendingChecks();
    QList<RegisterRecord> records;
    bool setAsideWhole = false;
    ReadRecordsToPrint(program_.Book(), restored, records, setAsideWhole);
    if (printable >= 0 && records.size() > printable) {
        records.resize(printable);
    }
    takenRefusal_.clear();
    takenNextFree_ = 0;
    // Every check of the run is in the journal as being printed before the printer gets anything.
    qint64 intentId = 0;
    const auto intent = [this, &records, &intentId](const QString &printer) {
        return RecordIntent(printer, records, &intentId);
    };

    Platform book = program_.platform.With(program_.Book());
    const PrintResult result = setAsideWhole ? PrintResult{PrintOutcome::NothingToPrint, 0, {}, {}}
                                             : PrintPendingChecks(book, request, std::move(chosen), intent);
    switch (result.outcome) {
    case PrintOutcome::Printed:
        CommitPrinted(result.printed, true, records, result.printerName, intentId, held);
        break;
    case PrintOutcome::Failed:
        if (result.printed > 0) {
            CommitPrinted(result.printed, false, records, result.printerName, intentId);
        } else {
            ReleaseIntent(intentId);
            Message(QStringLiteral("No check reached the printer. All ") + checksText(pending) +
                        QStringLiteral(" are still waiting to be printed."),
                    QStringLiteral("Checks Not Printed"));
        }
        break;
    case PrintOutcome::NothingToPrint:
        Message(QStringLiteral("There are no checks waiting to be printed.\r\nWrite and accept a check first."),
                QStringLiteral("Nothing to Print"));
        StartCounting();
        break;
    case PrintOutcome::Cancelled:
    case PrintOutcome::Damaged:
    case PrintOutcome::UnknownForm:
        // Nothing was printed and nothing changes; the print run has said what there is to say.
        ReleaseIntent(intentId);
        // Another program took the numbers first: with the person's yes, the run starts again after them.
        if (!takenRefusal_.isEmpty() && OfferNextFree(takenRefusal_, takenNextFree_, records.size())) {
            PrintChecks();
        }
        break;
    }
}

bool frmMain::OfferNextFree(const QString &refusal, qint64 nextFree, qint64 count) {
    const MsgResult answer = program_.platform.messages.MsgBox(
        refusal +
            QStringLiteral("\r\n\r\nPrint the checks as Nos. %1 to %2 instead? Yes sets the next check number "
                           "to %1 and goes on (match it to the first blank form in the printer); No prints nothing.")
                .arg(nextFree)
                .arg(nextFree + qMax<qint64>(count, 1) - 1),
        MsgButtons::YesNo, QStringLiteral("Check Numbers Taken"), MsgResult::No);
    return answer == MsgResult::Yes && MoveCheckNumber(nextFree);
}

bool frmMain::MoveCheckNumber(qint64 number) {
    Files &files = program_.Book();
    CheckbookSettings settings = program_.Startup()->Settings();
    settings.CheckNo = QString::number(number);
    FileResult result = SaveSettings(files, settings);
    if (result) {
        program_.Startup()->SetSettings(settings);
        // The pending checks carry the numbers they will print with.
        QByteArray bytes;
        if (files.Dir(kRegisterFile) && files.ReadWhole(kRegisterFile, bytes) && !bytes.isEmpty()) {
            result = WriteRegisterBytes(files, RenumberRecords(bytes, number));
        }
    }
    if (!result) {
        Message(QStringLiteral("The next check number could not be set to %1:\r\n").arg(number) + result.error +
                    QStringLiteral("\r\nNo check was printed; the pending checks are kept."),
                QStringLiteral("Checks Not Printed"));
    }
    return static_cast<bool>(result);
}

bool frmMain::HoldBackForApproval(const FileResult &restored, qint64 *printable, QStringList *held) {
    *printable = -1;
    held->clear();
    Files &files = program_.Book();
    QList<RegisterRecord> records;
    bool gone = false;
    if (!ReadRecordsToPrint(files, restored, records, gone) || records.isEmpty()) {
        return true; // the print run says what is wrong with the register
    }
    const CheckbookSettings settings = program_.Startup()->Settings();
    QList<JournalCheck> checks;
    for (const RegisterRecord &record : std::as_const(records)) {
        checks << JournalCheckFor(record, 0, program_.platform.clock.Today(), {});
    }
    QList<bool> hold;
    const FileResult asked = program_.Journal().HoldForApproval(settings.AcctNo, checks, &hold);
    program_.NotifyJournalChanged();
    if (!asked) {
        Message(asked.error + QStringLiteral("\r\nNo check was printed; the pending checks are kept."),
                QStringLiteral("Checks Not Printed"));
        return false;
    }
    QList<RegisterRecord> first;
    QList<RegisterRecord> last;
    bool inOrder = true;
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (hold.value(i)) {
            last << records[i];
            *held << QStringLiteral("    Check to %1 for %2")
                         .arg(records[i].PayTo.trimmed(), Dollars(checks[i].amountCents));
        } else {
            inOrder = inOrder && last.isEmpty();
            first << records[i];
        }
    }
    if (last.isEmpty()) {
        return true;
    }
    *printable = first.size();
    if (!inOrder) {
        // The held checks wait at the end of the register, numbered after the ones that print now.
        QByteArray bytes;
        for (const RegisterRecord &record : std::as_const(first) + last) {
            bytes += EncodeRecord(record);
        }
        qint64 checkNo = 0;
        SettingNumber(settings.CheckNo, 1, kLastCheckNo, &checkNo);
        const FileResult written = WriteRegisterBytes(files, RenumberRecords(bytes, checkNo));
        if (!written) {
            Message(QStringLiteral("The checks awaiting approval could not be set aside to the end of the register:"
                                   "\r\n") +
                        written.error + QStringLiteral("\r\nNo check was printed; the pending checks are kept."),
                    QStringLiteral("Checks Not Printed"));
            return false;
        }
    }
    return true;
}

bool frmMain::RecordIntent(const QString &printer, const QList<RegisterRecord> &records, qint64 *intentId) {
    CheckbookSettings settings = program_.Startup()->Settings();
    SetupNumbers setup;
    ReadSetupNumbers(settings, setup);
    FinishedRun run;
    run.run = {
        program_.platform.clock.Now(), printer, settings.CheckStyle, settings.AcctNo, settings.BankName, setup.left};
    run.printed = records;
    run.firstCheckNo = setup.checkNo;
    run.checksPerSheet = checksPerSheet_;
    run.today = program_.platform.clock.Today();
    run.addresses = printAddresses_;
    settings.CheckNo = QString::number(setup.checkNo + records.size());
    settings.ChecksOnForm =
        QString::number(ChecksLeftAfter(setup.left, static_cast<int>(records.size()), checksPerSheet_));
    run.settingsAfter = settings;
    const FileResult recorded = RecordPrintIntent(program_.Journal(), program_.Book(), run, intentId);
    bool taken = false;
    if (!recorded && !records.isEmpty() &&
        !program_.Journal().CheckNumbersFree(settings.AcctNo, setup.checkNo, records.size(), &taken, &takenNextFree_) &&
        taken) {
        // Another program reserved these numbers first; the person is offered the next free ones
        // once this run has let go of everything.
        takenRefusal_ = recorded.error;
        return false;
    }
    if (!recorded) {
        Message(QStringLiteral("The checks about to be printed could not be recorded in the check journal "
                               "first:\r\n") +
                    recorded.error + QStringLiteral("\r\nNo check was printed; the pending checks are kept."),
                QStringLiteral("Checks Not Printed"));
        return false;
    }
    program_.NotifyJournalChanged();
    return true;
}

void frmMain::ReleaseIntent(qint64 intentId) {
    if (intentId <= 0) {
        return;
    }
    const FileResult released = ::ReleaseIntent(program_.Journal(), intentId);
    program_.NotifyJournalChanged();
    if (!released) {
        Message(QStringLiteral("No check reached the printer, but the check journal could not let go of the "
                               "numbers it had set down for the run:\r\n") +
                    released.error +
                    QStringLiteral("\r\nThe next time the journal can be written you will be asked which forms "
                                   "came out of the printer; mark them spoiled to print the checks again."),
                QStringLiteral("Check Journal"));
    }
}

void frmMain::CommitPrinted(int printed, bool wholeRun, const QList<RegisterRecord> &records, const QString &printer,
                            qint64 intentId, const QStringList &held) {
    Files &files = program_.Book();
    frmStartup *startup = program_.Startup();
    CheckbookSettings settings = startup->Settings();
    SetupNumbers setup;
    ReadSetupNumbers(settings, setup);
    const qint64 pendingBefore = PendingChecks();

    // The setup moves past exactly the checks that reached the printer. The journal takes the run
    // first, then the settings are saved, then the register lets go of the printed checks.
    FinishedRun run;
    run.run = {
        program_.platform.clock.Now(), printer, settings.CheckStyle, settings.AcctNo, settings.BankName, setup.left};
    run.printed = records.mid(0, printed);
    run.firstCheckNo = setup.checkNo;
    run.checksPerSheet = checksPerSheet_;
    run.today = program_.platform.clock.Today();
    run.addresses = printAddresses_;
    settings.CheckNo = QString::number(setup.checkNo + printed);
    settings.ChecksOnForm = QString::number(ChecksLeftAfter(setup.left, printed, checksPerSheet_));
    run.settingsAfter = settings;
    run.intentId = intentId;
    const FinishResult finished = FinishRun(program_.Journal(), files, run);
    program_.NotifyJournalChanged();
    if (!finished.journal) {
        // The journal is the truth: the forms stay "printing" and the files as they were, until the
        // person says what came out of the printer.
        Message(QStringLiteral("The end of the print run could not be recorded in the check journal:\r\n") +
                    finished.journal.error + QStringLiteral("\r\nCheck No. ") + QString::number(setup.checkNo) +
                    QStringLiteral(" to ") + QString::number(setup.checkNo + printed - 1) +
                    QStringLiteral(" stay marked as being printed, and the checkbook setup and the pending checks "
                                   "are left as they were. The next time the check journal can be written you "
                                   "will be asked which forms came out of the printer; nothing prints before."),
                QStringLiteral("Check Journal"));
        Forms &forms = program_.platform.forms;
        forms.Hide(this);
        forms.Show(startup);
        return;
    }
    startup->SetSettings(settings);
    const FileResult &saved = finished.settings;
    const FileResult &removed = finished.registerTrim;

    QStringList notes;
    QString title;
    if (!wholeRun) {
        title = QStringLiteral("Checks Partly Printed");
        notes << QStringLiteral("Check No. ") + QString::number(setup.checkNo) + QStringLiteral(" to ") +
                     QString::number(setup.checkNo + printed - 1) + QStringLiteral(" (") + checksText(printed) +
                     QStringLiteral(") were sent to the printer and count as printed. ") +
                     checksText(qMax<qint64>(0, pendingBefore - printed)) +
                     QStringLiteral(" still wait to be printed.");
    }
    if (!held.isEmpty()) {
        title = title.isEmpty() ? QStringLiteral("Checks Held for Approval") : title;
        notes << QStringLiteral("These checks were held back: they need a second person's approval, which is given in "
                                "History. They stay pending and print with a later run once approved.\r\n") +
                     held.join(QStringLiteral("\r\n"));
    }
    if (!saved) {
        title = title.isEmpty() ? QStringLiteral("Setup Not Saved") : title;
        notes << QStringLiteral("The checkbook setup could not be saved:\r\n") + saved.error +
                     QStringLiteral("\r\nEnter these values in the checkbook setup: next check number ") +
                     settings.CheckNo + QStringLiteral(", blank checks left on the form in the printer ") +
                     settings.ChecksOnForm + QLatin1Char('.');
    }
    if (!removed) {
        title = title.isEmpty() ? QStringLiteral("Register Error") : title;
        notes << QStringLiteral("The printed checks could not be taken off the register of pending checks, ") +
                     QDir::toNativeSeparators(files.FullPath(kRegisterFile)) + QStringLiteral(":\r\n") + removed.error +
                     QStringLiteral("\r\nThey would be printed again with the next run.");
    }
    if (!notes.isEmpty()) {
        Message(notes.join(QStringLiteral("\r\n\r\n")), title);
    }
    const bool printAgain = removed && ReviewRun(finished.runId, finished.checks, run.printed, setup.checkNo + printed);

    if (wholeRun && !printAgain && held.isEmpty()) {
        Forms &forms = program_.platform.forms;
        forms.Hide(this);
        forms.Show(startup);
        return;
    }
    // A run that stopped part way keeps the summary up for what is still pending.
    if (StartCounting()) {
        ShowPrintSummary();
    }
}
