#pragma once

#include "forms/BuiltInForms.h"
#include "platform/Printer.h"

#include <QLocale>
#include <QString>
#include <QStringList>

// The words line of the Deluxe forms, in twips (4.0 in), of which the last 20 stay free.
constexpr int kWordsWidth = 5760;

// What every check of a run shares.
struct CheckSettings {
    QString CheckStyle; // the style's name
    QString AcctNo;     // printed on the wallet-size stub
    QString DateText;   // the date printed on the check
    QLocale Locale;     // the currency format of the amount in figures
    // Asterisks after the words to the end of the words line, and before the figures up to
    // kProtectedFiguresWidth characters, so that nothing can be written in.
    bool CheckProtection = false;
    // The form the checks are printed on; none: the built-in form CheckStyle names.
    const CheckForm *Form = nullptr;
};

// The width in characters the protected figures are filled to with leading asterisks.
constexpr int kProtectedFiguresWidth = 11;

// The figures with leading asterisks up to kProtectedFiguresWidth characters ("**$1,234.56").
QString ProtectedFigures(const QString &figures);

// The account number as a masked item prints it: its last four digits after four asterisks.
QString MaskedAccount(const QString &accountNo);

// Prints one check of the register in the slot (1 to the form's checks per sheet) of the current
// sheet: every item of the form's area for that slot, check and stubs, in the form's order. The
// amount is a plain number ("." as point, blanks around it allowed); checkNo is printed where the
// form has a check number (empty: none), and the address's lines in the address block, as many as
// the block has, one line apart. False when a print call failed (see the printer's ErrorText), or
// when the amount, the form or the slot is unusable, in which case nothing is printed.
bool PrintOneCheck(Printer &printer, const CheckSettings &settings, const QString &payTo, const QString &amount,
                   const QString &memo, int slotOnSheet, const QString &checkNo = QString(),
                   const QStringList &address = {});

// Prints the text as left-aligned lines from (x, y) in twips, each line ending one line lower. Lines
// break after the last blank that keeps the measured part within width - 20 and keep that blank; the
// text after the last blank is not measured. A first word too wide for a line is broken inside.
bool PrintWrapped(Printer &printer, int x, double y, int width, const QString &text);
