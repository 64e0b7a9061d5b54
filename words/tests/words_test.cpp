#include "words/Currency.h"
#include "words/MoneyConverter.h"
#include "words/tests/TextWords.h"

#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <random>

// Readable QString values in failure messages.
void PrintTo(const QString &text, std::ostream *out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

QString S(const char *text) {
    return QString::fromLatin1(text);
}

Currency C(const char *text) {
    const std::optional<Currency> c = Currency::fromText(S(text));
    EXPECT_TRUE(c.has_value()) << text;
    return c.value_or(Currency());
}

struct WordsRow {
    const char *amount;
    const char *words;
};

// Amounts that give the same words whether typed as text or held as currency.
const WordsRow kWords[] = {
    {"0.05", " NO DOLLARS and Five CENTS"},
    {"0.5", " NO DOLLARS and Fifty  CENTS"},
    {"0", " DOLLARS and NO CENTS"},
    {"12.50", "Twelve DOLLARS and Fifty  CENTS"},
    {"12.5", "Twelve DOLLARS and Fifty  CENTS"},
    {"12.1", "Twelve DOLLARS and Ten CENTS"},
    {"19.99", "Nineteen DOLLARS and Ninety Nine CENTS"},
    {"20", "Twenty  DOLLARS and NO CENTS"},
    {"100", "One Hundred  DOLLARS and NO CENTS"},
    {"1000", "One Thousand  DOLLARS and NO CENTS"},
    {"1001.01", "One Thousand One DOLLARS and One CENTS"},
    {"1234.56", "One Thousand Two Hundred Thirty Four DOLLARS and Fifty Six CENTS"},
    {"1000000", "One Million  DOLLARS and NO CENTS"},
    {"123456789.99", "One Hundred Twenty Three Million Four Hundred Fifty Six Thousand Seven Hundred Eighty Nine "
                     "DOLLARS and Ninety Nine CENTS"},
    {"12.345", "Twelve DOLLARS and Thirty Five CENTS"},
    {"-12.5", " DOLLARS and Fifty  CENTS"},
    {"-12.345", " DOLLARS and Thirty Four CENTS"},
    {"0.995", "One DOLLARS and NO CENTS"},
    {"1", "One DOLLARS and NO CENTS"},
    {"0.01", " NO DOLLARS and One CENTS"},
    {"100000", "One Hundred  Thousand  DOLLARS and NO CENTS"},
    {"100200300", "One Hundred  Million Two Hundred  Thousand Three Hundred  DOLLARS and NO CENTS"},
    {"1000000000000", "One Trillion  DOLLARS and NO CENTS"},
    {"999999999999.99", "Nine Hundred Ninety Nine Billion Nine Hundred Ninety Nine Million Nine Hundred Ninety Nine "
                        "Thousand Nine Hundred Ninety Nine DOLLARS and Ninety Nine CENTS"},
    {"15.07", "Fifteen DOLLARS and Seven CENTS"},
    {"0.004", " DOLLARS and NO CENTS"},
    {"-0.004", " DOLLARS and NO CENTS"},
    {"-0.5", " DOLLARS and Fifty  CENTS"},
    // Only the group that holds the sign loses its words.
    {"-1234.56", "Two Hundred Thirty Four DOLLARS and Fifty Six CENTS"},
    {"-234.5", "Two Hundred Thirty Four DOLLARS and Fifty  CENTS"},
    {"-1000", " DOLLARS and NO CENTS"},
};

class WordsTable : public testing::TestWithParam<WordsRow> {};

TEST_P(WordsTable, textAndCurrencyGiveTheLine) {
    const WordsRow row = GetParam();
    EXPECT_EQ(AmountToWords(S(row.amount)), S(row.words)) << "text " << row.amount;
    EXPECT_EQ(AmountToWords(C(row.amount)), S(row.words)) << "currency " << row.amount;
}

INSTANTIATE_TEST_SUITE_P(Amounts, WordsTable, testing::ValuesIn(kWords));

TEST(AmountToWords, textRoundsAfterDoubleErrorCurrencyExactly) {
    EXPECT_EQ(AmountToWords(S("1.005")), S("One DOLLARS and NO CENTS"));
    EXPECT_EQ(AmountToWords(C("1.005")), S("One DOLLARS and One CENTS"));
    EXPECT_EQ(RoundToCents(1.005), 1.0);
    EXPECT_EQ(RoundToCents(C("1.005")), C("1.01"));
    EXPECT_EQ(RoundToCents(12.345), 12.35);
    EXPECT_EQ(RoundToCents(-12.345), -12.34);
    EXPECT_EQ(RoundToCents(C("-12.345")), C("-12.34"));
    EXPECT_EQ(RoundToCents(C("-12.3451")), C("-12.35"));
    EXPECT_EQ(RoundToCents(C("12.3449")), C("12.34"));
}

TEST(AmountToWords, textUpToTheLimitHasWords) {
    EXPECT_EQ(AmountToWords(S("999999999999999")),
              S("Nine Hundred Ninety Nine Trillion Nine Hundred Ninety Nine Billion Nine Hundred Ninety Nine Million "
                "Nine Hundred Ninety Nine Thousand Nine Hundred Ninety Nine DOLLARS and NO CENTS"));
    EXPECT_EQ(AmountToWords(S("-999999999999999.5")),
              S("Nine Hundred Ninety Nine Trillion Nine Hundred Ninety Nine Billion Nine Hundred Ninety Nine Million "
                "Nine Hundred Ninety Nine Thousand Nine Hundred Ninety Nine DOLLARS and Fifty  CENTS"));
}

TEST(AmountToWords, plainNumberFormsAreRead) {
    EXPECT_EQ(AmountToWords(S("12.")), S("Twelve DOLLARS and NO CENTS"));
    EXPECT_EQ(AmountToWords(S(".5")), S(" NO DOLLARS and Fifty  CENTS"));
    EXPECT_EQ(AmountToWords(S("005")), S("Five DOLLARS and NO CENTS"));
    EXPECT_EQ(AmountToWords(S("  21.3  ")), S("Twenty One DOLLARS and Thirty  CENTS"));
    EXPECT_EQ(AmountToWords(S("-0")), S(" DOLLARS and NO CENTS"));
}

TEST(AmountToWords, notANumberOrOutOfRangeGivesEmpty) {
    for (const char *text :
         {"", " ", "-", ".", "12abc", "1e3", "1.2.3", "--1", "1-", "+1", "1,000", "$5", "1 2", "1000000000000000",
          "999999999999999.995", "999999999999999.99" /* the nearest double is 10^15 */, "-1000000000000000", "inf",
          "nan"}) {
        const QString words = AmountToWords(S(text));
        EXPECT_TRUE(words.isNull()) << text << " gave " << words.toStdString();
    }
    EXPECT_TRUE(AmountToWords(S("1") + QString(400, u'0')).isEmpty());
    EXPECT_TRUE(AmountToWords(QStringLiteral("١٢")).isEmpty()); // Arabic-Indic digits are not plain digits
}

TEST(AmountToWords, tinyAndZeroPaddedTextIsRead) {
    EXPECT_EQ(AmountToWords(S(".") + QString(400, u'0') + S("1")), S(" DOLLARS and NO CENTS"));
    EXPECT_EQ(AmountToWords(QString(400, u'0') + S("7.25")), S("Seven DOLLARS and Twenty Five CENTS"));
}

TEST(AmountToWords, wholeCurrencyRangeHasWords) {
    EXPECT_FALSE(AmountToWords(Currency::fromTenThousandths(std::numeric_limits<qint64>::max())).isEmpty());
    EXPECT_FALSE(AmountToWords(Currency::fromTenThousandths(std::numeric_limits<qint64>::min())).isEmpty());
    EXPECT_EQ(AmountToWords(Currency::fromTenThousandths(std::numeric_limits<qint64>::max())),
              S("Nine Hundred Twenty Two Trillion Three Hundred Thirty Seven Billion Two Hundred Three Million Six "
                "Hundred Eighty Five Thousand Four Hundred Seventy Seven DOLLARS and Fifty Eight CENTS"));
}

struct TextRow {
    const char *in;
    const char *out;
};

TEST(MoneyConverterParts, hundredsTensAndDigitWords) {
    const TextRow hundreds[] = {{"123", "One Hundred Twenty Three"},
                                {"100", "One Hundred "},
                                {"005", "Five"},
                                {"010", "Ten"},
                                {"099", "Ninety Nine"},
                                {"12", "Twelve"},
                                {"7", "Seven"},
                                {"000", ""},
                                {"-12", ""},
                                {"-", ""},
                                {"910", "Nine Hundred Ten"},
                                {"1234", ""}};
    for (const TextRow &row : hundreds) {
        EXPECT_EQ(HundredsWords(S(row.in)), S(row.out)) << row.in;
    }
    const TextRow tens[] = {{"50", "Fifty "},      {"05", "Five"}, {"00", ""},         {"", ""}, {"21", "Twenty One"},
                            {"99", "Ninety Nine"}, {"10", "Ten"},  {"19", "Nineteen"}, {"1", ""}};
    for (const TextRow &row : tens) {
        EXPECT_EQ(TensWords(S(row.in)), S(row.out)) << row.in;
    }
    const TextRow digits[] = {{"1", "One"}, {"9", "Nine"}, {"0", ""}, {"", ""}, {"x", ""}, {"5.5", ""}};
    for (const TextRow &row : digits) {
        EXPECT_EQ(DigitWord(S(row.in)), S(row.out)) << row.in;
    }
}

TEST(MoneyConverterParts, numericValueReadsTheLeadingNumber) {
    const struct {
        const char *in;
        double value;
    } rows[] = {{"005", 5},     {"-12", -12},  {"", 0},  {"abc", 0}, {"12abc", 12},
                {"1.2.3", 1.2}, {"-.5", -0.5}, {".", 0}, {"-", 0},   {"7 8", 7}};
    for (const auto &row : rows) {
        EXPECT_EQ(NumericValue(S(row.in)), row.value) << row.in;
    }
}

TEST(PlainNumber, acceptsOnlyBlanksSignDigitsAndOnePoint) {
    for (const char *text : {"12.", ".5", "005", "0", " 1 ", "-3", " -3.25 ", "-.5", "123456789012345678901234"}) {
        EXPECT_TRUE(IsPlainNumber(S(text))) << text;
    }
    for (const char *text : {"12abc", "1e3", "1.2.3", "", "  ", ".", "-", "- 1", "+1", "1,5", "\t1", "-.", "1-"}) {
        EXPECT_FALSE(IsPlainNumber(S(text))) << text;
    }
}

TEST(CurrencyText, roundsHalfToEvenAtTheFourthDecimal) {
    const struct {
        const char *in;
        qint64 tenThousandths;
    } rows[] = {
        {"1.00005", 10000},
        {"1.00015", 10002},
        {"1.000051", 10001},
        {"1.00025", 10002},
        {"-1.00005", -10000},
        {"-1.00015", -10002},
        {"1.00004999", 10000},
        {"0.99995", 10000},
        {"12.", 120000},
        {".5", 5000},
        {"005", 50000},
        {" -7.25 ", -72500},
        {"1.005", 10050},
        {"0", 0},
        {"-0", 0},
        {"1.000050000", 10000},
        {"922337203685477.5807", std::numeric_limits<qint64>::max()},
    };
    for (const auto &row : rows) {
        const std::optional<Currency> c = Currency::fromText(S(row.in));
        ASSERT_TRUE(c.has_value()) << row.in;
        EXPECT_EQ(c->tenThousandths(), row.tenThousandths) << row.in;
    }
    for (const char *text :
         {"12abc", "1e3", "1.2.3", "", "922337203685477.5808", "922337203685477.58075", "99999999999999999999"}) {
        EXPECT_FALSE(Currency::fromText(S(text)).has_value()) << text;
    }
}

TEST(CurrencyText, plainTextHasNoSpareZeros) {
    const TextRow rows[] = {{"0.05", ".05"}, {"0.5", ".5"},   {"12.50", "12.5"},    {"1000", "1000"},
                            {"0", "0"},      {"-0.5", "-.5"}, {"1.0001", "1.0001"}, {"-12.345", "-12.345"}};
    for (const TextRow &row : rows) {
        EXPECT_EQ(C(row.in).toPlainText(), S(row.out)) << row.in;
    }
}

TEST(FormatCurrency, enUsSymbolGroupingTwoDecimals) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const TextRow rows[] = {{"1234.56", "$1,234.56"},
                            {"0", "$0.00"},
                            {"0.05", "$0.05"},
                            {"12.5", "$12.50"},
                            {"1.005", "$1.01"},
                            {"0.0049", "$0.00"},
                            {"1234567.891", "$1,234,567.89"},
                            {"999999999.99", "$999,999,999.99"},
                            {"999999999.995", "$1,000,000,000.00"},
                            {"-1234.56", "($1,234.56)"},
                            {"-0.004", "$0.00"},
                            {"922337203685477.5807", "$922,337,203,685,477.58"},
                            {"900719925474099.25", "$900,719,925,474,099.25"},
                            {"-900719925474099.07", "($900,719,925,474,099.07)"}};
    for (const TextRow &row : rows) {
        EXPECT_EQ(FormatCurrency(C(row.in), us), S(row.out)) << row.in;
    }
}

