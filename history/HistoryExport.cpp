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
// The digits of the account, selected after the history's own columns for positive pay.
constexpr int kFieldAccountDigits = FieldApprovedAt + 1;

bool NeedsQuotes(const QString &text) {
    for (const QChar c : text) {
        if (c == QLatin1Char(',') || c == QLatin1Char('"') || c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            return true;
        }
    }
    return false;
}

struct Field {
    QString text;
    bool quoted = false;
};

void AppendRecord(QByteArray &buffer, const QList<Field> &fields) {
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            line += QLatin1Char(',');
        }
        line += CsvField(fields.at(i).text, fields.at(i).quoted);
    }
    buffer += line.toUtf8();
    buffer += "\r\n";
}

QList<Field> Plain(const QStringList &texts) {
    QList<Field> fields;
    for (const QString &text : texts) {
        fields.append({text});
    }
    return fields;
}

QStringList CsvHeader() {
    return {QStringLiteral("Check Number"),  QStringLiteral("Date Printed"), QStringLiteral("Payee"),
            QStringLiteral("Amount"),        QStringLiteral("Memo"),         QStringLiteral("Status"),
            QStringLiteral("Void Reason"),   QStringLiteral("Void Date"),    QStringLiteral("Reprinted As"),
            QStringLiteral("Account Number")};
}

// The person's texts are neutralised; the account number is always quoted so that a spreadsheet
// that keeps quoted fields as text keeps its leading zeros and hyphens.
QList<Field> CsvFields(const HistoryRow &row) {
    return {{QString::number(row.checkNo)},
            {row.datePrinted},
            {SpreadsheetText(row.payee)},
            {PlainAmount(row.amountCents)},
            {SpreadsheetText(row.memo)},
            {row.status},
            {SpreadsheetText(row.voidReason)},
            {row.voidDate},
            {row.reprintedAs.isNull() ? QString() : QString::number(row.reprintedAs.toLongLong())},
            {SpreadsheetText(row.accountNo), true}};
}

QString PayHeading(PayField field) {
    switch (field) {
    case PayField::Account:
        return QStringLiteral("Account");
    case PayField::CheckNo:
        return QStringLiteral("Check Number");
    case PayField::Amount:
        return QStringLiteral("Amount");
    case PayField::Date:
        return QStringLiteral("Date");
    case PayField::Code:
        return QStringLiteral("Code");
    case PayField::Payee:
        return QStringLiteral("Payee");
    }
    return QString();
}

// A void row carries the date it was voided; an issued one the date it was printed.
QStringList PayFields(const HistoryRow &row, const QString &digits, const PayLayout &layout, bool issued) {
    QStringList fields;
    for (const PayField field : layout.fields) {
        switch (field) {
        case PayField::Account:
            fields << digits;
            break;
        case PayField::CheckNo:
            fields << QString::number(row.checkNo);
            break;
        case PayField::Amount:
            fields << PlainAmount(row.amountCents);
            break;
        case PayField::Date:
            fields << FormatPayDate(issued || row.voidDate.isEmpty() ? row.datePrinted : row.voidDate,
                                    layout.dateFormat);
            break;
        case PayField::Code:
            fields << (issued ? layout.issuedCode : layout.voidCode);
            break;
        case PayField::Payee:
            fields << OneLinePayee(row.payee, layout.payeeLength);
            break;
        }
    }
    return fields;
}

