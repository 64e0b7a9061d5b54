#include "platform/testing/RecordingPrinter.h"
#include "print/CheckLayout.h"
#include "print/MoneyPrint.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using Kind = PrinterCall::Kind;

constexpr double kTwips = 1440;
constexpr double kTolerance = 0.01; // twips
const QString kThree = QStringLiteral("Deluxe 3-On-A-Page");
const QString kWallet = QStringLiteral("Deluxe Wallet-Size");
const QString kDate = QStringLiteral("12/07/2026");
const QString kPayee = QStringLiteral("Acme Hardware");
const QString kMemo = QStringLiteral("Paint and brushes");
const QString kAcct = QStringLiteral("0042-7781");

// The fields as the register holds them: padded to their widths.
QString padded(const QString &text, int width) {
    return text.leftJustified(width, u' ');
}

CheckSettings settingsFor(const QString &style) {
    return {style, kAcct, kDate, QLocale(QLocale::English, QLocale::UnitedStates)};
}

QString collapsedBlanks(QString text) {
    static const QRegularExpression blanks(QStringLiteral(" +"));
    return text.replace(blanks, QStringLiteral(" ")).trimmed();
}

// A check printed alone on a fresh recording printer set up like the print run's.
struct OneCheck {
    PrinterLog log;
    RecordingPrinter printer{log};
    bool ok = false;

    OneCheck(const QString &style, int slot, const QString &amount = QStringLiteral("1234.56")) {
        SetupPrinter(printer, QStringLiteral("Portrait"));
        ok = PrintOneCheck(printer, settingsFor(style), padded(kPayee, 25), amount, padded(kMemo, 35), slot);
    }
    QList<PrinterCall> texts(const QString &startingWith) const {
        QList<PrinterCall> found;
        for (const PrinterCall &call : log.Texts()) {
            if (call.text.startsWith(startingWith)) {
                found.append(call);
            }
        }
        return found;
    }
    double rightEdge(const PrinterCall &call) const { return call.x + printer.TextWidth(call.text); }
};

struct SlotCase {
    const char *style;
    int slot;
    // Inches from the top of the sheet.
    double date, payee, words, memo;
    double column;
};

// The forms vendor's positions, written out here independently of the layout tables.
const SlotCase kSlotCases[] = {
    {"Deluxe 3-On-A-Page", 1, 0.75, 1.25, 1.75, 2.5, 1.0}, {"Deluxe 3-On-A-Page", 2, 4.25, 4.75, 5.25, 6.0, 1.0},
    {"Deluxe 3-On-A-Page", 3, 7.75, 8.25, 8.75, 9.5, 1.0}, {"Deluxe Wallet-Size", 1, 0.4, 0.75, 1.0, 1.9, 2.8},
    {"Deluxe Wallet-Size", 2, 3.25, 3.65, 3.9, 4.75, 2.8}, {"Deluxe Wallet-Size", 3, 6.15, 6.5, 6.75, 7.6, 2.8},
};

class CheckLayoutBySlot : public ::testing::TestWithParam<SlotCase> {};

TEST_P(CheckLayoutBySlot, everyLineStandsAtItsPositionOnTheCheck) {
    const SlotCase &c = GetParam();
    const QString style = QString::fromLatin1(c.style);
    OneCheck check(style, c.slot);
    ASSERT_TRUE(check.ok);
    const double column = c.column * kTwips;

    // The check pass is the one at the check's column; its date ends at 8.0 in.
    const QList<PrinterCall> dates = check.texts(kDate);
    ASSERT_FALSE(dates.isEmpty());
    EXPECT_NEAR(check.rightEdge(dates.first()), 11520, kTolerance);
    EXPECT_NEAR(dates.first().y, c.date * kTwips, kTolerance);

    const QList<PrinterCall> payees = check.texts(kPayee);
    ASSERT_FALSE(payees.isEmpty());
    EXPECT_NEAR(payees.first().x, column, kTolerance);
    EXPECT_NEAR(payees.first().y, c.payee * kTwips, kTolerance);
    EXPECT_EQ(payees.first().text, padded(kPayee, 25));
    EXPECT_FALSE(payees.first().endLine);

    const QList<PrinterCall> figures = check.texts(QStringLiteral("$1,234.56"));
    ASSERT_FALSE(figures.isEmpty());
    EXPECT_NEAR(check.rightEdge(figures.first()), 10440, kTolerance);
    EXPECT_NEAR(figures.first().y, c.payee * kTwips, kTolerance);

    // The words lines start at the column, one line below the other.
    QList<PrinterCall> words;
    for (const PrinterCall &call : check.log.Texts()) {
        if (call.y >= c.words * kTwips - kTolerance && call.y < c.memo * kTwips - kTolerance) {
            words.append(call);
        }
    }
    ASSERT_FALSE(words.isEmpty());
    QString joined;
    for (qsizetype i = 0; i < words.size(); ++i) {
        EXPECT_NEAR(words[i].x, column, kTolerance);
        EXPECT_NEAR(words[i].y, c.words * kTwips + static_cast<double>(i) * check.printer.LineHeight(), kTolerance);
        joined += words[i].text + u' ';
    }
    EXPECT_EQ(collapsedBlanks(joined),
              QStringLiteral("One Thousand Two Hundred Thirty Four DOLLARS and Fifty Six CENTS"));

    const QList<PrinterCall> memos = check.texts(kMemo);
    ASSERT_FALSE(memos.isEmpty());
    EXPECT_NEAR(memos.first().x, column, kTolerance);
    EXPECT_NEAR(memos.first().y, c.memo * kTwips, kTolerance);

    for (const PrinterCall &call : check.log.Texts()) {
        EXPECT_EQ(call.face, QStringLiteral("Ariel"));
        EXPECT_EQ(call.size, 10);
        EXPECT_FALSE(call.bold);
    }
}

