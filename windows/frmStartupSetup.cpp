// The checkbook setup: the "Checkbook Type" and "Check Information" panels of the main menu window.
#include "windows/frmStartup.h"

#include "checkbook/Checkbooks.h"
#include "windows/Controls.h"
#include "windows/Program.h"
#include "windows/Twips.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace {

QGroupBox *addPanel(QWidget *client, const QString &name, const QString &caption) {
    QGroupBox *panel = MakeFrame(client, name, caption);
    PlaceTwips(panel, 60, 120, 4395, 2415);
    panel->hide();
    return panel;
}

QLabel *addLabel(QWidget *panel, const QString &name, const QString &caption, int left, int top, int width, int height,
                 bool wordWrap = false) {
    auto *label = new QLabel(caption, panel);
    label->setObjectName(name);
    label->setFont(FormFont());
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(wordWrap);
    PlaceTwips(label, left, top, width, height);
    return label;
}

QLineEdit *addTextBox(QWidget *panel, const char *name, const QString &text, int tabIndex, int left, int top, int width,
                      int height) {
    auto *box = new QLineEdit(text, panel);
    box->setObjectName(QString::fromLatin1(name));
    box->setFont(FormFont());
    box->setCursorPosition(0);
    SetTabIndex(box, tabIndex);
    PlaceTwips(box, left, top, width, height);
    return box;
}

// The number a text begins with, or 0 when it does not begin with one: blanks are skipped, then an
// optional sign, digits with an optional point, and an optional exponent ("1e3").
double leadingNumber(QString text) {
    text.remove(QLatin1Char(' ')).remove(QLatin1Char('\t')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    qsizetype end = 0;
    const auto sign = [&] {
        if (end < text.size() && (text[end] == QLatin1Char('+') || text[end] == QLatin1Char('-'))) {
            ++end;
        }
    };
    const auto digits = [&] {
        const qsizetype start = end;
        while (end < text.size() && text[end] >= QLatin1Char('0') && text[end] <= QLatin1Char('9')) {
            ++end;
        }
        return end > start;
    };
    sign();
    bool any = digits();
    if (end < text.size() && text[end] == QLatin1Char('.')) {
        ++end;
        any = digits() || any;
    }
    if (!any) {
        return 0.0;
    }
    qsizetype numberEnd = end;
    if (end < text.size() && text[end].toLower() == QLatin1Char('e')) {
        ++end;
        sign();
        if (digits()) {
            numberEnd = end;
        }
    }
    return text.left(numberEnd).toDouble();
}

} // namespace

void frmStartup::createTypePanel(QWidget *client) {
    fraCreate = addPanel(client, QStringLiteral("fraCreate"), QStringLiteral("Checkbook Type"));

    Label2 = addLabel(
        fraCreate, QStringLiteral("Label2"),
        QStringLiteral("Select the type of Checkbook that you wish to Create.") + QString(51, QLatin1Char(' ')) +
            QStringLiteral("The Check Style will be automatically selected, but you can change if desired."),
        600, 360, 3255, 855, true);

    const QString captions[2] = {QStringLiteral("Create a Personal (Home) type Checkbook."),
                                 QStringLiteral("Create a Business  type Checkbook.")};
    const QString tips[2] = {QStringLiteral("Select if your Checkbook is primarily for home use"),
                             QStringLiteral("Select if your checkbook is primarily for Business use")};
    const int tops[2] = {1740, 1440};
    const int widths[2] = {3495, 2895};
    for (int index = 0; index < 2; ++index) {
        auto *option = new QRadioButton(captions[index], fraCreate);
        option->setObjectName(ArrayName("optCreate", index));
        option->setFont(FormFont());
        option->setToolTip(tips[index]);
        SetTabIndex(option, 9 - index);
        PlaceTwips(option, 300, tops[index], widths[index], 255);
        optCreate[index] = option;
    }
    optCreate[1]->setChecked(true);

    cmdBookInfo = new QPushButton(QStringLiteral("Create"), fraCreate);
    cmdBookInfo->setObjectName(QStringLiteral("cmdBookInfo"));
    cmdBookInfo->setFont(FormFont());
    cmdBookInfo->setToolTip(QStringLiteral("Creates the Checkbook with Default Settings"));
    SetTabIndex(cmdBookInfo, 7);
    PlaceTwips(cmdBookInfo, 1440, 2100, 1095, 255);
    connect(cmdBookInfo, &QPushButton::clicked, this, &frmStartup::cmdBookInfo_Click);

    // The menu panel shows at creation; the others wait for the first activation.
    fraDraftmere->show();
}

