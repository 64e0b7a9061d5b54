// The rules of the check entry window that need no widgets.
#include "windows/frmMainRules.h"

#include <gtest/gtest.h>

TEST(AmountRule, acceptsPlainDollarsAndCentsOnly) {
    using P = AmountCheck::Problem;
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
        {"1.234", P::TooManyDecimals, 0},
        {"999999999.991", P::TooManyDecimals, 0},
        {"1.2.3", P::NotANumber, 0},
        {".", P::NotANumber, 0},
        {"..", P::NotANumber, 0},
        {"", P::NotANumber, 0},
        {"12abc", P::NotANumber, 0},
        {"-5", P::NotANumber, 0},
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
        }
    }
}

TEST(ChecksLeftRule, countsDownAndStartsAFullSheetAfterTheLastBlank) {
    // The step-by-step rule: one less per check, and 3 again when a sheet is used up.
    for (int left = 1; left <= 3; ++left) {
        int stepped = left;
        for (qint64 used = 0; used <= 40; ++used) {
            EXPECT_EQ(ChecksLeftAfter(left, used), stepped) << left << " after " << used;
            stepped = stepped - 1 == 0 ? 3 : stepped - 1;
        }
    }
    EXPECT_EQ(ChecksLeftAfter(2, 4), 1);
    EXPECT_EQ(ChecksLeftAfter(1, 1), 3);
    EXPECT_EQ(ChecksLeftAfter(3, 999999999), 3);
}

TEST(PrintSummaryRule, namesTheFirstFormAndTheFurtherForms) {
    const struct {
        int firstSheet;
        qint64 firstCheckNo, pending, moreForms;
        const char *secondLine; // nullptr: none
    } cases[] = {
        {3, 1001, 1, 0, nullptr},
        {3, 1001, 3, 0, nullptr},
        {2, 1001, 4, 1, "Add an additional Check Form"},
        {2, 1001, 5, 1, "Add an additional Check Form"},
        {2, 1001, 6, 2, "Add an additional 2 Check Forms"},
        {1, 77, 8, 3, "Add an additional 3 Check Forms"},
        {1, 77, 35, 12, "Add an additional 12 Check Forms"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.pending);
        EXPECT_EQ(AdditionalForms(c.firstSheet, c.pending), c.moreForms);
        QString expected = QStringLiteral("Load your First Check Form with ") + QString::number(c.firstSheet) +
                           QStringLiteral(" blank checks beginning with Check No. ") + QString::number(c.firstCheckNo) +
                           QStringLiteral(" into the printer");
        if (c.secondLine != nullptr) {
            expected += QLatin1Char('\n') + QLatin1String(c.secondLine);
        }
        EXPECT_EQ(PrintSummaryText(c.firstSheet, c.firstCheckNo, c.pending), expected);
    }
}

TEST(StorableTextRule, findsTheFirstCharacterOutsideTheCodePage) {
    const struct {
        const char *text, *bad;
    } cases[] = {
        {"Ann Example", ""},
        {"Zo\xC3\xAB Caf\xC3\xA9", ""},         // Latin-1 letters
        {"\xE2\x82\xAC 5 \xE2\x80\x93 ok", ""}, // euro sign and en dash are in Windows-1252
        {"\xC5\x81\xC3\xB3"
         "d\xC5\xBA",
         "\xC5\x81"},                              // the first of two
        {"a\xF0\x9F\x98\x80", "\xF0\x9F\x98\x80"}, // a whole surrogate pair
        {"x\xE2\x80\x8B", "\xE2\x80\x8B"},         // a zero-width space
    };
    for (const auto &c : cases) {
        EXPECT_EQ(FirstUnstorableCharacter(QString::fromUtf8(c.text)), QString::fromUtf8(c.bad)) << c.text;
    }
}
