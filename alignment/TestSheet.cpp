#include "alignment/TestSheet.h"

#include "print/CheckLayout.h"
#include "print/FormOutline.h"
#include "print/MoneyPrint.h"
#include "print/PrintAdjustment.h"

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kSheetWidth = 8.5 * kTwipsPerInch;
constexpr double kSheetHeight = 11.0 * kTwipsPerInch;
// Half the arm of a cross, and the ruler's ticks: tenths, halves and whole inches.
constexpr double kCrossArm = 72;
constexpr double kTenthTick = 72;
constexpr double kHalfTick = 144;
constexpr double kInchTick = 216;
// Room for the information lines, in inches: on 3-on-a-page the middle of the first check, right of
// its names and between its payee and its lower edge; on wallet-size below the third check.
const QRectF kThreeOnAPageText(2.2, 1.5, 5.8, 1.9);
const QRectF kWalletText(0.5, 8.8, 7.5, 1.65);

// Inches to twips in single precision, as the layout moves the printer, so that the marks stand
// exactly where the items go.
double twips(float inches) {
    return static_cast<double>(inches * 1440.0f);
}

bool line(Printer &printer, double x1, double y1, double x2, double y2) {
    return printer.DrawLine(x1, y1, x2, y2, Printer::Pen::Solid);
}

bool printAt(Printer &printer, double x, double y, const QString &text) {
    printer.SetCurrentX(x);
    printer.SetCurrentY(y);
    return printer.Print(text, true);
}

// Prints the text from y down in lines no wider than the area, broken at blanks; false when the
// printer failed. y moves below the last line.
bool printWrapped(Printer &printer, const QString &text, const QRectF &area, double &y) {
    QString line;
    const auto flush = [&] {
        const bool printed = printAt(printer, area.left(), y, line);
        y += printer.LineHeight();
        line.clear();
        return printed;
    };
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && printer.TextWidth(longer) > area.width()) {
            if (!flush()) {
                return false;
            }
            line = word;
        } else {
            line = longer;
        }
    }
    return line.isEmpty() || flush();
}

bool rulers(Printer &printer) {
    for (int tenth = 1; tenth <= 85; ++tenth) {
        const double x = tenth * kTwipsPerInch / 10;
        const double tick = tenth % 10 == 0 ? kInchTick : tenth % 5 == 0 ? kHalfTick : kTenthTick;
        if (!line(printer, x, 0, x, tick) ||
            (tenth % 10 == 0 && !printAt(printer, x + 20, kInchTick - 40, QString::number(tenth / 10)))) {
            return false;
        }
    }
    for (int tenth = 1; tenth <= 110; ++tenth) {
        const double y = tenth * kTwipsPerInch / 10;
        const double tick = tenth % 10 == 0 ? kInchTick : tenth % 5 == 0 ? kHalfTick : kTenthTick;
        if (!line(printer, 0, y, tick, y) ||
            (tenth % 10 == 0 &&
             !printAt(printer, kInchTick + 30, y - printer.LineHeight() / 2, QString::number(tenth / 10)))) {
            return false;
        }
    }
    // Where the rulers count from.
    return line(printer, 0, 0, kSheetWidth, 0) && line(printer, 0, 0, 0, kSheetHeight) &&
           printAt(printer, kTenthTick + 20, kTenthTick + 20, QStringLiteral("0"));
}

bool mark(Printer &printer, const CheckAnchor &anchor) {
    if (!line(printer, anchor.X - kCrossArm, anchor.Y, anchor.X + kCrossArm, anchor.Y) ||
        !line(printer, anchor.X, anchor.Y - kCrossArm, anchor.X, anchor.Y + kCrossArm)) {
        return false;
    }
    const double left = anchor.RightAligned ? anchor.X - printer.TextWidth(anchor.Name) : anchor.X;
    return printAt(printer, left, anchor.Y, anchor.Name);
}

} // namespace

