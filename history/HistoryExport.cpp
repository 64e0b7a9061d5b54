#include "history/HistoryExport.h"

#include "history/HistoryModel.h"

#include <QFileDevice>
#include <QIODevice>
#include <QSaveFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

constexpr qsizetype kChunk = 64 * 1024;

bool NeedsQuotes(const QString &text) {
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            return true;
        }
    }
    return false;
}

void AppendRecord(QByteArray &buffer, const QStringList &fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += QLatin1Char(',');
        }
        line += CsvField(fields.at(i));
    }
    buffer += line.toUtf8();
    buffer += "\r\n";
}

QStringList CsvHeader() {
    return {QStringLiteral("Check Number"),  QStringLiteral("Date Printed"), QStringLiteral("Payee"),
            QStringLiteral("Amount"),        QStringLiteral("Memo"),         QStringLiteral("Status"),
            QStringLiteral("Void Reason"),   QStringLiteral("Void Date"),    QStringLiteral("Reprinted As"),
            QStringLiteral("Account Number")};
}

QStringList Fields(const HistoryRow &row, ExportFormat format) {
    if (format == ExportFormat::PositivePay) {
        return {row.accountNo,   QString::number(row.checkNo),
                row.datePrinted, PlainAmount(row.amountCents),
                row.payee,       row.status == QLatin1String("issued") ? QStringLiteral("I") : QStringLiteral("V")};
    }
    return {QString::number(row.checkNo),
            row.datePrinted,
            row.payee,
            PlainAmount(row.amountCents),
            row.memo,
            row.status,
            row.voidReason,
            row.voidDate,
            row.reprintedAs.isNull() ? QString() : QString::number(row.reprintedAs.toLongLong()),
            row.accountNo};
}

bool Flush(QIODevice &out, QByteArray &buffer, ExportOutcome &outcome) {
    if (buffer.isEmpty()) {
        return true;
    }
    if (out.write(buffer) != buffer.size()) {
        outcome.error = out.errorString();
        if (outcome.error.isEmpty() || outcome.error == QLatin1String("Unknown error")) {
            outcome.error = QStringLiteral("the data could not all be written");
        }
        return false;
    }
    buffer.clear();
    return true;
}

} // namespace

QString CsvField(const QString &text) {
    if (!NeedsQuotes(text)) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

ExportOutcome WriteExport(const QString &connectionName, const HistoryFilter &filter, const HistorySort &sort,
                          ExportFormat format, QIODevice &out) {
    ExportOutcome outcome;
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) {
        outcome.error = QStringLiteral("the check journal is not open");
        return outcome;
    }
    const WhereClause where = BuildWhere(filter);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(QStringLiteral("SELECT ") + HistorySelectColumns() + QStringLiteral(" FROM checks") + where.sql +
                       BuildOrderBy(sort))) {
        outcome.error = query.lastError().text();
        return outcome;
    }
    for (const QVariant &value : where.values) {
        query.addBindValue(value);
    }
    if (!query.exec()) {
        outcome.error = query.lastError().text();
        return outcome;
    }
    QByteArray buffer;
    buffer.reserve(kChunk + 4096);
    if (format == ExportFormat::Csv) {
        AppendRecord(buffer, CsvHeader());
    }
    while (query.next()) {
        AppendRecord(buffer, Fields(ReadHistoryRow(query), format));
        ++outcome.rows;
        if (buffer.size() >= kChunk && !Flush(out, buffer, outcome)) {
            return outcome;
        }
    }
    if (query.lastError().isValid()) {
        outcome.error = query.lastError().text();
        return outcome;
    }
    if (!Flush(out, buffer, outcome)) {
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

ExportOutcome ExportToFile(const QString &connectionName, const HistoryFilter &filter, const HistorySort &sort,
                           ExportFormat format, const QString &path) {
    ExportOutcome outcome;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        outcome.error = file.errorString();
        return outcome;
    }
    // Account numbers and payees: for the owner's eyes only, whatever an older file allowed.
    if (!file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
        outcome.error = file.errorString();
        file.cancelWriting();
        return outcome;
    }
    outcome = WriteExport(connectionName, filter, sort, format, file);
    if (!outcome.ok) {
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit()) {
        outcome.ok = false;
        outcome.error = file.errorString();
    }
    return outcome;
}
