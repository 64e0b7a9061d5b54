#include "print/CheckLayout.h"

#include "print/MoneyPrint.h"
#include "words/Currency.h"
#include "words/MoneyConverter.h"

#include <QList>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// Room kept free at the right end of a wrapped line, in twips.
constexpr double kWrapMargin = 20;

// The longest start of the text, at least one character, whose width stays within the limit.
qsizetype fittingPrefix(const Printer &printer, const QString &text, qsizetype maxLength, double limit) {
    qsizetype low = 1;
    qsizetype high = maxLength;
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (std::floor(printer.TextWidth(text.left(middle))) <= limit) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    // Never split a character made of two UTF-16 units.
    if (low < text.size() && text.at(low).isLowSurrogate() && low > 1) {
        --low;
    }
    return low;
}

// Where the next line begins: past the blanks that follow the cut.
qsizetype afterBlanks(const QString &text, qsizetype from) {
    while (from < text.size() && text.at(from) == u' ') {
        ++from;
    }
    return from;
}

// The line that begins at `start` may end after any of the blanks ends[first..] (each the index just
// past a blank). Returns the index in `ends` of the first blank whose part of the line (from start up
// to and including that blank) is measured wider than the limit, or ends.size() when every part fits.
//
// A part that ends at a later blank is never narrower than one that ends at an earlier blank (a word
// and a blank add more width than kerning ever takes away), so that blank is found by search with
// exact measurements instead of measuring every part in turn. The first measurement takes the part
// up to the first blank at or past `reach` characters; while parts fit, the next goes to where the
// width per character seen so far puts the limit, and at least twice as far. Then each guess comes
// from the two widths that bracket the limit, by the share of characters, with a halving step now
// and then so that poor guesses cannot make the search long.
qsizetype firstBlankTooWide(const Printer &printer, const QString &text, qsizetype start, const QList<qsizetype> &ends,
                            qsizetype first, double limit, qsizetype reach) {
    const auto widthTo = [&](qsizetype index) { return printer.TextWidth(text.mid(start, ends[index] - start)); };
    const auto fits = [limit](double width) { return std::floor(width) <= limit; };
    // The width from which a part no longer fits.
    const double edge = std::floor(limit) + 1;
    const qsizetype last = ends.size() - 1;
    qsizetype low = first - 1; // known to fit (first - 1: the empty start of the line)
    double lowWidth = 0;
    qsizetype high = 0; // known to be too wide
    double highWidth = 0;
    for (;;) {
        qsizetype probe = std::lower_bound(ends.begin() + low + 1, ends.end(), start + reach) - ends.begin();
        probe = std::min(probe, last);
        const double width = widthTo(probe);
        if (!fits(width)) {
            high = probe;
            highWidth = width;
            break;
        }
        low = probe;
        lowWidth = width;
        if (low == last) {
            return ends.size();
        }
        const qsizetype length = ends[low] - start;
        reach = 2 * length;
        if (lowWidth > 0) {
            reach = std::max(reach, qsizetype(std::min(edge / lowWidth * double(length), double(text.size()))));
        }
    }
    for (int step = 0; high - low > 1; ++step) {
        qsizetype guess = low + (high - low) / 2;
        if (step % 3 != 2 && highWidth > lowWidth) {
            const double from = double(low < first ? start : ends[low]);
            const double target = from + (edge - lowWidth) / (highWidth - lowWidth) * (double(ends[high]) - from);
            // The last blank at or before the target: its part probably fits and the next one does not.
            guess = std::upper_bound(ends.begin() + low + 1, ends.begin() + high, target) - ends.begin() - 1;
            guess = std::clamp(guess, low + 1, high - 1);
        }
        const double width = widthTo(guess);
        if (fits(width)) {
            low = guess;
            lowWidth = width;
        } else {
            high = guess;
            highWidth = width;
        }
    }
    return high;
}

// Takes the lines a wrapped text would print, measuring with another printer, and prints nothing.
class LineCatcher final : public Printer {
public:
    explicit LineCatcher(const Printer &measure) : measure_(measure) {}
    QStringList lines;

    void SetOrientation(Orientation) override {}
    void SetFontName(const QString &) override {}
    void SetFontSize(double) override {}
    void SetFontBold(bool) override {}
    double CurrentX() const override { return x_; }
    double CurrentY() const override { return y_; }
    void SetCurrentX(double twips) override { x_ = twips; }
    void SetCurrentY(double twips) override { y_ = twips; }
    double TextWidth(const QString &text) const override { return measure_.TextWidth(text); }
    double LineHeight() const override { return measure_.LineHeight(); }
    void SetClipRight(double) override {}
    bool Print(const QString &text, bool endLine) override {
        if (lines.isEmpty() || endLine_) {
            lines.append(text);
        } else {
            lines.last() += text;
        }
        endLine_ = endLine;
        return true;
    }
    bool NewPage() override { return true; }
    bool EndDoc() override { return true; }
    void Abort() override {}
    QString ErrorText() const override { return {}; }
    QString PrinterName() const override { return measure_.PrinterName(); }
    int SheetsDelivered() const override { return 0; }
    void SetSendProgress(SendProgress) override {}
    bool DrawLine(double, double, double, double, Pen) override { return true; }

private:
    const Printer &measure_;
    double x_ = 0;
    double y_ = 0;
    bool endLine_ = false;
};