// The rows of the export: the history's filter, never a check that only waits for approval (no
// check was issued), and for positive pay the account, no check of an unfinished run, and (only
// new) nothing already sent with the same meaning.
WhereClause ExportWhere(const HistoryFilter &filter, const ExportRequest &request, SqlEngine engine) {
    WhereClause where = BuildWhere(filter, engine);
    QString terms;
    if (request.format != ExportFormat::PositivePay) {
        terms = QStringLiteral("checks.status NOT IN ('awaiting', 'approved')");
    } else {
        terms = QStringLiteral("checks.account_digits = ? AND checks.status IN ('issued', 'voided', 'reprinted')");
        where.values << request.accountDigits;
    }
    if (request.format == ExportFormat::PositivePay && request.onlyNew) {
        terms += QStringLiteral(" AND NOT EXISTS (SELECT 1 FROM export_rows e WHERE e.check_id = checks.id AND "
                                "e.code = CASE checks.status WHEN 'issued' THEN 'I' ELSE 'V' END)");
    }
    where.sql += (where.sql.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) + terms;
    return where;
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

QString CsvField(const QString &text, bool alwaysQuoted) {
    if (!alwaysQuoted && !NeedsQuotes(text)) {
        return text;
    }
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString SpreadsheetText(const QString &text) {
    if (text.isEmpty()) {
        return text;
    }
    const QChar first = text.front();
    const bool formula = first == QLatin1Char('=') || first == QLatin1Char('+') || first == QLatin1Char('-') ||
                         first == QLatin1Char('@') || first == QLatin1Char('\t') || first == QLatin1Char('\r');
    return formula ? QLatin1Char('\'') + text : text;
}

QString OneLinePayee(const QString &payee, int length) {
    QString line;
    line.reserve(payee.size());
    for (const QChar c : payee) {
        line += c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator
                    ? QLatin1Char(' ')
                    : c;
    }
    line = line.simplified();
    return length > 0 && line.size() > length ? line.left(length).trimmed() : line;
}

bool ListExportAccounts(const QString &connectionName, QList<ExportAccount> &accounts, QString *error) {
    accounts.clear();
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) {
        *error = QStringLiteral("the check journal is not open");
        return false;
    }
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("SELECT account_digits, MIN(account_no), COUNT(*) FROM checks WHERE status IN "
                                   "('issued', 'voided', 'reprinted') GROUP BY account_digits ORDER BY "
                                   "account_digits"))) {
        *error = query.lastError().text();
        return false;
    }
    while (query.next()) {
        accounts.append({query.value(0).toString(), query.value(1).toString(), query.value(2).toLongLong()});
    }
    return true;
}

ExportOutcome WriteExport(const QString &connectionName, const HistoryFilter &filter, const HistorySort &sort,
                          const ExportRequest &request, QIODevice &out) {
    ExportOutcome outcome;
    const bool pay = request.format == ExportFormat::PositivePay;
    if (pay && !LayoutProblem(request.layout).isEmpty()) {
        outcome.error = LayoutProblem(request.layout);
        return outcome;
    }
    const QSqlDatabase db = QSqlDatabase::database(connectionName, false);
    if (!db.isOpen()) {
        outcome.error = QStringLiteral("the check journal is not open");
        return outcome;
    }
    const SqlEngine engine = EngineOf(db);
    const WhereClause where = ExportWhere(filter, request, engine);
    QSqlQuery query(db);
    query.setForwardOnly(true);
    const QString columns = HistorySelectColumns() + (pay ? QStringLiteral(", checks.account_digits") : QString());
    if (!query.prepare(QStringLiteral("SELECT ") + columns + HistoryFrom() + where.sql + BuildOrderBy(sort, engine))) {
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
    if (!pay) {
        buffer += "\xEF\xBB\xBF"; // the byte-order mark: spreadsheets then read the file as UTF-8
        AppendRecord(buffer, Plain(CsvHeader()));
    } else if (request.layout.header) {
        QStringList headings;
        for (const PayField field : request.layout.fields) {
            headings << PayHeading(field);
        }
        AppendRecord(buffer, Plain(headings));
    }
    while (query.next()) {
        const HistoryRow row = ReadHistoryRow(query);
        if (pay) {
            const bool issued = row.status == QLatin1String("issued");
            AppendRecord(buffer,
                         Plain(PayFields(row, query.value(kFieldAccountDigits).toString(), request.layout, issued)));
            outcome.checkIds.append(row.id);
            outcome.codes.append(issued ? QLatin1Char('I') : QLatin1Char('V'));
        } else {
            AppendRecord(buffer, CsvFields(row));
        }
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
                           const ExportRequest &request, const QString &path) {
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
    outcome = WriteExport(connectionName, filter, sort, request, file);
    if (!outcome.ok || (outcome.rows == 0 && !request.writeEmpty)) {
        file.cancelWriting();
        return outcome;
    }
    if (!file.commit()) {
        outcome.ok = false;
        outcome.error = file.errorString();
    }
    return outcome;
}
