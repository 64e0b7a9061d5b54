// The check entry window: activation, the amount filter, Enter, Accept and Redo.
#include "windows/frmMain.h"

#include "checkbook/CheckbookSettings.h"
#include "datafiles/DataFiles.h"
#include "forms/FormFile.h"
#include "platform/Clock.h"
#include "register/Register.h"
#include "windows/Program.h"
#include "windows/frmMainRules.h"
#include "windows/frmStartup.h"
#include "words/Currency.h"
#include "words/MoneyConverter.h"

#include <QCompleter>
#include <QDir>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>

#include <algorithm>

namespace {

// The character code a key press types into a text box, or 0 for keys that type nothing
// (arrows, Delete, shortcuts such as Ctrl+V), which pass unfiltered.
int TypedCharacter(const QKeyEvent &key) {
    switch (key.key()) {
    case Qt::Key_Backspace:
        return key.modifiers() & Qt::ControlModifier ? 0 : 8;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Escape:
        return 27;
    default:
        break;
    }
    if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) {
        return 0;
    }
    const QString text = key.text();
    if (text.size() != 1 || text.at(0).unicode() < 0x20 || text.at(0).unicode() == 0x7F) {
        return 0;
    }
    return text.at(0).unicode();
}

} // namespace

void frmMain::Message(const QString &text, const QString &title) {
    program_.platform.messages.MsgBox(text, MsgButtons::OK, title);
}

qint64 frmMain::PendingChecks() {
    RestoreRegister();
    Files &files = program_.Book();
    if (!files.Dir(kRegisterFile)) {
        return 0;
    }
    // A cut-short last record counts as a check: such a register is damaged, not empty, and the
    // print run names the damage.
    const qint64 bytes = std::max<qint64>(files.FileLen(kRegisterFile), 0);
    return (bytes + kRecordLength - 1) / kRecordLength;
}

void frmMain::Form_Activate() {
    SettleJournal(false);
    if (StartCounting()) {
        LoadPayeeChoices();
    }
}

void frmMain::LoadPayeeChoices() {
    offeredPayees_.clear();
    cmdAddPayee->hide();
    QList<PayeeChoice> choices;
    // Without the journal the payee box simply completes nothing; printing says what is wrong.
    program_.Journal().LoadPayeeChoices(choices);
    payeeChoices_.clear();
    QStringList names;
    names.reserve(choices.size());
    for (const PayeeChoice &choice : std::as_const(choices)) {
        payeeChoices_.insert(PayeeKey(choice.name), choice);
        names << choice.name;
    }
    payeeNames_->setStringList(names);
}

void frmMain::txtPayto_Chosen(const QString &name) {
    const PayeeChoice choice = payeeChoices_.value(PayeeKey(name));
    if (txtCategory->text().isEmpty() && !choice.memo.isEmpty()) {
        txtCategory->setText(choice.memo);
    }
}

void frmMain::OfferPayee(const QString &payTo) {
    const QString key = PayeeKey(payTo);
    const auto known = payeeChoices_.constFind(key);
    if (key.isEmpty() || (known != payeeChoices_.cend() && known->inBook) || offeredPayees_.contains(key)) {
        cmdAddPayee->hide();
        return;
    }
    offeredPayees_.insert(key);
    offeredPayee_ = PayeeName(payTo);
    // The box is narrow: the caption stays short and the tip names the payee.
    cmdAddPayee->setToolTip(QStringLiteral("Add \"%1\" to the payee book").arg(offeredPayee_));
    cmdAddPayee->show();
    // The name completes from now on, as the journal's payees do.
    if (known == payeeChoices_.cend()) {
        payeeChoices_.insert(key, {offeredPayee_, QString(), false});
        payeeNames_->insertRows(0, 1);
        payeeNames_->setData(payeeNames_->index(0), offeredPayee_);
    }
}

void frmMain::cmdAddPayee_Click() {
    Payee payee;
    payee.name = offeredPayee_;
    if (const FileResult saved = program_.Journal().SavePayee(payee); !saved) {
        Message(saved.error, QStringLiteral("Payees"));
        return;
    }
    payeeChoices_[PayeeKey(payee.name)].inBook = true;
    cmdAddPayee->hide();
    txtPayto->setFocus();
}