INSTANTIATE_TEST_SUITE_P(StylesAndSlots, CheckLayoutBySlot, ::testing::ValuesIn(kSlotCases),
                         [](const ::testing::TestParamInfo<SlotCase> &param) {
                             const bool three = std::string(param.param.style) == "Deluxe 3-On-A-Page";
                             return std::string(three ? "ThreeOnAPage" : "WalletSize") + "_slot" +
                                    std::to_string(param.param.slot);
                         });

TEST(CheckLayout, threeOnAPage_printsFiveItemsAndNoStub) {
    OneCheck check(kThree, 2, QStringLiteral("12"));
    ASSERT_TRUE(check.ok);
    QStringList texts;
    for (const PrinterCall &call : check.log.Texts()) {
        texts.append(call.text);
    }
    EXPECT_EQ(texts, (QStringList{kDate, padded(kPayee, 25), QStringLiteral("$12.00"),
                                  QStringLiteral("Twelve DOLLARS and NO CENTS"), padded(kMemo, 35)}));
    EXPECT_EQ(check.log.Count(Kind::ClipRight), 0);
}

TEST(CheckLayout, walletSize_printsCheckAndStub) {
    OneCheck check(kWallet, 1);
    ASSERT_TRUE(check.ok);
    const double stubMemoY = 1.9 * kTwips;

    const QList<PrinterCall> dates = check.texts(kDate);
    ASSERT_EQ(dates.size(), 2);
    EXPECT_NEAR(check.rightEdge(dates[0]), 11520, kTolerance);
    EXPECT_NEAR(check.rightEdge(dates[1]), 1440, kTolerance);
    EXPECT_NEAR(dates[0].y, 0.4 * kTwips, kTolerance);
    EXPECT_NEAR(dates[1].y, 0.4 * kTwips, kTolerance);

    const QList<PrinterCall> payees = check.texts(kPayee);
    ASSERT_EQ(payees.size(), 2);
    EXPECT_NEAR(payees[0].x, 2.8 * kTwips, kTolerance);
    EXPECT_NEAR(payees[1].x, 0.5 * kTwips, kTolerance);
    EXPECT_NEAR(payees[1].y, 0.75 * kTwips, kTolerance);

    const QList<PrinterCall> memos = check.texts(kMemo);
    ASSERT_EQ(memos.size(), 2);
    EXPECT_NEAR(memos[0].x, 2.8 * kTwips, kTolerance);
    EXPECT_NEAR(memos[1].x, 0.5 * kTwips, kTolerance);
    EXPECT_NEAR(memos[1].y, stubMemoY, kTolerance);

    // The figures once: the stub has none of its own (pdftotext never showed the copy drawn over
    // the check's figures).
    EXPECT_EQ(check.texts(QStringLiteral("$1,234.56")).size(), 1);

    EXPECT_EQ(check.texts(QStringLiteral("One Thousand")).size(), 1);

    // The account number stands one empty line below the stub's memo.
    const QList<PrinterCall> accounts = check.texts(kAcct);
    ASSERT_EQ(accounts.size(), 1);
    EXPECT_NEAR(accounts[0].x, 0.5 * kTwips, kTolerance);
    EXPECT_NEAR(accounts[0].y, stubMemoY + 2 * check.printer.LineHeight(), kTolerance);

    // Only the stub's payee, memo and account number are cut at 2.7 in.
    for (const PrinterCall &call : check.log.Texts()) {
        const bool stubText = call.x == 0.5 * kTwips;
        EXPECT_EQ(call.clipRight, stubText ? 3888 : 0) << qPrintable(call.text);
    }
}

