#include "history/HistoryModel.h"

#include <QSqlError>

HistoryRow ReadHistoryRow(const QSqlQuery &query) {
    HistoryRow row;
    row.id = query.value(FieldId).toLongLong();
    row.checkNo = query.value(FieldCheckNo).toLongLong();
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
    return row;
}

QString StatusText(const HistoryRow &row) {
    if (row.status == QLatin1String("issued")) {
        return QStringLiteral("Issued");
    }
    if (row.status == QLatin1String("printing")) {
        return QStringLiteral("Printing: run not finished");
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
    query_.reset();
    atEnd_ = true;
    rows_.clear();
    endResetModel();
    count_ = issuedCount_ = totalCents_ = voidedCount_ = 0;
    emit totalsChanged();
}

void HistoryModel::finishReading() {
    query_.reset();
    atEnd_ = true;
}

void HistoryModel::fail(const QString &error) {
    error_ = error;
    query_.reset();
    atEnd_ = true;
}

bool HistoryModel::readTotals(const QSqlDatabase &db, const WhereClause &where) {
    // Only issued checks are payable: the total is theirs; voided and reprinted forms are counted.
    QSqlQuery totals(db);
    totals.setForwardOnly(true);
    if (!totals.prepare(QStringLiteral("SELECT COUNT(*), COALESCE(SUM(status = 'issued'), 0), "
                                       "COALESCE(SUM(CASE WHEN status = 'issued' THEN amount_cents END), 0), "
                                       "COALESCE(SUM(status IN ('voided', 'reprinted')), 0) FROM checks") +
                        where.sql)) {
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
    return true;
}

void HistoryModel::requery() {
    beginResetModel();
    query_.reset();
    rows_.clear();
    atEnd_ = true;
    error_.clear();
    count_ = issuedCount_ = totalCents_ = voidedCount_ = 0;

    const QSqlDatabase db = QSqlDatabase::database(connection_, false);
    const WhereClause where = BuildWhere(filter_);
    if (connection_.isEmpty()) {
        // Nothing printed yet: no journal, an empty history.
    } else if (!db.isOpen()) {
        fail(QStringLiteral("the journal is not open"));
    } else if (readTotals(db, where)) {
        query_ = std::make_unique<QSqlQuery>(db);
        query_->setForwardOnly(true);
        const QString sql = QStringLiteral("SELECT ") + HistorySelectColumns() + QStringLiteral(" FROM checks") +
                            where.sql + BuildOrderBy(sort_);
        if (!query_->prepare(sql)) {
            fail(query_->lastError().text());
        } else {
            for (const QVariant &value : where.values) {
                query_->addBindValue(value);
            }
            if (!query_->exec()) {
                fail(query_->lastError().text());
            } else {
                atEnd_ = false;
                readPage(false);
            }
        }
    }
    endResetModel();
    emit totalsChanged();
}

void HistoryModel::readPage(bool announce) {
    QVector<HistoryRow> page;
    page.reserve(pageSize_);
    while (page.size() < pageSize_) {
        if (!query_->next()) {
            if (query_->lastError().isValid()) {
                error_ = query_->lastError().text();
            }
            atEnd_ = true;
            break;
        }
        page.append(ReadHistoryRow(*query_));
    }
    if (atEnd_) {
        // Let the statement go: an open read keeps the journal's write-ahead log from being reset.
        query_.reset();
    }
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
    if (parent.isValid() || atEnd_ || !query_) {
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
            return QString::number(row.checkNo);
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
        default:
            return {};
        }
    case Qt::ToolTipRole:
        // The address that went out with the check, whatever the payee book says now.
        if (index.column() == ColPayee && !row.address.isEmpty()) {
            return QStringLiteral("%1\n%2").arg(row.payee, row.address);
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
    default:
        return {};
    }
}