bool frmMain::StartCounting() {
    const CheckbookSettings settings = program_.Startup()->Settings();
    if (const SettingsProblem problem = CheckSettings(settings)) {
        LaterBackToMainMenu(QStringLiteral("Checks cannot be written with this checkbook setup.\r\n") +
                            problem.message);
        return false;
    }
    qint64 checkNo = 0;
    qint64 left = 0;
    SettingNumber(settings.CheckNo, 1, kLastCheckNo, &checkNo);
    SettingNumber(settings.ChecksOnForm, 1, kMostChecksPerSheet, &left);
    // Checks other programs printed on this account come first: the numbers go on after the
    // journal's highest (a journal that cannot answer leaves the setup's number; printing asks again).
    if (qint64 journalNext = 0;
        program_.Journal().IsOpen() && program_.Journal().NextNumber(settings.AcctNo, &journalNext)) {
        checkNo = qMax(checkNo, journalNext);
    }
    // The counter goes round the chosen form's checks per sheet (a form that names none: printing
    // refuses it and says so).
    const std::optional<CheckForm> form =
        FormCatalog(FormsFolder(program_.platform.App.Path)).Find(settings.CheckStyle);
    checksPerSheet_ = form ? form->ChecksPerSheet() : kMostChecksPerSheet;
    left = std::min<qint64>(left, checksPerSheet_);
    // Checks still pending from before are printed first, so the new ones come after them.
    const qint64 pending = PendingChecks();
    if (checkNo + pending > kLastCheckNo) {
        LaterBackToMainMenu(QStringLiteral("The next check number would be ") + QString::number(checkNo + pending) +
                            QStringLiteral(", past the largest check number Quillane can keep, ") +
                            QString::number(kLastCheckNo) +
                            QStringLiteral(".\r\nSet up the checkbook with new checks."));
        return false;
    }
    CurrentCheckNo = static_cast<int>(checkNo + pending);
    ChecksLeftOnForm = ChecksLeftAfter(static_cast<int>(left), pending, checksPerSheet_);
    ChecksPendingBefore = static_cast<int>(pending);
    ChecksCreated = 0;

    lblCheck->setText(QString::number(CurrentCheckNo));
    SetCaption(lblCheckNo, lblCheck->text(), true);
    SetCaption(lblBankName, settings.BankName, false);
    SetCaption(lblAcctNo, settings.AcctNo, true);
    cmdExpense[6]->setEnabled(ChecksPendingBefore + ChecksCreated > 0);
    ShowEntryPanel();
    txtPayto->setFocus();
    // Also with nothing pending: a folder in the register's place is told of now, not at Accept.
    TellOfDamagedRegister();
    return true;
}

void frmMain::TellOfDamagedRegister() {
    // A missing register is whole; the Backup copy is not brought back behind the set-aside.
    FileResult whole = RestoreRegister();
    if (whole && program_.Book().FileLen(kRegisterFile) >= 0) {
        whole = CheckRegister(program_.Book());
    }
    if (whole) {
        return;
    }
    const QString advice = PendingChecks() > 0
                               ? QStringLiteral("\r\nNo check can be added to it. Print Checks shows which check "
                                                "is damaged; Menu, then No, deletes the register with every check "
                                                "in it.")
                               : QString();
    // Activation runs inside the caller's Show: the message waits until that handler is done.
    QMetaObject::invokeMethod(
        this,
        [this, error = whole.error + advice] {
            if (!program_.platform.ender.Ended() && program_.platform.forms.IsLoaded(this) && isVisible()) {
                Message(error, QStringLiteral("Register Damaged"));
            }
        },
        Qt::QueuedConnection);
}

void frmMain::LaterBackToMainMenu(const QString &message) {
    // Activation runs inside the caller's Show, and the main menu hides itself after showing this
    // window: the way back waits until that handler is done.
    fraMain->setEnabled(false);
    QMetaObject::invokeMethod(
        this,
        [this, message] {
            fraMain->setEnabled(true);
            if (!program_.platform.ender.Ended() && program_.platform.forms.IsLoaded(this)) {
                BackToMainMenu(message);
            }
        },
        Qt::QueuedConnection);
}

void frmMain::BackToMainMenu(const QString &message) {
    Message(message, QStringLiteral("Checkbook Setup"));
    Forms &forms = program_.platform.forms;
    forms.Hide(this);
    forms.Show(program_.Startup());
}

bool frmMain::eventFilter(QObject *watched, QEvent *event) {
    if (watched == txtCost && event->type() == QEvent::KeyPress) {
        int KeyAscii = TypedCharacter(*static_cast<QKeyEvent *>(event));
        if (KeyAscii != 0) {
            txtCost_KeyPress(KeyAscii);
            if (KeyAscii == 0) {
                return true;
            }
        }
    }
    return Form::eventFilter(watched, event);
}

