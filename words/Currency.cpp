#include "words/Currency.h"

#include <limits>

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();

struct PlainNumber {
    bool negative = false;
    QStringView whole;    // digits before the point, possibly empty
    QStringView fraction; // digits after the point, possibly empty
};

bool IsDigit(QChar c) {
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

std::optional<PlainNumber> SplitPlainNumber(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    PlainNumber n;
    if (begin < end && text[begin] == u'-') {
        n.negative = true;
        ++begin;
    }
    qsizetype point = -1;
    for (qsizetype i = begin; i < end; ++i) {
        if (text[i] == u'.' && point < 0) {
            point = i;
        } else if (!IsDigit(text[i])) {
            return std::nullopt;
        }
    }
    if (point < 0) {
        n.whole = text.sliced(begin, end - begin);
    } else {
        n.whole = text.sliced(begin, point - begin);
        n.fraction = text.sliced(point + 1, end - point - 1);
    }
    if (n.whole.isEmpty() && n.fraction.isEmpty()) {
        return std::nullopt;
    }
    return n;
}

// Writes the decimal digits of value (at least one) at the end of out.
void AppendDigits(QString &out, quint64 value) {
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + value % 10);
        value /= 10;
    } while (value != 0);
    while (n > 0) {
        out.append(QLatin1Char(digits[--n]));
    }
}

} // namespace

bool IsPlainNumber(QStringView text) {
    return SplitPlainNumber(text).has_value();
}

std::optional<Currency> Currency::fromText(QStringView text) {
    const std::optional<PlainNumber> n = SplitPlainNumber(text);
    if (!n) {
        return std::nullopt;
    }
    // Magnitude in ten-thousandths, built in integers so no binary error creeps in.
    qint64 value = 0;
    for (QChar c : n->whole) {
        const int digit = c.unicode() - u'0';
        if (value > (kMax - digit) / 10) {
            return std::nullopt;
        }
        value = value * 10 + digit;
    }
    if (value > kMax / 10000) {
        return std::nullopt;
    }
    value *= 10000;
    qint64 kept = 0;
    qint64 scale = 1000;
    for (qsizetype i = 0; i < 4 && i < n->fraction.size(); ++i, scale /= 10) {
        kept += (n->fraction[i].unicode() - u'0') * scale;
    }
    if (n->fraction.size() > 4) {
        const int next = n->fraction[4].unicode() - u'0';
        bool beyondHalf = false;
        for (qsizetype i = 5; i < n->fraction.size() && !beyondHalf; ++i) {
            beyondHalf = n->fraction[i] != u'0';
        }
        // Half to even: exactly half rounds up only when the kept last digit is odd.
        if (next > 5 || (next == 5 && (beyondHalf || (kept % 2) != 0))) {
            ++kept;
        }
    }
    if (value > kMax - kept) {
        return std::nullopt;
    }
    value += kept;
    return fromTenThousandths(n->negative ? -value : value);
}

QString Currency::toPlainText() const {
    QString out;
    out.reserve(24);
    if (m_value < 0) {
        out.append(QLatin1Char('-'));
    }
    // Unsigned magnitude also covers the lowest qint64.
    const quint64 magnitude = m_value < 0 ? 0 - quint64(m_value) : quint64(m_value);
    const quint64 whole = magnitude / 10000;
    quint64 fraction = magnitude % 10000;
    if (whole != 0 || fraction == 0) {
        AppendDigits(out, whole);
    }
    if (fraction != 0) {
        out.append(QLatin1Char('.'));
        for (quint64 scale = 1000; fraction != 0; scale /= 10) {
            out.append(QLatin1Char(char('0' + fraction / scale)));
            fraction %= scale;
        }
    }
    return out;
}

QString FormatCurrency(Currency amount, const QLocale &locale) {
    const qint64 t = amount.tenThousandths();
    const quint64 magnitude = t < 0 ? 0 - quint64(t) : quint64(t);
    const quint64 cents = magnitude / 100 + (magnitude % 100 >= 50 ? 1 : 0);
    const bool negative = t < 0 && cents != 0;
    // The number is built from the integer cents in the locale's digits and separators: a double
    // holds no more than about 15 significant digits and would miss the cent of large amounts.
    const int fraction = int(cents % 100);
    const QString number = locale.toString(qulonglong(cents / 100)) + locale.decimalPoint() +
                           locale.toString(fraction / 10) + locale.toString(fraction % 10);
    // The locale's currency pattern (symbol, sign or brackets) around a one-unit amount, with the
    // number put in place of that one.
    const QString one = locale.toString(1);
    QString text = locale.toCurrencyString(qlonglong(negative ? -1 : 1), locale.currencySymbol());
    const qsizetype at = text.lastIndexOf(one);
    if (at < 0) {
        return (negative ? locale.negativeSign() : QString()) + locale.currencySymbol() + number;
    }
    return text.replace(at, one.size(), number);
}

QLocale ProgramLocale() {
    const QLocale locale;
    if (locale.language() == QLocale::C) {
        return QLocale(QLocale::English, QLocale::UnitedStates);
    }
    return locale;
}
