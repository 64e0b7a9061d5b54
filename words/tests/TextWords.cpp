#include "words/tests/TextWords.h"

#include "words/WordsLine.h"

#include <QVarLengthArray>

#include <charconv>
#include <cmath>
#include <cstring>

using namespace words_line;

namespace {

// Amounts at or beyond this magnitude have no plain text form without an exponent.
constexpr double kLimit = 1e15;
// Up to this many whole digits (leading zeros aside) and two decimals, an amount is under 10^15
// cents, where its double rounded to cents is exactly its cents: its digits are Num as they stand.
constexpr qsizetype kExactWholeDigits = 13;

// Powers of ten that a double holds exactly.
constexpr double kPowersOfTen[23] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                     1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Num for a rounded double beyond fifteen digits of cents: its shortest round-trip text.
void PlainFromDouble(double rounded, Plain &num) {
    const std::to_chars_result r =
        std::to_chars(num.text, num.text + sizeof num.text, rounded, std::chars_format::fixed);
    num.size = int(r.ptr - num.text);
    const void *point = std::memchr(num.text, '.', size_t(num.size));
    num.wholeSize = point ? int(static_cast<const char *>(point) - num.text) : num.size;
}

// How a text reads as a number.
enum class Reading { NotANumber, Exact, Double };

// Num straight from the digits of a number with at most two decimals and at most
// kExactWholeDigits whole digits: the same text PlainFromCents gives for its cents.
void PlainFromDigits(const QChar *chars, bool negative, qsizetype wholeBegin, qsizetype wholeEnd, qsizetype point,
                     qsizetype decimals, Plain &num) {
    while (wholeBegin < wholeEnd && chars[wholeBegin] == u'0') {
        ++wholeBegin;
    }
    const int tens = decimals >= 1 ? chars[point + 1].unicode() - u'0' : 0;
    const int units = decimals == 2 ? chars[point + 2].unicode() - u'0' : 0;
    const bool fraction = tens != 0 || units != 0;
    char *out = num.text;
    int n = 0;
    if (negative && (wholeBegin < wholeEnd || fraction)) {
        out[n++] = '-';
    }
    for (qsizetype i = wholeBegin; i < wholeEnd; ++i) {
        out[n++] = char(chars[i].unicode());
    }
    if (wholeBegin == wholeEnd && !fraction) {
        out[n++] = '0';
    }
    num.wholeSize = n;
    if (fraction) {
        out[n++] = '.';
        out[n++] = char('0' + tens);
        if (units != 0) {
            out[n++] = char('0' + units);
        }
    }
    num.size = n;
}

// Reads a plain number, "." as point. Exact: at most two decimals and kExactWholeDigits whole
// digits, given as Num. Double: any other plain number, read as a double.
Reading ReadPlainNumber(const QString &text, Plain &num, double &value) {
    const QChar *chars = text.constData();
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && chars[begin] == u' ') {
        ++begin;
    }
    while (end > begin && chars[end - 1] == u' ') {
        --end;
    }
    const bool negative = begin < end && chars[begin] == u'-';
    const qsizetype digitsBegin = negative ? begin + 1 : begin;
    // Validate and gather the digits as one integer with a count of decimals.
    quint64 mantissa = 0;
    bool exact = true; // the mantissa stays below 2^53
    bool digit = false;
    qsizetype point = -1;
    for (qsizetype i = digitsBegin; i < end; ++i) {
        const char16_t c = chars[i].unicode();
        if (c >= u'0' && c <= u'9') {
            digit = true;
            if (mantissa >= (quint64(1) << 49)) {
                exact = false;
            } else {
                mantissa = mantissa * 10 + (c - u'0');
            }
        } else if (c == u'.' && point < 0) {
            point = i;
        } else {
            return Reading::NotANumber;
        }
    }
    if (!digit) {
        return Reading::NotANumber;
    }
    const qsizetype decimals = point < 0 ? 0 : end - point - 1;
    const qsizetype wholeEnd = point < 0 ? end : point;
    if (decimals <= 2) {
        qsizetype significant = digitsBegin;
        while (significant < wholeEnd && chars[significant] == u'0') {
            ++significant;
        }
        if (wholeEnd - significant <= kExactWholeDigits) {
            PlainFromDigits(chars, negative, significant, wholeEnd, point, decimals, num);
            return Reading::Exact;
        }
    }
    if (exact && decimals <= 22) {
        // Both operands are exact, so the one division rounds correctly, as a full read would.
        const double magnitude = double(mantissa) / kPowersOfTen[decimals];
        value = negative ? -magnitude : magnitude;
        return Reading::Double;
    }
    QVarLengthArray<char, 64> ascii(end - begin);
    bool wholeDigit = false; // a non-zero digit before the point
    for (qsizetype i = begin; i < end; ++i) {
        ascii[i - begin] = char(chars[i].unicode());
        wholeDigit = wholeDigit || (i >= digitsBegin && (point < 0 || i < point) && chars[i] != u'0');
    }
    const char *first = ascii.constData();
    const char *last = first + ascii.size();
    const std::from_chars_result r = std::from_chars(first, last, value, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range) {
        // Too large to hold is out of range anyway; too small rounds to no cents at all.
        value = wholeDigit ? HUGE_VAL : 0.0;
        return Reading::Double;
    }
    return r.ec == std::errc() && r.ptr == last ? Reading::Double : Reading::NotANumber;
}

