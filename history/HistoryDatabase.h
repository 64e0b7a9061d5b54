#pragma once

#include <QDate>
#include <QString>

// A connection to the check journal for the history window.
struct HistoryConnection {
    QString connectionName; // a QSqlDatabase connection, open when error is empty
    QString error;          // why the journal could not be opened
    bool ok() const { return error.isEmpty(); }
};

// Opens the journal file for reading and voiding. A journal that does not exist yet opens as an
// empty one in memory (nothing has been printed; no file is created for that). The history never
// creates or migrates the journal file itself.
HistoryConnection OpenHistoryDatabase(const QString &path);
// Closes a connection opened by OpenHistoryDatabase.
void CloseHistoryDatabase(const QString &connectionName);

// The tables the history reads, as the journal creates them (used for the empty journal).
QString HistoryTablesSql();

// Sets an issued check to voided with the reason and date, in one transaction. Fails (with the
// reason, and nothing changed) when the reason is blank, the date is invalid or before the check
// was printed, or the check is not issued any more.
struct VoidOutcome {
    bool ok = false;
    QString error;
};
VoidOutcome VoidCheck(const QString &connectionName, qint64 checkId, const QString &reason, const QDate &date);
