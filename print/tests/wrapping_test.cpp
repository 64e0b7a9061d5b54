#include "platform/ForwardingPrinter.h"
#include "platform/QtPrinter.h"
#include "platform/testing/RecordingPrinter.h"
#include "print/CheckLayout.h"
#include "print/MoneyPrint.h"
#include "words/Currency.h"
#include "words/MoneyConverter.h"

#include <QHash>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

namespace {

using WidthOf = std::function<double(const QString &)>;

// The wrapping rule done the plain way: grow the line blank by blank, measuring the whole part up to
// each blank, until a part is too wide; a first word too wide is cut at the longest start that fits.
QStringList ReferenceLines(const WidthOf &widthOf, int width, const QString &text) {
    const double limit = width - 20;
    QStringList lines;
    QString rest = text;
    while (!rest.isEmpty()) {
        qsizetype prev = 0;
        qsizetype blank = 0;
        for (;;) {
            blank = rest.indexOf(u' ', prev) + 1;
            if (blank == 0 || std::floor(widthOf(rest.left(blank))) > limit) {
                break;
            }
            prev = blank;
        }
        if (blank == 0) {
            lines.append(rest);
            break;
        }
        qsizetype cut = prev;
        if (cut == 0) {
            cut = 1;
            while (cut < blank - 1 && std::floor(widthOf(rest.left(cut + 1))) <= limit) {
                ++cut;
            }
        }
        lines.append(rest.left(cut));
        while (cut < rest.size() && rest.at(cut) == u' ') {
            ++cut;
        }
        rest = rest.mid(cut);
    }
    return lines;
}

// A printer with a made-up proportional face that kerns, blanks included: a part's width is not
// the sum of its words' widths. It keeps the printed lines and counts what it measured.
class KerningPrinter final : public Printer {
public:
    static double Width(const QString &text) {
        double width = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t c = text.at(i).unicode();
            width += c == u' ' ? 55 : (c >= u'A' && c <= u'Z') ? 130 + (c % 5) * 9 : 90 + (c % 7) * 7;
            if (i > 0) {
                width += kern(text.at(i - 1).unicode(), c);
            }
        }
        return width;
    }

    void SetOrientation(Orientation) override {}
    void SetFontName(const QString &) override {}
    void SetFontSize(double) override {}
    void SetFontBold(bool) override {}
    double CurrentX() const override { return x_; }
    double CurrentY() const override { return y_; }
    void SetCurrentX(double twips) override { x_ = twips; }
    void SetCurrentY(double twips) override { y_ = twips; }
    double TextWidth(const QString &text) const override {
        ++calls;
        measured += text.size();
        return Width(text);
    }
    double LineHeight() const override { return 200; }
    void SetClipRight(double) override {}
    QPointF PaperCorner() const override { return {}; }
    bool Print(const QString &text, bool endLine) override {
        lines.append(text);
        EXPECT_TRUE(endLine);
        y_ += LineHeight();
        return true;
    }
    bool NewPage() override { return true; }
    bool EndDoc() override { return true; }
    void Abort() override {}
    QString ErrorText() const override { return {}; }
    int SheetsDelivered() const override { return 0; }
    void SetSendProgress(SendProgress) override {}
    QString PrinterName() const override { return {}; }
    bool DrawLine(double, double, double, double, Pen) override { return true; }

    QStringList lines;
    mutable qint64 calls = 0;
    mutable qint64 measured = 0; // characters measured, all calls together

private:
    static double kern(char16_t left, char16_t right) {
        if (left == u' ' && (right == u'A' || right == u'T' || right == u'Y')) {
            return -11;
        }
        if ((left == u'T' || left == u'V') && (right == u'o' || right == u'e' || right == u'A')) {
            return -14;
        }
        return left == u'y' && right == u' ' ? -6 : 0;
    }

    double x_ = 0;
    double y_ = 0;
};

// Words lines of a fixed, varied set of amounts, from cents to hundreds of billions.
QStringList SeededWordsLines(int count) {
    std::mt19937_64 random(8675309);
    std::uniform_int_distribution<int> digits(1, 14);
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        const qint64 scale = qint64(std::pow(10.0, digits(random)));
        const qint64 cents = std::uniform_int_distribution<qint64>(0, scale - 1)(random);
        texts.append(AmountToWords(Currency::fromTenThousandths(cents * 100)));
    }
    return texts;
}

