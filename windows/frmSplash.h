#pragma once

#include "platform/Forms.h"

class Program;
class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;

// The first window: the product, its version, the web links and the way on to the main menu.
class frmSplash : public Form {
    Q_OBJECT

public:
    explicit frmSplash(Program &program);

    void Form_Load() override;
    void Form_Activate() override;
    void Form_QueryUnload(bool &Cancel, int UnloadMode) override;

    void cmdContinue_Click();
    void Image1_Click();
    void Label1_Click();
    void mnuVisit_Click();
    void mnuZenfold_Click();
    void mnuBrightledge_Click();
    void mnuForms_Click();

    // True once the window has been loaded (it may have been unloaded since).
    bool WasLoaded() const { return loaded_; }

    // The eight lines of the order-forms box, joined by CR LF.
    static QString OrderFormsText();

    QLabel *lblProductName;
    QLabel *Label1; // element 1 of its control array
    QLabel *lblRunning;
    QLabel *lblCopyright;
    QLabel *lblWarning;
    QLabel *lblVersion;
    QLabel *Image1; // element 0 of its control array
    QPushButton *cmdContinue;
    QMenuBar *menuBar;
    QMenu *mnuUpgrade;
    QAction *mnuZenfold;
    QAction *mnuBrightledge;
    QAction *mnuVisit;
    QAction *mnuForms;

private:
    void createMenus();
    void createControls(QWidget *client);
    void openPage(const QString &url);

    Program &program_;
    bool loaded_ = false;
};
