#include "windows/frmPrintedChecks.h"

#include "platform/MessageBoxes.h"
#include "windows/Twips.h"
#include "words/Currency.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QStringList kMarkTexts = {QStringLiteral("Printed well"), QStringLiteral("Spoiled, print again"),
                                QStringLiteral("Void")};

QString checksText(qsizetype count) {
    return QString::number(count) + (count == 1 ? QStringLiteral(" check was") : QStringLiteral(" checks were"));
}

// Check numbers for a message: all of a few, the first twenty of many.
QString NumberList(const QStringList &numbers) {
    constexpr qsizetype kShown = 20;
    if (numbers.size() <= kShown) {
        return numbers.join(QStringLiteral(", "));
    }
    return numbers.first(kShown).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           QString::number(numbers.size() - kShown) + QStringLiteral(" more");
}

struct MarkedNumbers {
    QStringList spoiled;
    QStringList voided;
};

MarkedNumbers Marked(const PrintedChecksModel &model) {
    MarkedNumbers marked;
    for (int row = 0; row < model.rowCount(); ++row) {
        const PrintMark mark = model.marks().at(row);
        if (mark == PrintMark::Spoiled) {
            marked.spoiled << QString::number(model.checkNo(row));
        } else if (mark == PrintMark::Void) {
            marked.voided << QString::number(model.checkNo(row));
        }
    }
    return marked;
}

QStringList MarkedLines(const MarkedNumbers &marked) {
    QStringList lines;
    if (!marked.spoiled.isEmpty()) {
        lines << QStringLiteral("Spoiled, voided and printed again on the next forms: Check No. ") +
                     NumberList(marked.spoiled);
    }
    if (!marked.voided.isEmpty()) {
        lines << QStringLiteral("Voided, not printed again: Check No. ") + NumberList(marked.voided);
    }
    return lines;
}

} // namespace

PrintedChecksModel::PrintedChecksModel(const QList<JournalCheck> &checks, QObject *parent)
    : QAbstractTableModel(parent), checks_(checks), marks_(checks.size(), PrintMark::Good), locale_(ProgramLocale()) {}

void PrintedChecksModel::setMark(int row, PrintMark mark) {
    if (row < 0 || row >= marks_.size() || marks_[row] == mark) {
        return;
    }
    marks_[row] = mark;
    const QModelIndex changed = index(row, ColMark);
    emit dataChanged(changed, changed);
}

bool PrintedChecksModel::anyMarked() const {
    return std::any_of(marks_.cbegin(), marks_.cend(), [](PrintMark mark) { return mark != PrintMark::Good; });
}

int PrintedChecksModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(checks_.size());
}

int PrintedChecksModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant PrintedChecksModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= checks_.size()) {
        return {};
    }
    const JournalCheck &check = checks_.at(index.row());
    if (role == Qt::TextAlignmentRole) {
        const bool number = index.column() != ColPayee && index.column() != ColMark;
        return QVariant::fromValue((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    }
    if (role == Qt::EditRole && index.column() == ColMark) {
        return static_cast<int>(marks_.at(index.row()));
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
    case ColCheckNo:
        return QString::number(check.checkNo);
    case ColPayee:
        return check.payee;
    case ColAmount:
        return FormatCurrency(Currency::fromTenThousandths(check.amountCents * 100), locale_);
    case ColSheet:
        return QString::number(check.sheet);
    case ColSlot:
        return QString::number(check.slot);
    case ColMark:
        return kMarkTexts.at(static_cast<int>(marks_.at(index.row())));
    default:
        return {};
    }
}

QVariant PrintedChecksModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const QStringList headings = {QStringLiteral("Check No."), QStringLiteral("Pay to the Order of"),
                                         QStringLiteral("Amount"),    QStringLiteral("Sheet"),
                                         QStringLiteral("Slot"),      QStringLiteral("Form")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount) {
        return headings.at(section);
    }
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags PrintedChecksModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return index.column() == ColMark ? flags | Qt::ItemIsEditable : flags;
}

bool PrintedChecksModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != ColMark || role != Qt::EditRole) {
        return false;
    }
    const int byText = static_cast<int>(kMarkTexts.indexOf(value.toString()));
    bool isNumber = false;
    const int byNumber = value.toInt(&isNumber);
    const int mark = byText >= 0 ? byText : (isNumber ? byNumber : -1);
    if (mark < 0 || mark >= kMarkTexts.size()) {
        return false;
    }
    setMark(index.row(), static_cast<PrintMark>(mark));
    return true;
}

QWidget *PrintMarkDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &) const {
    auto *editor = new QComboBox(parent);
    editor->setObjectName(QStringLiteral("cboMark"));
    editor->addItems(kMarkTexts);
    connect(editor, &QComboBox::currentIndexChanged, this,
            [this, editor] { emit const_cast<PrintMarkDelegate *>(this)->commitData(editor); });
    return editor;
}