// Texts that stress the search: runs of blanks, leading blanks, giant words, kerning pairs at blanks.
QStringList SeededOddTexts(int count) {
    std::mt19937 random(1234567);
    const QStringList pieces = {
        QStringLiteral("AVAT"),    QStringLiteral("To"),
        QStringLiteral("Yes"),     QStringLiteral("y"),
        QStringLiteral("Ve"),      QStringLiteral("a"),
        QStringLiteral("DOLLARS"), QStringLiteral(" "),
        QStringLiteral("  "),      QStringLiteral("Wwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwwww")};
    std::uniform_int_distribution<qsizetype> pick(0, pieces.size() - 1);
    std::uniform_int_distribution<int> length(0, 60);
    QStringList texts;
    for (int i = 0; i < count; ++i) {
        QString text;
        for (int n = length(random); n > 0; --n) {
            text += pieces[pick(random)];
            text += u' ';
        }
        texts.append(i % 2 ? text : text.trimmed());
    }
    return texts;
}

struct WidthRow {
    const char *name;
    int width;
};

class WrapLikeTheReference : public ::testing::TestWithParam<WidthRow> {};

TEST_P(WrapLikeTheReference, kerningFace_sameLinesForWordsAndOddTexts) {
    const int width = GetParam().width;
    const QStringList texts = SeededWordsLines(1500) + SeededOddTexts(1500);
    for (const QString &text : texts) {
        KerningPrinter printer;
        ASSERT_TRUE(PrintWrapped(printer, 1440, 0, width, text));
        ASSERT_EQ(printer.lines, ReferenceLines(&KerningPrinter::Width, width, text)) << qPrintable(text);
    }
}

TEST_P(WrapLikeTheReference, realFace_sameLinesForWordsLines) {
    const int width = GetParam().width;
    PrinterLog log;
    RecordingPrinter printer(log);
    SetupPrinter(printer, QStringLiteral("Portrait"));
    const WidthOf realWidth = [&printer](const QString &text) { return printer.TextWidth(text); };
    for (const QString &text : SeededWordsLines(300)) {
        log.calls.clear();
        ASSERT_TRUE(PrintWrapped(printer, 1440, 0, width, text));
        QStringList lines;
        for (const PrinterCall &call : log.Texts()) {
            lines.append(call.text);
        }
        ASSERT_EQ(lines, ReferenceLines(realWidth, width, text)) << qPrintable(text);
    }
}

INSTANTIATE_TEST_SUITE_P(Widths, WrapLikeTheReference,
                         ::testing::Values(WidthRow{"wordsLine", kWordsWidth}, WidthRow{"narrow", 1200},
                                           WidthRow{"oneWordWide", 400}, WidthRow{"wide", 20000}),
                         [](const ::testing::TestParamInfo<WidthRow> &row) { return std::string(row.param.name); });

// Takes the printed lines while the printer underneath measures and draws.
class LineTaker final : public ForwardingPrinter {
public:
    using ForwardingPrinter::ForwardingPrinter;
    QStringList lines;
    bool Print(const QString &text, bool endLine) override {
        lines.append(text);
        return ForwardingPrinter::Print(text, endLine);
    }
};

struct FaceRow {
    const char *name;
    std::function<std::unique_ptr<Printer>(const QTemporaryDir &dir, PrinterLog &log)> make;
};

class RealFaces : public ::testing::TestWithParam<FaceRow> {};

// Amounts from cents to hundreds of millions, as the register holds them.
QStringList SeededAmounts(int count) {
    std::mt19937_64 random(20261207);
    std::uniform_int_distribution<int> digits(1, 11);
    QStringList amounts;
    for (int i = 0; i < count; ++i) {
        const qint64 scale = qint64(std::pow(10.0, digits(random)));
        const qint64 cents = std::uniform_int_distribution<qint64>(1, scale - 1)(random);
        amounts.append(QStringLiteral("%1.%2").arg(cents / 100).arg(cents % 100, 2, 10, QLatin1Char('0')));
    }
    return amounts;
}

