#include "history/HistoryModel.h"

#include <QSqlError>
#include <QSqlRecord>

namespace {

JournalWho Who(const QSqlQuery &query, int user, int host) {
    return {query.value(user).toString(), query.value(host).toString()};
}

QString Named(const JournalWho &who) {
    return who.host.isEmpty() ? who.user : who.user + QLatin1Char('@') + who.host;
}

// "Voided by anna on office-pc, 2026-12-03": the computer and the day when they are known.
QString Sentence(const char *what, const JournalWho &who, const QString &when = QString()) {
    QString line = QString::fromLatin1(what) + QStringLiteral(" by ") + who.user;
    if (!who.host.isEmpty()) {
        line += QStringLiteral(" on ") + who.host;
    }
    if (!when.isEmpty()) {
        line += QStringLiteral(", ") + QString(when).replace(QLatin1Char('T'), QLatin1Char(' '));
    }
    return line;
}

} // namespace

HistoryRow ReadHistoryRow(const QSqlQuery &query) {
    HistoryRow row;
    row.id = query.value(FieldId).toLongLong();
    row.checkNo = query.value(FieldCheckNo).isNull() ? 0 : query.value(FieldCheckNo).toLongLong();
    row.datePrinted = query.value(FieldDate).toString();
    row.payee = query.value(FieldPayee).toString();
    row.amountCents = query.value(FieldAmount).toLongLong();
    row.memo = query.value(FieldMemo).toString();
    row.status = query.value(FieldStatus).toString();
    row.voidReason = query.value(FieldVoidReason).toString();
    row.voidDate = query.value(FieldVoidDate).toString();
    row.reprintedAs = query.value(FieldReprintedAs);
    if (row.reprintedAs.isNull()) {
        row.reprintedAs = QVariant();
    }
    row.accountNo = query.value(FieldAccountNo).toString();
    row.address = query.value(FieldAddress).toString();
    row.printedBy = Who(query, FieldPrintedBy, FieldPrintedHost);
    row.markedBy = Who(query, FieldMarkedBy, FieldMarkedHost);
    row.requestedBy = Who(query, FieldRequestedBy, FieldRequestedHost);
    row.requestedAt = query.value(FieldRequestedAt).toString();
    row.approvedBy = Who(query, FieldApprovedBy, FieldApprovedHost);
    row.approvedAt = query.value(FieldApprovedAt).toString();
    return row;
}

QString ByText(const HistoryRow &row) {
    if (!row.printedBy.user.isEmpty()) {
        return Named(row.printedBy);
    }
    return row.requestedBy.user.isEmpty() ? QString() : QStringLiteral("asked: ") + Named(row.requestedBy);
}

QString WhoDidWhat(const HistoryRow &row) {
    QStringList lines;
    if (!row.requestedBy.user.isEmpty()) {
        lines << Sentence("Asked for", row.requestedBy, row.requestedAt);
    }
    if (!row.approvedBy.user.isEmpty()) {
        lines << Sentence("Approved", row.approvedBy, row.approvedAt);
    }
    if (!row.printedBy.user.isEmpty()) {
        lines << Sentence("Printed", row.printedBy, row.datePrinted);
    }
    if (!row.markedBy.user.isEmpty()) {
        lines << Sentence(row.status == QLatin1String("reprinted") ? "Marked spoiled" : "Voided", row.markedBy,
                          row.voidDate);
    }
    return lines.join(QLatin1Char('\n'));
}

bool LoadWhoChoices(const QString &connectionName, QStringList *users, QStringList *computers, QString *error) {
    users->clear();
    computers->clear();
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) {
        *error = QStringLiteral("the check journal is not open");
        return false;
    }
    // One pass over the checks and one over the runs, each pair of columns a person and a computer:
    // the distinct combinations are few however many checks there are.
    for (const char *sql : {"SELECT DISTINCT os_user, host FROM runs",
                            "SELECT DISTINCT marked_by, marked_host, requested_by, requested_host, approved_by, "
                            "approved_host FROM checks"}) {
        QSqlQuery query(db);
        query.setForwardOnly(true);
        if (!query.exec(QString::fromLatin1(sql))) {
            *error = query.lastError().text();
            return false;
        }
        while (query.next()) {
            for (int column = 0; column < query.record().count(); ++column) {
                QStringList *into = column % 2 == 0 ? users : computers;
                if (const QString value = query.value(column).toString(); !value.isEmpty() && !into->contains(value)) {
                    into->append(value);
                }
            }
        }
    }
    for (QStringList *list : {users, computers}) {
        std::sort(list->begin(), list->end(),
                  [](const QString &a, const QString &b) { return QString::compare(a, b, Qt::CaseInsensitive) < 0; });
    }
    return true;
}

