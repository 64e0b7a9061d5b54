#pragma once

#include "history/ExportLayouts.h"
#include "history/HistoryQuery.h"

#include <QList>
#include <QString>

class QIODevice;

enum class ExportFormat {
    // For a spreadsheet: every column, a header row first, a UTF-8 byte-order mark, text that a
    // spreadsheet would run as a formula neutralised.
    Csv,
    // For the bank: one account's checks in a bank's layout, payable (I) or void.
    PositivePay,
};

// What to export. A positive-pay file holds one account (its digits) and, with onlyNew, only what
// no earlier export sent with the same meaning (a check sent as issued goes again once voided).
struct ExportRequest {
    ExportFormat format = ExportFormat::Csv;
    PayLayout layout;
    QString accountDigits;
    bool onlyNew = false;
    bool writeEmpty = true; // false: no file at all when no check is to be written
};

struct ExportOutcome {
    bool ok = false;
    QString error;
    qint64 rows = 0;
    // Positive pay: the checks written and what each went out as, 'I' issued or 'V' void.
    QList<qint64> checkIds;
    QList<QChar> codes;
};

// One CSV field: quoted when it holds a comma, a quote, CR or LF (or always), quotes doubled.
QString CsvField(const QString &text, bool alwaysQuoted = false);
// Text a spreadsheet would run as a formula (first character =, +, -, @, tab or CR) gets a leading
// single quote, as OWASP's CSV-injection guidance says; other text is left as it is.
QString SpreadsheetText(const QString &text);
// A payee on one line (line breaks and tabs become blanks) cut to `length` characters (0: whole).
QString OneLinePayee(const QString &payee, int length);

// An account in the journal as the export offers it: its digits, as it was typed, and its checks.
struct ExportAccount {
    QString digits;
    QString typed;
    qint64 checks = 0;
};
bool ListExportAccounts(const QString &connectionName, QList<ExportAccount> &accounts, QString *error);

// Writes the checks of the filter, in the sort's order, to the device as UTF-8 CSV with CRLF line
// ends. The rows are read from the journal as they are written, never all held at once.
ExportOutcome WriteExport(const QString &connectionName, const HistoryFilter &filter, const HistorySort &sort,
                          const ExportRequest &request, QIODevice &out);

// The same into a file, readable by its owner alone. The file appears only when it was written
// whole: it is written beside its final name and renamed into place, so a failure leaves no file
// (and an older file of that name as it was).
ExportOutcome ExportToFile(const QString &connectionName, const HistoryFilter &filter, const HistorySort &sort,
                           const ExportRequest &request, const QString &path);
