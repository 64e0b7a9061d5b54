#include "print/CheckLayout.h"

#include "platform/Units.h"
#include "print/MoneyPrint.h"
#include "words/Currency.h"
#include "words/MoneyConverter.h"

#include <QHash>
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

// How a text wraps, and how many asterisks fit after its last line when asked.
//
// The text is measured in pieces, each piece once: the first word of a line with the blank after
// it, then each further word with the blanks before and after it ("Thousand" as " Thousand "), less
// one blank measured alone. A blank is kerned with the letter after it (a blank and "T" stand closer
// than either alone), and a piece that starts with its blank holds that kerning, so a part of a line
// is exactly as wide as its pieces together. Pieces repeat from check to check, and the printer's
// memory of widths answers most of them. Text where a blank is followed by a character that could
// join it (a combining mark, half of a surrogate pair) is measured part by part instead. A part
// that ends at a later blank is never narrower, so each line takes the blanks up to the first whose
// part is too wide.
class Wrapping {
public:
    Wrapping(const Printer &printer, const QString &text, double limit, bool withStars)
        : printer_(printer), text_(text), limit_(limit) {
        for (qsizetype at = text.indexOf(u' '); at >= 0; at = text.indexOf(u' ', at + 1)) {
            blanks_.append(at);
            const QChar next = at + 1 < text.size() ? text.at(at + 1) : QChar();
            additive_ = additive_ && !next.isMark() && !next.isSurrogate();
        }
        if (additive_) {
            sumPieces();
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
    bool fits(double width) const { return std::floor(width) <= limit_; }

    // A text's width, asked of the printer once per text.
    double widthOf(const QString &text) const {
        const auto known = widths_.constFind(text);
        if (known != widths_.cend()) {
            return *known;
        }
        const double width = printer_.TextWidth(text);
        widths_.insert(text, width);
        return width;
    }

    // sums_[j]: the width of the text up to and including blank j, as its pieces add up.
    void sumPieces() {
        blank_ = widthOf(QStringLiteral(" "));
        for (qsizetype j = 0; j < blanks_.size(); ++j) {
            sums_.append(j == 0 ? widthOf(text_.left(blanks_[0] + 1))
                                : sums_.last() + widthOf(text_.mid(blanks_[j - 1], blanks_[j] + 1 - blanks_[j - 1])) -
                                      blank_);
        }
    }

    // The first blank at or after `position`.
    qsizetype blankFrom(qsizetype position) const {
        return std::lower_bound(blanks_.cbegin(), blanks_.cend(), position) - blanks_.cbegin();
    }

    // The width of the part from `start` up to and including blank j, where blank k is the first
    // blank at or after start: the start's own piece, then the pieces after it.
    double partWidth(qsizetype start, qsizetype k, qsizetype j) const {
        if (!additive_) {
            return printer_.TextWidth(text_.mid(start, blanks_[j] + 1 - start));
        }
        return widthOf(text_.mid(start, blanks_[k] + 1 - start)) + sums_[j] - sums_[k];
    }

    void breakLines() {
        const qsizetype size = text_.size();
        const qsizetype count = blanks_.size();
        qsizetype start = 0;
        while (start < size) {
            const qsizetype first = blankFrom(start);
            qsizetype tooWide = first;
            while (tooWide < count && fits(partWidth(start, first, tooWide))) {
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
        }
    }

    // As many asterisks as fit after the last line: the last line with one asterisk, then one more
    // asterisk's pitch for each further one.
    void countStars() {
        const double pitch = widthOf(QStringLiteral("**")) - widthOf(QStringLiteral("*"));
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
        const qsizetype start = lines.isEmpty() ? 0 : lines.last().start;
        const qsizetype k = blankFrom(start);
        if (!additive_ || k == blanks_.size()) {
            return widthOf(text_.mid(start) + u'*');
        }
        // The blanks of the line, then the last piece with the asterisk (and the blank before it).
        const qsizetype last = blanks_.size() - 1;
        return partWidth(start, k, last) + widthOf(text_.mid(blanks_[last]) + u'*') - blank_;
    }

    const Printer &printer_;
    const QString &text_;
    double limit_;
    QList<qsizetype> blanks_;
    bool additive_ = true;
    double blank_ = 0;
    QList<double> sums_;
    mutable QHash<QString, double> widths_;
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

QString MaskedAccount(const QString &accountNo) {
    QString digits;
    for (qsizetype i = accountNo.size() - 1; i >= 0 && digits.size() < 4; --i) {
        if (accountNo.at(i).isDigit()) {
            digits.prepend(accountNo.at(i));
        }
    }
    return QStringLiteral("****") + digits;
}

namespace {

// Prints the items of one check area.
class AreaPrinter {
public:
    AreaPrinter(Printer &printer, const CheckSettings &settings) : printer_(printer), settings_(settings) {}

    bool Item(const FormItem &item, const QString &text) {
        if (item.FontSize != fontSize_) {
            fontSize_ = item.FontSize;
            printer_.SetFontSize(fontSize_);
        }
        const double x = item.X * kTwipsPerInch;
        const double y = item.Y * kTwipsPerInch;
        if (item.Field == FormField::Words) {
            return words(item, x, y, text);
        }
        printer_.SetCurrentX(item.RightAnchored ? x - printer_.TextWidth(text) : x);
        printer_.SetCurrentY(y);
        if (item.ClipWidth <= 0) {
            return printer_.Print(text, false);
        }
        // Inches in hundredths make twips with binary noise; the edge is a whole millionth of a twip.
        printer_.SetClipRight(std::round((item.X + item.ClipWidth) * kTwipsPerInch * 1e6) / 1e6);
        const bool printed = printer_.Print(text, false);
        printer_.SetClipRight(0);
        return printed;
    }

    // Leaves the printer at the font size the run set up.
    bool Done() {
        if (fontSize_ != kRunFontSize) {
            printer_.SetFontSize(kRunFontSize);
        }
        return true;
    }

private:
    static constexpr double kRunFontSize = 10;

    // With protection, asterisks fill the last words line; the lines break where they break without.
    bool words(const FormItem &item, double x, double y, const QString &text) {
        const double width = item.Width * kTwipsPerInch;
        const int column = static_cast<int>(std::lround(x));
        if (item.Rule == WordsRule::Wrap) {
            const Wrapping wrapping(printer_, text, width - kWrapMargin, settings_.CheckProtection);
            return printLines(printer_, column, y, text, wrapping);
        }
        // One line cut at the width; asterisks only when the words leave room for them.
        QString line = text;
        if (settings_.CheckProtection) {
            const Wrapping wrapping(printer_, text, width - kWrapMargin, true);
            if (wrapping.lines.size() == 1) {
                line += QString(wrapping.stars, u'*');
            }
        }
        printer_.SetCurrentX(column);
        printer_.SetCurrentY(y);
        printer_.SetClipRight(column + width);
        const bool printed = printer_.Print(line, true);
        printer_.SetClipRight(0);
        return printed;
    }

    Printer &printer_;
    const CheckSettings &settings_;
    double fontSize_ = kRunFontSize;
};

} // namespace

bool PrintOneCheck(Printer &printer, const CheckSettings &settings, const QString &payTo, const QString &amount,
                   const QString &memo, int slotOnSheet, const QString &checkNo, const QStringList &address) {
    std::optional<CheckForm> named;
    if (!settings.Form) {
        named = BuiltInForm(settings.CheckStyle);
    }
    const CheckForm *form = settings.Form ? settings.Form : named ? &*named : nullptr;
    if (!form || slotOnSheet < 1 || slotOnSheet > form->ChecksPerSheet()) {
        return false;
    }
    const std::optional<Currency> value = Currency::fromText(amount);
    if (!value) {
        return false;
    }
    const FormArea &area = form->Areas.at(slotOnSheet - 1);
    const QString plainFigures = FormatCurrency(*value, settings.Locale);
    const QString figures = settings.CheckProtection ? ProtectedFigures(plainFigures) : plainFigures;
    QString words;
    AreaPrinter print(printer, settings);
    for (const FormItem &item : area.Items) {
        bool printed = true;
        switch (item.Field) {
        case FormField::Date:
            printed = print.Item(item, settings.DateText);
            break;
        case FormField::Payee:
            printed = print.Item(item, payTo);
            break;
        case FormField::Amount:
            // A stub shows the plain amount; the asterisks guard the check alone.
            printed = print.Item(item, item.Stub ? plainFigures : figures);
            break;
        case FormField::Words:
            if (words.isEmpty()) {
                words = AmountToWords(*value);
            }
            printed = print.Item(item, words);
            break;
        case FormField::Memo:
            printed = print.Item(item, memo);
            break;
        case FormField::Address:
            for (qsizetype line = 0; printed && line < qMin<qsizetype>(address.size(), item.Lines); ++line) {
                FormItem lineItem = item;
                lineItem.Y = item.Y + static_cast<double>(line) * LineHeightInches(item.FontSize);
                printed = address[line].isEmpty() || print.Item(lineItem, address[line]);
            }
            break;
        case FormField::CheckNumber:
            printed = checkNo.isEmpty() || print.Item(item, checkNo);
            break;
        case FormField::Account:
            printed = print.Item(item, item.Masked ? MaskedAccount(settings.AcctNo) : settings.AcctNo);
            break;
        }
        if (!printed) {
            return false;
        }
    }
    return print.Done();
}
