#pragma once

#include "history/HistoryQuery.h"
#include "journal/CheckJournal.h"

#include <QAbstractTableModel>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVector>

#include <memory>

// One check of the history as read from the journal.
struct HistoryRow {
    qint64 id = 0;
    qint64 checkNo = 0;  // 0: none yet (awaiting approval, or approved and not printed)
    QString datePrinted; // "YYYY-MM-DD"; the day it was asked for while it has no number
    QString payee;
    qint64 amountCents = 0;
    QString memo;
    QString status; // "awaiting", "approved", "printing", "issued", "voided" or "reprinted"
    QString voidReason;
    QString voidDate;
    QVariant reprintedAs; // null unless reprinted
    QString accountNo;
    QString address;      // the payee's address as printed with the check, lines joined by line feeds
    JournalWho printedBy; // empty when it has no run
    JournalWho markedBy;  // who marked it spoiled or void, or voided it
    JournalWho requestedBy;
    QString requestedAt;
    JournalWho approvedBy;
    QString approvedAt;
};

// Reads one row of a query that selects HistorySelectColumns().
HistoryRow ReadHistoryRow(const QSqlQuery &query);
// The status column's text: "Issued", "Void: reason (date)", "Reprinted as N: reason (date)",
// "Printing: run not finished", "awaiting approval", "approved".
QString StatusText(const HistoryRow &row);
// The By column: who printed the check ("anna@office-pc"), or who asked for it while it waits.
QString ByText(const HistoryRow &row);
// Who did what with the check, one line each, for the By column's tooltip.
QString WhoDidWhat(const HistoryRow &row);

// The people and the computers the journal has seen do anything, sorted, for the history's filters.
bool LoadWhoChoices(const QString &connectionName, QStringList *users, QStringList *computers, QString *error);

// The checks of the journal for a filter and a sort, read a page at a time as the view scrolls:
// each fetchMore() asks for the next page alone, so that a server starts the list from an index
// instead of sorting the whole table, and no read stays open between pages. The counts and the total of
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
    // Drops the rows, e.g. before the connection closes.
    void clear();
    // Stops reading, keeping the rows read; the rest is read after the next refresh. Done before a
    // write to the journal, so that the list is read again once it is written.
    void finishReading();
    // Reads from another connection from the next query on (the journal opened meanwhile).
    void setConnectionName(const QString &connectionName) { connection_ = connectionName; }

    const HistoryFilter &filter() const { return filter_; }
    const HistorySort &sortOrder() const { return sort_; }
    QString connectionName() const { return connection_; }
    // Checks matching the filter; of them the issued ones (payable) and the sum of their amounts in
    // cents, the voided ones (reprinted forms among them) and those awaiting approval.
    qint64 matchingCount() const { return count_; }
    qint64 issuedCount() const { return issuedCount_; }
    qint64 totalCents() const { return totalCents_; }
    qint64 voidedCount() const { return voidedCount_; }
    qint64 awaitingCount() const { return awaitingCount_; }
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
    bool atEnd_ = true;
    QVector<HistoryRow> rows_;
    qint64 count_ = 0;
    qint64 issuedCount_ = 0;
    qint64 totalCents_ = 0;
    qint64 voidedCount_ = 0;
    qint64 awaitingCount_ = 0;
    QString error_;
    int pageSize_ = 200;
};
