#pragma once

#include "journal/JournalPlace.h"

#include <QDialog>

class Program;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Check Journal": where the journal is kept, the embedded file on this computer (the default) or a
// PostgreSQL database named by libpq's conventions, with no password kept; a test of the typed
// server, the move of the embedded journal there, and the approval limit of the open checkbook's
// account. Save writes Journal.ini and switches the program's journal; closing with changes asks
// Save / Discard / Cancel.
class frmJournal : public QDialog {
    Q_OBJECT

public:
    explicit frmJournal(Program &program, QWidget *parent = nullptr);

    // The place the fields describe.
    JournalPlace Typed() const;
    // Whether the place or the approval limit differ from what is saved.
    bool IsChanged() const;

    void cmdTest_Click();
    void cmdMove_Click();
    void cmdSave_Click();
    void reject() override;

    QRadioButton *optEmbedded;
    QRadioButton *optServer;
    QGroupBox *fraServer;
    QLineEdit *txtService;
    QLineEdit *txtHost;
    QLineEdit *txtPort;
    QLineEdit *txtDatabase;
    QLineEdit *txtUser;
    QComboBox *cboSslMode;
    QLabel *lblPassword;
    QLabel *lblInUse;
    QPushButton *cmdTest;
    QPushButton *cmdMove;
    QGroupBox *fraApproval;
    QCheckBox *chkApproval;
    QLineEdit *txtApprovalAbove;
    QLabel *lblApproval;
    QLabel *lblStatus;
    QPushButton *cmdSave;
    QPushButton *cmdCancel;

private:
    void createControls();
    void showPlace(const JournalPlace &place);
    void loadApproval();
    // The fields follow the option and the service; the suggested SSL mode follows the host.
    void fieldsChanged();
    void hostEdited();
    // The approval limit in cents as typed (0: none); false after saying what is wrong.
    bool typedLimit(qint64 *cents);
    // Saves the place and the approval limit; false after saying why not.
    bool save();
    // Points the program's journal at the place and remembers it in Journal.ini; refused while the
    // journal in use has a run to settle, unless it was just moved (the move made sure it had none).
    bool usePlace(const JournalPlace &place, bool moved = false);
    void message(const QString &text);

    Program &program_;
    JournalPlace saved_;
    QString account_;
    qint64 savedLimit_ = 0;
    bool limitKnown_ = false;
    // Whether the embedded journal in use holds checks that could move to a server.
    bool movable_ = false;
    // The person chose an SSL mode: the host no longer suggests one.
    bool sslChosen_ = false;
};