// The words followed by as many asterisks as fit on the last words line. The asterisks join the last
// word, which the wrapping never measures, so the lines break exactly where they break without them.
QString protectedWords(const Printer &printer, const QString &words) {
    LineCatcher catcher(printer);
    PrintWrapped(catcher, 0, 0, kWordsWidth, words);
    const QString last = catcher.lines.isEmpty() ? QString() : catcher.lines.last();
    const double limit = kWordsWidth - kWrapMargin;
    // A line holds far fewer asterisks than this; the bound only guards against a zero width.
    constexpr qsizetype kMostStars = 400;
    QString stars;
    while (stars.size() < kMostStars && std::floor(printer.TextWidth(last + stars + u'*')) <= limit) {
        stars += u'*';
    }
    return words + stars;
}

} // namespace

QString ProtectedFigures(const QString &figures) {
    return figures.size() >= kProtectedFiguresWidth ? figures
                                                    : QString(kProtectedFiguresWidth - figures.size(), u'*') + figures;
}

bool PrintWrapped(Printer &printer, int x, double y, int width, const QString &text) {
    const double limit = width - kWrapMargin;
    printer.SetCurrentY(y);
    QList<qsizetype> ends; // the index just past each blank of the text
    for (qsizetype at = text.indexOf(u' '); at >= 0; at = text.indexOf(u' ', at + 1)) {
        ends.append(at + 1);
    }
    qsizetype start = 0;
    qsizetype first = 0; // the first blank of the line
    qsizetype reach = 0; // where the first measurement of a line ends, in characters: at first, one word
    while (start < text.size()) {
        while (first < ends.size() && ends[first] <= start) {
            ++first;
        }
        // The line takes every blank up to the first whose part is too wide.
        const qsizetype tooWide =
            first == ends.size() ? ends.size() : firstBlankTooWide(printer, text, start, ends, first, limit, reach);
        qsizetype cut = text.size();
        if (tooWide < ends.size()) {
            // A first word wider than the line has no blank to break at: break inside it.
            cut = tooWide > first ? ends[tooWide - 1]
                                  : start + fittingPrefix(printer, text.mid(start, ends[first] - start),
                                                          ends[first] - 1 - start, limit);
        }
        printer.SetCurrentX(x);
        if (!printer.Print(text.mid(start, cut - start), true)) {
            return false;
        }
        // The next line is likely about as long as this one: its first measurement goes a little further.
        reach = (cut - start) + (cut - start) / 4 + 1;
        start = afterBlanks(text, cut);
    }
    return true;
}

bool PrintOneCheck(Printer &printer, const CheckSettings &settings, const QString &payTo, const QString &amount,
                   const QString &memo, int slotOnSheet) {
    Q_ASSERT_X(slotOnSheet >= 1 && slotOnSheet <= 3, "PrintOneCheck", "slot on the sheet outside 1 to 3");
    if (slotOnSheet < 1 || slotOnSheet > 3) {
        return false;
    }
    const std::optional<Currency> value = Currency::fromText(amount);
    if (!value) {
        return false;
    }
    const bool threeOnAPage = settings.CheckStyle == kStyleThreeOnAPage;
    const CheckLines &lines = (threeOnAPage ? kThreeOnAPageLines : kWalletSizeLines)[slotOnSheet];
    const QString plainWords = AmountToWords(*value);
    const QString words = settings.CheckProtection ? protectedWords(printer, plainWords) : plainWords;
    const QString plainFigures = FormatCurrency(*value, settings.Locale);
    const QString figures = settings.CheckProtection ? ProtectedFigures(plainFigures) : plainFigures;

    float column = threeOnAPage ? kThreeOnAPageColumn : kWalletCheckColumn;
    for (;;) {
        const bool stub = column == kWalletStubColumn;
        // On the narrow stub, payee, memo and account number are cut short of the check's column.
        const auto printStubText = [&](const QString &text, bool endLine) {
            if (!stub) {
                return printer.Print(text, endLine);
            }
            printer.SetClipRight(kStubClipRight);
            const bool printed = printer.Print(text, endLine);
            printer.SetClipRight(0);
            return printed;
        };

        printer.SetCurrentX((stub ? kDateRightStub : kDateRightCheck) - printer.TextWidth(settings.DateText));
        MoveToInches(printer, 0, lines.Date);
        if (!printer.Print(settings.DateText, true)) {
            return false;
        }

        MoveToInches(printer, column, lines.Payee);
        if (!printStubText(payTo, false)) {
            return false;
        }
        // The figures stand right-aligned on the payee line.
        printer.SetCurrentX(kFiguresRight - printer.TextWidth(figures));
        if (!printer.Print(figures, true)) {
            return false;
        }

        if (!stub) {
            MoveToInches(printer, column, lines.Words);
            if (!PrintWrapped(printer, static_cast<int>(std::lround(column * 1440.0f)), printer.CurrentY(), kWordsWidth,
                              words)) {
                return false;
            }
        }

        MoveToInches(printer, column, lines.Memo);
        if (!printStubText(memo, true)) {
            return false;
        }

        if (stub) {
            // The account number goes one empty line below the memo.
            if (!printer.Print(QString(), true)) {
                return false;
            }
            MoveToInches(printer, kWalletStubColumn, 0);
            return printStubText(settings.AcctNo, true);
        }
        if (threeOnAPage) {
            return true;
        }
        column = kWalletStubColumn;
    }
}
