#include "windows/frmPayees.h"

#include "history/PayeeCsv.h"
#include "journal/CheckJournal.h"
#include "platform/Platform.h"
#include "register/Register.h"
#include "windows/Controls.h"

#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Payees");
constexpr int kIdRole = Qt::UserRole;
// Bad rows an import names before it says how many more there are.
constexpr int kProblemsShown = 10;

QPushButton *makeButton(const QString &caption, const QString &name, QWidget *parent) {
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

QLineEdit *makeBox(const QString &name, int maxLength, QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setMaxLength(maxLength);
    return box;
}

} // namespace

frmPayees::frmPayees(Platform &platform, CheckJournal &journal, QWidget *parent)
    : QDialog(parent), platform_(platform), journal_(journal) {
    setObjectName(QStringLiteral("frmPayees"));
    setWindowTitle(kTitle);
    createControls();
    fillList(0);
    txtSearch->setFocus();
}

void frmPayees::createControls() {
    txtSearch = makeBox(QStringLiteral("txtSearch"), 100, this);
    txtSearch->setPlaceholderText(QStringLiteral("Part of a name"));
    txtSearch->installEventFilter(this);
    lstPayees = new QListWidget(this);
    lstPayees->setObjectName(QStringLiteral("lstPayees"));
    auto *searchLabel = new QLabel(QStringLiteral("Sea&rch:"), this);
    searchLabel->setBuddy(txtSearch);
    auto *listLabel = new QLabel(QStringLiteral("&Payees:"), this);
    listLabel->setBuddy(lstPayees);

    txtName = makeBox(QStringLiteral("txtName"), kPayToWidth, this);
    for (int line = 0; line < kMostPayeeAddressLines; ++line) {
        txtAddress[line] = makeBox(QStringLiteral("txtAddress%1").arg(line), kPayeeAddressWidth, this);
    }
    txtMemo = makeBox(QStringLiteral("txtMemo"), kMemoWidth, this);
    txtNotes = new QPlainTextEdit(this);
    txtNotes->setObjectName(QStringLiteral("txtNotes"));
    txtNotes->setTabChangesFocus(true);
    txtNotes->setFixedHeight(txtNotes->fontMetrics().lineSpacing() * 4);
    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Name:"), txtName);
    for (int line = 0; line < kMostPayeeAddressLines; ++line) {
        fields->addRow(QStringLiteral("Address &%1:").arg(line + 1), txtAddress[line]);
    }
    fields->addRow(QStringLiteral("Default &memo:"), txtMemo);
    fields->addRow(QStringLiteral("No&tes:"), txtNotes);
    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));
    lblStatus->setTextFormat(Qt::PlainText);
    lblStatus->setWordWrap(true);

    cmdNew = makeButton(QStringLiteral("Ne&w"), QStringLiteral("cmdNew"), this);
    cmdSave = makeButton(QStringLiteral("&Save"), QStringLiteral("cmdSave"), this);
    // Return in a field saves the payee.
    cmdSave->setDefault(true);
    cmdDelete = makeButton(QStringLiteral("&Delete"), QStringLiteral("cmdDelete"), this);
    cmdImport = makeButton(QStringLiteral("&Import..."), QStringLiteral("cmdImport"), this);
    cmdExport = makeButton(QStringLiteral("E&xport..."), QStringLiteral("cmdExport"), this);
    cmdClose = makeButton(QStringLiteral("&Close"), QStringLiteral("cmdClose"), this);

    auto *left = new QVBoxLayout;
    left->addWidget(searchLabel);
    left->addWidget(txtSearch);
    left->addWidget(listLabel);
    left->addWidget(lstPayees, 1);
    auto *right = new QVBoxLayout;
    right->addLayout(fields);
    right->addWidget(lblStatus);
    right->addStretch(1);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left, 2);
    columns->addLayout(right, 3);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {cmdNew, cmdSave, cmdDelete}) {
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    for (QPushButton *button : {cmdImport, cmdExport, cmdClose}) {
        buttons->addWidget(button);
    }
    auto *whole = new QVBoxLayout(this);
    whole->addLayout(columns, 1);
    whole->addLayout(buttons);

    QWidget *order[] = {txtSearch,     lstPayees,     txtName,   txtAddress[0], txtAddress[1],
                        txtAddress[2], txtAddress[3], txtMemo,   txtNotes,      cmdSave,
                        cmdNew,        cmdDelete,     cmdImport, cmdExport,     cmdClose};
    for (size_t i = 1; i < std::size(order); ++i) {
        setTabOrder(order[i - 1], order[i]);
    }

    connect(txtSearch, &QLineEdit::textChanged, this, &frmPayees::filterList);
    connect(lstPayees, &QListWidget::currentRowChanged, this, &frmPayees::lstPayees_Click);
    const auto edited = [this] {
        if (!filling_) {
            dirty_ = true;
            lblStatus->clear();
        }
    };
    for (QLineEdit *box : {txtName, txtAddress[0], txtAddress[1], txtAddress[2], txtAddress[3], txtMemo}) {
        connect(box, &QLineEdit::textEdited, this, edited);
    }
    connect(txtNotes, &QPlainTextEdit::textChanged, this, edited);
    connect(cmdNew, &QPushButton::clicked, this, &frmPayees::cmdNew_Click);
    connect(cmdSave, &QPushButton::clicked, this, &frmPayees::cmdSave_Click);
    connect(cmdDelete, &QPushButton::clicked, this, &frmPayees::cmdDelete_Click);
    connect(cmdImport, &QPushButton::clicked, this, &frmPayees::cmdImport_Click);
    connect(cmdExport, &QPushButton::clicked, this, &frmPayees::cmdExport_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmPayees::reject);
    resize(sizeHint().width() + 200, sizeHint().height() + 100);
}

