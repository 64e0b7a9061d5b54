#pragma once

#include "journal/CheckJournal.h"
#include "platform/Files.h"
#include "platform/Forms.h"
#include "print/PrintRun.h"
#include "register/RegisterRecord.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QtGlobal>

#include <array>

class Program;
class QCompleter;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;

// The check entry window: checks are typed on the entry panel, shown back on the verify panel and
// stored in the pending-check register on Accept; the print-summary panel starts the print run.
class frmMain : public Form {
    Q_OBJECT

public:
    explicit frmMain(Program &program);
    ~frmMain() override;

    void Form_Activate() override;
    void Form_QueryUnload(bool &Cancel, int UnloadMode) override;

    // Filters one typed character of the amount; sets KeyAscii to 0 to discard it.
    void txtCost_KeyPress(int &KeyAscii);
    // 0 Menu, 1 Enter, 6 PrintChecks.
    void cmdExpense_Click(int Index);
    // Accept.
    void cmdPrint_Click();
    // Import: checks from a spreadsheet's CSV file, added to the register all at once.
    void cmdImport_Click();
    // Redo.
    void cmdCancel_Click();
    // 0 Print Checks, 1 Cancel Print, 2 Preview.
    void cmPrintSummary_Click(int Index);
    // A name of the payee book chosen from the completion or typed: its default memo fills an empty memo box.
    void txtPayto_Chosen(const QString &name);
    // Adds the payee of the check just accepted to the payee book.
    void cmdAddPayee_Click();

    void ShowEntryPanel();
    void ResetForNextCheck();
    // Appends the record to the pending-check register, which RestoreRegister has restored already.
    FileResult AppendRegisterRecord(const RegisterRecord &record);
    // Sets aside the pending checks the check journal holds as printed, asking the person whether
    // to discard them (the default) or keep them to print again. False, after saying so, when the
    // journal could not answer: nothing may print then.
    bool SetAsidePrintedChecks();
    // Restores a register found only in the Backup folder and sets aside the checks of it printed
    // since the copy was made, before anything counts, takes or prints them. Afterwards a missing
    // register is no register, whatever the Backup folder holds; fails when the copy fails.
    FileResult RestoreRegister();
    // While this window is up with checks pending, another checkbook may not be opened: asks the
    // question of leaving it (Yes shows the print summary) and answers true.
    bool RefuseSwitch();

    // Blank checks left on the sheet now in the printer, counting the pending checks.
    int ChecksLeftOnForm = 0;
    // Number of the check being written.
    int CurrentCheckNo = 0;
    // Checks accepted since the window was last activated.
    int ChecksCreated = 0;
    // Checks that were already pending in the register when the window was activated.
    int ChecksPendingBefore = 0;

    QGroupBox *fraMain = nullptr;
    QGroupBox *fraCheckImage = nullptr;
    QGroupBox *fraPrintSummary = nullptr;

    std::array<QLabel *, 4> Label1{};
    QLineEdit *txtPayto = nullptr;
    QLineEdit *txtCost = nullptr;
    QLineEdit *txtCategory = nullptr;
    QLabel *lblCheck = nullptr;
    std::array<QPushButton *, 7> cmdExpense{};
    QPushButton *cmdImport = nullptr;
    QFrame *Shape4 = nullptr;
    // Completes the payee box from the payee book and the journal's payees, most recently used first.
    QCompleter *cmpPayto = nullptr;
    // Offers, once for each payee not in the book, to add the payee of the check just accepted;
    // ignoring it is No.
    QPushButton *cmdAddPayee = nullptr;

    QLabel *lblBankName = nullptr;
    QLabel *lblAcctNo = nullptr;
    QLabel *lblCheckNo = nullptr;
    QLabel *lblPaidto = nullptr;
    QLabel *lblAmount = nullptr;
    QLabel *lblCategory = nullptr;
    QPlainTextEdit *txtConverted = nullptr;
    QPushButton *cmdPrint = nullptr;
    QPushButton *cmdCancel = nullptr;

    std::array<QPushButton *, 3> cmPrintSummary{};
    QLabel *lblPrintSummary = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *Label3 = nullptr;
    std::array<QFrame *, 3> Shape2{};

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createEntryPanel();
    void createVerifyPanel();
    void createPrintSummaryPanel();
    void connectHandlers();