QString StatusText(const HistoryRow &row) {
    if (row.status == QLatin1String("issued")) {
        return QStringLiteral("Issued");
    }
    if (row.status == QLatin1String("printing")) {
        return QStringLiteral("Printing: run not finished");
    }
    if (row.status == QLatin1String("awaiting")) {
        return QStringLiteral("awaiting approval");
    }
    if (row.status == QLatin1String("approved")) {
        return QStringLiteral("approved");
    }
    QString text = row.status == QLatin1String("reprinted")
                       ? QStringLiteral("Reprinted as ") + QString::number(row.reprintedAs.toLongLong())
                       : QStringLiteral("Void");
    QString detail = row.voidReason;
    if (!row.voidDate.isEmpty()) {
        detail +=
            (detail.isEmpty() ? QString() : QStringLiteral(" ")) + QLatin1Char('(') + row.voidDate + QLatin1Char(')');
    }
    if (!detail.isEmpty()) {
        text += QStringLiteral(": ") + detail;
    }
    return text;
}

HistoryModel::HistoryModel(QString connectionName, QObject *parent)
    : QAbstractTableModel(parent), connection_(std::move(connectionName)) {}

HistoryModel::~HistoryModel() = default;

void HistoryModel::setFilter(const HistoryFilter &filter) {
    filter_ = filter;
    requery();
}

void HistoryModel::setSort(const HistorySort &sort) {
    sort_ = sort;
    requery();
}

void HistoryModel::refresh() {
    requery();
}

void HistoryModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) {
        return;
    }
    setSort(HistorySort{column, order == Qt::DescendingOrder});
}

void HistoryModel::clear() {
    beginResetModel();
    atEnd_ = true;
    rows_.clear();
    endResetModel();
    count_ = issuedCount_ = totalCents_ = voidedCount_ = awaitingCount_ = 0;
    emit totalsChanged();
}

void HistoryModel::finishReading() {
    atEnd_ = true;
}

void HistoryModel::fail(const QString &error) {
    error_ = error;
    atEnd_ = true;
}

bool HistoryModel::readTotals(const QSqlDatabase &db, const WhereClause &where) {
    // Only issued checks are payable: the total is theirs; voided and reprinted forms are counted.
    QSqlQuery totals(db);
    totals.setForwardOnly(true);
    // Sums of CASE, cast back to whole numbers: the server has no sum of truth values, and its sum
    // of big integers is a decimal.
    if (!totals.prepare(
            QStringLiteral(
                "SELECT COUNT(*), CAST(COALESCE(SUM(CASE WHEN checks.status = 'issued' THEN 1 ELSE 0 END), 0) AS "
                "BIGINT), CAST(COALESCE(SUM(CASE WHEN checks.status = 'issued' THEN checks.amount_cents END), 0) AS "
                "BIGINT), CAST(COALESCE(SUM(CASE WHEN checks.status IN ('voided', 'reprinted') THEN 1 ELSE 0 END), 0) "
                "AS BIGINT), CAST(COALESCE(SUM(CASE WHEN checks.status = 'awaiting' THEN 1 ELSE 0 END), 0) AS "
                "BIGINT)") +
            HistoryFrom() + where.sql)) {
        fail(totals.lastError().text());
        return false;
    }
    for (const QVariant &value : where.values) {
        totals.addBindValue(value);
    }
    if (!totals.exec() || !totals.next()) {
        fail(totals.lastError().text());
        return false;
    }
    count_ = totals.value(0).toLongLong();
    issuedCount_ = totals.value(1).toLongLong();
    totalCents_ = totals.value(2).toLongLong();
    voidedCount_ = totals.value(3).toLongLong();
    awaitingCount_ = totals.value(4).toLongLong();
    return true;
}

