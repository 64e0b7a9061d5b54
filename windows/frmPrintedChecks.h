#pragma once

#include "journal/CheckJournal.h"

#include <QDialog>
#include <QList>

class MessageBoxes;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

// "Printed Checks": after a run, the forms it printed (check number, payee, amount, sheet and
// slot), each marked printed well (the default), spoiled (print again) or void. Return accepts;
// closing the window counts as all printed well.
class frmPrintedChecks : public QDialog {
    Q_OBJECT

public:
    frmPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent = nullptr);

    // The marks the person confirmed with OK; all printed well when the window was closed.
    QList<PrintMark> Marks() const { return confirmed_; }

    // OK: asks to confirm any spoiled or void form, then closes with those marks.
    void cmdOK_Click();

    QLabel *lblPrintedChecks = nullptr;
    QTableWidget *grdPrintedChecks = nullptr;
    QList<QComboBox *> cboMark;
    QPushButton *cmdOK = nullptr;

private:
    QList<JournalCheck> checks_;
    MessageBoxes &messages_;
    QList<PrintMark> confirmed_;
};

// Shows the dialog modally over `parent` and gives the marks.
QList<PrintMark> ReviewPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent);
