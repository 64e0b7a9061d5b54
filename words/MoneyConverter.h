#pragma once

#include "words/Currency.h"

#include <QString>

// The words line of a check for an amount, e.g. "One Thousand Two Hundred Thirty Four DOLLARS
// and Fifty Six CENTS". The blanks of the fixed words are kept as built, so the result may start
// with a blank or hold two blanks in a row; negative amounts lose the words of their leftmost group.
//
// The text form reads the text as a double ("." as point) and rounds it to cents in double
// arithmetic, so the text "1.005" reads as 1.00 while Currency 1.005 reads exactly as 1.01.
// Returns an empty QString when the text is not a plain number (see IsPlainNumber) or when the
// amount rounded to cents is 10^15 or more in magnitude. Every Currency value is in range.
QString AmountToWords(const QString &amount);
QString AmountToWords(Currency amount);

// Building blocks of AmountToWords, exposed for tests. They work on texts exactly as the words
// line is built; AmountToWords itself uses faster equivalent table code.

// floor(amount * 100 + 0.5) / 100 in double: halves of a cent go up, after the binary error
// of amount (1.005 gives 1.00).
double RoundToCents(double amount);
// The same rounding done exactly on the fixed-point value (1.005 gives 1.01).
Currency RoundToCents(Currency amount);

// Words for one group of one to three digit characters ("100" gives "One Hundred ", "005"
// gives "Five"); "" when the group reads as a value of 0 or less.
QString HundredsWords(const QString &group);
// Words for a two-digit number 00 to 99 ("50" gives "Fifty ", "05" gives "Five", "00" gives "").
QString TensWords(const QString &digits);
// "One" to "Nine" for a digit 1 to 9, else "".
QString DigitWord(const QString &digit);
// Value of the longest leading part of text that forms a number (optional sign, digits, at most
// one point); 0 when there is none ("005" gives 5, "-12" gives -12, "" gives 0).
double NumericValue(const QString &text);