bool frmPayees::eventFilter(QObject *watched, QEvent *event) {
    // Return in the search box goes to the first payee found rather than saving.
    if (watched == txtSearch && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Down) {
            for (int row = 0; row < lstPayees->count(); ++row) {
                if (!lstPayees->item(row)->isHidden()) {
                    lstPayees->setCurrentRow(row);
                    break;
                }
            }
            lstPayees->setFocus();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPayees::fillList(qint64 select) {
    if (const FileResult loaded = journal_.LoadPayees(payees_); !loaded) {
        message(loaded.error);
    }
    {
        const QSignalBlocker block(lstPayees);
        lstPayees->clear();
        for (const Payee &payee : std::as_const(payees_)) {
            auto *item = new QListWidgetItem(payee.name, lstPayees);
            item->setData(kIdRole, payee.id);
        }
    }
    filterList();
    int row = -1;
    for (int i = 0; i < payees_.size() && select != 0; ++i) {
        if (payees_[i].id == select) {
            row = i;
        }
    }
    for (int i = 0; i < lstPayees->count() && row < 0; ++i) {
        if (!lstPayees->item(i)->isHidden()) {
            row = i;
        }
    }
    {
        const QSignalBlocker block(lstPayees);
        lstPayees->setCurrentRow(row);
    }
    showPayee(row >= 0 ? payees_[row] : Payee{});
}

void frmPayees::filterList() {
    const QString part = txtSearch->text().trimmed();
    for (int row = 0; row < lstPayees->count(); ++row) {
        QListWidgetItem *item = lstPayees->item(row);
        item->setHidden(!part.isEmpty() && !item->text().contains(part, Qt::CaseInsensitive));
    }
}

void frmPayees::showPayee(const Payee &payee) {
    filling_ = true;
    shown_ = payee;
    txtName->setText(payee.name);
    for (int line = 0; line < kMostPayeeAddressLines; ++line) {
        txtAddress[line]->setText(payee.address.value(line));
    }
    txtMemo->setText(payee.memo);
    txtNotes->setPlainText(payee.notes);
    cmdDelete->setEnabled(payee.id != 0);
    lblStatus->clear();
    filling_ = false;
    dirty_ = false;
}

Payee frmPayees::edited() const {
    Payee payee = shown_;
    payee.name = txtName->text();
    payee.address.clear();
    for (QLineEdit *line : txtAddress) {
        payee.address << line->text().trimmed();
    }
    payee.address = TrimmedAddress(payee.address);
    payee.memo = txtMemo->text();
    payee.notes = txtNotes->toPlainText();
    return payee;
}

void frmPayees::lstPayees_Click() {
    const int row = lstPayees->currentRow();
    if (filling_ || row < 0 || row >= payees_.size() || payees_[row].id == shown_.id) {
        return;
    }
    const qint64 wanted = payees_[row].id;
    if (!settleEdits()) {
        const QSignalBlocker block(lstPayees);
        lstPayees->setCurrentRow(static_cast<int>(
            std::find_if(payees_.cbegin(), payees_.cend(), [this](const Payee &p) { return p.id == shown_.id; }) -
            payees_.cbegin()));
        return;
    }
    // A save may have renamed the payee shown and moved the rows.
    fillList(wanted);
}

void frmPayees::cmdNew_Click() {
    if (!settleEdits()) {
        return;
    }
    {
        const QSignalBlocker block(lstPayees);
        lstPayees->setCurrentRow(-1);
    }
    showPayee(Payee{});
    txtName->setFocus();
}

bool frmPayees::save() {
    const Payee payee = edited();
    qint64 id = 0;
    if (const FileResult saved = journal_.SavePayee(payee, &id); !saved) {
        lblStatus->setText(saved.error);
        message(saved.error);
        txtName->setFocus();
        return false;
    }
    dirty_ = false;
    fillList(id);
    lblStatus->setText(QStringLiteral("Saved."));
    return true;
}

void frmPayees::cmdSave_Click() {
    if (save()) {
        lstPayees->setFocus();
    }
}

void frmPayees::cmdDelete_Click() {
    if (shown_.id == 0) {
        return;
    }
    const MsgResult answer = platform_.messages.MsgBox(
        QStringLiteral("Delete \"%1\" from the payee book? Checks already written to this payee stay as they are.")
            .arg(shown_.name),
        MsgButtons::YesNo, kTitle, MsgResult::No);
    if (answer != MsgResult::Yes) {
        return;
    }
    if (const FileResult deleted = journal_.DeletePayee(shown_.id); !deleted) {
        message(deleted.error);
        return;
    }
    dirty_ = false;
    fillList(0);
    lstPayees->setFocus();
}

bool frmPayees::settleEdits() {
    if (!dirty_) {
        return true;
    }
    const QString name = txtName->text().trimmed().isEmpty() ? QStringLiteral("the new payee") : txtName->text();
    const MsgResult answer =
        platform_.messages.MsgBox(QStringLiteral("The payee \"%1\" has changed. Save the changes?").arg(name),
                                  MsgButtons::SaveDiscardCancel, kTitle, MsgResult::Save);
    if (answer == MsgResult::Save) {
        return save();
    }
    if (answer == MsgResult::Discard) {
        showPayee(shown_);
        return true;
    }
    return false;
}

void frmPayees::cmdImport_Click() {
    if (!settleEdits()) {
        return;
    }
    const QString path = platform_.saveDialog.GetOpenFileName(QStringLiteral("Import Payees"), QString(),
                                                              QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty()) {
        return;
    }
    PayeeRows rows;
    if (const FileResult read = ReadPayeesFile(path, rows); !read) {
        message(read.error);
        return;
    }
    if (!rows.problems.isEmpty()) {
        QStringList shown = rows.problems.mid(0, kProblemsShown);
        if (rows.problems.size() > kProblemsShown) {
            shown << QStringLiteral("... and %1 more.").arg(rows.problems.size() - kProblemsShown);
        }
        const QString text =
            QStringLiteral("%1 rows of %2 cannot be taken into the payee book:\r\n%3\r\n\r\n")
                .arg(rows.problems.size())
                .arg(QDir::toNativeSeparators(path), shown.join(QStringLiteral("\r\n"))) +
            (rows.payees.isEmpty() ? QStringLiteral("No row can be taken in.")
                                   : QStringLiteral("Take in the %1 other rows?").arg(rows.payees.size()));
        if (rows.payees.isEmpty()) {
            message(text);
            return;
        }
        if (platform_.messages.MsgBox(text, MsgButtons::YesNo, kTitle, MsgResult::No) != MsgResult::Yes) {
            return;
        }
    }
    int added = 0;
    int changed = 0;
    if (const FileResult imported = journal_.ImportPayees(rows.payees, &added, &changed); !imported) {
        message(imported.error);
        return;
    }
    fillList(shown_.id);
    lblStatus->setText(QStringLiteral("%1 payees added, %2 changed.").arg(added).arg(changed));
}

void frmPayees::cmdExport_Click() {
    if (!settleEdits()) {
        return;
    }
    const QString path =
        platform_.saveDialog.GetSaveFileName(QStringLiteral("Export Payees"), QStringLiteral("Payees.csv"),
                                             QStringLiteral("CSV files (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    if (const FileResult exported = ExportPayees(payees_, path); !exported) {
        message(exported.error);
        return;
    }
    lblStatus->setText(
        QStringLiteral("%1 payees written to %2.").arg(payees_.size()).arg(QDir::toNativeSeparators(path)));
}

void frmPayees::reject() {
    if (settleEdits()) {
        QDialog::reject();
    }
}

void frmPayees::message(const QString &text) {
    platform_.messages.MsgBox(text, MsgButtons::OK, kTitle);
}
