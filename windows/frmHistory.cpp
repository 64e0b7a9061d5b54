#include "windows/frmHistory.h"

#include "journal/CheckJournal.h"
#include "platform/Platform.h"
#include "windows/frmHistoryExport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSqlDatabase>
#include <QSqlQuery>
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

QComboBox *WhoBox(const char *name, QWidget *parent) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(10);
    box->addItem(QStringLiteral("All"), QString());
    return box;
}

// The choices again, "All" first, the one chosen kept (and kept offered when no longer seen).
void OfferChoices(QComboBox *box, QStringList values) {
    const QString chosen = box->currentData().toString();
    if (!chosen.isEmpty() && !values.contains(chosen)) {
        values.append(chosen);
    }
    const QSignalBlocker quiet(box);
    box->clear();
    box->addItem(QStringLiteral("All"), QString());
    for (const QString &value : values) {
        box->addItem(value, value);
    }
    box->setCurrentIndex(std::max(0, box->findData(chosen)));
}

bool OnServer(const CheckJournal &journal) {
    return journal.Place().server;
}

QString Plural(qint64 count, const char *one) {
    return QString::number(count) + QLatin1Char(' ') + QString::fromLatin1(one) +
           (count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

frmHistory::frmHistory(Platform &platform, CheckJournal &journal, QWidget *parent)
    : QWidget(parent, Qt::Window), platform_(platform), journal_(journal),
      model_(new HistoryModel(journal.IsOpen() ? journal.ConnectionName() : QString(), this)) {
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
    bottom->addWidget(cmdApprove);
    bottom->addWidget(cmdVoid);
    bottom->addWidget(cmdExportCsv);
    bottom->addWidget(cmdExportPositivePay);
    layout->addLayout(bottom);
    resize(1080, 560);

    connect(model_, &HistoryModel::totalsChanged, this, &frmHistory::showTotals);
    seenChanges_ = journalChanges();
    model_->setFilter(Filter());
    grdChecks_CurrentChanged();
    txtPayee->setFocus();
}

frmHistory::~frmHistory() {
    // The open query goes before the journal's connection can.
    grdChecks->setModel(nullptr);
    delete model_;
}

qint64 frmHistory::journalChanges() const {
    if (!journal_.IsOpen()) {
        return -1;
    }
    if (EngineOf(QSqlDatabase::database(journal_.ConnectionName(), false)) == SqlEngine::Server) {
        // Other computers write to the server too: its journal is read again every time.
        return seenChanges_ - 1;
    }
    QSqlQuery changes(QSqlDatabase::database(journal_.ConnectionName(), false));
    return changes.exec(QStringLiteral("SELECT total_changes()")) && changes.next() ? changes.value(0).toLongLong()
                                                                                    : -1;
}

void frmHistory::Refresh() {
    // A journal written since the window opened (the first print run) is opened now.
    if (!journal_.IsOpen() && (OnServer(journal_) || QFileInfo::exists(journal_.Path())) && !journal_.Open()) {
        return;
    }
    const qint64 changes = journalChanges();
    if (changes == seenChanges_) {
        return;
    }
    seenChanges_ = changes;
    model_->setConnectionName(journal_.IsOpen() ? journal_.ConnectionName() : QString());
    whoRead_ = false;
    const HistoryRow *current = currentCheck();
    refreshAt(current != nullptr ? current->id : 0, model_->rowCount());
}

bool frmHistory::eventFilter(QObject *watched, QEvent *event) {
    // Before the box takes the focus or opens its list.
    if ((event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress) && !whoRead_) {
        loadWhoChoices();
    }
    return QWidget::eventFilter(watched, event);
}

void frmHistory::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        Refresh();
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
    cboStatus->addItems({QStringLiteral("All"), QStringLiteral("Issued"), QStringLiteral("Voided"),
                         QStringLiteral("Awaiting approval")});
    txtCheckNoFrom = NumberBox("txtCheckNoFrom", fraFilter);
    txtCheckNoTo = NumberBox("txtCheckNoTo", fraFilter);

    // Made in the order the keyboard walks them: the person, the computer, then the checkbook.
    cboUser = WhoBox("cboUser", fraFilter);
    cboComputer = WhoBox("cboComputer", fraFilter);
    cboUser->installEventFilter(this);
    cboComputer->installEventFilter(this);
    cboCheckbook = new QComboBox(fraFilter);
    cboCheckbook->setObjectName(QStringLiteral("cboCheckbook"));
    // A long checkbook name does not squeeze the payee box.
    cboCheckbook->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cboCheckbook->setMinimumContentsLength(14);
    lblCheckbook = BuddyLabel(QStringLiteral("Check&book:"), cboCheckbook, fraFilter);

    // What was printed, then who and where: two rows, so that the payee box keeps its room.
    auto *rows = new QVBoxLayout(fraFilter);
    auto *row = new QHBoxLayout;
    row->addWidget(chkDateFrom);
    row->addWidget(dtpDateFrom);
    row->addWidget(chkDateTo);
    row->addWidget(dtpDateTo);
    row->addSpacing(12);
    row->addWidget(BuddyLabel(QStringLiteral("P&ayee:"), txtPayee, fraFilter));
    row->addWidget(txtPayee, 1);
    row->addWidget(BuddyLabel(QStringLiteral("&Status:"), cboStatus, fraFilter));
    row->addWidget(cboStatus);
    auto *who = new QHBoxLayout;
    who->addWidget(BuddyLabel(QStringLiteral("Check &no.:"), txtCheckNoFrom, fraFilter));
    who->addWidget(txtCheckNoFrom);
    who->addWidget(BuddyLabel(QStringLiteral("t&o"), txtCheckNoTo, fraFilter));
    who->addWidget(txtCheckNoTo);
    who->addSpacing(12);
    who->addWidget(BuddyLabel(QStringLiteral("&User:"), cboUser, fraFilter));
    who->addWidget(cboUser);
    who->addWidget(BuddyLabel(QStringLiteral("Co&mputer:"), cboComputer, fraFilter));
    who->addWidget(cboComputer);
    who->addSpacing(12);
    who->addWidget(lblCheckbook);
    who->addWidget(cboCheckbook);
    who->addStretch(1);
    rows->addLayout(row);
    rows->addLayout(who);
    lblCheckbook->hide();
    cboCheckbook->hide();

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
    for (QComboBox *box : {cboCheckbook, cboUser, cboComputer}) {
        connect(box, &QComboBox::currentIndexChanged, this, &frmHistory::FilterChanged);
    }
}

void frmHistory::SetCheckbooks(const QList<std::pair<QString, QString>> &books, int open) {
    const QSignalBlocker quiet(cboCheckbook);
    cboCheckbook->clear();
    for (const auto &[name, digits] : books) {
        cboCheckbook->addItem(name, digits);
    }
    cboCheckbook->addItem(QStringLiteral("All checkbooks"), QString());
    cboCheckbook->setCurrentIndex(books.size() > 1 ? open : cboCheckbook->count() - 1);
    const bool shown = books.size() > 1;
    lblCheckbook->setVisible(shown);
    cboCheckbook->setVisible(shown);
    FilterChanged();
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
    // Ctrl+1 to Ctrl+8 sort by the heading of that place from the keyboard; again, the other way.
    grdChecks->setToolTip(QStringLiteral("Click a heading, or press Ctrl+1 to Ctrl+8, to sort by that column; again "
                                         "to sort the other way"));
    for (int column = 0; column < ColumnCount; ++column) {
        auto *key = new QShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + column)), this);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        connect(key, &QShortcut::activated, this, [header, column] {
            const bool again = header->sortIndicatorSection() == column;
            header->setSortIndicator(column, again && header->sortIndicatorOrder() == Qt::AscendingOrder
                                                 ? Qt::DescendingOrder
                                                 : Qt::AscendingOrder);
        });
    }
    const int widths[ColumnCount] = {80, 95, 200, 105, 130, 190, 100, 120};
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
    // Alt+P is the positive-pay export's.
    cmdApprove = new QPushButton(QStringLiteral("App&rove"), this);
    cmdApprove->setObjectName(QStringLiteral("cmdApprove"));
    cmdApprove->setToolTip(QStringLiteral("Approve the check chosen, which waits for a second person's approval"));
    cmdVoid = new QPushButton(QStringLiteral("&Void…"), this);
    cmdVoid->setObjectName(QStringLiteral("cmdVoid"));
    cmdExportCsv = new QPushButton(QStringLiteral("Export &CSV…"), this);
    cmdExportCsv->setObjectName(QStringLiteral("cmdExportCsv"));
    cmdExportPositivePay = new QPushButton(QStringLiteral("Export &Positive Pay…"), this);
    cmdExportPositivePay->setObjectName(QStringLiteral("cmdExportPositivePay"));
    for (QPushButton *button : {cmdApprove, cmdVoid, cmdExportCsv, cmdExportPositivePay}) {
        button->setAutoDefault(true);
    }
    connect(cmdApprove, &QPushButton::clicked, this, &frmHistory::cmdApprove_Click);
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
    filter.accountDigits = cboCheckbook->currentData().toString();
    filter.user = cboUser->currentData().toString();
    filter.computer = cboComputer->currentData().toString();
    return filter;
}

