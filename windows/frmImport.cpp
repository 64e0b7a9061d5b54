#include "windows/frmImport.h"

#include "import/Csv.h"
#include "platform/Platform.h"
#include "platform/QtFiles.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Import Checks");

template <typename T> T *Named(T *widget, const char *name) {
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QLabel *Buddy(const QString &caption, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

// A spreadsheet's column letters: A..Z, AA..
QString ColumnLetters(int column) {
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26) {
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    }
    return letters;
}

} // namespace

// The rows of the preview: a tick box, the row's number, payee, amount and memo as they would be
// stored, and the verdict.
class ImportModel final : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QList<ImportRow> rows) {
        beginResetModel();
        rows_ = std::move(rows);
        endResetModel();
    }
    const QList<ImportRow> &rows() const { return rows_; }

    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 6; }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        static const QString captions[] = {
            QStringLiteral("Import"), QStringLiteral("Row"),  QStringLiteral("Pay to the Order of"),
            QStringLiteral("Amount"), QStringLiteral("Memo"), QStringLiteral("Verdict")};
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < 6) {
            return captions[section];
        }
        return QAbstractTableModel::headerData(section, orientation, role);
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override {
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
        if (index.column() == 0 && !rows_[index.row()].refused()) {
            flags |= Qt::ItemIsUserCheckable;
        }
        return flags;
    }

    QVariant data(const QModelIndex &index, int role) const override {
        const ImportRow &row = rows_[index.row()];
        if (role == Qt::CheckStateRole && index.column() == 0) {
            return row.keep ? Qt::Checked : Qt::Unchecked;
        }
        if (role == Qt::TextAlignmentRole && (index.column() == 1 || index.column() == 3)) {
            return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        }
        if (role == Qt::ForegroundRole && (row.refused() || row.printed || row.payeeCut || row.memoCut) &&
            index.column() >= 2) {
            const bool marked =
                index.column() == 5 || (index.column() == 2 && row.payeeCut) || (index.column() == 4 && row.memoCut);
            return marked ? QVariant(QColor(row.refused() ? Qt::darkRed : Qt::darkMagenta)) : QVariant();
        }
        if (role != Qt::DisplayRole && role != Qt::ToolTipRole) {
            return {};
        }
        switch (index.column()) {
        case 1:
            return row.row;
        case 2:
            return row.record.PayTo;
        case 3:
            return row.record.Amount;
        case 4:
            return row.record.Memo;
        case 5:
            return row.Verdict();
        default:
            return {};
        }
    }

    bool setData(const QModelIndex &index, const QVariant &value, int role) override {
        if (role != Qt::CheckStateRole || index.column() != 0 || rows_[index.row()].refused()) {
            return false;
        }
        rows_[index.row()].keep = value.toInt() == Qt::Checked;
        emit dataChanged(index, index, {Qt::CheckStateRole});
        return true;
    }

private:
    QList<ImportRow> rows_;
};