void frmStartup::createInformationPanel(QWidget *client) {
    fraPrintChecks = addPanel(client, QStringLiteral("fraPrintChecks"), QStringLiteral("Check Information"));

    Label7[0] = addLabel(fraPrintChecks, ArrayName("Label7", 0), QStringLiteral("Bank Name"), 180, 240, 915, 195);
    txtBankName = addTextBox(fraPrintChecks, "txtBankName", QStringLiteral("Enter your Bank,s Name here"), 0, 120, 420,
                             2535, 315);
    Label7[1] = addLabel(fraPrintChecks, ArrayName("Label7", 1), QStringLiteral("Account Number"), 180, 900, 1275, 195);
    txtAcctNo = addTextBox(fraPrintChecks, "txtAcctNo", QStringLiteral("Enter your Checkbook Account No"), 1, 240, 1140,
                           2415, 345);

    Label6[1] = Label6[2] = nullptr;
    Label6[3] = addLabel(fraPrintChecks, ArrayName("Label6", 3), QStringLiteral("# of Checks on 1st Form"), 180, 1560,
                         1740, 195);
    cboChecks = new QComboBox(fraPrintChecks);
    cboChecks->setObjectName(QStringLiteral("cboChecks"));
    cboChecks->setFont(FormFont());
    cboChecks->setEditable(true);
    cboChecks->setInsertPolicy(QComboBox::NoInsert);
    cboChecks->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")});
    // (the chosen form's checks per sheet, once a form is chosen)
    cboChecks->setCurrentIndex(-1);
    SetTabIndex(cboChecks, 2);
    PlaceTwips(cboChecks, 2100, 1560, 555, 315);

    Label6[0] = addLabel(fraPrintChecks, ArrayName("Label6", 0), QStringLiteral("Check Style"), 240, 1800, 855, 195);
    lstCheckStyle = new QListWidget(fraPrintChecks);
    lstCheckStyle->setObjectName(QStringLiteral("lstCheckStyle"));
    lstCheckStyle->setFont(FormFont());
    lstCheckStyle->setSelectionMode(QAbstractItemView::SingleSelection);
    lstCheckStyle->setToolTip(QStringLiteral("Select the Syle that you wish to use"));
    SetTabIndex(lstCheckStyle, 3);
    PlaceTwips(lstCheckStyle, 180, 2040, 2475, 255);
    connect(lstCheckStyle, &QListWidget::currentRowChanged, this, &frmStartup::lstCheckStyle_Changed);

    Label6[4] = addLabel(fraPrintChecks, ArrayName("Label6", 4), QStringLiteral("Next Check #"), 3060, 240, 990, 195);
    txtCheckNo =
        addTextBox(fraPrintChecks, "txtCheckNo",
                   QStringLiteral("Enter the number of the first check on your Check Forms"), 4, 2940, 480, 1215, 285);

    cmdAccept = new QPushButton(QStringLiteral("&Accept"), fraPrintChecks);
    cmdAccept->setObjectName(QStringLiteral("cmdAccept"));
    cmdAccept->setFont(FormFont());
    cmdAccept->setToolTip(QStringLiteral("Accept the Information and Continue"));
    SetTabIndex(cmdAccept, 5);
    PlaceTwips(cmdAccept, 3000, 1740, 975, 375);
    connect(cmdAccept, &QPushButton::clicked, this, &frmStartup::cmdAccept_Click);

    txtBankName->setMaxLength(kSettingMaxLengths[0]);
    txtAcctNo->setMaxLength(kSettingMaxLengths[1]);

    OnGotFocus(txtBankName, [this] { txtBankName_GotFocus(); });
    OnGotFocus(txtAcctNo, [this] { txtAcctNo_GotFocus(); });
    OnGotFocus(txtCheckNo, [this] { txtCheckNo_GotFocus(); });
}