void frmHistory::loadWhoChoices() {
    QStringList users;
    QStringList computers;
    QString error;
    if (journal_.IsOpen() && !LoadWhoChoices(journal_.ConnectionName(), &users, &computers, &error)) {
        // The list's own read says what is wrong with the journal.
        users.clear();
        computers.clear();
    }
    OfferChoices(cboUser, users);
    OfferChoices(cboComputer, computers);
    whoRead_ = journal_.IsOpen();
}

void frmHistory::FilterChanged() {
    model_->setFilter(Filter());
}

void frmHistory::showTotals() {
    if (!model_->lastError().isEmpty()) {
        lblTotal->setText(QStringLiteral("The check journal could not be read: ") + model_->lastError());
        return;
    }
    // Only issued checks are payable: their count and total, and beside them what was voided and
    // what waits for approval.
    QString text = Plural(model_->matchingCount(), "check") + QStringLiteral(": ") +
                   QString::number(model_->issuedCount()) + QStringLiteral(" issued, total ") +
                   GroupedAmount(model_->totalCents()) + QStringLiteral("; ") + QString::number(model_->voidedCount()) +
                   QStringLiteral(" voided");
    if (model_->awaitingCount() > 0) {
        text += QStringLiteral("; ") + QString::number(model_->awaitingCount()) + QStringLiteral(" awaiting approval");
    }
    lblTotal->setText(text);
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
    cmdApprove->setEnabled(check != nullptr && check->status == QLatin1String("awaiting"));
}

