// The yardstick for the print run: the checks of `bench_print --once N STYLE` (the same texts, the same
// font, the same positions, the same clips), drawn straight onto a PDF with one QPainter and nothing
// else. Where each text goes is worked out first from the form's description (the words line broken
// with one QTextLayout per check); drawItems then draws them without measuring anything, so that it
// alone is the floor:
//
//   valgrind --tool=callgrind --toggle-collect='*drawItems*' print_bare N STYLE
//   valgrind --tool=callgrind --toggle-collect='PrintPendingChecks*' bench_print --once N STYLE
//
//   print_bare N STYLE [--protected] [PDF]
//                                STYLE is "three", "wallet" or "voucher" (check on top); with check
//                                protection's asterisks when asked; keeps the PDF when named
#include "forms/BuiltInForms.h"
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
    double fontSize = 10;
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

// Where every text of the run goes, measured as the print run measures, item by item of the form.
Sheets layOut(int count, const CheckForm &form, bool protect) {
    QPrinter printer(QPrinter::HighResolution);
    setUp(printer, QString());
    QFont font = checkFont();

    const QLocale locale(QLocale::English, QLocale::UnitedStates);
    const QString date = ShortDateText(QDate(2026, 12, 7), locale);
    const QString account = QStringLiteral("0042-778100");

    Sheets sheets;
    for (int i = 0; i < count; ++i) {
        const int slot = i % form.ChecksPerSheet() + 1;
        if (slot == 1) {
            sheets.append(QList<Item>());
        }
        // As the register holds them: payee and memo filled with blanks to the width of their fields.
        const QString payee = QStringLiteral("Payee number %1 Ltd").arg(i).leftJustified(kPayToWidth);
        const Currency amount = *Currency::fromText(QString::number((i * 7919 % 100000) * 3.37 + 0.05, 'f', 2));
        const QString memo = QStringLiteral("Invoice %1 for services").arg(i * 13).leftJustified(kMemoWidth);
        const QString plain = FormatCurrency(amount, locale);
        const QString figures = protect ? ProtectedFigures(plain) : plain;
        const QString words = AmountToWords(amount);
        for (const FormItem &item : form.Areas.at(slot - 1).Items) {
            font.setPointSizeF(item.FontSize);
            const QFontMetricsF metrics(font, &printer);
            const double x = item.X * kTwipsPerInch;
            const double top = item.Y * kTwipsPerInch;
            const auto place = [&](double left, double lineTop, const QString &text, double clipRight) {
                // In single precision, as the printer keeps what it draws.
                sheets.last().append(
                    {QPointF(float(left), float(lineTop + metrics.ascent())), text, float(clipRight), item.FontSize});
            };
            QString text;
            switch (item.Field) {
            case FormField::Date:
                text = date;
                break;
            case FormField::Payee:
                text = payee;
                break;
            case FormField::Amount:
                text = item.Stub ? plain : figures;
                break;
            case FormField::Memo:
                text = memo;
                break;
            case FormField::CheckNumber:
                text = QString::number(1001 + i);
                break;
            case FormField::Account:
                text = item.Masked ? MaskedAccount(account) : account;
                break;
            case FormField::Address:
                continue; // empty until the payee book fills it
            case FormField::Words: {
                const double width = item.Width * kTwipsPerInch;
                const double column = double(std::lround(x));
                QStringList lines = wrapWords(words, font, &printer, width - 20);
                // Protection: asterisks after the last words line, as many as fit; on a line cut at
                // its width only when the words leave room.
                const bool stars = protect && (item.Rule == WordsRule::Wrap || lines.size() == 1);
                if (item.Rule == WordsRule::Clip) {
                    lines = QStringList{words};
                }
                while (stars && std::floor(metrics.horizontalAdvance(lines.last() + u'*')) <= width - 20) {
                    lines.last() += u'*';
                }
                double lineTop = top;
                for (const QString &line : std::as_const(lines)) {
                    place(column, lineTop, line, item.Rule == WordsRule::Clip ? column + width : 0);
                    lineTop += metrics.lineSpacing();
                }
                continue;
            }
            }
            const double left = item.RightAnchored ? x - metrics.horizontalAdvance(text) : x;
            const double clip =
                item.ClipWidth > 0 ? std::round((item.X + item.ClipWidth) * kTwipsPerInch * 1e6) / 1e6 : 0;
            place(left, top, text, clip);
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
    QFont font = checkFont();
    painter.setFont(font);
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
            if (item.fontSize != font.pointSizeF()) {
                font.setPointSizeF(item.fontSize);
                painter.setFont(font);
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
        std::fprintf(stderr, "usage: print_bare N three|wallet|voucher [--protected] [PDF]\n");
        return 2;
    }
    const int count = std::atoi(argv[1]);
    const QString style = std::strcmp(argv[2], "wallet") == 0    ? kFormWalletSize
                          : std::strcmp(argv[2], "voucher") == 0 ? kFormVoucherTop
                                                                 : kFormThreeOnAPage;
    QTemporaryDir dir;
    const bool protect = argc >= 4 && std::strcmp(argv[3], "--protected") == 0;
    const int pdfArg = protect ? 4 : 3;
    const QString pdf =
        argc > pdfArg ? QString::fromLocal8Bit(argv[pdfArg]) : dir.filePath(QStringLiteral("checks.pdf"));
    return drawItems(layOut(count, *BuiltInForm(style), protect), pdf);
}