struct CentsRow {
    qint64 tenThousandths;
    const char *out;
};

// Around 2^52 and 2^53 cents a double no longer holds every cent; the edges of qint64 are the
// edges of the whole range.
TEST(FormatCurrency, exactAtTheEdgesOfDoublePrecisionAndOfTheRange) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    constexpr qint64 k52 = qint64(1) << 52;
    constexpr qint64 k53 = qint64(1) << 53;
    const CentsRow rows[] = {
        {776663667732448700, "$77,666,366,773,244.87"},
        {-776663667732448700, "($77,666,366,773,244.87)"},
        {(k52 - 1) * 100, "$45,035,996,273,704.95"},
        {k52 * 100, "$45,035,996,273,704.96"},
        {(k52 + 1) * 100, "$45,035,996,273,704.97"},
        {(k53 - 1) * 100, "$90,071,992,547,409.91"},
        {k53 * 100, "$90,071,992,547,409.92"},
        {(k53 + 1) * 100, "$90,071,992,547,409.93"},
        {(k53 + 3) * 100, "$90,071,992,547,409.95"},
        {(k53 + 1) * 100 - 51, "$90,071,992,547,409.92"},
        {(k53 + 1) * 100 - 50, "$90,071,992,547,409.93"},
        {std::numeric_limits<qint64>::max(), "$922,337,203,685,477.58"},
        {std::numeric_limits<qint64>::max() - 7, "$922,337,203,685,477.58"},
        {std::numeric_limits<qint64>::max() - 58, "$922,337,203,685,477.57"},
        {std::numeric_limits<qint64>::min(), "($922,337,203,685,477.58)"},
        {std::numeric_limits<qint64>::min() + 1, "($922,337,203,685,477.58)"},
        {50, "$0.01"},
        {-50, "($0.01)"},
        {49, "$0.00"},
        {-49, "$0.00"},
        {999999999950, "$100,000,000.00"},
        {9999999999949, "$999,999,999.99"},
    };
    for (const CentsRow &row : rows) {
        EXPECT_EQ(FormatCurrency(Currency::fromTenThousandths(row.tenThousandths), us), S(row.out))
            << row.tenThousandths;
    }
}

