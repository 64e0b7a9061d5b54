#pragma once

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <optional>

// A check form: where on a sheet of pre-printed checks each item of a check is printed. Plain data;
// the built-in forms and the person's own forms (files in the Forms folder) are the same description.

// What an item prints.
enum class FormField { Date, Payee, Amount, Words, Memo, Address, CheckNumber, Account };

// How the amount in words goes on when it is longer than its width.
enum class WordsRule {
    Wrap, // onto the following lines, each one line lower, broken after a blank; the last 20 twips stay free
    Clip, // on one line, cut at the width
};

// One item of a check area. Positions are inches from the top left of the sheet.
struct FormItem {
    FormField Field = FormField::Date;
    bool Stub = false; // a copy on a stub rather than on the check
    double X = 0;      // the item's left end, or its right end when RightAnchored
    double Y = 0;      // the top of its (first) line
    bool RightAnchored = false;
    double FontSize = 10; // points
    double ClipWidth = 0; // a left-anchored text is cut this far right of X; 0: never cut
    double Width = 0;     // the amount in words: the width of its line
    WordsRule Rule = WordsRule::Wrap;
    int Lines = 1;       // the address block: up to four lines, one line apart
    bool Masked = false; // the account number: only its last four digits are printed

    friend bool operator==(const FormItem &, const FormItem &) = default;
};

// One check of a sheet with the stubs that go with it.
struct FormArea {
    QRectF Check;        // inches from the top left of the sheet; its bottom 5/8 inch is the MICR clear band
    QList<QRectF> Stubs; // beside, above or below the check
    bool Outlined = true;
    QList<FormItem> Items;

    // The check and its stubs together.
    QRectF Bounds() const;
    // The outline the preview and the test sheet draw: the bounds, then each edge between check and
    // stubs once, in inches.
    QList<QLineF> OutlineLines() const;

    friend bool operator==(const FormArea &, const FormArea &) = default;
};

struct CheckForm {
    QString Name;
    QSizeF Page{8.5, 11.0}; // US Letter, inches
    QList<FormArea> Areas;  // by slot on the sheet, slot 1 first
    bool BuiltIn = false;

    int ChecksPerSheet() const { return static_cast<int>(Areas.size()); }

    friend bool operator==(const CheckForm &, const CheckForm &) = default;
};

// The height of the band at the bottom of a check where the bank's reader finds the MICR line.
constexpr double kMicrClearBand = 0.625;
constexpr int kMostChecksPerSheet = 3;
constexpr int kMostAddressLines = 4;
constexpr double kSmallestFontSize = 6;
constexpr double kLargestFontSize = 24;
constexpr int kLongestFormName = 64;
// How many lines an amount in words that wraps is allowed for when checked against the clear band.
constexpr int kWrappedWordsLines = 3;

// The height of one line of text in that font size, in inches (the check face's line spacing).
double LineHeightInches(double fontSize);

// The name of a field in a form file ("date", "checkNumber", ...), and back.
QString FieldKey(FormField field);
std::optional<FormField> FieldFromKey(const QString &key);
// The field as a person reads it ("check number").
QString FieldTitle(FormField field);

// One fault of a form: the field concerned, as a path in the form file ("areas[1].items[3].y"), and
// the reason with what to do.
struct FormFault {
    QString Field;
    QString Reason;
};

// The first fault of a form, or none: a name that cannot name a file, a page other than Letter, no
// or too many checks, a check or stub or item off the page, a font size, width or clip out of range,
// a value that does not belong to the item's field, or an item whose lines reach into the clear
// band of a check it stands on.
std::optional<FormFault> FindFormFault(const CheckForm &form);
