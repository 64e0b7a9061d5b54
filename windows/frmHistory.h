#pragma once

#include "history/HistoryExport.h"
#include "history/HistoryModel.h"

#include <QDialog>
#include <QWidget>

struct Platform;
class CheckJournal;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The history of issued and voided checks: filters (who and on which computer among them), the list
// read from the journal a page at a time, the payable total of the checks shown, approving a check
// that waits for a second person, voiding an issued check and the two exports. It reads through the
// journal's one connection and writes only through the journal.
class frmHistory : public QWidget {
    Q_OBJECT

public:
    // Shows the journal, open or (not written yet) closed; the journal stays the caller's.
    frmHistory(Platform &platform, CheckJournal &journal, QWidget *parent = nullptr);
    ~frmHistory() override;

    // Reads the journal again when it changed since the last reading (a print run, a void),
    // keeping the current check. Runs whenever the window becomes active.
    void Refresh();

    // The filter the controls describe.
    HistoryFilter Filter() const;
    HistoryModel &Model() const { return *model_; }

    // Offers a filter by checkbook (name, account digits), the open one chosen, and every checkbook
    // last. With one checkbook the filter stays hidden and every account shows.
    void SetCheckbooks(const QList<std::pair<QString, QString>> &books, int open);

    void FilterChanged();
    void grdChecks_CurrentChanged();
    void cmdVoid_Click();
    void cmdApprove_Click();
    void cmdExportCsv_Click();
    void cmdExportPositivePay_Click();

    QGroupBox *fraFilter;
    QCheckBox *chkDateFrom;
    QDateEdit *dtpDateFrom;
    QCheckBox *chkDateTo;
    QDateEdit *dtpDateTo;
    QLineEdit *txtPayee;
    QComboBox *cboStatus;
    QLineEdit *txtCheckNoFrom;
    QLineEdit *txtCheckNoTo;
    QLabel *lblCheckbook;
    QComboBox *cboCheckbook;
    QComboBox *cboUser;
    QComboBox *cboComputer;
    QTableView *grdChecks;
    QLabel *lblTotal;
    QPushButton *cmdApprove;
    QPushButton *cmdVoid;
    QPushButton *cmdExportCsv;
    QPushButton *cmdExportPositivePay;

private:
    void createFilters();
    void createList();
    void createButtons();
    void showTotals();
    // Offers the people and computers the journal knows, keeping the ones chosen. Read when the
    // person goes to either box: reading them takes a pass over every check, which the window's
    // first rows do not wait for.
    void loadWhoChoices();
    // The selected check, or nullptr.
    const HistoryRow *currentCheck() const;
    // Asks where, writes the export of the shown checks there and says how it went.
    void exportShown(const ExportRequest &request, const QString &namePrefix);
    // Runs the queries again and goes back to the check with this id, reading as far as it was.
    void refreshAt(qint64 id, int rowsRead);
    // The journal's count of rows changed through its connection; -1 when it is not open.
    qint64 journalChanges() const;

protected:
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Platform &platform_;
    CheckJournal &journal_;
    HistoryModel *model_;
    qint64 seenChanges_ = -1;
    bool whoRead_ = false; // the choices of the person and computer boxes are up to date
};

// Asks the reason and the date for voiding a check. OK is enabled once a reason is typed; the date
// runs from the day the check was printed to today.
class frmVoidCheck : public QDialog {
    Q_OBJECT

public:
    frmVoidCheck(const HistoryRow &check, const QDate &today, QWidget *parent = nullptr);

    QString Reason() const;
    QDate VoidDate() const;

    QLabel *lblCheck;
    QLineEdit *txtReason;
    QDateEdit *dtpVoidDate;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};

// Opens the check journal (when it exists) and shows its history window, or says why the journal
// cannot be read. A journal not written yet shows an empty history and no file is made for it.
frmHistory *ShowHistoryWindow(Platform &platform, CheckJournal &journal, QWidget *parent);
