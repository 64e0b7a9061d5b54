#pragma once

// The words line as it is built: the fixed words, and the line made from the plain decimal text of
// the rounded amount. Shared by AmountToWords and the text forms the tests compare it with.
#include <QString>
#include <QtGlobal>

namespace words_line {

// A fixed word held in 16 bytes, so every word is copied with one fixed-size move.
struct Word {
    char text[17];
    int size;
};

template <int N> constexpr Word W(const char (&text)[N]) {
    static_assert(N <= 17);
    Word w{};
    for (int i = 0; i < N; ++i) {
        w.text[i] = text[i];
    }
    w.size = N - 1;
    return w;
}

constexpr Word kUnits[10] = {W(""),     W("One"), W("Two"),   W("Three"), W("Four"),
                             W("Five"), W("Six"), W("Seven"), W("Eight"), W("Nine")};
constexpr Word kTeens[10] = {W("Ten"),     W("Eleven"),  W("Twelve"),    W("Thirteen"), W("Fourteen"),
                             W("Fifteen"), W("Sixteen"), W("Seventeen"), W("Eighteen"), W("Nineteen")};
constexpr Word kTens[10] = {W(""),       W(""),       W("Twenty "),  W("Thirty "), W("Forty "),
                            W("Fifty "), W("Sixty "), W("Seventy "), W("Eighty "), W("Ninety ")};
// Indexed by group number; group 1 is the rightmost group of three digits.
constexpr Word kScales[10] = {W(""),           W(""), W(" Thousand "), W(" Million "), W(" Billion "),
                              W(" Trillion "), W(""), W(""),           W(""),          W("")};
constexpr Word kHundred = W(" Hundred ");
constexpr Word kDollars = W(" DOLLARS and ");
constexpr Word kNoDollars = W(" NO DOLLARS and ");
constexpr Word kNo = W("NO");
constexpr Word kCents = W(" CENTS");

// The rounded amount in plain decimal form ("-1234.5"), with the place of its point.
struct Plain {
    char text[48];
    int size = 0;
    int wholeSize = 0; // characters before the point; all of them when there is no point
};

// The words line for a plain decimal text.
QString WordsFromPlain(const Plain &num);
// The plain decimal text of cents / 100.
void PlainFromCents(qint64 cents, Plain &num);

} // namespace words_line
