#pragma once

#include "journal/Payees.h"
#include "platform/Files.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The payee book as a CSV file, by the rules of the history's CSV export: RFC 4180, UTF-8 with a
// byte-order mark, CRLF line ends, a header row, text a spreadsheet would run as a formula
// neutralised with a leading single quote (taken off again when the file is read back).

// Files larger than this are refused whole.
constexpr qint64 kLargestPayeeFile = 10 * 1024 * 1024;

QByteArray PayeesCsv(const QList<Payee> &payees);
// Writes the file whole, readable by its owner alone, or leaves no file (and an older one as it was).
FileResult ExportPayees(const QList<Payee> &payees, const QString &path);

// What a payee file holds: the rows that can be kept, and one line for each row that cannot
// ("Row 4: ..."), counting the header row when there is one.
struct PayeeRows {
    QList<Payee> payees;
    QStringList problems;
};
// Reads a payee file. Refused whole, with the reason: a file that is not UTF-8 text (a binary file,
// another encoding) or one too large. A first row whose first field is "Name" is the header.
FileResult ReadPayees(const QByteArray &bytes, PayeeRows &rows);
FileResult ReadPayeesFile(const QString &path, PayeeRows &rows);
