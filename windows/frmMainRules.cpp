#include "windows/frmMainRules.h"

#include "platform/Ansi.h"

namespace {

AmountCheck refuse(AmountCheck::Problem problem, const QString &message) {
    AmountCheck check;
    check.problem = problem;
    check.message = message;
    return check;
}

} // namespace

AmountCheck CheckAmountText(const QString &text) {
    int digits = 0;
    int points = 0;
    int decimals = 0;
    bool plain = true;
    for (QChar c : text) {
        if (c == QLatin1Char('.')) {
            ++points;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digits;
            if (points > 0) {
                ++decimals;
            }
        } else {
            plain = false;
        }
    }
    const QString quoted = QLatin1Char('"') + text + QLatin1Char('"');
    if (!plain || points > 1 || digits == 0) {
        return refuse(AmountCheck::Problem::NotANumber,
                      QStringLiteral("The amount ") + quoted +
                          QStringLiteral(" is not a number.\r\nType the amount in figures, with a point "
                                         "before the cents and nothing else, for example 1234.56"));
    }
    if (decimals > 2) {
        return refuse(AmountCheck::Problem::TooManyDecimals,
                      QStringLiteral("The amount ") + quoted +
                          QStringLiteral(" has more than two digits after the point.\r\nA check is written "
                                         "in dollars and cents, for example 1234.56"));
    }
    const std::optional<Currency> value = Currency::fromText(text);
    if (!value || value->tenThousandths() > kLargestAmount) {
        return refuse(AmountCheck::Problem::TooLarge,
                      QStringLiteral("The amount ") + quoted +
                          QStringLiteral(" is larger than the largest amount a check can carry, ") +
                          FormatCurrency(Currency::fromTenThousandths(kLargestAmount), ProgramLocale()) +
                          QLatin1Char('.'));
    }
    AmountCheck check;
    check.amount = *value;
    return check;
}

int ChecksLeftAfter(int left, qint64 used) {
    if (used <= 0) {
        return left;
    }
    // Counting down from `left` and wrapping from 0 to 3 repeats with period 3 once it wraps.
    const qint64 remaining = left - used;
    if (remaining > 0) {
        return static_cast<int>(remaining);
    }
    const qint64 cycle = ((remaining - 1) % 3 + 3) % 3;
    return static_cast<int>(cycle) + 1;
}

qint64 AdditionalForms(int firstSheet, qint64 pending) {
    if (pending <= firstSheet) {
        return 0;
    }
    return (pending - firstSheet + 2) / 3;
}

QString PrintSummaryText(int firstSheet, qint64 firstCheckNo, qint64 pending) {
    QString text = QStringLiteral("Load your First Check Form with ") + QString::number(firstSheet) +
                   QStringLiteral(" blank checks beginning with Check No. ") + QString::number(firstCheckNo) +
                   QStringLiteral(" into the printer");
    const qint64 more = AdditionalForms(firstSheet, pending);
    if (more > 0) {
        text += QStringLiteral("\nAdd an additional ");
        if (more > 1) {
            text += QString::number(more) + QLatin1Char(' ');
        }
        text += QStringLiteral("Check Form");
        if (more > 1) {
            text += QLatin1Char('s');
        }
    }
    return text;
}

QString FirstUnstorableCharacter(const QString &text) {
    const QChar bad = FirstNonAnsi(text);
    if (bad.isNull()) {
        return QString();
    }
    const qsizetype at = text.indexOf(bad);
    if (bad.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
        return text.mid(at, 2);
    }
    return QString(bad);
}
