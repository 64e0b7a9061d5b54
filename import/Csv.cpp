#include "import/Csv.h"

#include <QDir>
#include <QStringDecoder>

namespace {

// The line (1-based) of the byte at `offset`.
qsizetype lineOf(const QByteArray &bytes, qsizetype offset) {
    return bytes.left(offset).count('\n') + 1;
}

} // namespace

FileResult ParseCsv(const QByteArray &bytes, const QString &what, QList<QStringList> &rows) {
    rows.clear();
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        return FileResult::Fail(QStringLiteral("%1 is in UTF-16, not UTF-8. Save it from the spreadsheet as "
                                               "\"CSV UTF-8\", then import it again.")
                                    .arg(what));
    }
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x20 && c != '\t' && c != '\r' && c != '\n') {
            return FileResult::Fail(QStringLiteral("%1 is not a text file: line %2 holds the control byte 0x%3. "
                                                   "Choose a CSV file saved from a spreadsheet.")
                                        .arg(what)
                                        .arg(lineOf(bytes, i))
                                        .arg(c, 2, 16, QLatin1Char('0')));
        }
    }
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        const qsizetype bad = text.indexOf(QChar(QChar::ReplacementCharacter));
        const qsizetype line = bad < 0 ? 1 : text.left(bad).count(QLatin1Char('\n')) + 1;
        return FileResult::Fail(QStringLiteral("%1 is not in UTF-8 (line %2 holds bytes that are not UTF-8 text): it "
                                               "was saved in another encoding. Save it from the spreadsheet as \"CSV "
                                               "UTF-8\", then import it again.")
                                    .arg(what)
                                    .arg(line));
    }
    QStringList row;
    QString field;
    bool quoted = false;
    bool wasQuoted = false;
    qsizetype quoteLine = 0;
    qsizetype line = 1;
    qsizetype i = text.startsWith(QChar(0xFEFF)) ? 1 : 0;
    const qsizetype n = text.size();
    auto endRow = [&] {
        row.append(field);
        rows.append(row);
        row.clear();
        field.clear();
        wasQuoted = false;
    };
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < n && text.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                line += c == QLatin1Char('\n') ? 1 : 0;
                field += c;
            }
            continue;
        }
        if (c == QLatin1Char('"') && field.isEmpty() && !wasQuoted) {
            quoted = true;
            wasQuoted = true;
            quoteLine = line;
        } else if (c == QLatin1Char(',')) {
            row.append(field);
            field.clear();
            wasQuoted = false;
        } else if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n')) {
            continue;
        } else if (c == QLatin1Char('\n')) {
            ++line;
            endRow();
        } else {
            field += c;
        }
    }
    if (quoted) {
        rows.clear();
        return FileResult::Fail(QStringLiteral("%1 ends inside a quoted field that begins on line %2: a closing "
                                               "quote is missing. Nothing was imported.")
                                    .arg(what)
                                    .arg(quoteLine));
    }
    if (!field.isEmpty() || !row.isEmpty() || wasQuoted) {
        endRow();
    }
    return FileResult::Ok();
}

FileResult ReadCsvFile(Files &files, const QString &name, QList<QStringList> &rows) {
    rows.clear();
    const QString what = QStringLiteral("The file ") + QDir::toNativeSeparators(files.FullPath(name));
    const qint64 size = files.FileLen(name);
    if (size >= kLargestCsvBytes) {
        return FileResult::Fail(QStringLiteral("%1 is %2 bytes long; a file of checks to import must be smaller than "
                                               "10 MB. Split it into smaller files and import them one by one.")
                                    .arg(what)
                                    .arg(size));
    }
    QByteArray bytes;
    FileResult read = files.ReadWhole(name, bytes);
    if (!read) {
        return FileResult::Fail(what + QStringLiteral(" could not be read: ") + read.error);
    }
    // It may have grown since its length was asked.
    if (bytes.size() >= kLargestCsvBytes) {
        return FileResult::Fail(QStringLiteral("%1 is %2 bytes long; a file of checks to import must be smaller than "
                                               "10 MB.")
                                    .arg(what)
                                    .arg(bytes.size()));
    }
    return ParseCsv(bytes, what, rows);
}