// en-US currency text built from the integer cents, for comparison.
QString UsCurrencyReference(qint64 cents) {
    const qint64 whole = cents < 0 ? -(cents / 100) : cents / 100;
    QString digits = QString::number(whole);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3) {
        digits.insert(i, QLatin1Char(','));
    }
    const QString text = S("$") + digits + S(".") + QString::number(std::abs(cents % 100)).rightJustified(2, u'0');
    return cents < 0 ? S("(") + text + S(")") : text;
}

TEST(FormatCurrency, exactForRandomCentsUpToNineHundredMillion) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    std::mt19937_64 random(20240601);
    std::uniform_int_distribution<qint64> centsOf(0, 99999999999);
    for (int i = 0; i < 100000; ++i) {
        const qint64 cents = centsOf(random);
        ASSERT_EQ(FormatCurrency(Currency::fromTenThousandths(cents * 100), us), UsCurrencyReference(cents)) << cents;
    }
}

TEST(FormatCurrency, exactForRandomCentsOverTheWholeRange) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    std::mt19937_64 random(20261208);
    // Whole cents of either sign up to the largest whole-cent amount, many of them past 2^53 cents.
    std::uniform_int_distribution<qint64> centsOf(-std::numeric_limits<qint64>::max() / 100,
                                                  std::numeric_limits<qint64>::max() / 100);
    for (int i = 0; i < 100000; ++i) {
        const qint64 cents = centsOf(random);
        ASSERT_EQ(FormatCurrency(Currency::fromTenThousandths(cents * 100), us), UsCurrencyReference(cents)) << cents;
    }
}

