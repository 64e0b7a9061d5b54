#include "print/CheckLayout.h"

#include "print/MoneyPrint.h"
#include "words/Currency.h"
#include "words/MoneyConverter.h"

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

QString withoutLeadingBlanks(const QString &text, qsizetype from) {
    while (from < text.size() && text.at(from) == u' ') {
        ++from;
    }
    return text.mid(from);
}

} // namespace

bool PrintWrapped(Printer &printer, int x, double y, int width, const QString &text) {
    const double limit = width - kWrapMargin;
    printer.SetCurrentY(y);
    QString rest = text;
    while (!rest.isEmpty()) {
        // Grow the line blank by blank while the part up to and including the blank fits.
        qsizetype prev = 0;
        qsizetype blank = 0; // 1-based position of the blank, 0 when there is none
        for (;;) {
            blank = rest.indexOf(u' ', prev) + 1;
            if (blank == 0 || std::floor(printer.TextWidth(rest.left(blank))) > limit) {
                break;
            }
            prev = blank;
        }
        QString line;
        if (blank == 0) {
            line = rest;
            rest.clear();
        } else {
            // A first word wider than the line has no blank to break at: break inside it.
            const qsizetype cut = prev > 0 ? prev : fittingPrefix(printer, rest, blank - 1, limit);
            line = rest.left(cut);
            rest = withoutLeadingBlanks(rest, cut);
        }
        printer.SetCurrentX(x);
        if (!printer.Print(line, true)) {
            return false;
        }
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
    const QString words = AmountToWords(*value);
    const QString figures = FormatCurrency(*value, settings.Locale);

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
