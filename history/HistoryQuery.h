#pragma once

#include <QDate>
#include <QSqlDatabase>
#include <QString>
#include <QVariantList>

#include <optional>

// What the history shows: the checks of the journal narrowed by these filters. Every filter left
// empty lets every check through.
// Voided takes in the reprinted forms too; Awaiting is the checks waiting for a second person.
enum class StatusFilter { All, Issued, Voided, Awaiting };

struct HistoryFilter {
    QDate from;    // date printed, inclusive; invalid = no lower bound
    QDate to;      // inclusive; invalid = no upper bound
    QString payee; // contained in the payee, letter case ignored
    StatusFilter status = StatusFilter::All;
    std::optional<qint64> checkFrom; // check number, inclusive
    std::optional<qint64> checkTo;
    QString accountDigits; // the account's digits alone (one checkbook); empty = every account
    QString user;          // who printed, marked, voided, asked for or approved the check; empty = anyone
    QString computer;      // the computer any of that was done on; empty = any
};

// The journal's two engines differ in their SQL: the embedded SQLite file and a PostgreSQL server.
enum class SqlEngine { Embedded, Server };
SqlEngine EngineOf(const QSqlDatabase &db);

// The history's columns, in their order on screen.
// By: who printed the check (or asked for it), the rest of who did what in its tooltip.
enum HistoryColumn { ColCheckNo, ColDate, ColPayee, ColAmount, ColMemo, ColStatus, ColAccountNo, ColBy, ColumnCount };

struct HistorySort {
    int column = ColCheckNo;
    bool descending = false;
};

// A WHERE clause (with its leading " WHERE ", or empty) and the values bound to its placeholders.
struct WhereClause {
    QString sql;
    QVariantList values;
};

WhereClause BuildWhere(const HistoryFilter &filter, SqlEngine engine);
// " ORDER BY ..." for the sort; rows that tie keep the order they were journaled in. A check
// without a number yet (awaiting approval) sorts where the engine puts an empty value.
QString BuildOrderBy(const HistorySort &sort, SqlEngine engine);
// The columns every reader of the history selects, in this order, and the tables they come from:
// a check awaiting approval has no run.
QString HistorySelectColumns();
QString HistoryFrom();
// One page of the history: its rows for the where clause and sort, the page's size and the rows
// before it bound after the clause's values.
QString HistoryPageSql(const WhereClause &where, const HistorySort &sort, SqlEngine engine);
enum SelectedField {
    FieldId,
    FieldCheckNo,
    FieldDate,
    FieldPayee,
    FieldAmount,
    FieldMemo,
    FieldStatus,
    FieldVoidReason,
    FieldVoidDate,
    FieldReprintedAs,
    FieldAccountNo,
    FieldAddress,
    FieldPrintedBy,
    FieldPrintedHost,
    FieldMarkedBy,
    FieldMarkedHost,
    FieldRequestedBy,
    FieldRequestedHost,
    FieldRequestedAt,
    FieldApprovedBy,
    FieldApprovedHost,
    FieldApprovedAt
};

// A GLOB pattern that finds the text anywhere, each letter matching either case (SQLite's own
// case folding stops at ASCII).
QString ContainsPattern(const QString &text);
// The same as a PostgreSQL regular expression: the server's own case folding depends on its locale.
QString ContainsRegex(const QString &text);

// Cents as a plain decimal with a point: 123450 -> "1234.50", -5 -> "-0.05".
QString PlainAmount(qint64 cents);
// Cents with the thousands grouping of the locale's digits kept simple: 123450 -> "1,234.50".
QString GroupedAmount(qint64 cents);