// Where a double is exact to the cent, the text is the locale's own currency formatting: symbol
// place, separators, digits and negative form all come from the locale.
TEST(FormatCurrency, agreesWithTheLocaleWhereDoublesAreExact) {
    const QLocale locales[] = {QLocale(QLocale::English, QLocale::UnitedStates),
                               QLocale(QLocale::German, QLocale::Germany),
                               QLocale(QLocale::French, QLocale::France),
                               QLocale(QLocale::German, QLocale::Switzerland),
                               QLocale(QLocale::Spanish, QLocale::Spain),
                               QLocale(QLocale::Hindi, QLocale::India),
                               QLocale(QLocale::English, QLocale::India),
                               QLocale(QLocale::Arabic, QLocale::Egypt),
                               QLocale(QLocale::Japanese, QLocale::Japan),
                               QLocale(QLocale::Dutch, QLocale::Netherlands),
                               QLocale::c()};
    const qint64 cents[] = {0, 1, 5, 99, 100, 1234, 123456, 1234567, 99999999999, -1, -1234, -123456789012};
    for (const QLocale &locale : locales) {
        for (qint64 c : cents) {
            const QString expected = locale.toCurrencyString(double(c) / 100.0, locale.currencySymbol(), 2);
            EXPECT_EQ(FormatCurrency(Currency::fromTenThousandths(c * 100), locale), expected)
                << locale.name().toStdString() << " " << c;
        }
    }
}

