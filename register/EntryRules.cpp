#include "register/EntryRules.h"

#include "platform/Ansi.h"

namespace {

const QString kPayeeBox = QStringLiteral("Pay to the Order of");
const QString kMemoBox = QStringLiteral("Category/Memo");

EntryCheck missing(EntryCheck::Field field, const QString &reason) {
    EntryCheck check;
    check.field = field;
    check.problem = EntryCheck::Problem::Missing;
    check.reason = reason;
    return check;
}

// Fails with the character and its code when the text holds one the code page cannot.
EntryCheck storable(const QString &text, EntryCheck::Field field, const QString &boxName, const QString &what) {
    EntryCheck check;
    const QString bad = FirstUnstorableCharacter(text);
    if (bad.isEmpty()) {
        return check;
    }
    const QString code = QStringLiteral("U+%1").arg(bad.toUcs4().value(0), 4, 16, QLatin1Char('0')).toUpper();
    // A line break or tab (pasted, or from a spreadsheet's cell) is named by its code alone.
    const QString named =
        bad.at(0).category() == QChar::Other_Control
            ? QStringLiteral("the control character ") + code
            : QStringLiteral("the character \"") + bad + QStringLiteral("\" (") + code + QLatin1Char(')');
    check.field = field;
    check.problem = EntryCheck::Problem::Unstorable;
    check.title = QStringLiteral("Character Not Allowed");
    check.message = QStringLiteral("The \"") + boxName + QStringLiteral("\" box holds ") + named +
                    QStringLiteral(", which cannot be printed on a check.\r\nRemove or replace it, then press Enter "
                                   "again.");
    check.reason = what + QStringLiteral(" holds ") + named + QStringLiteral(", which cannot be printed on a check");
    return check;
}

} // namespace

QString FirstUnstorableCharacter(const QString &text) {
    const QChar nonAnsi = FirstNonAnsi(text);
    qsizetype at = nonAnsi.isNull() ? text.size() : text.indexOf(nonAnsi);
    for (qsizetype i = 0; i < at; ++i) {
        if (text.at(i).category() == QChar::Other_Control) {
            at = i;
            break;
        }
    }
    if (at == text.size()) {
        return QString();
    }
    const QChar bad = text.at(at);
    if (bad.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
        return text.mid(at, 2);
    }
    return QString(bad);
}

EntryCheck CheckEntry(const QString &payee, const QString &amount, const QString &memo) {
    // A payee of blanks only would leave the payee line open for anyone to fill in.
    if (payee.trimmed().isEmpty()) {
        return missing(EntryCheck::Field::Payee, QStringLiteral("the payee is missing"));
    }
    if (memo.isEmpty()) {
        return missing(EntryCheck::Field::Memo, QStringLiteral("the memo is missing"));
    }
    if (amount.isEmpty()) {
        return missing(EntryCheck::Field::Amount, QStringLiteral("the amount is missing"));
    }
    if (EntryCheck check = storable(payee, EntryCheck::Field::Payee, kPayeeBox, QStringLiteral("the payee")); !check) {
        return check;
    }
    EntryCheck check;
    check.amount = CheckAmountText(amount);
    if (!check.amount) {
        check.field = EntryCheck::Field::Amount;
        check.problem = EntryCheck::Problem::Amount;
        check.title = QStringLiteral("Amount");
        check.message = check.amount.message;
        check.reason =
            QStringLiteral("the amount \"") + amount + QStringLiteral("\" ") + AmountProblemText(check.amount.problem);
        return check;
    }
    EntryCheck memoCheck = storable(memo, EntryCheck::Field::Memo, kMemoBox, QStringLiteral("the memo"));
    memoCheck.amount = check.amount;
    return memoCheck;
}
