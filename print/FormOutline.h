#pragma once

#include "forms/CheckForm.h"
#include "platform/Printer.h"

#include <QPointF>

// Draws the outline of every outlined check area of the form on the current sheet (its bounds and
// the edges between check and stubs), with the sheet's top left corner at `corner` (twips).
bool DrawFormOutline(Printer &printer, const CheckForm &form, Printer::Pen pen, QPointF corner = {});
