#include "windows/frmPrintedChecks.h"

#include "platform/MessageBoxes.h"
#include "windows/Twips.h"
#include "words/Currency.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QStringList kMarkTexts = {QStringLiteral("Printed well"), QStringLiteral("Spoiled, print again"),
                                QStringLiteral("Void")};

QTableWidgetItem *cell(const QString &text, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment);
    return item;
}

QString checksText(qsizetype count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" check was") : QStringLiteral(" checks were"));
}

} // namespace

frmPrintedChecks::frmPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), checks_(checks), messages_(messages), confirmed_(checks.size(), PrintMark::Good) {
    setObjectName(QStringLiteral("frmPrintedChecks"));
    setWindowTitle(QStringLiteral("Printed Checks"));
    setModal(true);

    lblPrintedChecks = new QLabel(this);
    lblPrintedChecks->setObjectName(QStringLiteral("lblPrintedChecks"));
    lblPrintedChecks->setTextFormat(Qt::PlainText);
    lblPrintedChecks->setWordWrap(true);
    lblPrintedChecks->setText(checksText(checks.size()) +
                              QStringLiteral(" printed. Look at each form: mark a spoiled one to print its check "
                                             "again on the next form, or a void one, then choose OK. If all "
                                             "came out right, press Return."));

    grdPrintedChecks = new QTableWidget(static_cast<int>(checks.size()), 6, this);
    grdPrintedChecks->setObjectName(QStringLiteral("grdPrintedChecks"));
    grdPrintedChecks->setHorizontalHeaderLabels({QStringLiteral("Check No."), QStringLiteral("Pay to the Order of"),
                                                 QStringLiteral("Amount"), QStringLiteral("Sheet"),
                                                 QStringLiteral("Slot"), QStringLiteral("Form")});
    grdPrintedChecks->verticalHeader()->hide();
    grdPrintedChecks->setSelectionMode(QAbstractItemView::NoSelection);
    grdPrintedChecks->setTabKeyNavigation(false);
    const QLocale locale = ProgramLocale();
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    for (int row = 0; row < checks.size(); ++row) {
        const JournalCheck &check = checks[row];
        grdPrintedChecks->setItem(row, 0, cell(QString::number(check.checkNo), right));
        grdPrintedChecks->setItem(row, 1, cell(check.payee));
        grdPrintedChecks->setItem(
            row, 2, cell(FormatCurrency(Currency::fromTenThousandths(check.amountCents * 100), locale), right));
        grdPrintedChecks->setItem(row, 3, cell(QString::number(check.sheet), right));
        grdPrintedChecks->setItem(row, 4, cell(QString::number(check.slot), right));
        auto *mark = new QComboBox(grdPrintedChecks);
        mark->setObjectName(ArrayName("cboMark", row));
        mark->addItems(kMarkTexts);
        grdPrintedChecks->setCellWidget(row, 5, mark);
        cboMark.append(mark);
    }
    grdPrintedChecks->resizeColumnsToContents();
    grdPrintedChecks->horizontalHeader()->setStretchLastSection(true);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setToolTip(QStringLiteral("Keeps the marks; Return with all forms printed well"));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &frmPrintedChecks::cmdOK_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblPrintedChecks);
    layout->addWidget(grdPrintedChecks);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    resize(620, 200 + 30 * static_cast<int>(qMin<qsizetype>(checks.size(), 12)));
    cmdOK->setFocus();
}

void frmPrintedChecks::cmdOK_Click() {
    QList<PrintMark> marks;
    QStringList spoiled;
    QStringList voided;
    for (int row = 0; row < cboMark.size(); ++row) {
        const auto mark = static_cast<PrintMark>(cboMark[row]->currentIndex());
        marks.append(mark);
        const QString number = QString::number(checks_[row].checkNo);
        if (mark == PrintMark::Spoiled) {
            spoiled << number;
        } else if (mark == PrintMark::Void) {
            voided << number;
        }
    }
    if (!spoiled.isEmpty() || !voided.isEmpty()) {
        QStringList lines;
        if (!spoiled.isEmpty()) {
            lines << QStringLiteral("Spoiled, voided and printed again on the next forms: Check No. ") +
                         spoiled.join(QStringLiteral(", "));
        }
        if (!voided.isEmpty()) {
            lines << QStringLiteral("Voided, not printed again: Check No. ") + voided.join(QStringLiteral(", "));
        }
        lines << QStringLiteral("Is that right?");
        if (messages_.MsgBox(lines.join(QStringLiteral("\r\n")), MsgButtons::YesNo, QStringLiteral("Printed Checks"),
                             MsgResult::No) != MsgResult::Yes) {
            return;
        }
    }
    confirmed_ = marks;
    accept();
}

QList<PrintMark> ReviewPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent) {
    frmPrintedChecks dialog(checks, messages, parent);
    dialog.exec();
    return dialog.Marks();
}
