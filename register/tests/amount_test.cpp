// The amounts a check may carry, shared by the entry window and the print run.
#include "register/Amount.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

using P = AmountCheck::Problem;

TEST(AmountRule, acceptsPlainDollarsAndCentsOnly) {
    const struct {
        const char *text;
        P problem;
        qint64 tenThousandths;
    } cases[] = {
        {"12.34", P::None, 123400},
        {"12.", P::None, 120000},
        {".5", P::None, 5000},
        {"0012.50", P::None, 125000},
        {"0", P::None, 0},
        {"999999999.99", P::None, 9999999999900},
        {"1000000000", P::TooLarge, 0},
        {"999999999999999", P::TooLarge, 0},
        {"99999999999.99", P::TooLarge, 0},
        {"99999999999999999999999", P::TooLarge, 0}, // past the range of Currency itself
        {"1.234", P::TooManyDecimals, 0},
        {"12.345", P::TooManyDecimals, 0},
        {"999999999.991", P::TooManyDecimals, 0},
        {"-5", P::Negative, 0},
        {"-5.00", P::Negative, 0},
        {"-.5", P::Negative, 0},
        {"-12.345", P::Negative, 0},
        {"-99999999999.99", P::Negative, 0},
        {"1.2.3", P::NotANumber, 0},
        {".", P::NotANumber, 0},
        {"..", P::NotANumber, 0},
        {"", P::NotANumber, 0},
        {"-", P::NotANumber, 0},
        {"--5", P::NotANumber, 0},
        {"- 5", P::NotANumber, 0},
        {"5-", P::NotANumber, 0},
        {"12abc", P::NotANumber, 0},
        {"+5", P::NotANumber, 0},
        {" 5", P::NotANumber, 0},
        {"5 ", P::NotANumber, 0},
        {"1,000", P::NotANumber, 0},
        {"$5", P::NotANumber, 0},
        {"1e3", P::NotANumber, 0},
        {"\xD9\xA3", P::NotANumber, 0}, // an Arabic-Indic digit
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        const AmountCheck check = CheckAmountText(QString::fromUtf8(c.text));
        EXPECT_EQ(check.problem, c.problem);
        EXPECT_EQ(static_cast<bool>(check), c.problem == P::None);
        if (c.problem == P::None) {
            EXPECT_EQ(check.amount.tenThousandths(), c.tenThousandths);
            EXPECT_TRUE(check.message.isEmpty());
        } else {
            EXPECT_TRUE(check.message.contains(QLatin1Char('"') + QString::fromUtf8(c.text) + QLatin1Char('"')));
            // A number is never told that it is not one.
            EXPECT_EQ(check.message.contains(QStringLiteral("not a number")), c.problem == P::NotANumber);
        }
    }
}

TEST(AmountRule, problemTextSaysWhatIsWrong) {
    const struct {
        P problem;
        const char *words;
    } cases[] = {
        {P::None, ""},
        {P::NotANumber, "is not a number"},
        {P::Negative, "is negative"},
        {P::TooManyDecimals, "has more than two decimals"},
        {P::TooLarge, "is too large (the largest a check can carry is $999,999,999.99)"},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(AmountProblemText(c.problem), QString::fromUtf8(c.words));
    }
}

} // namespace
