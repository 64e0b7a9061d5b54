#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <compare>
#include <optional>

// A money amount in fixed point with four decimal places, held as a count of ten-thousandths.
// The range is that of qint64: about +/-922,337,203,685,477.5807.
class Currency {
public:
    constexpr Currency() = default;

    static constexpr Currency fromTenThousandths(qint64 tenThousandths) {
        Currency c;
        c.m_value = tenThousandths;
        return c;
    }

    // Reads a plain number (see IsPlainNumber) with "." as decimal point whatever the locale,
    // rounding half to even at the fourth decimal. std::nullopt when the text is not a plain
    // number or its value does not fit.
    static std::optional<Currency> fromText(QStringView text);

    constexpr qint64 tenThousandths() const { return m_value; }

    // The plain decimal form: "." as point, no zero before the point, no trailing zeros,
    // no point for whole values, "-" for negatives, "0" for zero (".05", "12.5", "1000").
    QString toPlainText() const;

    friend constexpr bool operator==(Currency, Currency) = default;
    friend constexpr auto operator<=>(Currency, Currency) = default;

private:
    qint64 m_value = 0;
};

// True for optional blanks, an optional "-", digits with at most one point and at least one
// digit, optional blanks: "12.", ".5" and "005" are plain numbers; "12abc", "1e3", "1.2.3", "" are not.
bool IsPlainNumber(QStringView text);

// The amount in the locale's currency format (symbol, grouping, two decimals), e.g. "$1,234.56"
// for en-US. The amount is first rounded to whole cents, halves away from zero; the text is
// exact over the whole range of Currency.
QString FormatCurrency(Currency amount, const QLocale &locale);

// The locale the program formats with: QLocale() unless that is the C/POSIX locale, then en-US.
QLocale ProgramLocale();
