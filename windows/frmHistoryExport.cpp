#include "windows/frmHistoryExport.h"

#include "platform/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QLabel *Buddy(const QString &caption, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

template <typename T> T *Named(T *widget, const char *name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

frmExport::frmExport(const ExportSettings &settings, const QList<ExportAccount> &accounts, MessageBoxes &messages,
                     QWidget *parent)
    : QDialog(parent), messages_(messages), layouts_(BuiltInLayouts()), accounts_(accounts), settings_(settings) {
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export Positive Pay"));
    layouts_.append(settings.custom);
    layouts_.last().name = CustomLayoutName();

    cboLayout = Named(new QComboBox(this), "cboLayout");
    for (const PayLayout &layout : layouts_) {
        cboLayout->addItem(layout.name);
    }
    cboAccount = Named(new QComboBox(this), "cboAccount");
    for (const ExportAccount &account : accounts) {
        cboAccount->addItem(account.typed + QStringLiteral(" (") + QString::number(account.checks) +
                            (account.checks == 1 ? QStringLiteral(" check)") : QStringLiteral(" checks)")));
    }
    chkOnlyNew = Named(new QCheckBox(QStringLiteral("Only checks &new since the last export"), this), "chkOnlyNew");
    chkOnlyNew->setChecked(true);

    fraOwnLayout = Named(new QGroupBox(QStringLiteral("My own layout"), this), "fraOwnLayout");
    txtColumns = Named(new QLineEdit(FieldsText(settings.custom.fields), fraOwnLayout), "txtColumns");
    txtColumns->setToolTip(QStringLiteral("In order, separated by commas: account, number, amount, date, code, payee"));
    txtDateFormat = Named(new QLineEdit(settings.custom.dateFormat, fraOwnLayout), "txtDateFormat");
    txtDateFormat->setToolTip(QStringLiteral("MM, DD and YY or YYYY, e.g. MMDDYY or MM/DD/YYYY"));
    txtVoidCode = Named(new QLineEdit(settings.custom.voidCode, fraOwnLayout), "txtVoidCode");
    txtVoidCode->setMaxLength(2);
    chkHeader = Named(new QCheckBox(QStringLiteral("&Header row first"), fraOwnLayout), "chkHeader");
    chkHeader->setChecked(settings.custom.header);
    txtPayeeLength = Named(new QSpinBox(fraOwnLayout), "txtPayeeLength");
    txtPayeeLength->setRange(0, 200);
    txtPayeeLength->setSpecialValueText(QStringLiteral("whole name"));
    txtPayeeLength->setValue(settings.custom.payeeLength);
    auto *own = new QFormLayout(fraOwnLayout);
    own->addRow(Buddy(QStringLiteral("Col&umns:"), txtColumns, fraOwnLayout), txtColumns);
    own->addRow(Buddy(QStringLiteral("&Date format:"), txtDateFormat, fraOwnLayout), txtDateFormat);
    own->addRow(Buddy(QStringLiteral("&Void code:"), txtVoidCode, fraOwnLayout), txtVoidCode);
    own->addRow(Buddy(QStringLiteral("Payee &length:"), txtPayeeLength, fraOwnLayout), txtPayeeLength);
    own->addRow(chkHeader);

    auto *buttons = new QDialogButtonBox(this);
    cmdOK = Named(buttons->addButton(QStringLiteral("&Export…"), QDialogButtonBox::AcceptRole), "cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "cmdCancel");
    connect(cmdOK, &QPushButton::clicked, this, &frmExport::cmdOK_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cboLayout, &QComboBox::currentIndexChanged, this, &frmExport::cboLayout_Changed);

    auto *form = new QFormLayout;
    form->addRow(Buddy(QStringLiteral("Bank &layout:"), cboLayout, this), cboLayout);
    form->addRow(Buddy(QStringLiteral("&Account:"), cboAccount, this), cboAccount);
    form->addRow(chkOnlyNew);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(fraOwnLayout);
    layout->addWidget(buttons);

    const qsizetype last = [&] {
        for (qsizetype i = 0; i < layouts_.size(); ++i) {
            if (layouts_[i].name == settings.lastLayout) {
                return i;
            }
        }
        return qsizetype{0};
    }();
    cboLayout->setCurrentIndex(static_cast<int>(last));
    cboLayout_Changed();
    cboLayout->setFocus();
}

void frmExport::cboLayout_Changed() {
    fraOwnLayout->setEnabled(cboLayout->currentIndex() == layouts_.size() - 1);
}

PayLayout frmExport::ownLayout(QString *error, QWidget **wrong) const {
    PayLayout layout = settings_.custom;
    layout.name = CustomLayoutName();
    if (!ParseFields(txtColumns->text(), layout.fields, error)) {
        *wrong = txtColumns;
        return layout;
    }
    layout.dateFormat = txtDateFormat->text().trimmed().toUpper();
    layout.voidCode = txtVoidCode->text().trimmed().toUpper();
    layout.header = chkHeader->isChecked();
    layout.payeeLength = txtPayeeLength->value();
    *error = LayoutProblem(layout);
    *wrong = error->startsWith(QStringLiteral("Date")) ? static_cast<QWidget *>(txtDateFormat) : txtVoidCode;
    return layout;
}

void frmExport::cmdOK_Click() {
    if (accounts_.isEmpty()) {
        reject();
        return;
    }
    const int index = cboLayout->currentIndex();
    PayLayout layout = layouts_.value(index);
    if (index == layouts_.size() - 1) {
        QString error;
        QWidget *wrong = nullptr;
        layout = ownLayout(&error, &wrong);
        if (!error.isEmpty()) {
            messages_.MsgBox(error + QStringLiteral("\r\nCorrect it, or choose one of the bank layouts."),
                             MsgButtons::OK, windowTitle());
            wrong->setFocus();
            return;
        }
        settings_.custom = layout;
    }
    settings_.lastLayout = layout.name;
    request_.format = ExportFormat::PositivePay;
    request_.layout = layout;
    request_.accountDigits = accounts_.value(cboAccount->currentIndex()).digits;
    request_.onlyNew = chkOnlyNew->isChecked();
    accept();
}
