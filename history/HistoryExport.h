#pragma once

#include "history/HistoryQuery.h"

#include <QString>

class QIODevice;

enum class ExportFormat {
    // Every column, a header row first.
    Csv,
    // The banks' common layout, no header: account number, check number, issue date (YYYY-MM-DD),
    // amount, payee, "I" for issued or "V" for void.
    PositivePay,
};

struct ExportOutcome {
    bool ok = false;
    QString error;
    qint64 rows = 0;
};

// One CSV field: quoted when it holds a comma, a quote, CR or LF, with its quotes doubled.
QString CsvField(const QString &text);

// Writes the checks of the filter, in the sort's order, to the device as UTF-8 CSV with CRLF line
// ends. The rows are read from the journal as they are written, never all held at once.
ExportOutcome WriteExport(const QString &connectionName, const HistoryFilter &filter, const HistorySort &sort,
                          ExportFormat format, QIODevice &out);

// The same into a file, readable by its owner alone. The file appears only when it was written
// whole: it is written beside its final name and renamed into place, so a failure leaves no file
// (and an older file of that name as it was).
ExportOutcome ExportToFile(const QString &connectionName, const HistoryFilter &filter, const HistorySort &sort,
                           ExportFormat format, const QString &path);
