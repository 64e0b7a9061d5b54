#pragma once

#include "platform/Printer.h"

#include <QRectF>
#include <QString>

#include <array>

// Where the three checks of a form sheet lie, in inches from the top left of the printable page, by
// slot (index 0 = slot 1). A wallet-size check is divided into its stub and the check.
struct FormOutline {
    std::array<QRectF, 3> Checks;
    // The line between stub and check, in inches from the left; 0 when the style has no stub.
    double StubRight = 0;
};

// The outline of the forms of a check style; any other style text is wallet-size.
FormOutline FormOutlineOf(const QString &style);

// Draws the three check outlines of the style on the current sheet (and the stub lines), with the
// sheet's top left corner at `corner` (twips).
bool DrawFormOutline(Printer &printer, const QString &style, Printer::Pen pen, QPointF corner = {});
