#pragma once

#include "import/CheckImport.h"

#include <QDialog>

struct Platform;
class ImportModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

// "Import Checks": a CSV file's rows with their verdicts, to bring into the register of pending
// checks. The person picks the file, says which column is the payee, the amount and the memo (the
// choice is remembered), and unticks rows to leave out; Import closes with the rows kept. Rows the
// entry rules refuse cannot be ticked; rows printed before start unticked.
class frmImport : public QDialog {
    Q_OBJECT

public:
    // printed: the journal's printed checks of the account (see CheckJournal::LoadPrintedContents).
    frmImport(Platform &platform, QSet<QString> printed, QWidget *parent = nullptr);

    // The rows as the person left them; the kept ones are imported.
    const QList<ImportRow> &Rows() const;
    qsizetype KeptCount() const;
    ImportColumns Columns() const { return columns_; }

    // Reads the file named in the file box and shows its rows; false after saying why.
    bool LoadFile();
    void cmdBrowse_Click();
    void cmdImport_Click();

    QLineEdit *txtFile;
    QPushButton *cmdBrowse;
    QComboBox *cboPayee;
    QComboBox *cboAmount;
    QComboBox *cboMemo;
    QCheckBox *chkHeader;
    QTableView *grdRows;
    QLabel *lblSummary;
    QPushButton *cmdImport;
    QPushButton *cmdCancel;

private:
    void fillColumnBoxes();
    // The columns from the boxes, then every row judged again.
    void columnsChanged();
    void showColumns();
    void updateSummary();

    Platform &platform_;
    QSet<QString> printed_;
    QList<QStringList> table_;
    QString loaded_; // the file whose rows are shown
    ImportColumns columns_;
    ImportModel *model_;
    bool showing_ = false;
};
