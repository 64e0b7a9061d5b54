#pragma once

#include "words/Currency.h"

#include <QString>

// The words line of a check for an amount, e.g. "One Thousand Two Hundred Thirty Four DOLLARS
// and Fifty Six CENTS". The blanks of the fixed words are kept as built, so the result may start
// with a blank or hold two blanks in a row; negative amounts lose the words of their leftmost group.
// The amount is rounded to cents exactly, halves of a cent up (1.005 gives 1.01).
QString AmountToWords(Currency amount);

// floor(amount / 0.01 + 0.5) cents, done exactly on the fixed-point value (1.005 gives 1.01).
Currency RoundToCents(Currency amount);