void frmHistory::cmdApprove_Click() {
    const HistoryRow *current = currentCheck();
    if (current == nullptr || current->status != QLatin1String("awaiting")) {
        return;
    }
    const qint64 id = current->id;
    const int rowsRead = model_->rowCount();
    model_->finishReading();
    // The journal refuses the person who asked, and says so.
    if (const FileResult approved = journal_.Approve(id); !approved) {
        platform_.messages.MsgBox(approved.error, MsgButtons::OK, QStringLiteral("Approve Check"));
    }
    seenChanges_ = journalChanges();
    whoRead_ = false;
    refreshAt(id, rowsRead);
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
    // No statement of the history stays open across the journal's write.
    const int rowsRead = model_->rowCount();
    model_->finishReading();
    const FileResult outcome = journal_.VoidCheck(check.id, dialog.Reason(), dialog.VoidDate());
    if (!outcome.ok) {
        platform_.messages.MsgBox(QStringLiteral("Check ") + QString::number(check.checkNo) +
                                      QStringLiteral(" was not voided; the journal is unchanged.\r\n") + outcome.error +
                                      QStringLiteral("\r\nSee the list for its status now."),
                                  MsgButtons::OK, QStringLiteral("Void Check"));
    }
    seenChanges_ = journalChanges();
    refreshAt(check.id, rowsRead);
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
    exportShown(ExportRequest{}, QStringLiteral("CheckHistory-"));
}

