// The yardstick for the print run: the checks of `bench_print --once N STYLE` (the same texts, the same
// font, the same positions, the same clips), drawn straight onto a PDF with one QPainter and nothing
// else. Where each text goes is worked out first (the words line broken with one QTextLayout per
// check); drawItems then draws them without measuring anything, so that it alone is the floor:
//
//   valgrind --tool=callgrind --toggle-collect='*drawItems*' print_bare N STYLE
//   valgrind --tool=callgrind --toggle-collect='PrintPendingChecks*' bench_print --once N STYLE
//
//   print_bare N STYLE [--protected] [PDF]
//                                STYLE is "three" or "wallet"; with check protection's asterisks
//                                when asked; keeps the PDF when named
#include "platform/Clock.h"
#include "platform/Fonts.h"
#include "platform/Units.h"
#include "print/CheckLayout.h"
#include "register/Register.h"
#include "words/Currency.h"
#include "words/MoneyConverter.h"

#include <QDate>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTextLayout>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Inches to twips as the program's printer helpers compute them, in single precision.
double twipsOf(float inches) {
    return double(inches * float(kTwipsPerInch));
}

// The words line cut after the last blank whose part up to and including it stays within the limit.
QStringList wrapWords(const QString &words, const QFont &font, QPaintDevice *device, double limit) {
    QTextLayout layout(words, font, device);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    line.setLineWidth(1e9);
    layout.endLayout();
    QStringList lines;
    qsizetype start = 0;
    while (start < words.size()) {
        const double left = line.cursorToX(int(start));
        qsizetype cut = 0; // after the last blank that fits
        bool overflow = false;
        for (qsizetype blank = words.indexOf(u' ', start); blank >= 0; blank = words.indexOf(u' ', blank + 1)) {
            overflow = std::floor(line.cursorToX(int(blank + 1)) - left) > limit;
            if (overflow) {
                break;
            }
            cut = blank + 1;
        }
        if (!overflow) {
            lines.append(words.mid(start));
            break;
        }
        if (cut == 0) {
            cut = words.indexOf(u' ', start) + 1; // a first word wider than the line: not in these checks
        }
        lines.append(words.mid(start, cut - start));
        start = cut;
        while (start < words.size() && words.at(start) == u' ') {
            ++start;
        }
    }
    return lines;
}

// One text of a sheet: the left end of its baseline in device units (1440 to the inch), and the clip
// at the right (0: none).
struct Item {
    QPointF at;
    QString text;
    double clipRight = 0;
};
using Sheets = QList<QList<Item>>;

QFont checkFont() {
    QFont font(ArialCompatibleFace());
    font.setPointSizeF(10);
    return font;
}

void setUp(QPrinter &printer, const QString &pdf) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setResolution(static_cast<int>(kTwipsPerInch));
}

// Where every text of the run goes, measured as the print run measures.
Sheets layOut(int count, bool wallet, bool protect) {
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, QString());
    const QFont font = checkFont();
    const QFontMetricsF metrics(font, &printer);
    const double ascent = metrics.ascent();
    const double lineHeight = metrics.lineSpacing();

    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const QString date = ShortDateText(QDate(2026, 12, 7), locale);
    const QString account = QStringLiteral("0042-778100");

    Sheets sheets;
    const auto place = [&](double x, double top, const QString &text, double clipRight) {
        sheets.last().append({QPointF(x, top + ascent), text, clipRight});
    };
    const auto &table = wallet ? kWalletSizeLines : kThreeOnAPageLines;
    const double checkColumn = twipsOf(wallet ? kWalletCheckColumn : kThreeOnAPageColumn);
    for (int i = 0; i < count; ++i) {
        const int slot = i % 3 + 1;
        if (slot == 1) {
            sheets.append(QList<Item>());
        }
        // As the register holds them: payee and memo filled with blanks to the width of their fields.
        const QString payee = QStringLiteral("Payee number %1 Ltd").arg(i).leftJustified(kPayToWidth);
        const Currency amount = *Currency::fromText(QString::number((i * 7919 % 100000) * 3.37 + 0.05, 'f', 2));
        const QString memo = QStringLiteral("Invoice %1 for services").arg(i * 13).leftJustified(kMemoWidth);
        const QString figures =
            protect ? ProtectedFigures(FormatCurrency(amount, locale)) : FormatCurrency(amount, locale);
        const QString words = AmountToWords(amount);
        const CheckLines &lines = table[slot];
        const double dateTop = twipsOf(lines.Date);
        const double payeeTop = twipsOf(lines.Payee);
        const double memoTop = twipsOf(lines.Memo);

        place(kDateRightCheck - metrics.horizontalAdvance(date), dateTop, date, 0);
        place(checkColumn, payeeTop, payee, 0);
        place(kFiguresRight - metrics.horizontalAdvance(figures), payeeTop, figures, 0);
        double wordsTop = twipsOf(lines.Words);
        QStringList wordLines = wrapWords(words, font, &printer, kWordsWidth - 20);
        // Protection: asterisks after the last words line, as many as fit.
        while (protect && std::floor(metrics.horizontalAdvance(wordLines.last() + u'*')) <= kWordsWidth - 20) {
            wordLines.last() += u'*';
        }
        for (const QString &line : std::as_const(wordLines)) {
            place(checkColumn, wordsTop, line, 0);
            wordsTop += lineHeight;
        }
        place(checkColumn, memoTop, memo, 0);
        if (wallet) {
            const double stubColumn = twipsOf(kWalletStubColumn);
            place(kDateRightStub - metrics.horizontalAdvance(date), dateTop, date, 0);
            place(stubColumn, payeeTop, payee, kStubClipRight);
            place(kFiguresRight - metrics.horizontalAdvance(figures), payeeTop, figures, 0);
            place(stubColumn, memoTop, memo, kStubClipRight);
            place(stubColumn, memoTop + 2 * lineHeight, account, kStubClipRight);
        }
    }
    return sheets;
}

// The floor: the texts drawn where they go, one sheet after another, and nothing measured.
[[gnu::noinline]] int drawItems(const Sheets &sheets, const QString &pdf) {
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, pdf);
    QPainter painter;
    if (!painter.begin(&printer)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(pdf));
        return 1;
    }
    painter.setFont(checkFont());
    for (qsizetype sheet = 0; sheet < sheets.size(); ++sheet) {
        if (sheet > 0) {
            printer.newPage();
        }
        for (const Item &item : sheets.at(sheet)) {
            if (item.clipRight > 0) {
                painter.setClipRect(QRectF(-1e7, -1e7, 1e7 + item.clipRight, 2e7));
            } else {
                painter.setClipping(false);
            }
            painter.drawText(item.at, item.text);
        }
    }
    return painter.end() ? 0 : 1;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: print_bare N three|wallet [--protected] [PDF]\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const bool wallet = std::strcmp(argv[2], "wallet") == 0;
    QTemporaryDir dir;
    const bool protect = argc >= 4 && std::strcmp(argv[3], "--protected") == 0;
    const int pdfArg = protect ? 4 : 3;
    const QString pdf =
        argc > pdfArg ? QString::fromLocal8Bit(argv[pdfArg]) : dir.filePath(QStringLiteral("checks.pdf"));
    return drawItems(layOut(count, wallet, protect), pdf);
}
