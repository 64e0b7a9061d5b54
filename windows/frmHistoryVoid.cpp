#include "windows/frmHistory.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

frmVoidCheck::frmVoidCheck(const HistoryRow &check, const QDate &today, QWidget *parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmVoidCheck"));
    setWindowTitle(QStringLiteral("Void Check"));

    lblCheck = new QLabel(QStringLiteral("Check ") + QString::number(check.checkNo) + QStringLiteral(" to ") +
                              check.payee + QStringLiteral(" for ") + GroupedAmount(check.amountCents) +
                              QStringLiteral(", printed ") + check.datePrinted,
                          this);
    lblCheck->setObjectName(QStringLiteral("lblCheck"));
    lblCheck->setWordWrap(true);

    txtReason = new QLineEdit(this);
    txtReason->setObjectName(QStringLiteral("txtReason"));
    dtpVoidDate = new QDateEdit(this);
    dtpVoidDate->setObjectName(QStringLiteral("dtpVoidDate"));
    dtpVoidDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    dtpVoidDate->setCalendarPopup(true);
    const QDate printed = QDate::fromString(check.datePrinted, Qt::ISODate);
    if (printed.isValid()) {
        dtpVoidDate->setMinimumDate(printed);
    }
    dtpVoidDate->setMaximumDate(printed.isValid() && printed > today ? printed : today);
    dtpVoidDate->setDate(today);

    auto *form = new QFormLayout;
    auto *reasonLabel = new QLabel(QStringLiteral("&Reason:"), this);
    reasonLabel->setBuddy(txtReason);
    auto *dateLabel = new QLabel(QStringLiteral("Void &date:"), this);
    dateLabel->setBuddy(dtpVoidDate);
    form->addRow(reasonLabel, txtReason);
    form->addRow(dateLabel, dtpVoidDate);

    auto *buttons = new QDialogButtonBox(this);
    cmdOK = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdOK->setEnabled(false);
    cmdCancel = buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(txtReason, &QLineEdit::textChanged, this,
            [this](const QString &text) { cmdOK->setEnabled(!text.trimmed().isEmpty()); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblCheck);
    layout->addLayout(form);
    layout->addWidget(buttons);
    txtReason->setFocus();
}

QString frmVoidCheck::Reason() const {
    return txtReason->text().trimmed();
}

QDate frmVoidCheck::VoidDate() const {
    return dtpVoidDate->date();
}