void frmHistory::cmdExportPositivePay_Click() {
    const QString title = QStringLiteral("Export Positive Pay");
    QList<ExportAccount> accounts;
    QString error;
    if (!journal_.IsOpen() || !ListExportAccounts(journal_.ConnectionName(), accounts, &error) || accounts.isEmpty()) {
        platform_.messages.MsgBox(
            error.isEmpty() ? QStringLiteral("The check journal %1 holds no printed check yet: there is nothing to "
                                             "send to the bank. Print checks first, then export.")
                                  .arg(journal_.Where())
                            : QStringLiteral("The accounts of the check journal %1 could not be read: %2\r\nClose "
                                             "other programs that use it and export again.")
                                  .arg(journal_.Where(), error),
            MsgButtons::OK, title);
        return;
    }
    // The account of the checkbook shown comes first.
    const QString shown = Filter().accountDigits;
    std::stable_partition(accounts.begin(), accounts.end(),
                          [&shown](const ExportAccount &account) { return account.digits == shown; });
    ExportSettings settings;
    if (const FileResult loaded = LoadExportSettings(platform_.files, settings); !loaded) {
        platform_.messages.MsgBox(loaded.error, MsgButtons::OK, title);
    }
    frmExport dialog(settings, accounts, platform_.messages, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    if (const FileResult saved = SaveExportSettings(platform_.files, dialog.Settings()); !saved) {
        platform_.messages.MsgBox(saved.error + QStringLiteral("\r\nThe export goes on with the layout chosen."),
                                  MsgButtons::OK, title);
    }
    exportShown(dialog.Request(), QStringLiteral("PositivePay-") + dialog.Request().accountDigits + QLatin1Char('-'));
}

void frmHistory::exportShown(const ExportRequest &request, const QString &namePrefix) {
    const bool pay = request.format == ExportFormat::PositivePay;
    const QString title = pay ? QStringLiteral("Export Positive Pay") : QStringLiteral("Export CSV");
    const QString suggested = namePrefix + platform_.clock.Today().toString(Qt::ISODate) + QStringLiteral(".csv");
    const QString path = platform_.saveDialog.GetSaveFileName(title, suggested, QStringLiteral("CSV files (*.csv)"),
                                                              QStringLiteral("csv"));
    if (path.isEmpty()) {
        return;
    }
    const QString shown = QDir::toNativeSeparators(path);
    if (!journal_.IsOpen()) {
        platform_.messages.MsgBox(QStringLiteral("Nothing was written to %1: the check journal %2 holds no printed "
                                                 "check yet. Print checks first, then export.")
                                      .arg(shown, journal_.Where()),
                                  MsgButtons::OK, title);
        return;
    }
    // The export reads on the journal's connection: the list's open read goes first.
    const HistoryRow *current = currentCheck();
    const qint64 currentId = current != nullptr ? current->id : 0;
    const int rowsRead = model_->rowCount();
    model_->finishReading();
    ExportRequest written = request;
    written.writeEmpty = !pay;
    const ExportOutcome outcome =
        ExportToFile(journal_.ConnectionName(), model_->filter(), model_->sortOrder(), written, path);
    if (!outcome.ok) {
        platform_.messages.MsgBox(QStringLiteral("The export could not be written to\r\n") + shown +
                                      QStringLiteral("\r\n\r\n") + outcome.error +
                                      QStringLiteral("\r\n\r\nNo file was made. Choose another folder, or free "
                                                     "some room on the disk, and export again."),
                                  MsgButtons::OK, title);
        refreshAt(currentId, rowsRead);
        return;
    }
    QString note;
    if (pay && outcome.rows == 0) {
        note = QStringLiteral("No check of account %1 is new since the last export; nothing was written to\r\n%2")
                   .arg(request.accountDigits, shown);
    } else {
        note = Plural(outcome.rows, "check") + QStringLiteral(" written to\r\n") + shown;
    }
    if (pay && outcome.rows > 0) {
        // The journal remembers what went out, so that the next export sends only what is new.
        const ExportLog log{platform_.clock.Now(), request.accountDigits, request.layout.name, path,
                            outcome.checkIds,      outcome.codes};
        if (const FileResult recorded = journal_.RecordExport(log); !recorded) {
            note += QStringLiteral("\r\n\r\nThe file is complete, but the journal could not note what it holds:\r\n") +
                    recorded.error +
                    QStringLiteral("\r\nThe next export of new checks sends these again; tell the "
                                   "bank, or export all checks of the account instead.");
        }
    }
    seenChanges_ = journalChanges();
    refreshAt(currentId, rowsRead);
    platform_.messages.MsgBox(note, MsgButtons::OK, title);
}

frmHistory *ShowHistoryWindow(Platform &platform, CheckJournal &journal, QWidget *parent) {
    // The history reads through the journal's own connection; a journal not written yet is not
    // made for it.
    if (!journal.IsOpen() && (OnServer(journal) || QFileInfo::exists(journal.Path()))) {
        const FileResult opened = journal.Open();
        if (!opened) {
            const QString next = OnServer(journal)
                                     ? QStringLiteral("\r\nThe history cannot be shown. Make sure the server can be "
                                                      "reached, then choose History again.")
                                     : QStringLiteral("\r\nThe history cannot be shown. Close any other program "
                                                      "that has the journal open, or put back a copy of it, then "
                                                      "choose History again.");
            platform.messages.MsgBox(opened.error + next, MsgButtons::OK, QStringLiteral("Check History"));
            return nullptr;
        }
    }
    auto *window = new frmHistory(platform, journal, parent);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}