// A style that names no form prints nothing: checks on the wrong layout are spoiled forms. Letter
// case does not matter to a form's name.
TEST(CheckLayout, aStyleNamingNoForm_printsNothing) {
    for (const QString &style : {QString(), QStringLiteral("Deluxe 3-On-A-Page "), QStringLiteral("Custom")}) {
        OneCheck check(style, 1);
        EXPECT_FALSE(check.ok) << qPrintable(style);
        EXPECT_TRUE(check.log.Texts().isEmpty()) << qPrintable(style);
    }
    OneCheck check(QStringLiteral("deluxe 3-on-a-page"), 3);
    ASSERT_TRUE(check.ok);
    EXPECT_NEAR(check.texts(kPayee).first().x, 1.0 * kTwips, kTolerance);
}

TEST(CheckLayout, figuresFollowTheLocaleAndReadTheAmountWithAPoint) {
    PrinterLog log;
    RecordingPrinter printer(log);
    CheckSettings settings = settingsFor(kThree);
    settings.Locale = QLocale(QLocale::German, QLocale::Germany);
    ASSERT_TRUE(PrintOneCheck(printer, settings, kPayee, QStringLiteral("1234.5         "), kMemo, 1));
    const QList<PrinterCall> texts = log.Texts();
    ASSERT_GE(texts.size(), 4);
    EXPECT_EQ(texts[2].text, QStringLiteral("1.234,50\u00a0\u20ac"));
    EXPECT_TRUE(texts[3].text.startsWith(QStringLiteral("One Thousand Two Hundred Thirty Four DOLLARS")));
}

TEST(CheckLayout, unusableAmountOrSlot_printsNothing) {
    PrinterLog log;
    RecordingPrinter printer(log);
    EXPECT_FALSE(PrintOneCheck(printer, settingsFor(kThree), kPayee, QStringLiteral("1.2.3"), kMemo, 1));
    // A slot the form does not have prints nothing, in every build.
    EXPECT_FALSE(PrintOneCheck(printer, settingsFor(kThree), kPayee, QStringLiteral("5"), kMemo, 4));
    EXPECT_FALSE(PrintOneCheck(printer, settingsFor(kThree), kPayee, QStringLiteral("5"), kMemo, 0));
    EXPECT_TRUE(log.calls.isEmpty());
}

TEST(MoneyPrint, setupPrinter_portraitAriel10NotBold) {
    PrinterLog log;
    RecordingPrinter printer(log);
    SetupPrinter(printer, QStringLiteral("Portrait"));
    SetupPrinter(printer, QStringLiteral("Landscape"));
    QList<Kind> kinds;
    for (const PrinterCall &call : log.calls) {
        kinds.append(call.kind);
    }
    EXPECT_EQ(kinds, (QList<Kind>{Kind::Orientation, Kind::FontName, Kind::FontBold, Kind::FontSize, Kind::Orientation,
                                  Kind::FontName, Kind::FontBold, Kind::FontSize}));
    EXPECT_EQ(log.calls[0].value, 1);
    EXPECT_EQ(log.calls[1].text, QStringLiteral("Ariel"));
    EXPECT_EQ(log.calls[2].value, 0);
    EXPECT_EQ(log.calls[3].value, 10);
    EXPECT_EQ(log.calls[4].value, 2);
}

TEST(MoneyPrint, moveToInches_leavesAZeroOrNegativeCoordinateAlone) {
    PrinterLog log;
    RecordingPrinter printer(log);
    printer.SetCurrentX(100);
    printer.SetCurrentY(200);
    MoveToInches(printer, 0, 0);
    EXPECT_EQ(printer.CurrentX(), 100);
    EXPECT_EQ(printer.CurrentY(), 200);
    MoveToInches(printer, 2.8f, -1);
    EXPECT_EQ(printer.CurrentX(), 4032);
    EXPECT_EQ(printer.CurrentY(), 200);
    MoveToInches(printer, -3, 7.6f);
    EXPECT_EQ(printer.CurrentX(), 4032);
    EXPECT_EQ(printer.CurrentY(), 10944);
}

struct WrapCase {
    const char *name;
    const char *text;
    QStringList lines;
};