void HistoryModel::requery() {
    beginResetModel();
    rows_.clear();
    atEnd_ = true;
    error_.clear();
    count_ = issuedCount_ = totalCents_ = voidedCount_ = awaitingCount_ = 0;

    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (connection_.isEmpty()) {
        // Nothing printed yet: no journal, an empty history.
    } else if (!db.isOpen()) {
        fail(QStringLiteral("the journal is not open"));
    } else if (readTotals(db, BuildWhere(filter_, EngineOf(db)))) {
        atEnd_ = false;
        readPage(false);
    }
    endResetModel();
    emit totalsChanged();
}

void HistoryModel::readPage(bool announce) {
    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const SqlEngine engine = EngineOf(db);
    const WhereClause where = BuildWhere(filter_, engine);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(HistoryPageSql(where, sort_, engine))) {
        fail(query.lastError().text());
        return;
    }
    for (const QVariant &value : where.values) {
        query.addBindValue(value);
    }
    query.addBindValue(pageSize_);
    query.addBindValue(static_cast<qint64>(rows_.size()));
    if (!query.exec()) {
        fail(query.lastError().text());
        return;
    }
    QVector<HistoryRow> page;
    page.reserve(pageSize_);
    while (query.next()) {
        page.append(ReadHistoryRow(query));
    }
    if (query.lastError().isValid()) {
        error_ = query.lastError().text();
    }
    atEnd_ = page.size() < pageSize_ || rows_.size() + page.size() >= count_ || !error_.isEmpty();
    if (page.isEmpty()) {
        return;
    }
    if (announce) {
        beginInsertRows(QModelIndex(), static_cast<int>(rows_.size()),
                        static_cast<int>(rows_.size() + page.size() - 1));
    }
    rows_ += page;
    if (announce) {
        endInsertRows();
    }
}

bool HistoryModel::canFetchMore(const QModelIndex &parent) const {
    return !parent.isValid() && !atEnd_;
}

void HistoryModel::fetchMore(const QModelIndex &parent) {
    if (parent.isValid() || atEnd_) {
        return;
    }
    readPage(true);
}

int HistoryModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HistoryModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rows_.size()) {
        return {};
    }
    const HistoryRow &row = rows_.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case ColCheckNo:
            return row.checkNo != 0 ? QString::number(row.checkNo) : QString();
        case ColDate:
            return row.datePrinted;
        case ColPayee:
            return row.payee;
        case ColAmount:
            return GroupedAmount(row.amountCents);
        case ColMemo:
            return row.memo;
        case ColStatus:
            return StatusText(row);
        case ColAccountNo:
            return row.accountNo;
        case ColBy:
            return ByText(row);
        default:
            return {};
        }
    case Qt::ToolTipRole:
        // The address that went out with the check, whatever the payee book says now.
        if (index.column() == ColPayee && !row.address.isEmpty()) {
            return QStringLiteral("%1\n%2").arg(row.payee, row.address);
        }
        if (index.column() == ColBy) {
            return WhoDidWhat(row);
        }
        return {};
    case Qt::TextAlignmentRole:
        if (index.column() == ColCheckNo || index.column() == ColAmount) {
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    case IdRole:
        return row.id;
    case StatusRole:
        return row.status;
    default:
        return {};
    }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    switch (section) {
    case ColCheckNo:
        return QStringLiteral("Check No.");
    case ColDate:
        return QStringLiteral("Date Printed");
    case ColPayee:
        return QStringLiteral("Payee");
    case ColAmount:
        return QStringLiteral("Amount");
    case ColMemo:
        return QStringLiteral("Memo");
    case ColStatus:
        return QStringLiteral("Status");
    case ColAccountNo:
        return QStringLiteral("Account No.");
    case ColBy:
        return QStringLiteral("By");
    default:
        return {};
    }
}
