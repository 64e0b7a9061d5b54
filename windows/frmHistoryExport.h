#pragma once

#include "history/HistoryExport.h"

#include <QDialog>

class MessageBoxes;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Export Positive Pay": the bank's layout (a built-in one or the person's own columns), the one
// account the file is for, and whether only what is new since the last export goes out (the
// default). OK is the default button; Escape cancels.
class frmExport : public QDialog {
    Q_OBJECT

public:
    frmExport(const ExportSettings &settings, const QList<ExportAccount> &accounts, MessageBoxes &messages,
              QWidget *parent = nullptr);

    // The export the person chose; valid once the dialog was accepted.
    ExportRequest Request() const { return request_; }
    // The settings to keep: the own layout as typed and the layout chosen.
    ExportSettings Settings() const { return settings_; }

    // OK: checks the own layout's boxes (naming the one to correct) and closes.
    void cmdOK_Click();
    void cboLayout_Changed();

    QComboBox *cboLayout;
    QComboBox *cboAccount;
    QCheckBox *chkOnlyNew;
    QGroupBox *fraOwnLayout;
    QLineEdit *txtColumns;
    QLineEdit *txtDateFormat;
    QLineEdit *txtVoidCode;
    QCheckBox *chkHeader;
    QSpinBox *txtPayeeLength;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;

private:
    // The own layout as its boxes describe it; empty error when it can be used.
    PayLayout ownLayout(QString *error, QWidget **wrong) const;

    MessageBoxes &messages_;
    QList<PayLayout> layouts_;
    QList<ExportAccount> accounts_;
    ExportSettings settings_;
    ExportRequest request_;
};
