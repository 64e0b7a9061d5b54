#include "words/MoneyConverter.h"

#include "words/WordsLine.h"

#include <cstring>

namespace words_line {
namespace {

// Fixed buffer for one words line; the longest line (sixteen characters of whole part) is under
// 260 characters, and the slack takes the full 16 bytes of the last word.
class Line {
public:
    void put(const Word &w) {
        std::memcpy(m_text + m_size, w.text, 16);
        m_size += w.size;
    }
    int size() const { return m_size; }
    QString toString() const { return QString::fromLatin1(m_text, m_size); }

private:
    char m_text[320];
    int m_size = 0;
};

// TensWords for a value 0 to 99.
inline void PutTens(Line &line, int value) {
    const int tens = value / 10;
    if (tens == 1) {
        line.put(kTeens[value % 10]);
    } else {
        line.put(kTens[tens]);
        line.put(kUnits[value % 10]);
    }
}

} // namespace

// Builds the words line from Num.
QString WordsFromPlain(const Plain &num) {
    const int wholeSize = num.wholeSize;
    Line line;
    const int groups = wholeSize / 3 + (wholeSize % 3 != 0 ? 1 : 0);
    for (int j = groups; j >= 1; --j) {
        const int end = wholeSize - 3 * (j - 1);
        const int begin = end - 3 > 0 ? end - 3 : 0;
        // A group holding the sign reads as a value of 0 or less and gives no words.
        if (num.text[begin] == '-') {
            continue;
        }
        int value = 0;
        for (int i = begin; i < end; ++i) {
            value = value * 10 + (num.text[i] - '0');
        }
        if (value == 0) {
            continue;
        }
        if (value > 99) {
            line.put(kUnits[value / 100]);
            line.put(kHundred);
        }
        PutTens(line, value % 100);
        line.put(kScales[j]);
    }
    line.put(wholeSize > 0 ? kDollars : kNoDollars);
    const int before = line.size();
    const char *cents = num.text + wholeSize + 1;
    const int centsSize = num.size - wholeSize - 1;
    // One digit after the point counts as tens of cents.
    if (centsSize == 1) {
        PutTens(line, (cents[0] - '0') * 10);
    } else if (centsSize == 2) {
        PutTens(line, (cents[0] - '0') * 10 + (cents[1] - '0'));
    }
    if (line.size() == before) {
        line.put(kNo);
    }
    line.put(kCents);
    return line.toString();
}

// Num for cents / 100.
void PlainFromCents(qint64 cents, Plain &num) {
    char *out = num.text;
    int n = 0;
    if (cents < 0) {
        out[n++] = '-';
    }
    const quint64 magnitude = cents < 0 ? 0 - quint64(cents) : quint64(cents);
    quint64 whole = magnitude / 100;
    const int fraction = int(magnitude % 100);
    if (whole != 0 || fraction == 0) {
        char digits[24];
        int count = 0;
        do {
            digits[count++] = char('0' + whole % 10);
            whole /= 10;
        } while (whole != 0);
        while (count > 0) {
            out[n++] = digits[--count];
        }
    }
    num.wholeSize = n;
    if (fraction != 0) {
        out[n++] = '.';
        out[n++] = char('0' + fraction / 10);
        if (fraction % 10 != 0) {
            out[n++] = char('0' + fraction % 10);
        }
    }
    num.size = n;
}

} // namespace words_line

Currency RoundToCents(Currency amount) {
    // floor(t / 100 + 0.5) cents, without overflow at the ends of the range.
    const qint64 t = amount.tenThousandths();
    qint64 cents = t / 100;
    qint64 rest = t % 100;
    if (rest < 0) {
        --cents;
        rest += 100;
    }
    if (rest >= 50) {
        ++cents;
    }
    return Currency::fromTenThousandths(cents * 100);
}

QString AmountToWords(Currency amount) {
    words_line::Plain num;
    words_line::PlainFromCents(RoundToCents(amount).tenThousandths() / 100, num);
    return words_line::WordsFromPlain(num);
}
