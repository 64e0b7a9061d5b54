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
// The information line lies between the first and the second check of both styles.
constexpr double kCaptionX = 1.0 * kTwipsPerInch;
constexpr double kCaptionY = 2.95 * kTwipsPerInch;

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
    return line(printer, 0, 0, kSheetWidth, 0) && line(printer, 0, 0, 0, kSheetHeight);
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
    return QStringLiteral("Alignment test sheet - printer: %1 - style: %2 - offsets: right %3 in, down %4 in - %5")
        .arg(request.PrinterName, request.Style, OffsetText(request.Offset.Horizontal),
             OffsetText(request.Offset.Vertical), request.DateText);
}

bool PrintTestSheet(Printer &device, const TestSheetRequest &request) {
    SetupPrinter(device, QStringLiteral("Portrait"));
    PrintAdjustment adjustment;
    adjustment.OffsetX = request.Offset.Horizontal * kTwipsPerInch / 100;
    adjustment.OffsetY = request.Offset.Vertical * kTwipsPerInch / 100;
    OffsetPrinter printer(device, adjustment.OffsetX, adjustment.OffsetY);

    bool drawn = rulers(printer) && DrawFormOutline(printer, request.Style, Printer::Pen::Solid);
    for (int slot = 1; drawn && slot <= 3; ++slot) {
        for (const CheckAnchor &anchor : CheckAnchors(request.Style, slot, printer.LineHeight())) {
            if (!mark(printer, anchor)) {
                drawn = false;
                break;
            }
        }
    }
    drawn = drawn && printAt(printer, kCaptionX, kCaptionY, TestSheetCaption(request));
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