void frmStartup::cmdBookInfo_Click() {
    lstCheckStyle->setCurrentRow(optCreate[1]->isChecked() ? 0 : 1);
    fraCreate->hide();
    fraPrintChecks->show();
    txtBankName->setFocus();
}

void frmStartup::txtBankName_GotFocus() {
    if (txtBankName->text().startsWith(QStringLiteral("Enter"))) {
        txtBankName->clear();
    }
}

void frmStartup::txtAcctNo_GotFocus() {
    if (txtAcctNo->text().startsWith(QStringLiteral("Enter"))) {
        txtAcctNo->clear();
    }
}

void frmStartup::txtCheckNo_GotFocus() {
    if (leadingNumber(txtCheckNo->text()) < 1) {
        txtCheckNo->clear();
    }
}

QWidget *frmStartup::settingControl(SettingsProblem::Field field) const {
    switch (field) {
    case SettingsProblem::Field::BankName:
        return txtBankName;
    case SettingsProblem::Field::AcctNo:
        return txtAcctNo;
    case SettingsProblem::Field::CheckNo:
        return txtCheckNo;
    case SettingsProblem::Field::ChecksOnForm:
        return cboChecks;
    case SettingsProblem::Field::CheckStyle:
        return lstCheckStyle;
    case SettingsProblem::Field::None:
        break;
    }
    return nullptr;
}

void frmStartup::cmdAccept_Click() {
    Platform &platform = program_.platform;
    SettingsProblem problem = CheckSettings(Settings());
    const QListWidgetItem *style = lstCheckStyle->currentItem();
    const int perSheet = style ? style->data(kChecksPerSheetRole).toInt() : 0;
    if (!problem && perSheet == 0) {
        problem = {SettingsProblem::Field::CheckStyle,
                   QStringLiteral("There is no check form \"%1\" (its file may have been removed). Pick the form "
                                  "of your checks from the list.")
                       .arg(Settings().CheckStyle)};
    } else if (!problem && Settings().ChecksOnForm.trimmed().toInt() > perSheet) {
        problem = {SettingsProblem::Field::ChecksOnForm,
                   QStringLiteral("The form \"%1\" holds %2 check(s) to a sheet; the checks left on the first sheet "
                                  "must be 1 to %2.")
                       .arg(Settings().CheckStyle)
                       .arg(perSheet)};
    }
    if (problem) {
        platform.messages.MsgBox(problem.message, MsgButtons::OK, platform.App.Title);
        if (QWidget *control = settingControl(problem.field)) {
            control->setFocus();
        }
        return;
    }
    // A number the journal holds for this account is never used again: said now, not after the
    // checks are written.
    const CheckbookSettings settings = Settings();
    const Checkbooks &books = program_.CheckbookList();
    if (const QString other = books.AccountClash(books.List().open, settings.AcctNo); !other.isEmpty()) {
        platform.messages.MsgBox(QStringLiteral("The account number %1 is the account of the checkbook \"%2\" "
                                                "already. Two checkbooks may not share an account number: open "
                                                "\"%2\" from the Checkbooks menu to write its checks.")
                                     .arg(settings.AcctNo.trimmed(), other),
                                 MsgButtons::OK, platform.App.Title);
        txtAcctNo->setFocus();
        return;
    }
    bool taken = false;
    const FileResult free =
        program_.Journal().CheckNumbersFree(settings.AcctNo, settings.CheckNo.trimmed().toLongLong(), 1, &taken);
    if (taken) {
        platform.messages.MsgBox(free.error, MsgButtons::OK, platform.App.Title);
        txtCheckNo->setFocus();
        return;
    }
    if (!free) {
        platform.messages.MsgBox(QStringLiteral("Whether Check No. %1 was used before could not be asked:\r\n")
                                         .arg(settings.CheckNo.trimmed()) +
                                     free.error +
                                     QStringLiteral("\r\nThe setup is saved; no check prints until the check "
                                                    "journal answers."),
                                 MsgButtons::OK, platform.App.Title);
    }
    const FileResult saved = UpdateDraftMereInfo();
    if (!saved) {
        platform.messages.MsgBox(QStringLiteral("The checkbook settings were not saved.\r\n") + saved.error,
                                 MsgButtons::OK, platform.App.Title);
        return;
    }
    fraPrintChecks->hide();
    showMenuPanel(true, 0);
}
