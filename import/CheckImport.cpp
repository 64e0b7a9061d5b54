#include "import/CheckImport.h"

#include "journal/CheckJournal.h"
#include "journal/RunEnd.h"
#include "register/EntryRules.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

const QString kPayeeKey = QStringLiteral("payee");
const QString kAmountKey = QStringLiteral("amount");
const QString kMemoKey = QStringLiteral("memo");
const QString kHeaderKey = QStringLiteral("header");
const QString kNamesKey = QStringLiteral("names");

bool isAmount(const QString &text) {
    return !text.isEmpty() && CheckAmountText(PlainAmount(text)).problem != AmountCheck::Problem::NotANumber;
}

int find(const QStringList &header, const QStringList &captions, const QList<int> &taken) {
    for (const QString &caption : captions) {
        for (int i = 0; i < header.size(); ++i) {
            if (!taken.contains(i) && header[i].trimmed().compare(caption, Qt::CaseInsensitive) == 0) {
                return i;
            }
        }
    }
    return -1;
}

QString cut(const QString &text, int width, bool *wasCut) {
    *wasCut = text.size() > width;
    return text.left(width);
}

} // namespace

ImportColumns LoadImportColumns(Files &files) {
    ImportColumns columns;
    QByteArray bytes;
    if (files.FileLen(kImportSettingsFile) < 0 || !files.ReadWhole(kImportSettingsFile, bytes)) {
        return columns;
    }
    for (const QString &line : QString::fromUtf8(bytes).split(QLatin1Char('\n'))) {
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        bool ok = false;
        const int number = value.toInt(&ok);
        const int column = ok && number >= 0 && number < 1000 ? number : -1;
        if (key == kPayeeKey) {
            columns.payee = column;
        } else if (key == kAmountKey) {
            columns.amount = column;
        } else if (key == kMemoKey) {
            columns.memo = column;
        } else if (key == kHeaderKey) {
            columns.header = value == QLatin1String("1");
        } else if (key == kNamesKey) {
            columns.names = value.split(QChar(0x1F));
        }
    }
    return columns;
}

FileResult SaveImportColumns(Files &files, const ImportColumns &columns) {
    QString text;
    text += kPayeeKey + QLatin1Char('=') + QString::number(columns.payee) + QLatin1Char('\n');
    text += kAmountKey + QLatin1Char('=') + QString::number(columns.amount) + QLatin1Char('\n');
    text += kMemoKey + QLatin1Char('=') + QString::number(columns.memo) + QLatin1Char('\n');
    text += kHeaderKey + QLatin1Char('=') + (columns.header ? QLatin1Char('1') : QLatin1Char('0')) + QLatin1Char('\n');
    QStringList names = columns.names;
    for (QString &name : names) {
        name.remove(QLatin1Char('\n')).remove(QLatin1Char('\r')).remove(QChar(0x1F));
    }
    text += kNamesKey + QLatin1Char('=') + names.join(QChar(0x1F)) + QLatin1Char('\n');
    return files.ReplaceContents(kImportSettingsFile, text.toUtf8());
}

ImportColumns ChooseColumns(const QList<QStringList> &rows, const ImportColumns &remembered) {
    ImportColumns columns;
    if (rows.isEmpty()) {
        return remembered;
    }
    const QStringList &first = rows.first();
    // The first row with something in it after the first one.
    const auto next = std::find_if(rows.begin() + 1, rows.end(), [](const QStringList &row) {
        return std::any_of(row.begin(), row.end(), [](const QString &cell) { return !cell.trimmed().isEmpty(); });
    });
    const bool firstHasAmount = std::any_of(first.begin(), first.end(), isAmount);
    const bool nextHasAmount = next != rows.end() && std::any_of(next->begin(), next->end(), isAmount);
    columns.header = !firstHasAmount && (nextHasAmount || next == rows.end());
    const qsizetype width = first.size();
    QList<int> taken;
    if (columns.header) {
        int *const targets[] = {&columns.payee, &columns.amount, &columns.memo};
        const QStringList usual[] = {
            {QStringLiteral("Payee"), QStringLiteral("Pay to the Order of"), QStringLiteral("Pay to"),
             QStringLiteral("Paid to"), QStringLiteral("Name"), QStringLiteral("Vendor"), QStringLiteral("To")},
            {QStringLiteral("Amount"), QStringLiteral("Sum"), QStringLiteral("Total"), QStringLiteral("Value")},
            {QStringLiteral("Memo"), QStringLiteral("Category/Memo"), QStringLiteral("Category"),
             QStringLiteral("Note"), QStringLiteral("Notes"), QStringLiteral("Description"), QStringLiteral("For")}};
        for (int k = 0; k < 3; ++k) {
            QStringList captions = usual[k];
            if (remembered.names.size() == 3 && !remembered.names[k].trimmed().isEmpty()) {
                captions.prepend(remembered.names[k].trimmed());
            }
            *targets[k] = find(first, captions, taken);
            taken.append(*targets[k]);
        }
    }
    const bool allFound = columns.payee >= 0 && columns.amount >= 0 && columns.memo >= 0;
    if (!allFound && remembered.payee >= 0 && remembered.amount >= 0 && remembered.payee < width &&
        remembered.amount < width && remembered.memo < width) {
        const bool header = columns.header;
        columns = remembered;
        columns.header = header;
    } else if (!allFound) {
        // What the captions did not tell: the first column of amounts, then the text columns in order.
        const QStringList sample = columns.header ? (next != rows.end() ? *next : QStringList()) : first;
        for (int i = 0; i < sample.size() && columns.amount < 0; ++i) {
            if (!taken.contains(i) && isAmount(sample[i])) {
                columns.amount = i;
            }
        }
        taken.append(columns.amount);
        for (int *target : {&columns.payee, &columns.memo}) {
            for (int i = 0; i < sample.size() && *target < 0; ++i) {
                if (!taken.contains(i)) {
                    *target = i;
                    taken.append(i);
                }
            }
        }
    }
    columns.names.clear();
    if (columns.header) {
        columns.names = {first.value(columns.payee), first.value(columns.amount), first.value(columns.memo)};
    }
    return columns;
}

