#include "windows/frmHistory.h"

#include "history/HistoryDatabase.h"
#include "platform/Platform.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QVBoxLayout>

namespace {

QLabel *BuddyLabel(const QString &caption, QWidget *buddy, QWidget *parent) {
    auto *label = new QLabel(caption, parent);
    label->setBuddy(buddy);
    return label;
}

QLineEdit *NumberBox(const char *name, QWidget *parent) {
    auto *box = new QLineEdit(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d{0,9}")), box));
    box->setMaximumWidth(90);
    return box;
}

QDateEdit *DateBox(const char *name, const QDate &date, QWidget *parent) {
    auto *box = new QDateEdit(date, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    box->setCalendarPopup(true);
    box->setEnabled(false);
    return box;
}

std::optional<qint64> Bound(const QLineEdit *box) {
    bool ok = false;
    const qint64 value = box->text().toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

frmHistory::frmHistory(Platform &platform, QString connectionName, QWidget *parent)
    : QWidget(parent, Qt::Window), platform_(platform), connection_(std::move(connectionName)),
      model_(new HistoryModel(connection_, this)) {
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(QStringLiteral("Check History"));
    setAttribute(Qt::WA_DeleteOnClose);
    createFilters();
    createList();
    createButtons();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(fraFilter);
    layout->addWidget(grdChecks, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(lblTotal, 1);
    bottom->addWidget(cmdVoid);
    bottom->addWidget(cmdExportCsv);
    bottom->addWidget(cmdExportPositivePay);
    layout->addLayout(bottom);
    resize(980, 520);

    connect(model_, &HistoryModel::totalsChanged, this, &frmHistory::showTotals);
    model_->setFilter(Filter());
    grdChecks_CurrentChanged();
    txtPayee->setFocus();
}

frmHistory::~frmHistory() {
    // The open query goes before the connection can.
    grdChecks->setModel(nullptr);
    delete model_;
    if (ownsConnection_) {
        CloseHistoryDatabase(connection_);
    }
}

void frmHistory::createFilters() {
    fraFilter = new QGroupBox(QStringLiteral("Show"), this);
    fraFilter->setObjectName(QStringLiteral("fraFilter"));
    const QDate today = platform_.clock.Today();
    chkDateFrom = new QCheckBox(QStringLiteral("Printed &from"), fraFilter);
    chkDateFrom->setObjectName(QStringLiteral("chkDateFrom"));
    dtpDateFrom = DateBox("dtpDateFrom", today.addMonths(-1), fraFilter);
    chkDateTo = new QCheckBox(QStringLiteral("&to"), fraFilter);
    chkDateTo->setObjectName(QStringLiteral("chkDateTo"));
    dtpDateTo = DateBox("dtpDateTo", today, fraFilter);
    txtPayee = new QLineEdit(fraFilter);
    txtPayee->setObjectName(QStringLiteral("txtPayee"));
    txtPayee->setPlaceholderText(QStringLiteral("any part of the name"));
    cboStatus = new QComboBox(fraFilter);
    cboStatus->setObjectName(QStringLiteral("cboStatus"));
    cboStatus->addItems({QStringLiteral("All"), QStringLiteral("Issued"), QStringLiteral("Voided")});
    txtCheckNoFrom = NumberBox("txtCheckNoFrom", fraFilter);
    txtCheckNoTo = NumberBox("txtCheckNoTo", fraFilter);

    auto *row = new QHBoxLayout(fraFilter);
    row->addWidget(chkDateFrom);
    row->addWidget(dtpDateFrom);
    row->addWidget(chkDateTo);
    row->addWidget(dtpDateTo);
    row->addSpacing(12);
    row->addWidget(BuddyLabel(QStringLiteral("P&ayee:"), txtPayee, fraFilter));
    row->addWidget(txtPayee, 1);
    row->addWidget(BuddyLabel(QStringLiteral("&Status:"), cboStatus, fraFilter));
    row->addWidget(cboStatus);
    row->addSpacing(12);
    row->addWidget(BuddyLabel(QStringLiteral("Check &no.:"), txtCheckNoFrom, fraFilter));
    row->addWidget(txtCheckNoFrom);
    row->addWidget(BuddyLabel(QStringLiteral("t&o"), txtCheckNoTo, fraFilter));
    row->addWidget(txtCheckNoTo);

    for (QCheckBox *check : {chkDateFrom, chkDateTo}) {
        connect(check, &QCheckBox::toggled, this, &frmHistory::FilterChanged);
    }
    connect(chkDateFrom, &QCheckBox::toggled, dtpDateFrom, &QWidget::setEnabled);
    connect(chkDateTo, &QCheckBox::toggled, dtpDateTo, &QWidget::setEnabled);
    for (QDateEdit *date : {dtpDateFrom, dtpDateTo}) {
        connect(date, &QDateEdit::dateChanged, this, &frmHistory::FilterChanged);
    }
    for (QLineEdit *box : {txtPayee, txtCheckNoFrom, txtCheckNoTo}) {
        connect(box, &QLineEdit::textChanged, this, &frmHistory::FilterChanged);
    }
    connect(cboStatus, &QComboBox::currentIndexChanged, this, &frmHistory::FilterChanged);
}

void frmHistory::createList() {
    grdChecks = new QTableView(this);
    grdChecks->setObjectName(QStringLiteral("grdChecks"));
    grdChecks->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdChecks->setSelectionMode(QAbstractItemView::SingleSelection);
    grdChecks->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdChecks->setWordWrap(false);
    grdChecks->verticalHeader()->hide();
    grdChecks->setModel(model_);
    // A click on a heading sorts by that column; the query runs once, here rather than twice as
    // the view's own sorting switch would.
    QHeaderView *header = grdChecks->horizontalHeader();
    header->setStretchLastSection(true);
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(ColCheckNo, Qt::AscendingOrder);
    connect(header, &QHeaderView::sortIndicatorChanged, model_, &HistoryModel::sort);
    const int widths[ColumnCount] = {80, 95, 240, 110, 170, 220, 100};
    for (int column = 0; column < ColumnCount; ++column) {
        grdChecks->setColumnWidth(column, widths[column]);
    }
    lblTotal = new QLabel(this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    connect(grdChecks->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &frmHistory::grdChecks_CurrentChanged);
    connect(model_, &QAbstractItemModel::modelReset, this, &frmHistory::grdChecks_CurrentChanged);
}

void frmHistory::createButtons() {
    cmdVoid = new QPushButton(QStringLiteral("&Void…"), this);
    cmdVoid->setObjectName(QStringLiteral("cmdVoid"));
    cmdExportCsv = new QPushButton(QStringLiteral("Export &CSV…"), this);
    cmdExportCsv->setObjectName(QStringLiteral("cmdExportCsv"));
    cmdExportPositivePay = new QPushButton(QStringLiteral("Export &Positive Pay…"), this);
    cmdExportPositivePay->setObjectName(QStringLiteral("cmdExportPositivePay"));
    for (QPushButton *button : {cmdVoid, cmdExportCsv, cmdExportPositivePay}) {
        button->setAutoDefault(true);
    }
    connect(cmdVoid, &QPushButton::clicked, this, &frmHistory::cmdVoid_Click);
    connect(cmdExportCsv, &QPushButton::clicked, this, &frmHistory::cmdExportCsv_Click);
    connect(cmdExportPositivePay, &QPushButton::clicked, this, &frmHistory::cmdExportPositivePay_Click);
}

HistoryFilter frmHistory::Filter() const {
    HistoryFilter filter;
    if (chkDateFrom->isChecked()) {
        filter.from = dtpDateFrom->date();
    }
    if (chkDateTo->isChecked()) {
        filter.to = dtpDateTo->date();
    }
    filter.payee = txtPayee->text();
    filter.status = static_cast<StatusFilter>(cboStatus->currentIndex());
    filter.checkFrom = Bound(txtCheckNoFrom);
    filter.checkTo = Bound(txtCheckNoTo);
    return filter;
}

void frmHistory::FilterChanged() {
    model_->setFilter(Filter());
}

void frmHistory::showTotals() {
    if (!model_->lastError().isEmpty()) {
        lblTotal->setText(QStringLiteral("The check journal could not be read: ") + model_->lastError());
        return;
    }
    const qint64 count = model_->matchingCount();
    lblTotal->setText(QString::number(count) + (count == 1 ? QStringLiteral(" check") : QStringLiteral(" checks")) +
                      QStringLiteral(", total ") + GroupedAmount(model_->totalCents()));
}

const HistoryRow *frmHistory::currentCheck() const {
    const QModelIndex current = grdChecks->currentIndex();
    if (!current.isValid() || current.row() >= model_->rowCount()) {
        return nullptr;
    }
    return &model_->rowAt(current.row());
}

void frmHistory::grdChecks_CurrentChanged() {
    const HistoryRow *check = currentCheck();
    cmdVoid->setEnabled(check != nullptr && check->status == QLatin1String("issued"));
}

void frmHistory::cmdVoid_Click() {
    const HistoryRow *current = currentCheck();
    if (current == nullptr || current->status != QLatin1String("issued")) {
        return;
    }
    const HistoryRow check = *current;
    frmVoidCheck dialog(check, platform_.clock.Today(), this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const VoidOutcome outcome = VoidCheck(connection_, check.id, dialog.Reason(), dialog.VoidDate());
    if (!outcome.ok) {
        platform_.messages.MsgBox(QStringLiteral("Check ") + QString::number(check.checkNo) +
                                      QStringLiteral(" was not voided.\r\n") + outcome.error,
                                  MsgButtons::OK, QStringLiteral("Void Check"));
    }
    refreshAt(check.id, model_->rowCount());
}

void frmHistory::refreshAt(qint64 id, int rowsRead) {
    model_->refresh();
    while (model_->rowCount() < rowsRead && model_->canFetchMore()) {
        model_->fetchMore();
    }
    for (int row = 0; row < model_->rowCount(); ++row) {
        if (model_->rowAt(row).id == id) {
            grdChecks->setCurrentIndex(model_->index(row, ColCheckNo));
            break;
        }
    }
    grdChecks->setFocus();
}

void frmHistory::cmdExportCsv_Click() {
    exportShown(ExportFormat::Csv);
}

void frmHistory::cmdExportPositivePay_Click() {
    exportShown(ExportFormat::PositivePay);
}

void frmHistory::exportShown(ExportFormat format) {
    const bool csv = format == ExportFormat::Csv;
    const QString title = csv ? QStringLiteral("Export CSV") : QStringLiteral("Export Positive Pay");
    const QString suggested = (csv ? QStringLiteral("CheckHistory-") : QStringLiteral("PositivePay-")) +
                              platform_.clock.Today().toString(Qt::ISODate) + QStringLiteral(".csv");
    const QString path = platform_.saveDialog.GetSaveFileName(title, suggested, QStringLiteral("CSV files (*.csv)"),
                                                              QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    const ExportOutcome outcome = ExportToFile(connection_, model_->filter(), model_->sortOrder(), format, path);
    if (!outcome.ok) {
        platform_.messages.MsgBox(QStringLiteral("The export could not be written to\r\n") +
                                      QDir::toNativeSeparators(path) + QStringLiteral("\r\n\r\n") + outcome.error,
                                  MsgButtons::OK, title);
        return;
    }
    platform_.messages.MsgBox(QString::number(outcome.rows) +
                                  (outcome.rows == 1 ? QStringLiteral(" check") : QStringLiteral(" checks")) +
                                  QStringLiteral(" written to\r\n") + QDir::toNativeSeparators(path),
                              MsgButtons::OK, title);
}

frmHistory *ShowHistoryWindow(Platform &platform, QWidget *parent) {
    // The one place that opens the journal for the history.
    const QString path = platform.files.FullPath(QStringLiteral("/CheckJournal.db"));
    const HistoryConnection connection = OpenHistoryDatabase(path);
    if (!connection.ok()) {
        platform.messages.MsgBox(QStringLiteral("The check journal\r\n") + QDir::toNativeSeparators(path) +
                                     QStringLiteral("\r\ncould not be read: ") + connection.error,
                                 MsgButtons::OK, QStringLiteral("Check History"));
        return nullptr;
    }
    auto *window = new frmHistory(platform, connection.connectionName, parent);
    window->CloseConnectionWithWindow();
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