int DigitValue(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9' ? c.unicode() - u'0' : -1;
}

// The word of table[value] when value is a whole number first..first+9, else "".
QString TableWord(const Word (&table)[10], int first, double value) {
    if (value >= first && value <= first + 9 && value == std::floor(value)) {
        const Word w = table[int(value) - first];
        return QString::fromLatin1(w.text, w.size);
    }
    return QString();
}

} // namespace

double RoundToCents(double amount) {
    return std::floor(amount * 100.0 + 0.5) / 100.0;
}

QString AmountToWords(const QString &amount) {
    double value = 0.0;
    Plain num;
    switch (ReadPlainNumber(amount, num, value)) {
    case Reading::NotANumber:
        return QString();
    case Reading::Exact:
        return WordsFromPlain(num);
    case Reading::Double:
        break;
    }
    const double cents = std::floor(value * 100.0 + 0.5);
    const double rounded = cents / 100.0;
    if (!(std::fabs(rounded) < kLimit)) {
        return QString();
    }
    if (std::fabs(cents) < kLimit) {
        // Up to fifteen digits the shortest text of cents / 100 is exactly the decimal of the
        // integer cents, so integer digits give the same text as the double would.
        PlainFromCents(qint64(cents), num);
    } else {
        PlainFromDouble(rounded, num);
    }
    return WordsFromPlain(num);
}

QString HundredsWords(const QString &group) {
    QString result;
    if (NumericValue(group) <= 0) {
        return result;
    }
    QString s = group;
    const qsizetype count = s.size();
    for (qsizetype i = 0; i < count; ++i) {
        switch (s.size()) {
        case 3:
            if (NumericValue(s) > 99) {
                result = DigitWord(s.left(1)) + QLatin1String(kHundred.text, kHundred.size);
            }
            s = s.right(2);
            break;
        case 2:
            result += TensWords(s);
            s.clear();
            break;
        case 1:
            result = DigitWord(s);
            break;
        default:
            break;
        }
    }
    return result;
}

QString TensWords(const QString &digits) {
    const double first = NumericValue(digits.left(1));
    if (first == 1) {
        return TableWord(kTeens, 10, NumericValue(digits));
    }
    return TableWord(kTens, 0, first) + DigitWord(digits.right(1));
}

QString DigitWord(const QString &digit) {
    return TableWord(kUnits, 0, NumericValue(digit));
}

double NumericValue(const QString &text) {
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        negative = text[i] == u'-';
        ++i;
    }
    QByteArray number;
    bool point = false;
    bool digit = false;
    bool wholeDigit = false;
    for (; i < text.size(); ++i) {
        const int d = DigitValue(text[i]);
        if (d >= 0) {
            digit = true;
            wholeDigit = wholeDigit || (!point && d != 0);
        } else if (text[i] == u'.' && !point) {
            point = true;
        } else {
            break;
        }
        number.append(char(text[i].unicode()));
    }
    if (!digit) {
        return 0.0;
    }
    double value = 0.0;
    const std::from_chars_result r =
        std::from_chars(number.constData(), number.constData() + number.size(), value, std::chars_format::fixed);
    if (r.ec == std::errc::result_out_of_range) {
        value = wholeDigit ? HUGE_VAL : 0.0;
    }
    return negative ? -value : value;
}