// On the printers that print (a PDF file) and that tests record with, the words lines of real checks
// break where measuring every part whole breaks them, and protection fills the last words line with
// exactly as many asterisks as fit, measured whole, and changes no other line.
TEST_P(RealFaces, wordsBreakAsMeasuredWhole_andAsterisksFillTheLastLineExactly) {
    QTemporaryDir dir;
    PrinterLog log;
    const auto checkLines = [&](const QString &amount, bool protection) {
        LineTaker printer(GetParam().make(dir, log));
        SetupPrinter(printer, QStringLiteral("Portrait"));
        const CheckSettings settings{kFormThreeOnAPage, QString(), QStringLiteral("12/07/2026"),
                                     QLocale(QLocale::English, QLocale::UnitedStates), protection};
        EXPECT_TRUE(PrintOneCheck(printer, settings, QStringLiteral("Payee"), amount, QStringLiteral("Memo"), 1));
        printer.Abort();
        // Date, payee, figures, the words lines, memo.
        return printer.lines.mid(3, printer.lines.size() - 4);
    };
    LineTaker measure(GetParam().make(dir, log));
    SetupPrinter(measure, QStringLiteral("Portrait"));
    const WidthOf widthOf = [&measure](const QString &text) { return measure.TextWidth(text); };
    int starred = 0;
    for (const QString &amount : SeededAmounts(200)) {
        const QString words = AmountToWords(*Currency::fromText(amount));
        const QStringList plain = checkLines(amount, false);
        ASSERT_EQ(plain, ReferenceLines(widthOf, kWordsWidth, words)) << qPrintable(words);
        const QStringList guarded = checkLines(amount, true);
        ASSERT_EQ(guarded.size(), plain.size()) << qPrintable(words);
        ASSERT_EQ(guarded.mid(0, plain.size() - 1), plain.mid(0, plain.size() - 1)) << qPrintable(words);
        QString expected = plain.last();
        while (expected.size() < plain.last().size() + 400 &&
               std::floor(widthOf(expected + u'*')) <= kWordsWidth - 20) {
            expected += u'*';
        }
        ASSERT_EQ(guarded.last(), expected) << qPrintable(words);
        starred += expected.size() > plain.last().size() ? 1 : 0;
    }
    EXPECT_GT(starred, 150);
}

INSTANTIATE_TEST_SUITE_P(Printers, RealFaces,
                         ::testing::Values(FaceRow{"pdfFile",
                                                   [](const QTemporaryDir &dir, PrinterLog &) {
                                                       return MakePdfPrinter(dir.filePath(QStringLiteral("words.pdf")));
                                                   }},
                                           FaceRow{
                                               "recording",
                                               [](const QTemporaryDir &, PrinterLog &log) -> std::unique_ptr<Printer> {
                                                   return std::make_unique<RecordingPrinter>(log);
                                               }}),
                         [](const ::testing::TestParamInfo<FaceRow> &row) { return std::string(row.param.name); });

struct CostRow {
    const char *name;
    int words;
    int width;
};

class WrapCost : public ::testing::TestWithParam<CostRow> {};

// Measuring grows with the text, not with the square of a line's words: a handful of measurements a
// line, and each character measured a few times at most.
TEST_P(WrapCost, measuresAFewTimesALine) {
    const CostRow &row = GetParam();
    QString text;
    for (int i = 0; i < row.words; ++i) {
        text += i % 3 ? QStringLiteral("Hundred ") : QStringLiteral("Ty ");
    }
    KerningPrinter printer;
    ASSERT_TRUE(PrintWrapped(printer, 0, 0, row.width, text));
    const qint64 lines = printer.lines.size();
    const double wordsPerLine = double(row.words) / double(lines);
    const double probesPerLine = 2 + 2 * std::log2(wordsPerLine + 1);
    EXPECT_LE(double(printer.calls), double(lines) * probesPerLine) << lines << " lines";
    EXPECT_LE(printer.measured, 6 * text.size()) << lines << " lines";
    EXPECT_EQ(printer.lines, ReferenceLines(&KerningPrinter::Width, row.width, text));
}

INSTANTIATE_TEST_SUITE_P(Texts, WrapCost,
                         ::testing::Values(CostRow{"oneLineOf3000Words", 3000, 10000000},
                                           CostRow{"linesOf300Words", 3000, 200000},
                                           CostRow{"linesOf40Words", 3000, 25000},
                                           CostRow{"wordsLineWidth", 3000, kWordsWidth}),
                         [](const ::testing::TestParamInfo<CostRow> &row) { return std::string(row.param.name); });

} // namespace
