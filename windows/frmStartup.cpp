#include "windows/frmStartup.h"

#include "forms/FormFile.h"
#include "windows/Controls.h"
#include "windows/Program.h"
#include "windows/Twips.h"
#include "windows/frmAlignment.h"
#include "windows/frmForms.h"
#include "windows/frmHistory.h"
#include "windows/frmJournal.h"
#include "windows/frmMain.h"
#include "windows/frmPayees.h"
#include "windows/frmSplash.h"

#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

frmStartup::frmStartup(Program &program) : Form(program.platform.forms), program_(program) {
    setObjectName(QStringLiteral("frmStartup"));
    setWindowTitle(QStringLiteral("Quillane Main Menu"));
    setFont(FormFont());

    menuBar = new QMenuBar(this);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    mnuHelp = menuBar->addAction(QStringLiteral("Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    connect(mnuHelp, &QAction::triggered, this, &frmStartup::mnuHelp_Click);
    // The rest in a few menus, so that the bar fits the window and nothing hides behind its "»".
    mnuChecks = menuBar->addMenu(QStringLiteral("Chec&ks"));
    mnuChecks->setObjectName(QStringLiteral("mnuChecks"));
    mnuHistory = mnuChecks->addAction(QStringLiteral("Hi&story"));
    mnuHistory->setObjectName(QStringLiteral("mnuHistory"));
    connect(mnuHistory, &QAction::triggered, this, &frmStartup::mnuHistory_Click);
    mnuImport = mnuChecks->addAction(QStringLiteral("&Import Checks"));
    mnuImport->setObjectName(QStringLiteral("mnuImport"));
    connect(mnuImport, &QAction::triggered, this, &frmStartup::mnuImport_Click);
    mnuPayees = mnuChecks->addAction(QStringLiteral("Pa&yees"));
    mnuPayees->setObjectName(QStringLiteral("mnuPayees"));
    connect(mnuPayees, &QAction::triggered, this, &frmStartup::mnuPayees_Click);

    mnuSetup = menuBar->addMenu(QStringLiteral("&Setup"));
    mnuSetup->setObjectName(QStringLiteral("mnuSetup"));
    mnuAlignment = mnuSetup->addAction(QStringLiteral("Printer A&lignment"));
    mnuAlignment->setObjectName(QStringLiteral("mnuAlignment"));
    connect(mnuAlignment, &QAction::triggered, this, &frmStartup::mnuAlignment_Click);
    mnuForms = mnuSetup->addAction(QStringLiteral("Check &Forms"));
    mnuForms->setObjectName(QStringLiteral("mnuForms"));
    connect(mnuForms, &QAction::triggered, this, &frmStartup::mnuForms_Click);
    mnuJournal = mnuSetup->addAction(QStringLiteral("&Journal..."));
    mnuJournal->setObjectName(QStringLiteral("mnuJournal"));
    connect(mnuJournal, &QAction::triggered, this, &frmStartup::mnuJournal_Click);

    createCheckbookMenu();

    QWidget *client = MakeClientArea(this, menuBar, 4530, 2655);
    createMenuPanel(client);
    createTypePanel(client);
    createInformationPanel(client);
    chainTabs();
    UseWindowKeys(this);
    CentreOnScreen(this);
}

void frmStartup::createMenuPanel(QWidget *client) {
    fraDraftmere = new QFrame(client);
    fraDraftmere->setObjectName(QStringLiteral("fraDraftmere"));
    // Drawn like the other two panels, whose frame line runs half a caption below their top.
    fraDraftmere->setStyleSheet(
        QStringLiteral("QFrame#fraDraftmere { border: 1px solid palette(mid); border-radius: 2px; margin-top: 6px; }"));
    PlaceTwips(fraDraftmere, 60, 120, 4395, 2415);

    Label1 = new QLabel(QStringLiteral("Quillane Routines"), fraDraftmere);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(DesignFont(QStringLiteral("MS Sans Serif"), 13.5, true));
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceTwips(Label1, 840, 420, 3135, 375);

    Image1 =
        MakeImage(fraDraftmere, ArrayName("Image1", 0), QStringLiteral(":/pictures/emblem.svg"), 240, 360, 645, 615);
    Image1->setToolTip(QStringLiteral("Ends Program"));
    OnClick(Image1, [this] { Image1_Click(); });

    lblCheckbook = new QLabel(fraDraftmere);
    lblCheckbook->setObjectName(QStringLiteral("lblCheckbook"));
    lblCheckbook->setTextFormat(Qt::PlainText);
    lblCheckbook->setFont(FormFont());
    PlaceTwips(lblCheckbook, 240, 90, 4035, 240);

    const QString optionCaptions[2] = {QStringLiteral("&Print Checks"), QStringLiteral("&Create Checkbook")};
    const QString optionTips[2] = {QStringLiteral("Create and Print Checks"), QStringLiteral("Setup Your Checkbook")};
    const QString gotoCaptions[2] = {QStringLiteral("&Goto"), QStringLiteral("&Menu")};
    const QString gotoTips[2] = {QStringLiteral("Envoke the Selected Routine"), QStringLiteral("Return to the Menu")};
    for (int index = 0; index < 2; ++index) {
        QRadioButton *option = new QRadioButton(optionCaptions[index], fraDraftmere);
        option->setObjectName(ArrayName("optMainMenuSub", index));
        option->setFont(FormFont());
        option->setToolTip(optionTips[index]);
        PlaceTwips(option, 1380, 840 + 300 * index, 1695, 195);
        OnDblClick(option, [this, index] { optMainMenuSub_DblClick(index); });
        optMainMenuSub[index] = option;

        QPushButton *button = new QPushButton(gotoCaptions[index], fraDraftmere);
        button->setObjectName(ArrayName("cmdGoto", index));
        button->setFont(FormFont(true));
        button->setToolTip(gotoTips[index]);
        PlaceTwips(button, 1380, 1560 + 360 * index, 1275, 315);
        connect(button, &QPushButton::clicked, this, [this, index] { cmdGoto_Click(index); });
        cmdGoto[index] = button;
    }
}

void frmStartup::chainTabs() {
    // The setup controls in their tab indexes, then the menu panel.
    ChainTabOrder({txtBankName, txtAcctNo, cboChecks, lstCheckStyle, txtCheckNo, cmdAccept, cmdBookInfo, optCreate[1],
                   optCreate[0], optMainMenuSub[0], optMainMenuSub[1], cmdGoto[0], cmdGoto[1]});
}

CheckbookSettings frmStartup::Settings() const {
    CheckbookSettings settings;
    settings.BankName = txtBankName->text();
    settings.AcctNo = txtAcctNo->text();
    settings.CheckNo = txtCheckNo->text();
    settings.ChecksOnForm = cboChecks->currentText();
    const QList<QListWidgetItem *> selected = lstCheckStyle->selectedItems();
    settings.CheckStyle = selected.isEmpty() ? QString() : selected.first()->data(kFormNameRole).toString();
    return settings;
}

void frmStartup::SetSettings(const CheckbookSettings &settings) {
    // Text boxes show the beginning of a text that is wider than they are.
    for (auto [box, text] : {std::pair{txtBankName, settings.BankName}, std::pair{txtAcctNo, settings.AcctNo},
                             std::pair{txtCheckNo, settings.CheckNo}}) {
        box->setText(text);
        box->setCursorPosition(0);
    }
    cboChecks->setEditText(settings.ChecksOnForm);
    lstCheckStyle->clearSelection();
    lstCheckStyle->setCurrentItem(nullptr);
    fillCheckStyles();
    int found = -1;
    for (int row = 0; row < lstCheckStyle->count() && found < 0; ++row) {
        if (lstCheckStyle->item(row)->data(kFormNameRole).toString() == settings.CheckStyle) {
            found = row;
        }
    }
    // A style whose form is gone stays in the list, marked, so that the person picks another.
    if (found < 0 && !settings.CheckStyle.isEmpty()) {
        auto *missing = new QListWidgetItem(QStringLiteral("%1 (missing)").arg(settings.CheckStyle), lstCheckStyle);
        missing->setData(kFormNameRole, settings.CheckStyle);
        missing->setData(kChecksPerSheetRole, 0);
        found = lstCheckStyle->count() - 1;
    }
    if (found >= 0) {
        lstCheckStyle->setCurrentRow(found);
    }
    lstCheckStyle->scrollToItem(lstCheckStyle->currentItem() ? lstCheckStyle->currentItem() : lstCheckStyle->item(0));
}

FileResult frmStartup::UpdateDraftMereInfo() {
    return SaveSettings(program_.Book(), Settings());
}

void frmStartup::Form_Load() {
    cdbPrint.HelpFile = program_.platform.App.HelpFile;
    fillCheckStyles();
}

void frmStartup::fillCheckStyles() {
    // Read each time the setup is shown: the person may have added or removed forms since.
    const QList<CheckForm> forms = FormCatalog(FormsFolder(program_.platform.App.Path)).Forms();
    const QSignalBlocker quiet(lstCheckStyle);
    lstCheckStyle->clear();
    for (const CheckForm &form : forms) {
        auto *item = new QListWidgetItem(form.Name, lstCheckStyle);
        item->setData(kFormNameRole, form.Name);
        item->setData(kChecksPerSheetRole, form.ChecksPerSheet());
    }
}

void frmStartup::lstCheckStyle_Changed() {
    // "Checks left on the first sheet" offers 1 to the chosen form's checks per sheet.
    const QListWidgetItem *item = lstCheckStyle->currentItem();
    const int perSheet = item ? item->data(kChecksPerSheetRole).toInt() : kMostChecksPerSheet;
    const int offered = perSheet > 0 ? perSheet : kMostChecksPerSheet;
    const QString text = cboChecks->currentText();
    const QSignalBlocker quiet(cboChecks);
    cboChecks->clear();
    for (int n = 1; n <= offered; ++n) {
        cboChecks->addItem(QString::number(n));
    }
    const int kept = text.trimmed().toInt();
    cboChecks->setEditText(perSheet == 1 ? QStringLiteral("1") : kept >= 1 && kept <= offered ? text : QString());
    cboChecks->setEnabled(perSheet != 1);
}

void frmStartup::Form_Activate() {
    LoadDraftMereInfo();
}

void frmStartup::LoadDraftMereInfo() {
    Platform &platform = program_.platform;
    const SettingsLoad load = LoadSettings(program_.Book());
    if (load.state == SettingsState::Loaded) {
        SetSettings(load.settings);
        showMenuPanel(true, 0);
        return;
    }
    // A checkbook not set up yet starts from the setup's first texts, not the last checkbook's.
    SetSettings({QStringLiteral("Enter your Bank,s Name here"), QStringLiteral("Enter your Checkbook Account No"),
                 QStringLiteral("Enter the number of the first check on your Check Forms"), QString(), QString()});
    if (load.state == SettingsState::Damaged) {
        platform.messages.MsgBox(load.error + QStringLiteral("\r\n\r\nPlease set up your checkbook again; "
                                                             "Accept will write a new settings file."),
                                 MsgButtons::OK, platform.App.Title);
    }
    cboChecks->setEditText(cboChecks->itemText(2));
    showMenuPanel(false, 1);
}

void frmStartup::showMenuPanel(bool menu, int option) {
    fraDraftmere->setVisible(menu);
    fraCreate->setVisible(!menu);
    showCheckbook();
    optMainMenuSub[option]->setChecked(true);
    if (menu) {
        optMainMenuSub[option]->setFocus();
    } else {
        cmdBookInfo->setFocus();
    }
}

void frmStartup::Form_QueryUnload(bool &Cancel, int UnloadMode) {
    Q_UNUSED(Cancel);
    if (UnloadMode == vbFormControlMenu) {
        program_.EndProgram();
    }
}

void frmStartup::mnuImport_Click() {
    optMainMenuSub_DblClick(0);
    // Once the entry window's activation is done: a setup it cannot use takes it back here first.
    frmMain *entry = program_.Main();
    QMetaObject::invokeMethod(
        entry, [entry] { entry->cmdImport_Click(); }, Qt::QueuedConnection);
}

void frmStartup::optMainMenuSub_DblClick(int Index) {
    Forms &forms = program_.platform.forms;
    switch (Index) {
    case 0:
        forms.Show(program_.Main());
        forms.Hide(this);
        break;
    case 1:
        fraDraftmere->hide();
        fraCreate->show();
        cmdBookInfo->setFocus();
        break;
    default:
        break;
    }
}

void frmStartup::cmdGoto_Click(int Index) {
    if (Index == 0) {
        for (int option = 0; option < 2; ++option) {
            if (optMainMenuSub[option]->isChecked()) {
                optMainMenuSub_DblClick(option);
                return;
            }
        }
        return;
    }
    Forms &forms = program_.platform.forms;
    forms.Hide(this);
    forms.Show(program_.Splash());
}

void frmStartup::mnuHelp_Click() {
    Platform &platform = program_.platform;
    platform.messages.MsgBox(QStringLiteral("The Help File contains many Features that\r\n"
                                            "are not used in the Free Version"),
                             MsgButtons::OK, QStringLiteral("Help Files"));
    cdbPrint.HelpCommand = 15;
    platform.help.ShowHelp(cdbPrint.HelpFile, cdbPrint.HelpCommand);
}

void frmStartup::mnuHistory_Click() {
    if (!history_) {
        history_ = ShowHistoryWindow(program_.platform, program_.Journal(), this);
        if (history_) {
            // A run, a review or a void elsewhere shows in the history at once.
            connect(&program_, &Program::JournalChanged, history_, &frmHistory::Refresh);
            offerCheckbooks();
        }
        return;
    }
    history_->showNormal();
    history_->raise();
    history_->activateWindow();
}

void frmStartup::mnuAlignment_Click() {
    frmAlignment window(program_, Settings().CheckStyle, this);
    window.exec();
}

void frmStartup::mnuForms_Click() {
    frmForms window(program_.platform, Settings().CheckStyle, this);
    window.exec();
    // A form may have been added, renamed or removed: the setup's list follows.
    const CheckbookSettings settings = Settings();
    SetSettings(settings);
}

void frmStartup::mnuPayees_Click() {
    frmPayees window(program_.platform, program_.Journal(), this);
    window.exec();
}

void frmStartup::mnuJournal_Click() {
    frmJournal window(program_, this);
    window.exec();
}

void frmStartup::Image1_Click() {
    program_.EndProgram();
}
