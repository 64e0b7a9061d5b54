#pragma once

#include "words/Currency.h"

#include <QString>
#include <QtGlobal>

// The amounts a check may carry, as the entry window takes them and the print run prints them.

// The largest amount a check may carry, in ten-thousandths of a dollar (999,999,999.99).
constexpr qint64 kLargestAmount = Q_INT64_C(9999999999900);

// What is wrong with the text of an amount.
struct AmountCheck {
    enum class Problem { None, NotANumber, Negative, TooManyDecimals, TooLarge };
    Problem problem = Problem::None;
    Currency amount; // the value, when there is no problem
    QString message; // the text that tells the person, when there is one
    explicit operator bool() const { return problem == Problem::None; }
};

// Accepts digits with at most one point, at least one digit, at most two digits after the point
// and at most 999,999,999.99; no signs, blanks, grouping or letters. A minus sign before such
// digits is reported as a negative amount, not as something that is not a number.
AmountCheck CheckAmountText(const QString &text);

// What is wrong, in a few words ("is negative", "is not a number", ...); empty when nothing is.
QString AmountProblemText(AmountCheck::Problem problem);
