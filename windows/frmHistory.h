#pragma once

#include "history/HistoryExport.h"
#include "history/HistoryModel.h"

#include <QDialog>
#include <QWidget>

struct Platform;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// The history of issued and voided checks: filters, the list read from the journal a page at a
// time, the total of the checks shown, voiding an issued check and the two exports.
class frmHistory : public QWidget {
    Q_OBJECT

public:
    // Shows the journal on an open connection, which stays the caller's.
    frmHistory(Platform &platform, QString connectionName, QWidget *parent = nullptr);
    ~frmHistory() override;
    // The window closes the connection when it goes (for a connection opened just for it).
    void CloseConnectionWithWindow() { ownsConnection_ = true; }

    // The filter the controls describe.
    HistoryFilter Filter() const;
    HistoryModel &Model() const { return *model_; }

    void FilterChanged();
    void grdChecks_CurrentChanged();
    void cmdVoid_Click();
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
    QTableView *grdChecks;
    QLabel *lblTotal;
    QPushButton *cmdVoid;
    QPushButton *cmdExportCsv;
    QPushButton *cmdExportPositivePay;

private:
    void createFilters();
    void createList();
    void createButtons();
    void showTotals();
    // The selected check, or nullptr.
    const HistoryRow *currentCheck() const;
    void exportShown(ExportFormat format);
    // Runs the queries again and goes back to the check with this id, reading as far as it was.
    void refreshAt(qint64 id, int rowsRead);

    Platform &platform_;
    QString connection_;
    bool ownsConnection_ = false;
    HistoryModel *model_;
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

// Opens the check journal in the program's folder and shows its history window, or says why the
// journal cannot be read. A journal not written yet shows an empty history.
frmHistory *ShowHistoryWindow(Platform &platform, QWidget *parent);