QString PlainAmount(const QString &text) {
    static const QRegularExpression shape(QStringLiteral("^\\$?(\\d{1,3}(,\\d{3})+|\\d+)(\\.\\d*)?$"));
    if (!text.startsWith(QLatin1Char('$')) && !text.contains(QLatin1Char(','))) {
        return text;
    }
    if (!shape.match(text).hasMatch()) {
        return text;
    }
    QString plain = text;
    plain.remove(QLatin1Char('$')).remove(QLatin1Char(','));
    return plain;
}

QString ImportRow::Verdict() const {
    if (refused()) {
        return QStringLiteral("Refused: ") + reason;
    }
    QStringList notes;
    if (printed) {
        notes.append(QStringLiteral("Printed before"));
    }
    if (payeeCut) {
        notes.append(QStringLiteral("Payee cut to %1 characters").arg(kPayToWidth));
    }
    if (memoCut) {
        notes.append(QStringLiteral("Memo cut to %1 characters").arg(kMemoWidth));
    }
    return notes.isEmpty() ? QStringLiteral("Good") : notes.join(QStringLiteral("; "));
}

QList<ImportRow> PreviewImport(const QList<QStringList> &rows, const ImportColumns &columns,
                               const QSet<QString> &printed) {
    QList<ImportRow> out;
    out.reserve(rows.size());
    for (qsizetype i = columns.header ? 1 : 0; i < rows.size(); ++i) {
        const QStringList &cells = rows[i];
        if (std::all_of(cells.begin(), cells.end(), [](const QString &cell) { return cell.trimmed().isEmpty(); })) {
            continue;
        }
        ImportRow row;
        row.row = static_cast<int>(i + 1);
        const QString payee = cells.value(columns.payee);
        const QString typed = cells.value(columns.amount);
        const QString amount = PlainAmount(typed);
        const QString memo = cells.value(columns.memo);
        const EntryCheck check = CheckEntry(payee, amount, memo);
        row.record.PayTo = cut(payee, kPayToWidth, &row.payeeCut);
        row.record.Amount = amount;
        row.record.Memo = cut(memo, kMemoWidth, &row.memoCut);
        row.record.Status = kStatusPrinted;
        if (check.problem == EntryCheck::Problem::Amount) {
            row.reason = QStringLiteral("the amount \"") + typed + QStringLiteral("\" ") +
                         AmountProblemText(check.amount.problem);
        } else if (!check) {
            row.reason = check.reason;
        } else if (amount.size() > kAmountWidth) {
            row.reason = QStringLiteral("the amount \"%1\" is longer than the %2 characters the register keeps")
                             .arg(amount)
                             .arg(kAmountWidth);
        }
        if (!row.refused()) {
            const JournalCheck content = JournalCheckFor(row.record, 0, {}, {});
            row.printed = printed.contains(PrintedContentKey(content.payee, content.amountCents, content.memo));
            row.keep = !row.printed;
        }
        out.append(row);
    }
    return out;
}

QList<RegisterRecord> KeptRecords(const QList<ImportRow> &rows, qint64 firstCheckNo, const QString &date) {
    QList<RegisterRecord> records;
    for (const ImportRow &row : rows) {
        if (row.keep && !row.refused()) {
            RegisterRecord record = row.record;
            record.CheckNo = QString::number(firstCheckNo + records.size());
            record.CheckDate = date;
            records.append(record);
        }
    }
    return records;
}
