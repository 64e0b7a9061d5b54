#include "alignment/TestSheet.h"

#include "platform/Units.h"
#include "print/CheckLayout.h"
#include "print/FormOutline.h"
#include "print/MoneyPrint.h"
#include "print/PrintAdjustment.h"

#include <QLineF>

#include <algorithm>

namespace {

constexpr double kSheetWidth = 8.5 * kTwipsPerInch;
constexpr double kSheetHeight = 11.0 * kTwipsPerInch;
// Half the arm of a cross, and the ruler's ticks: tenths, halves and whole inches.
constexpr double kCrossArm = 72;
constexpr double kTenthTick = 72;
constexpr double kHalfTick = 144;
constexpr double kInchTick = 216;
// Where the information lines may go, in inches: right of and below the rulers' numbers, inside the
// widest printer margin of a quarter inch.
const QRectF kTextBounds(0.45, 0.45, 8.0 - 0.45, 10.5 - 0.45);
// The room a mark takes, in inches: its cross, a line of name below it and an inch or more of name
// (about 0.08 in a character of the check font) beside its anchor.
constexpr double kMarkPad = 0.05;
constexpr double kMarkHeight = 240.0 / kTwipsPerInch + 2 * kMarkPad;
constexpr double kNameInches = 1.0;
constexpr double kNameCharInches = 0.08;
constexpr double kAirAbove = 0.15;
// A text area narrower than this is no use to the lines; one wider or taller than the lines need is
// no better than one that just holds them.
constexpr double kNarrowestText = 4.0;
constexpr double kEnoughWidth = 6.0;
constexpr double kEnoughHeight = 2.0;

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

// The room a mark of the anchor takes on the sheet, in inches.
QRectF markRoom(const CheckAnchor &anchor) {
    const double name = std::max(kNameInches, kNameCharInches * double(anchor.Name.size())) + 2 * kMarkPad;
    const double x = anchor.X / kTwipsPerInch;
    const double y = anchor.Y / kTwipsPerInch;
    return {anchor.RightAligned ? x - name + kMarkPad : x - kMarkPad, y - kMarkPad, name, kMarkHeight};
}

// How well a rectangle holds the lines: its area, counting no more width or height than they need.
double roominess(const QRectF &rect) {
    return std::min(rect.width(), kEnoughWidth) * std::min(rect.height(), kEnoughHeight);
}

// The roomiest rectangle within `bounds` that no obstacle reaches into (an obstacle may touch its
// edges), found among the rectangles whose edges lie on the bounds or on obstacles' edges; of equally
// roomy ones, the largest.
QRectF largestClearRect(const QRectF &bounds, const QList<QRectF> &obstacles) {
    QList<double> lefts{bounds.left()};
    QList<double> tops{bounds.top()};
    QList<double> rights{bounds.right()};
    for (const QRectF &o : obstacles) {
        lefts.append(o.right());
        tops.append(o.bottom());
        rights.append(o.left());
    }
    std::sort(rights.begin(), rights.end());
    QRectF best;
    for (const double left : std::as_const(lefts)) {
        for (const double top : std::as_const(tops)) {
            if (left < bounds.left() || top < bounds.top() || left >= bounds.right() || top >= bounds.bottom()) {
                continue;
            }
            // Widening the rectangle can only lower its bottom.
            double bottom = bounds.bottom();
            for (const double right : std::as_const(rights)) {
                if (right <= left || right > bounds.right()) {
                    continue;
                }
                for (const QRectF &o : obstacles) {
                    const bool across = o.left() < right && o.right() > left;
                    if (across && o.bottom() > top) {
                        bottom = std::min(bottom, std::max(o.top(), top));
                    }
                }
                if (bottom <= top) {
                    break;
                }
                const QRectF candidate(left, top, right - left, bottom - top);
                const double room = roominess(candidate);
                const double bestRoom = roominess(best);
                if (candidate.width() >= kNarrowestText &&
                    (room > bestRoom ||
                     (room == bestRoom && candidate.width() * candidate.height() > best.width() * best.height()))) {
                    best = candidate;
                }
            }
        }
    }
    return best;
}

} // namespace

