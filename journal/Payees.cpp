#include "journal/Payees.h"

#include "platform/Ansi.h"
#include "register/Register.h"

namespace {

// The first character of a printed field the code page cannot hold, as a fault; empty when none.
QString codePageFault(const QString &field, const QString &text) {
    const QChar bad = FirstNonAnsi(text);
    if (bad.isNull()) {
        return QString();
    }
    const QString code = QString::number(bad.unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return QStringLiteral("The %1 holds the character \"%2\" (U+%3), which cannot be printed on a check; remove or "
                          "replace it.")
        .arg(field, QString(bad), code);
}

} // namespace

QString PayeeKey(const QString &name) {
    return name.trimmed().toCaseFolded();
}

QString PayeeName(const QString &name) {
    return name.trimmed();
}

QStringList TrimmedAddress(const QStringList &address) {
    QStringList lines = address;
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) {
        lines.removeLast();
    }
    return lines;
}

QString PayeeFault(const Payee &payee) {
    const QString name = PayeeName(payee.name);
    if (name.isEmpty()) {
        return QStringLiteral("The name is blank; type the payee's name.");
    }
    if (name.size() > kPayToWidth) {
        return QStringLiteral("The name \"%1\" is %2 characters long; a check holds %3. Shorten it.")
            .arg(name)
            .arg(name.size())
            .arg(kPayToWidth);
    }
    if (QString fault = codePageFault(QStringLiteral("name"), name); !fault.isEmpty()) {
        return fault;
    }
    const QStringList address = TrimmedAddress(payee.address);
    if (address.size() > kMostPayeeAddressLines) {
        return QStringLiteral("The address has %1 lines; a check prints %2.")
            .arg(address.size())
            .arg(kMostPayeeAddressLines);
    }
    for (qsizetype i = 0; i < address.size(); ++i) {
        const QString field = QStringLiteral("address line %1").arg(i + 1);
        if (address[i].size() > kPayeeAddressWidth) {
            return QStringLiteral("The %1 is %2 characters long; the envelope window shows %3. Shorten it.")
                .arg(field)
                .arg(address[i].size())
                .arg(kPayeeAddressWidth);
        }
        if (QString fault = codePageFault(field, address[i]); !fault.isEmpty()) {
            return fault;
        }
    }
    if (payee.memo.size() > kMemoWidth) {
        return QStringLiteral("The memo is %1 characters long; a check holds %2. Shorten it.")
            .arg(payee.memo.size())
            .arg(kMemoWidth);
    }
    if (QString fault = codePageFault(QStringLiteral("memo"), payee.memo); !fault.isEmpty()) {
        return fault;
    }
    if (payee.notes.size() > kPayeeNotesLength) {
        return QStringLiteral("The notes are %1 characters long; the book keeps %2.")
            .arg(payee.notes.size())
            .arg(kPayeeNotesLength);
    }
    return QString();
}