frmImport::frmImport(Platform &platform, QSet<QString> printed, QWidget *parent)
    : QDialog(parent), platform_(platform), printed_(std::move(printed)) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(kTitle);

    txtFile = Named(new QLineEdit(this), "txtFile");
    txtFile->setToolTip(QStringLiteral("A CSV file saved from a spreadsheet, in UTF-8"));
    cmdBrowse = Named(new QPushButton(QStringLiteral("&Browse…"), this), "cmdBrowse");
    cmdBrowse->setAutoDefault(false);
    cboPayee = Named(new QComboBox(this), "cboPayee");
    cboAmount = Named(new QComboBox(this), "cboAmount");
    cboMemo = Named(new QComboBox(this), "cboMemo");
    chkHeader = Named(new QCheckBox(QStringLiteral("First row is a &header"), this), "chkHeader");
    model_ = new ImportModel(this);
    grdRows = Named(new QTableView(this), "grdRows");
    grdRows->setModel(model_);
    grdRows->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdRows->setSelectionMode(QAbstractItemView::SingleSelection);
    grdRows->verticalHeader()->hide();
    grdRows->verticalHeader()->setDefaultSectionSize(grdRows->fontMetrics().height() + 6);
    grdRows->horizontalHeader()->setStretchLastSection(true);
    grdRows->setWordWrap(false);
    lblSummary = Named(new QLabel(QStringLiteral("Choose a CSV file of checks."), this), "lblSummary");

    auto *buttons = new QDialogButtonBox(this);
    cmdImport = Named(buttons->addButton(QStringLiteral("&Import"), QDialogButtonBox::AcceptRole), "cmdImport");
    cmdImport->setDefault(true);
    cmdCancel = Named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "cmdCancel");
    connect(cmdImport, &QPushButton::clicked, this, &frmImport::cmdImport_Click);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(cmdBrowse, &QPushButton::clicked, this, &frmImport::cmdBrowse_Click);
    for (QComboBox *box : {cboPayee, cboAmount, cboMemo}) {
        connect(box, &QComboBox::currentIndexChanged, this, &frmImport::columnsChanged);
    }
    connect(chkHeader, &QCheckBox::toggled, this, &frmImport::columnsChanged);
    connect(model_, &QAbstractItemModel::dataChanged, this, &frmImport::updateSummary);

    auto *file = new QHBoxLayout;
    file->addWidget(txtFile, 1);
    file->addWidget(cmdBrowse);
    auto *columns = new QHBoxLayout;
    columns->addWidget(Buddy(QStringLiteral("&Payee:"), cboPayee, this));
    columns->addWidget(cboPayee, 1);
    columns->addWidget(Buddy(QStringLiteral("&Amount:"), cboAmount, this));
    columns->addWidget(cboAmount, 1);
    columns->addWidget(Buddy(QStringLiteral("&Memo:"), cboMemo, this));
    columns->addWidget(cboMemo, 1);
    columns->addWidget(chkHeader);
    auto *form = new QFormLayout;
    form->addRow(Buddy(QStringLiteral("&File:"), txtFile, this), file);
    form->addRow(QStringLiteral("Columns:"), columns);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(grdRows, 1);
    layout->addWidget(lblSummary);
    layout->addWidget(buttons);
    resize(1000, 560);

    columns_ = LoadImportColumns(platform_.files);
    showColumns();
    updateSummary();
    txtFile->setFocus();
}

const QList<ImportRow> &frmImport::Rows() const {
    return model_->rows();
}

qsizetype frmImport::KeptCount() const {
    return std::count_if(Rows().begin(), Rows().end(), [](const ImportRow &row) { return row.keep; });
}

void frmImport::cmdBrowse_Click() {
    const QString folder = txtFile->text().isEmpty() ? QString() : QFileInfo(txtFile->text()).absolutePath();
    const QString path =
        platform_.saveDialog.GetOpenFileName(kTitle, folder, QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty()) {
        return;
    }
    txtFile->setText(QDir::toNativeSeparators(path));
    LoadFile();
}

bool frmImport::LoadFile() {
    const QFileInfo info(QDir::fromNativeSeparators(txtFile->text().trimmed()));
    table_.clear();
    loaded_.clear();
    // The file is read through the program's files layer, rooted at its folder: no link is followed.
    QtFiles files(info.absolutePath());
    const FileResult read = ReadCsvFile(files, QLatin1Char('/') + info.fileName(), table_);
    if (!read) {
        table_.clear();
        model_->setRows({});
        updateSummary();
        platform_.messages.MsgBox(read.error, MsgButtons::OK, kTitle);
        txtFile->setFocus();
        return false;
    }
    loaded_ = txtFile->text();
    columns_ = ChooseColumns(table_, LoadImportColumns(platform_.files));
    showColumns();
    // Space then ticks or unticks the first row; the arrows move down the rows.
    grdRows->setCurrentIndex(model_->index(0, 0));
    grdRows->setFocus();
    return true;
}

