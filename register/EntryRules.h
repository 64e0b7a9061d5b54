#pragma once

#include "register/Amount.h"

#include <QString>

// The rules a check's payee, amount and memo must meet before it goes into the register: the entry
// window applies them on Enter, the import from a spreadsheet to every row.

// The first character of the text that the data files' code page cannot hold (a whole surrogate
// pair where there is one) or that no check can show (a line break, a tab), or an empty text.
QString FirstUnstorableCharacter(const QString &text);

struct EntryCheck {
    enum class Field { None, Payee, Amount, Memo };
    enum class Problem { None, Missing, Unstorable, Amount };
    Field field = Field::None;
    Problem problem = Problem::None;
    QString message; // the whole text for a message box (empty for a missing field)
    QString title;   // the message box's title
    QString reason;  // a few words for a list ("the payee is missing", ...)
    AmountCheck amount;
    explicit operator bool() const { return problem == Problem::None; }
};

// Checks in the entry window's order: a payee of blanks only, no memo or no amount first, then
// characters the code page cannot hold in the payee, the amount rule and cap, the memo's characters.
EntryCheck CheckEntry(const QString &payee, const QString &amount, const QString &memo);
