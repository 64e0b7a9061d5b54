#pragma once

#include "checkbook/CheckbookSettings.h"
#include "platform/Forms.h"

#include <QPointer>

class Program;
class frmHistory;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QMenuBar;
class QPushButton;
class QRadioButton;

// The main menu window. It holds the checkbook settings for the whole run in five of its controls,
// which the other windows read and write; its two setup panels fill them in.
class frmStartup : public Form {
    Q_OBJECT

public:
    explicit frmStartup(Program &program);

    // The five settings controls' text; the style is the selected entry, or "" with none selected.
    CheckbookSettings Settings() const;
    // Writes the five controls; a style matching neither entry leaves the list with no selection.
    void SetSettings(const CheckbookSettings &settings);
    // Saves the five controls to the settings file. Shows no message: the caller does.
    FileResult UpdateDraftMereInfo();

    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool &Cancel, int UnloadMode) override;

    void optMainMenuSub_DblClick(int Index);
    void cmdGoto_Click(int Index);
    void mnuHelp_Click();
    // Shows the history of printed checks, opening it when it is not open yet.
    void mnuHistory_Click();
    void mnuAlignment_Click();
    void mnuForms_Click();
    void mnuPayees_Click();
    // Where the check journal is kept (this computer or a PostgreSQL server) and the approval limit.
    void mnuJournal_Click();

    // Opens the check entry window and its import of checks from a spreadsheet.
    void mnuImport_Click();
    void Image1_Click();
    void cmdBookInfo_Click();
    void cmdAccept_Click();
    void txtBankName_GotFocus();
    void txtAcctNo_GotFocus();
    void txtCheckNo_GotFocus();

    // The checkbooks menu: open another checkbook, add one (through the checkbook type panel),
    // rename the open one, remove another.
    void mnuCheckbookOpen_Click(int index);
    void mnuCheckbookAdd_Click();
    void mnuCheckbookRename_Click();
    void mnuCheckbookRemove_Click(int index);
    // The open checkbook's name, bank and the last four digits of its account.
    QString CheckbookCaption() const;

    // The help dialog control; only its help file and command are used.
    struct HelpDialog {
        QString HelpFile;
        int HelpCommand = 0;
    } cdbPrint;

    QMenuBar *menuBar;
    QAction *mnuHelp;
    // Checks: History, Import Checks, Payees.
    QMenu *mnuChecks;
    QAction *mnuHistory;
    QAction *mnuImport;
    QAction *mnuPayees;
    // Setup: Printer Alignment, Check Forms, Journal.
    QMenu *mnuSetup;
    QAction *mnuAlignment;
    QAction *mnuForms;
    QAction *mnuJournal;

    QMenu *mnuCheckbooks;
    QMenu *mnuCheckbookOpen;
    QAction *mnuCheckbookAdd;
    QAction *mnuCheckbookRename;
    QMenu *mnuCheckbookRemove;
    QLabel *lblCheckbook;

    // The main menu panel.
    QFrame *fraDraftmere;
    QLabel *Label1;
    QLabel *Image1; // element 0 of its control array
    QRadioButton *optMainMenuSub[2];
    QPushButton *cmdGoto[2];

    // The checkbook type panel.
    QGroupBox *fraCreate;
    QLabel *Label2;
    QRadioButton *optCreate[2];
    QPushButton *cmdBookInfo;

    // The check information panel and the five settings controls.
    QGroupBox *fraPrintChecks;
    QLabel *Label7[2];
    QLabel *Label6[5]; // elements 0, 3 and 4
    QLineEdit *txtBankName;
    QLineEdit *txtAcctNo;
    QLineEdit *txtCheckNo;
    QComboBox *cboChecks;
    QListWidget *lstCheckStyle;
    QPushButton *cmdAccept;

private:
    // Each entry of lstCheckStyle: the form's name and its checks per sheet (0: no such form).
    static constexpr int kFormNameRole = Qt::UserRole;
    static constexpr int kChecksPerSheetRole = Qt::UserRole + 1;
    void fillCheckStyles();
    void lstCheckStyle_Changed();

    void createMenuPanel(QWidget *client);
    void createCheckbookMenu();
    void fillCheckbookMenus();
    // Shows the open checkbook's setup after another was opened, added or renamed.
    void checkbookChanged();
    void showCheckbook();
    // Gives the history window the checkbooks to filter by, the open one chosen.
    void offerCheckbooks();
    // Asks for a checkbook's name; empty when the person cancelled.
    QString askCheckbookName(const QString &title, const QString &name);
    // Says what went wrong with the checkbooks, naming the reason.
    void checkbookMessage(const QString &text);
    void createTypePanel(QWidget *client);
    void createInformationPanel(QWidget *client);
    void chainTabs();
    void LoadDraftMereInfo();
    // Shows one panel (the information panel is left as it is), selects the option and focuses it.
    void showMenuPanel(bool menu, int option);
    QWidget *settingControl(SettingsProblem::Field field) const;

    Program &program_;
    QPointer<frmHistory> history_;
};