// 100 twips a character and a width of 1020: a measured part may hold at most 10 characters.
const WrapCase kWrapCases[] = {
    {"lastWordIsNeverMeasured", "aaaa bbbb cccc", {QStringLiteral("aaaa bbbb cccc")}},
    {"breaksAtTheLastBlankThatFits_keepingIt",
     "aaaa bbbb cccc dd",
     {QStringLiteral("aaaa bbbb "), QStringLiteral("cccc dd")}},
    {"exactlyTheWidth_fits", "aaaaaaaaa bb", {QStringLiteral("aaaaaaaaa bb")}},
    {"oneOverTheWidth_breaks", "aaaa aaaaa bb cc", {QStringLiteral("aaaa "), QStringLiteral("aaaaa bb cc")}},
    {"blanksAfterABreak_areDropped", "aaaa  bbbb   cc dd", {QStringLiteral("aaaa  "), QStringLiteral("bbbb   cc dd")}},
    {"leadingBlank_isKept", " Five DOLLARS", {QStringLiteral(" Five DOLLARS")}},
    {"giantFirstWord_isBrokenInside",
     "abcdefghijklmnopqrstuvwxyz tail",
     {QStringLiteral("abcdefghij"), QStringLiteral("klmnopqrst"), QStringLiteral("uvwxyz tail")}},
    {"giantWordInTheMiddle_isBrokenInside",
     "ab abcdefghijklmno cd",
     {QStringLiteral("ab "), QStringLiteral("abcdefghij"), QStringLiteral("klmno cd")}},
    {"giantLastWordAlone_isPrintedWhole", "abcdefghijklmnop", {QStringLiteral("abcdefghijklmnop")}},
    {"firstWordFillingTheLine_losesOnlyItsBlank",
     "aaaaaaaaaa bb",
     {QStringLiteral("aaaaaaaaaa"), QStringLiteral("bb")}},
    {"emptyText_printsNothing", "", {}},
};

class PrintWrappedCases : public ::testing::TestWithParam<WrapCase> {};

TEST_P(PrintWrappedCases, linesAsExpected) {
    const WrapCase &c = GetParam();
    PrinterLog log;
    RecordingPrinter printer(log);
    printer.charWidth = 100;
    printer.lineHeight = 200;
    printer.SetCurrentX(9999);
    ASSERT_TRUE(PrintWrapped(printer, 300, 1000, 1020, QString::fromLatin1(c.text)));
    const QList<PrinterCall> texts = log.Texts();
    QStringList lines;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        lines.append(texts[i].text);
        EXPECT_EQ(texts[i].x, 300);
        EXPECT_EQ(texts[i].y, 1000 + 200 * static_cast<double>(i));
        EXPECT_TRUE(texts[i].endLine);
    }
    EXPECT_EQ(lines, c.lines);
}

INSTANTIATE_TEST_SUITE_P(Wrapping, PrintWrappedCases, ::testing::ValuesIn(kWrapCases),
                         [](const ::testing::TestParamInfo<WrapCase> &param) { return std::string(param.param.name); });

TEST(PrintWrapped, longWordsLine_breaksAtTheRightBlankWithTheRealFace) {
    PrinterLog log;
    RecordingPrinter printer(log);
    SetupPrinter(printer, QStringLiteral("Portrait"));
    const QString words = QStringLiteral("Nine Hundred Eighty Seven Billion Six Hundred Fifty Four Million Three "
                                         "Hundred Twenty One Thousand Nine Hundred Eighty Seven DOLLARS and Sixty "
                                         "Five CENTS");
    ASSERT_TRUE(PrintWrapped(printer, 1440, 2520, 5760, words));
    const QList<PrinterCall> texts = log.Texts();
    ASSERT_GE(texts.size(), 3);
    QString joined;
    for (qsizetype i = 0; i < texts.size(); ++i) {
        joined += texts[i].text;
        if (i + 1 == texts.size()) {
            break;
        }
        // Each line but the last ends at a blank, fits, and would not fit with the next word.
        const QString &line = texts[i].text;
        EXPECT_TRUE(line.endsWith(u' '));
        EXPECT_LE(std::floor(printer.TextWidth(line)), 5740);
        const QString next = texts[i + 1].text.section(u' ', 0, 0);
        if (texts[i + 1].text.contains(u' ')) {
            EXPECT_GT(std::floor(printer.TextWidth(line + next + u' ')), 5740) << qPrintable(line);
        }
    }
    EXPECT_EQ(joined, words);
}

TEST(PrintWrapped, giantWord_endsWithEveryPieceWithinTheWidth) {
    PrinterLog log;
    RecordingPrinter printer(log);
    SetupPrinter(printer, QStringLiteral("Portrait"));
    const QString giant = QString(300, u'W') + QStringLiteral(" DOLLARS and NO CENTS");
    ASSERT_TRUE(PrintWrapped(printer, 1440, 0, 5760, giant));
    const QList<PrinterCall> texts = log.Texts();
    ASSERT_GE(texts.size(), 5);
    QString joined;
    for (qsizetype i = 0; i + 1 < texts.size(); ++i) {
        EXPECT_LE(std::floor(printer.TextWidth(texts[i].text)), 5740);
        EXPECT_FALSE(texts[i].text.isEmpty());
        joined += texts[i].text;
    }
    joined += texts.last().text;
    EXPECT_EQ(joined, giant);
}

} // namespace
