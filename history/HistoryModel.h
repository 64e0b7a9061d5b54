#pragma once

#include "history/HistoryQuery.h"

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVector>

#include <memory>

// One check of the history as read from the journal.
struct HistoryRow {
    qint64 id = 0;
    qint64 checkNo = 0;
    QString datePrinted; // "YYYY-MM-DD"
    QString payee;
    qint64 amountCents = 0;
    QString memo;
    QString status; // "printing", "issued", "voided" or "reprinted"
    QString voidReason;
    QString voidDate;
    QVariant reprintedAs; // null unless reprinted
    QString accountNo;
    QString address; // the payee's address as printed with the check, lines joined by line feeds
};

// Reads one row of a query that selects HistorySelectColumns().
HistoryRow ReadHistoryRow(const QSqlQuery &query);
// The status column's text: "Issued", "Void: reason (date)", "Reprinted as N: reason (date)",
// "Printing: run not finished".
QString StatusText(const HistoryRow &row);

// The checks of the journal for a filter and a sort, read a page at a time as the view scrolls:
// one query stays open and each fetchMore() reads the next page of it. The counts and the total of
// all matching checks come from a query of their own, not from the rows read so far. An empty
// connection name is a journal not written yet: no rows and no error.
class HistoryModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Role { IdRole = Qt::UserRole, StatusRole };

    explicit HistoryModel(QString connectionName, QObject *parent = nullptr);
    ~HistoryModel() override;

    // Runs the queries again for the filter and sort; the view starts over at the first page.
    void setFilter(const HistoryFilter &filter);
    void setSort(const HistorySort &sort);
    // Runs the current queries again (after a change to the journal).
    void refresh();
    // Drops the open query, e.g. before the connection closes.
    void clear();
    // Lets the open query go, keeping the rows read; the rest is read after the next refresh. Done
    // before a write to the journal, so that no statement of the history is open across it.
    void finishReading();
    // Reads from another connection from the next query on (the journal opened meanwhile).
    void setConnectionName(const QString &connectionName) { connection_ = connectionName; }

    const HistoryFilter &filter() const { return filter_; }
    const HistorySort &sortOrder() const { return sort_; }
    QString connectionName() const { return connection_; }
    // Checks matching the filter; of them the issued ones (payable) and the sum of their amounts in
    // cents, and the voided ones (reprinted forms among them).
    qint64 matchingCount() const { return count_; }
    qint64 issuedCount() const { return issuedCount_; }
    qint64 totalCents() const { return totalCents_; }
    qint64 voidedCount() const { return voidedCount_; }
    // Empty unless the last query failed.
    QString lastError() const { return error_; }
    const HistoryRow &rowAt(int row) const { return rows_.at(row); }

    void setPageSize(int rows) { pageSize_ = rows; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex &parent = QModelIndex()) const override;
    void fetchMore(const QModelIndex &parent = QModelIndex()) override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // The count and total were read again.
    void totalsChanged();

private:
    void requery();
    bool readTotals(const QSqlDatabase &db, const WhereClause &where);
    void readPage(bool announce);
    void fail(const QString &error);

    QString connection_;
    HistoryFilter filter_;
    HistorySort sort_;
    std::unique_ptr<QSqlQuery> query_;
    bool atEnd_ = true;
    QVector<HistoryRow> rows_;
    qint64 count_ = 0;
    qint64 issuedCount_ = 0;
    qint64 totalCents_ = 0;
    qint64 voidedCount_ = 0;
    QString error_;
    int pageSize_ = 200;
};
