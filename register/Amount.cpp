#include "register/Amount.h"

namespace {

struct Shape {
    int digits = 0;
    int points = 0;
    int decimals = 0;
    bool plain = true; // digits and points only
};

Shape shapeOf(QStringView text) {
    Shape shape;
    for (QChar c : text) {
        if (c == QLatin1Char('.')) {
            ++shape.points;
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++shape.digits;
            if (shape.points > 0) {
                ++shape.decimals;
            }
        } else {
            shape.plain = false;
        }
    }
    return shape;
}

bool isNumber(const Shape &shape) {
    return shape.plain && shape.points <= 1 && shape.digits > 0;
}

AmountCheck refuse(AmountCheck::Problem problem, const QString &message) {
    AmountCheck check;
    check.problem = problem;
    check.message = message;
    return check;
}

} // namespace

AmountCheck CheckAmountText(const QString &text) {
    const QString quoted = QLatin1Char('"') + text + QLatin1Char('"');
    const Shape shape = shapeOf(text);
    if (!isNumber(shape)) {
        if (text.startsWith(QLatin1Char('-')) && isNumber(shapeOf(QStringView(text).mid(1)))) {
            return refuse(AmountCheck::Problem::Negative,
                          QStringLiteral("The amount ") + quoted +
                              QStringLiteral(" is negative.\r\nA check is written for an amount of zero or more, "
                                             "for example 1234.56"));
        }
        return refuse(AmountCheck::Problem::NotANumber,
                      QStringLiteral("The amount ") + quoted +
                          QStringLiteral(" is not a number.\r\nType the amount in figures, with a point "
                                         "before the cents and nothing else, for example 1234.56"));
    }
    if (shape.decimals > 2) {
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

QString AmountProblemText(AmountCheck::Problem problem) {
    switch (problem) {
    case AmountCheck::Problem::None:
        break;
    case AmountCheck::Problem::NotANumber:
        return QStringLiteral("is not a number");
    case AmountCheck::Problem::Negative:
        return QStringLiteral("is negative");
    case AmountCheck::Problem::TooManyDecimals:
        return QStringLiteral("has more than two decimals");
    case AmountCheck::Problem::TooLarge:
        return QStringLiteral("is too large (the largest a check can carry is ") +
               FormatCurrency(Currency::fromTenThousandths(kLargestAmount), ProgramLocale()) + QLatin1Char(')');
    }
    return QString();
}
