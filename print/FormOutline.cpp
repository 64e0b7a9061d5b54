#include "print/FormOutline.h"

#include "platform/Units.h"

bool DrawFormOutline(Printer &printer, const CheckForm &form, Printer::Pen pen, QPointF corner) {
    for (const FormArea &area : form.Areas) {
        if (!area.Outlined) {
            continue;
        }
        for (const QLineF &line : area.OutlineLines()) {
            if (!printer.DrawLine(corner.x() + line.x1() * kTwipsPerInch, corner.y() + line.y1() * kTwipsPerInch,
                                  corner.x() + line.x2() * kTwipsPerInch, corner.y() + line.y2() * kTwipsPerInch,
                                  pen)) {
                return false;
            }
        }
    }
    return true;
}