void frmMain::txtCost_KeyPress(int &KeyAscii) {
    if (KeyAscii == '.' || KeyAscii == 8) {
        return;
    }
    // Two digits already stand behind a point: the cents are complete.
    const QString text = txtCost->text();
    if (text.size() >= 3 && text.at(text.size() - 3) == QLatin1Char('.')) {
        KeyAscii = 0;
        return;
    }
    if (KeyAscii >= '0' && KeyAscii <= '9') {
        cmdExpense[1]->setEnabled(true);
    } else {
        KeyAscii = 0;
    }
}

void frmMain::cmdExpense_Click(int Index) {
    switch (Index) {
    case 0:
        LeaveToMenu();
        break;
    case 1:
        EnterCheck();
        break;
    case 6:
        ShowPrintSummary();
        break;
    default:
        break;
    }
}

void frmMain::EnterCheck() {
    const EntryCheck check = CheckEntry(txtPayto->text(), txtCost->text(), txtCategory->text());
    QLineEdit *const boxes[] = {nullptr, txtPayto, txtCost, txtCategory};
    if (!check) {
        // A missing field only takes the focus; the others are told why.
        if (!check.message.isEmpty()) {
            Message(check.message, check.title);
        }
        boxes[static_cast<int>(check.field)]->setFocus();
        return;
    }
    // Pasted text never went through the key filter; the amount rule above is the check that counts.
    const AmountCheck &amount = check.amount;

    txtConverted->setPlainText(AmountToWords(amount.amount));
    SetCaption(lblAmount, FormatCurrency(amount.amount, ProgramLocale()), true);
    SetCaption(lblPaidto, txtPayto->text(), false);
    SetCaption(lblCategory, QStringLiteral("Memo: ") + txtCategory->text(), false);
    SetCaption(lblCheckNo, lblCheck->text(), true);

    fraMain->hide();
    fraCheckImage->show();
    cmdPrint->setFocus();
}

void frmMain::cmdPrint_Click() {
    if (CurrentCheckNo >= kLastCheckNo) {
        Message(QStringLiteral("Check No. ") + QString::number(CurrentCheckNo) +
                    QStringLiteral(" cannot be accepted: the next check number would pass ") +
                    QString::number(kLastCheckNo) + QStringLiteral(", the largest Quillane can keep."),
                QStringLiteral("Check Not Stored"));
        return;
    }
    const RegisterRecord record{lblCheckNo->text(),  ShortDateText(program_.platform.clock.Today(), ProgramLocale()),
                                txtPayto->text(),    txtCost->text(),
                                txtCategory->text(), kStatusPrinted};

    // The check is counted only once it is safely in the register.
    FileResult appended = RestoreRegister();
    if (appended) {
        appended = AppendRegisterRecord(record);
    }
    if (!appended) {
        const QString path = QDir::toNativeSeparators(program_.Book().FullPath(kRegisterFile));
        Message(QStringLiteral("The check could not be stored in the register of pending checks,\r\n") + path +
                    QStringLiteral(":\r\n") + appended.error +
                    QStringLiteral("\r\nThe checks stored before are kept. Accept this check again once the "
                                   "problem is solved, or choose Redo."),
                QStringLiteral("Check Not Stored"));
        cmdPrint->setFocus();
        return;
    }

    ChecksCreated += 1;
    CurrentCheckNo += 1;
    ChecksLeftOnForm -= 1;
    if (ChecksLeftOnForm == 0) {
        ChecksLeftOnForm = checksPerSheet_;
    }
    lblCheck->setText(QString::number(CurrentCheckNo));
    txtCategory->clear();
    txtPayto->clear();
    ShowEntryPanel();
    ResetForNextCheck();
    OfferPayee(record.PayTo);
}

void frmMain::cmdCancel_Click() {
    txtCategory->clear();
    txtPayto->clear();
    ShowEntryPanel();
    ResetForNextCheck();
}

void frmMain::ResetForNextCheck() {
    cmdExpense[1]->setEnabled(false);
    txtCost->clear();
    cmdExpense[6]->setEnabled(ChecksPendingBefore + ChecksCreated >= 1);
    txtPayto->setFocus();
}

FileResult frmMain::AppendRegisterRecord(const RegisterRecord &record) {
    return ::AppendRegisterRecord(program_.Book(), record, FromBackup::Ignore);
}
