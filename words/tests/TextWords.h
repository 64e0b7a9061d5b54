#pragma once

// The words line read from a text, and the pieces it is built from, for the tests that compare the
// program's words with them. The program itself makes its words from a Currency only.
#include <QString>

// The words line for an amount given as text: read as a double ("." as point) and rounded to cents
// in double arithmetic, so the text "1.005" reads as 1.00 where Currency 1.005 reads exactly as
// 1.01. Empty when the text is not a plain number (optional blanks around, an optional "-",
// digits with at most one point) or when the amount rounded to cents is 10^15 or more in magnitude.
QString AmountToWords(const QString &amount);

// floor(amount * 100 + 0.5) / 100 in double: halves of a cent go up, after the binary error
// of amount (1.005 gives 1.00).
double RoundToCents(double amount);

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