    // Loads the counters from the checkbook setup and the register and shows them on the entry
    // panel; false when the setup cannot be used (the person is then told and taken back to the
    // main menu, once the current handler is done).
    bool StartCounting();
    void EnterCheck();
    void LeaveToMenu();
    // The question of leaving with checks pending: true for Yes, print them.
    bool AskToPrintPending();
    // Shows a message and goes back to the main menu window.
    void BackToMainMenu(const QString &message);
    // The same, once the handler that activated this window has returned.
    void LaterBackToMainMenu(const QString &message);
    void ShowPrintSummary();
    void ComposePrintSummary();
    // Prints the pending checks on `chosen` (from the preview), else on the printer chosen in the dialog.
    void PrintChecks(std::unique_ptr<Printer> chosen = nullptr);
    void PreviewChecks();
    // The request of a print run or preview from the checkbook setup and the alignment; false when
    // the setup cannot print, after going back to the main menu.
    bool ComposePrintRequest(PrintRequest &request);
    // Checks per sheet of the form the checkbook setup names, as the entry counts and the last print
    // request found it.
    int checksPerSheet_ = 3;
    // Records in the check journal that the `printed` first of `records` reached the printer (the
    // rest of the intent is released), advances the setup past them, saves it, takes those checks
    // off the register, then shows them for review.
    void CommitPrinted(int printed, bool wholeRun, const QList<RegisterRecord> &records, const QString &printer,
                       qint64 intentId, const QStringList &held = {});
    // Records every check of the run as being printed, before the printer gets anything; false,
    // after saying why, when the journal refuses (nothing may print then).
    bool RecordIntent(const QString &printer, const QList<RegisterRecord> &records, qint64 *intentId);
    // Releases an intent none of whose forms reached the printer.
    void ReleaseIntent(qint64 intentId);
    // Sets the checkbook's next check number to `number` and renumbers the pending checks from it,
    // saved; false after saying why not.
    bool MoveCheckNumber(qint64 number);
    // Puts the journal's refusal of numbers another program took to the person, offering the next
    // free ones; true when they are taken instead (the setup moved to them).
    bool OfferNextFree(const QString &refusal, qint64 nextFree, qint64 count);
    // Holds back the pending checks that need a second person's approval and have none: they go to
    // the end of the register, *printable counts the checks before them (-1: none held) and *held
    // names them. False, after saying why, when the journal cannot tell: nothing prints then.
    // restored: the outcome of restoring the register, as ReadRecordsToPrint takes it.
    bool HoldBackForApproval(const FileResult &restored, qint64 *printable, QStringList *held);
    // Numbers another program took while this run's were being recorded: the refusal and the next free number.
    QString takenRefusal_;
    qint64 takenNextFree_ = 0;
    // Finishes what an interrupted run left to do, asks about the forms of runs whose end was never
    // recorded and sets aside checks printed before. For a print run also proves the check numbers
    // free; false, after saying why, when the run must not start.
    bool SettleJournal(bool forPrinting);
    // Asks what came out of the printer for every run whose end was never recorded, and records it.
    FileResult ResolveUnfinishedRuns();
    // The review of a recorded run; true when checks went back to the register.
    bool ReviewRun(qint64 runId, const QList<JournalCheck> &checks, const QList<RegisterRecord> &printed,
                   qint64 nextCheckNo);
    // Pending checks in the register (restored from Backup when only a copy is there), a cut-short
    // last record included.
    qint64 PendingChecks();
    // Tells the person, once the current handler is done, that the register is damaged and takes
    // no new checks.
    void TellOfDamagedRegister();
    // The journal's printed checks of this account, for the import to flag; none when there is no
    // journal yet (none is made for this) or it cannot be read (after saying so).
    QSet<QString> PrintedContents(const QString &accountNo);
    // Shows a message box with the program's services.
    void Message(const QString &text, const QString &title);

    // Sets a verify-panel caption, widening the label past its design box when the text needs it:
    // to the right, or to the left for the captions that end at the right edge of the check.
    static void SetCaption(QLabel *label, const QString &text, bool keepRightEdge);

    // Reads the completion's names from the journal (when the window is activated, not at start-up).
    void LoadPayeeChoices();
    // Shows or hides the offer to add the payee of the check just accepted to the book.
    void OfferPayee(const QString &payTo);

    Program &program_;
    QStringListModel *payeeNames_ = nullptr;
    // The completion's names by PayeeKey.
    QHash<QString, PayeeChoice> payeeChoices_;
    // Payees offered for the book since the window was activated, by PayeeKey.
    QSet<QString> offeredPayees_;
    QString offeredPayee_;
    // The addresses the last print request prints, by PayeeKey; the journal keeps them with the checks.
    QHash<QString, QStringList> printAddresses_;
    // True while a run is under review: the review's own event loop may activate the window again.
    bool resolving_ = false;
};