QList<CheckAnchor> CheckAnchors(const QString &style, int slot, double lineHeight) {
    const bool threeOnAPage = style == kStyleThreeOnAPage;
    const CheckLines &lines = (threeOnAPage ? kThreeOnAPageLines : kWalletSizeLines)[qBound(1, slot, 3)];
    const double column = twips(threeOnAPage ? kThreeOnAPageColumn : kWalletCheckColumn);
    QList<CheckAnchor> anchors{
        {QStringLiteral("date"), kDateRightCheck, twips(lines.Date), true},
        {QStringLiteral("payee"), column, twips(lines.Payee), false},
        {QStringLiteral("amount"), kFiguresRight, twips(lines.Payee), true},
        {QStringLiteral("words"), column, twips(lines.Words), false},
        {QStringLiteral("memo"), column, twips(lines.Memo), false},
    };
    if (!threeOnAPage) {
        const double stub = twips(kWalletStubColumn);
        anchors.append({QStringLiteral("stub-date"), kDateRightStub, twips(lines.Date), true});
        anchors.append({QStringLiteral("stub-payee"), stub, twips(lines.Payee), false});
        anchors.append({QStringLiteral("stub-memo"), stub, twips(lines.Memo), false});
        // The account number goes one empty line below the memo.
        anchors.append({QStringLiteral("account"), stub, twips(lines.Memo) + 2 * lineHeight, false});
    }
    return anchors;
}

QString TestSheetCaption(const TestSheetRequest &request) {
    const QString whose = request.OffsetPrinter.isEmpty() || request.OffsetPrinter == request.PrinterName
                              ? QString()
                              : QStringLiteral(" of %1").arg(request.OffsetPrinter);
    const QString state = request.OffsetSaved ? QStringLiteral("saved") : QStringLiteral("not saved");
    return QStringLiteral("Alignment test sheet - printer: %1 - style: %2 - offsets%3 (%4): right %5 in, down %6 in "
                          "- %7")
        .arg(request.PrinterName, request.Style, whose, state, OffsetText(request.Offset.Horizontal),
             OffsetText(request.Offset.Vertical), request.DateText);
}

QStringList TestSheetInstructions() {
    return {QStringLiteral("Hold this sheet over a check form against the light, their top left corners together."),
            QStringLiteral("Each cross marks where an item's text starts (for the date and the amount, where it "
                           "ends); the text's baseline sits about 9 pt below the cross."),
            QStringLiteral("A cross left of or above its place on the form needs a + offset (right +, down +); "
                           "one right of or below it, a - offset. Save, then print this sheet again."),
            QStringLiteral("The rulers count inches from 0, the top left corner of what the printer can print, "
                           "and stay put: read the crosses against them.")};
}

QRectF TestSheetTextArea(const QString &style) {
    const QRectF &inches = style == kStyleThreeOnAPage ? kThreeOnAPageText : kWalletText;
    return {inches.x() * kTwipsPerInch, inches.y() * kTwipsPerInch, inches.width() * kTwipsPerInch,
            inches.height() * kTwipsPerInch};
}

bool PrintTestSheet(Printer &device, const TestSheetRequest &request) {
    SetupPrinter(device, QStringLiteral("Portrait"));
    OffsetPrinter printer(device, request.Offset.Horizontal * kTwipsPerInch / 100,
                          request.Offset.Vertical * kTwipsPerInch / 100);

    // The rulers and the words belong to the paper; the outlines and the marks move as checks would.
    const QRectF area = TestSheetTextArea(request.Style);
    double y = area.top();
    bool drawn = rulers(device) && printWrapped(device, TestSheetCaption(request), area, y);
    for (const QString &paragraph : TestSheetInstructions()) {
        drawn = drawn && printWrapped(device, paragraph, area, y);
    }
    drawn = drawn && DrawFormOutline(printer, request.Style, Printer::Pen::Solid);
    for (int slot = 1; drawn && slot <= 3; ++slot) {
        for (const CheckAnchor &anchor : CheckAnchors(request.Style, slot, printer.LineHeight())) {
            if (!mark(printer, anchor)) {
                drawn = false;
                break;
            }
        }
    }
    if (!drawn || !printer.EndDoc()) {
        printer.Abort();
        return false;
    }
    return true;
}

bool DrawAlignmentSample(Printer &printer, const QString &style, AlignmentOffset offset, bool checkProtection,
                         const QString &dateText, const QLocale &locale) {
    if (!DrawFormOutline(printer, style, Printer::Pen::Faint)) {
        return false;
    }
    SetupPrinter(printer, QStringLiteral("Portrait"));
    OffsetPrinter moved(printer, offset.Horizontal * kTwipsPerInch / 100, offset.Vertical * kTwipsPerInch / 100);
    const CheckSettings settings{style, QStringLiteral("123-456789"), dateText, locale, checkProtection};
    return PrintOneCheck(moved, settings, QStringLiteral("Sample Payee"), QStringLiteral("1234.56"),
                         QStringLiteral("Sample memo"), 1);
}