void frmImport::showColumns() {
    showing_ = true;
    fillColumnBoxes();
    chkHeader->setChecked(columns_.header);
    showing_ = false;
    model_->setRows(PreviewImport(table_, columns_, printed_));
    grdRows->resizeColumnToContents(0);
    grdRows->resizeColumnToContents(1);
    grdRows->setColumnWidth(2, grdRows->fontMetrics().horizontalAdvance(QString(kPayToWidth + 2, u'M')) * 2 / 3);
    grdRows->setColumnWidth(3, grdRows->fontMetrics().horizontalAdvance(QStringLiteral("999,999,999.99  ")));
    grdRows->setColumnWidth(4, grdRows->fontMetrics().horizontalAdvance(QString(kMemoWidth + 2, u'M')) / 2);
    updateSummary();
}

void frmImport::fillColumnBoxes() {
    qsizetype width = 0;
    for (const QStringList &row : std::as_const(table_)) {
        width = std::max(width, row.size());
    }
    const QStringList first = table_.value(0);
    for (QComboBox *box : {cboPayee, cboAmount, cboMemo}) {
        box->clear();
        box->addItem(QStringLiteral("(none)"), -1);
        for (int i = 0; i < width; ++i) {
            const QString sample = first.value(i).left(24);
            box->addItem(ColumnLetters(i) + (sample.isEmpty() ? QString() : QStringLiteral(": ") + sample), i);
        }
    }
    cboPayee->setCurrentIndex(std::max(0, cboPayee->findData(columns_.payee)));
    cboAmount->setCurrentIndex(std::max(0, cboAmount->findData(columns_.amount)));
    cboMemo->setCurrentIndex(std::max(0, cboMemo->findData(columns_.memo)));
}

void frmImport::columnsChanged() {
    if (showing_) {
        return;
    }
    columns_.payee = cboPayee->currentData().toInt();
    columns_.amount = cboAmount->currentData().toInt();
    columns_.memo = cboMemo->currentData().toInt();
    columns_.header = chkHeader->isChecked();
    const QStringList first = table_.value(0);
    columns_.names.clear();
    if (columns_.header) {
        columns_.names = {first.value(columns_.payee), first.value(columns_.amount), first.value(columns_.memo)};
    }
    model_->setRows(PreviewImport(table_, columns_, printed_));
    updateSummary();
}

void frmImport::updateSummary() {
    if (loaded_.isEmpty()) {
        lblSummary->setText(QStringLiteral("Choose a CSV file of checks."));
        return;
    }
    qsizetype refused = 0;
    qsizetype printed = 0;
    for (const ImportRow &row : Rows()) {
        refused += row.refused() ? 1 : 0;
        printed += row.printed ? 1 : 0;
    }
    const qsizetype kept = KeptCount();
    lblSummary->setText(QStringLiteral("%1 rows: %2 ticked to import, %3 refused, %4 printed before.")
                            .arg(Rows().size())
                            .arg(kept)
                            .arg(refused)
                            .arg(printed));
}

void frmImport::cmdImport_Click() {
    // A file name typed (or changed) and Return: its rows are shown first.
    if (txtFile->text().trimmed().isEmpty()) {
        cmdBrowse_Click();
        return;
    }
    if (txtFile->text() != loaded_) {
        LoadFile();
        return;
    }
    if (KeptCount() == 0) {
        platform_.messages.MsgBox(QStringLiteral("No row is ticked to import. Tick the rows to import, or choose "
                                                 "Cancel."),
                                  MsgButtons::OK, kTitle);
        grdRows->setFocus();
        return;
    }
    if (const FileResult saved = SaveImportColumns(platform_.files, columns_); !saved) {
        platform_.messages.MsgBox(
            QStringLiteral("The columns could not be remembered in %1: %2\r\nThe checks are "
                           "imported all the same.")
                .arg(QDir::toNativeSeparators(platform_.files.FullPath(kImportSettingsFile)), saved.error),
            MsgButtons::OK, kTitle);
    }
    accept();
}
