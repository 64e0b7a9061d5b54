#include "history/PayeeCsv.h"

#include "history/HistoryExport.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>

namespace {

const QStringList kHeader{QStringLiteral("Name"),      QStringLiteral("Address 1"), QStringLiteral("Address 2"),
                          QStringLiteral("Address 3"), QStringLiteral("Address 4"), QStringLiteral("Memo"),
                          QStringLiteral("Notes")};

QString csvLine(const QStringList &fields) {
    QStringList quoted;
    for (const QString &field : fields) {
        quoted << CsvField(field);
    }
    return quoted.join(QLatin1Char(',')) + QStringLiteral("\r\n");
}

// The records of an RFC 4180 text: fields split at commas outside quotes, records at CRLF or LF.
QList<QStringList> parseCsv(const QString &text) {
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;
    bool any = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
            continue;
        }
        any = true;
        if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            record << field;
            field.clear();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
                ++i;
            }
            record << field;
            records << record;
            record.clear();
            field.clear();
            any = false;
        } else {
            field += c;
        }
    }
    if (any || !field.isEmpty() || !record.isEmpty()) {
        record << field;
        records << record;
    }
    return records;
}

// The text as it was before the export neutralised it.
QString fromSpreadsheet(const QString &text) {
    if (text.size() >= 2 && text.front() == u'\'' && SpreadsheetText(text.mid(1)) != text.mid(1)) {
        return text.mid(1);
    }
    return text;
}

} // namespace

QByteArray PayeesCsv(const QList<Payee> &payees) {
    QString text = csvLine(kHeader);
    for (const Payee &payee : payees) {
        QStringList fields{payee.name};
        for (int line = 0; line < kMostPayeeAddressLines; ++line) {
            fields << payee.address.value(line);
        }
        fields << payee.memo << payee.notes;
        for (QString &field : fields) {
            field = SpreadsheetText(field);
        }
        text += csvLine(fields);
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

FileResult ExportPayees(const QList<Payee> &payees, const QString &path) {
    const auto failed = [&path](const QString &reason) {
        return FileResult::Fail(
            QStringLiteral("The payees could not be written to %1: %2.").arg(QDir::toNativeSeparators(path), reason));
    };
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return failed(file.errorString());
    }
    // Payees and their addresses: for the owner's eyes only, whatever an older file allowed.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        file.cancelWriting();
        return failed(file.errorString());
    }
    const QByteArray bytes = PayeesCsv(payees);
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return failed(reason);
    }
    return FileResult::Ok();
}

FileResult ReadPayees(const QByteArray &bytes, PayeeRows &rows) {
    rows = {};
    if (bytes.size() >= kLargestPayeeFile) {
        return FileResult::Fail(QStringLiteral("the file is %1 MB; a payee file must be smaller than 10 MB")
                                    .arg(bytes.size() / (1024 * 1024)));
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || text.contains(QChar(0))) {
        return FileResult::Fail(QStringLiteral("the file is not CSV text in UTF-8; save it from the spreadsheet as "
                                               "\"CSV UTF-8\" and try again"));
    }
    QList<QStringList> records = parseCsv(text.startsWith(QChar(0xFEFF)) ? text.mid(1) : text);
    int row = 0;
    QSet<QString> seen;
    for (const QStringList &record : std::as_const(records)) {
        ++row;
        if (row == 1 && record.value(0).trimmed().compare(kHeader.first(), Qt::CaseInsensitive) == 0) {
            continue;
        }
        if (record.size() == 1 && record.first().trimmed().isEmpty()) {
            continue;
        }
        Payee payee;
        payee.name = PayeeName(fromSpreadsheet(record.value(0)));
        for (int line = 0; line < kMostPayeeAddressLines; ++line) {
            payee.address << fromSpreadsheet(record.value(1 + line)).trimmed();
        }
        payee.address = TrimmedAddress(payee.address);
        payee.memo = fromSpreadsheet(record.value(5));
        payee.notes = fromSpreadsheet(record.value(6));
        QString fault =
            record.size() > kHeader.size()
                ? QStringLiteral("it has %1 fields; a payee has at most %2.").arg(record.size()).arg(kHeader.size())
                : PayeeFault(payee);
        if (fault.isEmpty() && seen.contains(PayeeKey(payee.name))) {
            fault = QStringLiteral("\"%1\" is on an earlier row already.").arg(payee.name);
        }
        if (!fault.isEmpty()) {
            rows.problems << QStringLiteral("Row %1: %2").arg(row).arg(fault);
            continue;
        }
        seen.insert(PayeeKey(payee.name));
        rows.payees << payee;
    }
    return FileResult::Ok();
}

FileResult ReadPayeesFile(const QString &path, PayeeRows &rows) {
    const auto refused = [&path](const QString &reason) {
        return FileResult::Fail(
            QStringLiteral("The payees of %1 cannot be read: %2.").arg(QDir::toNativeSeparators(path), reason));
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(file.errorString());
    }
    if (file.size() >= kLargestPayeeFile) {
        return refused(QStringLiteral("the file is %1 MB; a payee file must be smaller than 10 MB")
                           .arg(file.size() / (1024 * 1024)));
    }
    const FileResult read = ReadPayees(file.readAll(), rows);
    return read ? read : refused(read.error);
}