TEST(ProgramLocale, cLocaleBecomesEnUs) {
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(ProgramLocale(), QLocale(QLocale::English, QLocale::UnitedStates));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(ProgramLocale(), QLocale(QLocale::German, QLocale::Germany));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

// The words line built step by step on texts, the slow and obvious way.
QString WordsReference(const QString &num, qsizetype callerLength) {
    const QString scales[10] = {QString(),       QString(), S(" Thousand "), S(" Million "), S(" Billion "),
                                S(" Trillion "), QString(), QString(),       QString(),      QString()};
    const qsizetype p = num.indexOf(u'.') + 1;
    QString whole = num.left(p > 0 ? p - 1 : callerLength).trimmed();
    QString centsDigits = p > 0 ? num.right(std::abs(p - num.size())).trimmed() : QString();
    if (centsDigits.size() == 1) {
        centsDigits += S("0");
    }
    const qsizetype l0 = whole.size();
    const qsizetype groupCount = l0 / 3 + (l0 % 3 != 0 ? 1 : 0);
    QString groups[10];
    for (int i = 1; !whole.isEmpty(); ++i) {
        if (whole.size() > 3) {
            groups[i] = whole.right(3);
            whole.chop(3);
        } else {
            groups[i] = whole.trimmed();
            whole.clear();
        }
    }
    QString dollars;
    for (qsizetype j = groupCount; j >= 1; --j) {
        const QString t = HundredsWords(groups[j]);
        dollars += t;
        if (!t.isEmpty()) {
            dollars += scales[j];
        }
    }
    dollars += l0 > 0 ? S(" DOLLARS and ") : S(" NO DOLLARS and ");
    QString cents = TensWords(centsDigits);
    if (cents.isEmpty()) {
        cents = S("NO");
    }
    return dollars + cents + S(" CENTS");
}

QString PlainReference(double rounded) {
    QString num = QString::number(rounded, 'f', QLocale::FloatingPointShortest);
    if (num.startsWith(S("0."))) {
        num.remove(0, 1);
    } else if (num.startsWith(S("-0."))) {
        num.remove(1, 1);
    } else if (num == S("-0")) {
        num = S("0");
    }
    return num;
}

QString TextReference(const QString &text) {
    bool ok = false;
    const double rounded = RoundToCents(text.trimmed().toDouble(&ok));
    EXPECT_TRUE(ok) << text.toStdString();
    return WordsReference(PlainReference(rounded), text.size());
}

QString RandomAmountText(std::mt19937_64 &random) {
    std::uniform_int_distribution<int> pick(0, 9);
    std::uniform_int_distribution<int> wholeDigits(0, 15);
    std::uniform_int_distribution<int> fractionDigits(0, 5);
    QString text;
    if (pick(random) == 0) {
        text += S("-");
    }
    const int w = wholeDigits(random);
    for (int i = 0; i < w; ++i) {
        // Many zeros and nines, to hit empty groups and carries.
        const int d = pick(random);
        text += QLatin1Char(char('0' + (d < 3 ? 0 : d < 6 ? 9 : pick(random))));
    }
    const int f = w == 0 ? 1 + fractionDigits(random) % 5 : fractionDigits(random);
    if (f > 0 || pick(random) == 0) {
        text += S(".");
    }
    for (int i = 0; i < f; ++i) {
        text += QLatin1Char(char('0' + pick(random)));
    }
    return text;
}

TEST(AmountToWords, textMatchesReferenceForRandomAmounts) {
    std::mt19937_64 random(42);
    for (int i = 0; i < 300000; ++i) {
        const QString text = RandomAmountText(random);
        const QString got = AmountToWords(text);
        if (std::fabs(RoundToCents(text.toDouble())) >= 1e15) {
            ASSERT_TRUE(got.isEmpty()) << text.toStdString();
        } else {
            ASSERT_EQ(got, TextReference(text)) << text.toStdString();
        }
    }
}

TEST(AmountToWords, textMatchesReferenceNearHalfCents) {
    // Amounts that sit on or next to half a cent, where the double error decides the rounding.
    std::mt19937_64 random(7);
    std::uniform_int_distribution<qint64> cents(0, 99999999999999);
    for (int i = 0; i < 100000; ++i) {
        const qint64 c = cents(random);
        const QString text = QString::number(c / 100) + S(".") + QString::number(c % 100).rightJustified(2, u'0') +
                             S(i % 2 ? "5" : "49999999");
        ASSERT_EQ(AmountToWords(text), TextReference(text)) << text.toStdString();
    }
}

TEST(AmountToWords, digitsReadStraightGiveTheWordsOfTheDoubleRead) {
    // Around the edges of the path that reads cents from the digits: thirteen whole digits and two
    // decimals, leading zeros, signs on zero, and one digit more, which goes through the double.
    for (const char *text :
         {"9999999999999.99", "0009999999999999.99", "99999999999999.99", "9999999999999.995", "1234567890123",
          "-1234567890123.4", "10000000000000", "-0", "-0.00", "-.5", "-0.05", "0.", "00.10", " 7.1 ", "-000",
          "562949953421312", "5629499534213.12", "1000000000000.01", "0000000000000000000000.01"}) {
        ASSERT_EQ(AmountToWords(S(text)), TextReference(S(text))) << text;
    }
    for (const char *text : {".", "", "-", " ", "1.2.3", "--1", "1-"}) {
        EXPECT_TRUE(AmountToWords(S(text)).isEmpty()) << text;
    }
}

TEST(AmountToWords, currencyMatchesReferenceForRandomAmounts) {
    std::mt19937_64 random(99);
    std::uniform_int_distribution<qint64> any(std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    std::uniform_int_distribution<qint64> small(-2000000000, 20000000000);
    for (int i = 0; i < 200000; ++i) {
        const Currency amount = Currency::fromTenThousandths(i % 2 ? any(random) : small(random));
        const QString expected = WordsReference(RoundToCents(amount).toPlainText(), amount.toPlainText().size());
        ASSERT_EQ(AmountToWords(amount), expected) << amount.toPlainText().toStdString();
    }
}

} // namespace
