// The rules of the check entry window that need no widgets.
#include "windows/frmMainRules.h"

#include <gtest/gtest.h>

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
    // A one-per-sheet form always has its one check left.
    for (const qint64 used : {0, 1, 2, 7}) {
        EXPECT_EQ(ChecksLeftAfter(1, used, 1), 1) << used;
    }
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
