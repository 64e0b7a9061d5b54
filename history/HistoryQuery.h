#pragma once

#include <QDate>
#include <QString>
#include <QVariantList>

#include <optional>

// What the history shows: the checks of the journal narrowed by these filters. Every filter left
// empty lets every check through.
enum class StatusFilter { All, Issued, Voided }; // Voided takes in the reprinted forms too

struct HistoryFilter {
    QDate from;    // date printed, inclusive; invalid = no lower bound
    QDate to;      // inclusive; invalid = no upper bound
    QString payee; // contained in the payee, letter case ignored
    StatusFilter status = StatusFilter::All;
    std::optional<qint64> checkFrom; // check number, inclusive
    std::optional<qint64> checkTo;
    QString accountDigits; // the account's digits alone (one checkbook); empty = every account
};

// The history's columns, in their order on screen.
enum HistoryColumn { ColCheckNo, ColDate, ColPayee, ColAmount, ColMemo, ColStatus, ColAccountNo, ColumnCount };

struct HistorySort {
    int column = ColCheckNo;
    bool descending = false;
};

// A WHERE clause (with its leading " WHERE ", or empty) and the values bound to its placeholders.
struct WhereClause {
    QString sql;
    QVariantList values;
};

WhereClause BuildWhere(const HistoryFilter &filter);
// " ORDER BY ..." for the sort; rows that tie keep the order they were journaled in.
QString BuildOrderBy(const HistorySort &sort);
// The columns every reader of the history selects, in this order.
QString HistorySelectColumns();
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
    FieldAddress
};

// A GLOB pattern that finds the text anywhere, each letter matching either case (SQLite's own
// case folding stops at ASCII).
QString ContainsPattern(const QString &text);

// Cents as a plain decimal with a point: 123450 -> "1234.50", -5 -> "-0.05".
QString PlainAmount(qint64 cents);
// Cents with the thousands grouping of the locale's digits kept simple: 123450 -> "1,234.50".
QString GroupedAmount(qint64 cents);
