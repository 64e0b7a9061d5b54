#include "print/FormOutline.h"

#include "platform/Units.h"
#include "print/CheckLayout.h"

namespace {

constexpr double kFormWidth = 8.5;

// 3-on-a-page: three checks of 3.5 in, one under the other from the top of the sheet.
const FormOutline kThreeOnAPageForm{
    {QRectF(0, 0, kFormWidth, 3.5), QRectF(0, 3.5, kFormWidth, 3.5), QRectF(0, 7.0, kFormWidth, 3.5)}, 0};
// Wallet-size: checks of 2.85 and 2.9 in pitch with a stub at the left, cut at 2.75 in (between the
// stub's clip at 2.7 in and the check's column at 2.8 in).
const FormOutline kWalletSizeForm{
    {QRectF(0, 0, kFormWidth, 2.85), QRectF(0, 2.85, kFormWidth, 2.9), QRectF(0, 5.75, kFormWidth, 2.9)}, 2.75};

// A line between two points given in inches from `corner`.
bool line(Printer &printer, QPointF corner, double x1, double y1, double x2, double y2, Printer::Pen pen) {
    return printer.DrawLine(corner.x() + x1 * kTwipsPerInch, corner.y() + y1 * kTwipsPerInch,
                            corner.x() + x2 * kTwipsPerInch, corner.y() + y2 * kTwipsPerInch, pen);
}

} // namespace

FormOutline FormOutlineOf(const QString &style) {
    return style == kStyleThreeOnAPage ? kThreeOnAPageForm : kWalletSizeForm;
}

bool DrawFormOutline(Printer &printer, const QString &style, Printer::Pen pen, QPointF corner) {
    const FormOutline form = FormOutlineOf(style);
    for (const QRectF &check : form.Checks) {
        const bool drawn = line(printer, corner, check.left(), check.top(), check.right(), check.top(), pen) &&
                           line(printer, corner, check.right(), check.top(), check.right(), check.bottom(), pen) &&
                           line(printer, corner, check.right(), check.bottom(), check.left(), check.bottom(), pen) &&
                           line(printer, corner, check.left(), check.bottom(), check.left(), check.top(), pen) &&
                           (form.StubRight <= 0 ||
                            line(printer, corner, form.StubRight, check.top(), form.StubRight, check.bottom(), pen));
        if (!drawn) {
            return false;
        }
    }
    return true;
}
