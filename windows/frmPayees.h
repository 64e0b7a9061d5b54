#pragma once

#include "journal/Payees.h"

#include <QDialog>
#include <QList>
#include <array>

struct Platform;
class CheckJournal;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// Payees: the payee book, a list with a search box beside the chosen payee's name, address lines,
// default memo and notes. New, Save and Delete (after a question) change the book at once; import
// and export go through CSV files. Choosing another payee or closing with unsaved edits asks
// Save / Discard / Cancel. Checks already written never change with the book.
class frmPayees : public QDialog {
    Q_OBJECT

public:
    frmPayees(Platform &platform, CheckJournal &journal, QWidget *parent = nullptr);

    void lstPayees_Click();
    void cmdNew_Click();
    void cmdSave_Click();
    void cmdDelete_Click();
    void cmdImport_Click();
    void cmdExport_Click();

    bool IsDirty() const { return dirty_; }
    // The payee shown in the fields (id 0: a new one).
    const Payee &Shown() const { return shown_; }

    QLineEdit *txtSearch;
    QListWidget *lstPayees;
    QLineEdit *txtName;
    std::array<QLineEdit *, kMostPayeeAddressLines> txtAddress{};
    QLineEdit *txtMemo;
    QPlainTextEdit *txtNotes;
    QLabel *lblStatus;
    QPushButton *cmdNew;
    QPushButton *cmdSave;
    QPushButton *cmdDelete;
    QPushButton *cmdImport;
    QPushButton *cmdExport;
    QPushButton *cmdClose;

    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls();
    // Reloads the book and selects the payee with that id (0: the first shown).
    void fillList(qint64 select);
    void filterList();
    void showPayee(const Payee &payee);
    Payee edited() const;
    // Save / Discard / Cancel when the fields have unsaved edits; false on Cancel or a failed save.
    bool settleEdits();
    bool save();
    void message(const QString &text);

    Platform &platform_;
    CheckJournal &journal_;
    QList<Payee> payees_;
    Payee shown_;
    bool dirty_ = false;
    bool filling_ = false;
};
