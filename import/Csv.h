#pragma once

#include "platform/Files.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

// Files of this size or more are refused before they are read.
constexpr qint64 kLargestCsvBytes = 10'000'000;

// The rows of a CSV file (RFC 4180: fields separated by commas, quoted with '"' and '""' inside,
// rows ended by CRLF or LF), in UTF-8 with or without a byte-order mark. Refused whole, naming
// the reason and where, when the bytes hold NUL or other control characters (a binary file), are
// not UTF-8 (another encoding), or end inside a quoted field. `what` names the file in messages.
FileResult ParseCsv(const QByteArray &bytes, const QString &what, QList<QStringList> &rows);

// Reads and parses a file of the program's files (see Files): refused when it is 10 MB or more.
FileResult ReadCsvFile(Files &files, const QString &name, QList<QStringList> &rows);