QList<CheckAnchor> CheckAnchors(const CheckForm &form, int slot) {
    QList<CheckAnchor> anchors;
    if (slot < 1 || slot > form.ChecksPerSheet()) {
        return anchors;
    }
    for (const FormItem &item : form.Areas[slot - 1].Items) {
        const QString name = (item.Stub ? QStringLiteral("stub-") : QString()) + FieldKey(item.Field);
        anchors.append({name, item.X * kTwipsPerInch, item.Y * kTwipsPerInch, item.RightAnchored});
    }
    return anchors;
}

QString TestSheetCaption(const TestSheetRequest &request) {
    const QString whose = request.OffsetPrinter.isEmpty() || request.OffsetPrinter == request.PrinterName
                              ? QString()
                              : QStringLiteral(" of %1").arg(request.OffsetPrinter);
    const QString state = request.OffsetSaved ? QStringLiteral("saved") : QStringLiteral("not saved");
    return QStringLiteral("Alignment test sheet - printer: %1 - form: %2 - offsets%3 (%4): right %5 in, down %6 in "
                          "- %7")
        .arg(request.PrinterName, request.Form.Name, whose, state, OffsetText(request.Offset.Horizontal),
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

QRectF TestSheetTextArea(const CheckForm &form) {
    QList<QRectF> obstacles;
    for (int slot = 1; slot <= form.ChecksPerSheet(); ++slot) {
        for (const CheckAnchor &anchor : CheckAnchors(form, slot)) {
            obstacles.append(markRoom(anchor));
        }
        // A line is an obstacle of no width or no height.
        for (const QLineF &line : form.Areas[slot - 1].OutlineLines()) {
            obstacles.append(QRectF(line.p1(), line.p2()).normalized());
        }
    }
    QRectF area = largestClearRect(kTextBounds, obstacles);
    if (area.isEmpty()) {
        // A form crowded everywhere: the lines go below its first check.
        area = QRectF(kTextBounds.left(), std::min(form.Areas.value(0).Bounds().bottom(), 9.0), 7.0, 1.5);
    }
    // A little air between the lines and the marks around them, more above: the first line then
    // stands apart from a mark's name or a form line just over it.
    area.adjust(kMarkPad, kAirAbove, 0, -kMarkPad);
    return {area.x() * kTwipsPerInch, area.y() * kTwipsPerInch, area.width() * kTwipsPerInch,
            area.height() * kTwipsPerInch};
}

bool PrintTestSheet(Printer &device, const TestSheetRequest &request) {
    SetupPrinter(device, QStringLiteral("Portrait"));
    OffsetPrinter printer(device, request.Offset.Horizontal * kTwipsPerInch / 100,
                          request.Offset.Vertical * kTwipsPerInch / 100);

    // The rulers and the words belong to the paper; the outlines and the marks move as checks would.
    const QRectF area = TestSheetTextArea(request.Form);
    double y = area.top();
    bool drawn = rulers(device) && printWrapped(device, TestSheetCaption(request), area, y);
    for (const QString &paragraph : TestSheetInstructions()) {
        drawn = drawn && printWrapped(device, paragraph, area, y);
    }
    drawn = drawn && DrawFormOutline(printer, request.Form, Printer::Pen::Solid);
    for (int slot = 1; drawn && slot <= request.Form.ChecksPerSheet(); ++slot) {
        for (const CheckAnchor &anchor : CheckAnchors(request.Form, slot)) {
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

bool DrawAlignmentSample(Printer &printer, const CheckForm &form, AlignmentOffset offset, bool checkProtection,
                         const QString &dateText, const QLocale &locale) {
    if (!DrawFormOutline(printer, form, Printer::Pen::Faint)) {
        return false;
    }
    SetupPrinter(printer, QStringLiteral("Portrait"));
    OffsetPrinter moved(printer, offset.Horizontal * kTwipsPerInch / 100, offset.Vertical * kTwipsPerInch / 100);
    CheckSettings settings{form.Name, QStringLiteral("123-456789"), dateText, locale, checkProtection};
    settings.Form = &form;
    return PrintOneCheck(moved, settings, QStringLiteral("Sample Payee"), QStringLiteral("1234.56"),
                         QStringLiteral("Sample memo"), 1, QStringLiteral("1001"));
}