void PrintMarkDelegate::setEditorData(QWidget *editor, const QModelIndex &index) const {
    auto *combo = static_cast<QComboBox *>(editor);
    const QSignalBlocker quiet(combo);
    combo->setCurrentIndex(index.data(Qt::EditRole).toInt());
}

void PrintMarkDelegate::setModelData(QWidget *editor, QAbstractItemModel *model, const QModelIndex &index) const {
    model->setData(index, static_cast<QComboBox *>(editor)->currentIndex(), Qt::EditRole);
}

frmPrintedChecks::frmPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent)
    : QDialog(parent), messages_(messages), model_(new PrintedChecksModel(checks, this)),
      confirmed_(checks.size(), PrintMark::Good) {
    setObjectName(QStringLiteral("frmPrintedChecks"));
    setWindowTitle(QStringLiteral("Printed Checks"));
    setModal(true);

    lblPrintedChecks = new QLabel(this);
    lblPrintedChecks->setObjectName(QStringLiteral("lblPrintedChecks"));
    lblPrintedChecks->setTextFormat(Qt::PlainText);
    lblPrintedChecks->setWordWrap(true);
    lblPrintedChecks->setText(checksText(checks.size()) +
                              QStringLiteral(" printed. Look at each form: mark a spoiled one to print its check "
                                             "again on the next form (S), or a void one (V; P: printed well), then "
                                             "choose OK. If all came out right, press Return."));

    grdPrintedChecks = new QTableView(this);
    grdPrintedChecks->setObjectName(QStringLiteral("grdPrintedChecks"));
    grdPrintedChecks->setModel(model_);
    grdPrintedChecks->setItemDelegateForColumn(PrintedChecksModel::ColMark, new PrintMarkDelegate(grdPrintedChecks));
    grdPrintedChecks->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                                      QAbstractItemView::EditKeyPressed);
    grdPrintedChecks->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdPrintedChecks->setSelectionMode(QAbstractItemView::SingleSelection);
    grdPrintedChecks->setTabKeyNavigation(false);
    grdPrintedChecks->setWordWrap(false);
    // Rows of one height: the view never measures the rows it does not show.
    grdPrintedChecks->verticalHeader()->hide();
    grdPrintedChecks->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    grdPrintedChecks->horizontalHeader()->setResizeContentsPrecision(200);
    grdPrintedChecks->resizeColumnsToContents();
    grdPrintedChecks->horizontalHeader()->setStretchLastSection(true);
    grdPrintedChecks->installEventFilter(this);
    if (model_->rowCount() > 0) {
        grdPrintedChecks->setCurrentIndex(model_->index(0, PrintedChecksModel::ColMark));
    }

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

bool frmPrintedChecks::eventFilter(QObject *watched, QEvent *event) {
    if (watched == grdPrintedChecks && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const int row = grdPrintedChecks->currentIndex().row();
        const Qt::KeyboardModifiers modifiers = key->modifiers() & ~Qt::KeypadModifier;
        if (row >= 0 && (modifiers == Qt::NoModifier || modifiers == Qt::ShiftModifier)) {
            switch (key->key()) {
            case Qt::Key_P:
                model_->setMark(row, PrintMark::Good);
                return true;
            case Qt::Key_S:
                model_->setMark(row, PrintMark::Spoiled);
                return true;
            case Qt::Key_V:
                model_->setMark(row, PrintMark::Void);
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmPrintedChecks::cmdOK_Click() {
    QStringList lines = MarkedLines(Marked(*model_));
    if (!lines.isEmpty()) {
        lines << QStringLiteral("Is that right?");
        if (messages_.MsgBox(lines.join(QStringLiteral("\r\n")), MsgButtons::YesNo, QStringLiteral("Printed Checks"),
                             MsgResult::No) != MsgResult::Yes) {
            return;
        }
    }
    confirmed_ = model_->marks();
    accept();
}

void frmPrintedChecks::reject() {
    if (model_->anyMarked()) {
        QStringList lines = MarkedLines(Marked(*model_));
        lines << QStringLiteral("Keep these marks? Yes records them, No records every form as printed well, Cancel "
                                "goes back to the list.");
        const MsgResult answer = messages_.MsgBox(lines.join(QStringLiteral("\r\n")), MsgButtons::YesNoCancel,
                                                  QStringLiteral("Printed Checks"), MsgResult::Yes);
        if (answer == MsgResult::Cancel) {
            return;
        }
        if (answer == MsgResult::Yes) {
            confirmed_ = model_->marks();
            accept();
            return;
        }
    }
    confirmed_ = QList<PrintMark>(model_->rowCount(), PrintMark::Good);
    QDialog::reject();
}

QList<PrintMark> ReviewPrintedChecks(const QList<JournalCheck> &checks, MessageBoxes &messages, QWidget *parent) {
    frmPrintedChecks dialog(checks, messages, parent);
    dialog.exec();
    return dialog.Marks();
}
