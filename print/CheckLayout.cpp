#include "print/CheckLayout.h"

#include "platform/Units.h"
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

// One line of a wrapped text: its characters [start, end), the blanks it keeps at its end included.
struct Line {
    qsizetype start;
    qsizetype end;
};

// How a text wraps, from one measuring of the whole text: where its lines break and, when asked,
// how many asterisks fit after the last line.
//
// The text is laid out once; a part that runs from a line's start to just past a blank is as wide
// as the offsets up to that blank plus a blank measured alone (the laid-out blank is kerned with the
// letter after it, which the part does not hold). A part that ends at a later blank is never
// narrower, so each line takes the blanks up to the first whose part is too wide.
class Wrapping {
public:
    Wrapping(const Printer &printer, const QString &text, double limit, bool withStars)
        : printer_(printer), text_(text), limit_(limit) {
        QList<qsizetype> positions{0};
        for (qsizetype at = text.indexOf(u' '); at >= 0; at = text.indexOf(u' ', at + 1)) {
            blanks_.append(at);
            positions << at << at + 1;
        }
        const qsizetype size = text.size();
        // Two asterisks after the text: the first kerned with the second, the second alone.
        if (withStars) {
            positions << size << size + 1 << size + 2;
        }
        offsets_ = printer.TextOffsets(withStars ? text + QStringLiteral("**") : text, positions);
        if (!blanks_.isEmpty()) {
            blank_ = printer.TextWidth(QStringLiteral(" "));
        }
        breakLines();
        if (withStars) {
            countStars();
        }
    }

    QList<Line> lines;
    // Asterisks that fit after the last line (when asked for).
    qsizetype stars = 0;

private:
    // The offset of the blank blanks_[i] and of the character after it.
    double blankAt(qsizetype i) const { return offsets_[1 + 2 * i]; }
    double afterBlank(qsizetype i) const { return offsets_[2 + 2 * i]; }
    bool fits(double width) const { return std::floor(width) <= limit_; }

    void breakLines() {
        const qsizetype size = text_.size();
        const qsizetype count = blanks_.size();
        qsizetype start = 0;
        std::optional<double> startOffset = 0.0; // none: the line starts inside a word
        qsizetype first = 0;                     // the first blank of the line
        while (start < size) {
            while (first < count && blanks_[first] < start) {
                ++first;
            }
            // The width of the line's part up to and including blank i.
            const auto partTo = [&](qsizetype i) {
                return startOffset ? blankAt(i) - *startOffset + blank_
                                   : printer_.TextWidth(text_.mid(start, blanks_[i] + 1 - start));
            };
            qsizetype tooWide = first;
            while (tooWide < count && fits(partTo(tooWide))) {
                ++tooWide;
            }
            qsizetype cut = size;
            if (tooWide < count) {
                // A first word wider than the line has no blank to break at: break inside it.
                cut = tooWide > first ? blanks_[tooWide - 1] + 1
                                      : start + fittingPrefix(printer_, text_.mid(start, blanks_[first] + 1 - start),
                                                              blanks_[first] - start, limit_);
            }
            lines.append({start, cut});
            start = afterBlanks(text_, cut);
            startOffset = offsetAfterBlank(start);
        }
    }

    // The offset of a line's start just past a blank; none for a start inside a word.
    std::optional<double> offsetAfterBlank(qsizetype start) const {
        if (start == 0 || start > text_.size() || text_.at(start - 1) != u' ') {
            return std::nullopt;
        }
        const auto blank = std::lower_bound(blanks_.cbegin(), blanks_.cend(), start - 1);
        return afterBlank(blank - blanks_.cbegin());
    }

    // As many asterisks as fit after the last line: the last line with one asterisk, then one more
    // asterisk's pitch for each further one.
    void countStars() {
        const double pitch = offsets_[offsets_.size() - 2] - offsets_[offsets_.size() - 3];
        const double one = lastLineWithStar();
        const auto widthWith = [&](qsizetype count) { return one + double(count - 1) * pitch; };
        // A line holds far fewer asterisks than this; the bound only guards against a zero width.
        constexpr qsizetype kMostStars = 400;
        if (!fits(widthWith(1))) {
            return;
        }
        stars = kMostStars;
        if (pitch > 0) {
            const double room = std::floor(limit_) + 1 - widthWith(1);
            stars = std::clamp(qsizetype(room / pitch) + 1, qsizetype(1), kMostStars);
        }
        while (stars > 1 && !fits(widthWith(stars))) {
            --stars;
        }
        while (stars < kMostStars && fits(widthWith(stars + 1))) {
            ++stars;
        }
    }

    // The width of the last line followed by one asterisk.
    double lastLineWithStar() const {
        const double alone = offsets_[offsets_.size() - 1] - offsets_[offsets_.size() - 2];
        const double end = offsets_[offsets_.size() - 3];
        if (lines.isEmpty()) {
            return alone;
        }
        const qsizetype start = lines.last().start;
        const std::optional<double> from = start == 0 ? std::optional<double>(0.0) : offsetAfterBlank(start);
        // A last line that starts inside a word is measured alone.
        return from ? end - *from + alone : printer_.TextWidth(text_.mid(start) + u'*');
    }

    const Printer &printer_;
    const QString &text_;
    double limit_;
    QList<qsizetype> blanks_;
    QList<double> offsets_;
    double blank_ = 0;
};

// Prints the lines of a wrapped text from (x, y), the asterisks after the last one.
bool printLines(Printer &printer, int x, double y, const QString &text, const Wrapping &wrapping) {
    printer.SetCurrentY(y);
    for (qsizetype i = 0; i < wrapping.lines.size(); ++i) {
        const Line &line = wrapping.lines.at(i);
        QString printed = text.mid(line.start, line.end - line.start);
        if (i + 1 == wrapping.lines.size() && wrapping.stars > 0) {
            printed += QString(wrapping.stars, u'*');
        }
        printer.SetCurrentX(x);
        if (!printer.Print(printed, true)) {
            return false;
        }
    }
    return true;
}

} // namespace

QString ProtectedFigures(const QString &figures) {
    return figures.size() >= kProtectedFiguresWidth ? figures
                                                    : QString(kProtectedFiguresWidth - figures.size(), u'*') + figures;
}

bool PrintWrapped(Printer &printer, int x, double y, int width, const QString &text) {
    return printLines(printer, x, y, text, Wrapping(printer, text, width - kWrapMargin, false));
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
    const QString words = AmountToWords(*value);
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
            // With protection, asterisks fill the last words line; the lines break where they break without.
            const Wrapping wrapping(printer, words, kWordsWidth - kWrapMargin, settings.CheckProtection);
            if (!printLines(printer, static_cast<int>(std::lround(column * float(kTwipsPerInch))), printer.CurrentY(),
                            words, wrapping)) {
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
