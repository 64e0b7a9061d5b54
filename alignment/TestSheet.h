#pragma once

#include "alignment/AlignmentFile.h"
#include "forms/CheckForm.h"
#include "platform/Printer.h"

#include <QList>
#include <QLocale>
#include <QRectF>
#include <QString>

// One place on a check where an item is anchored, in twips from the top left of the printable page.
struct CheckAnchor {
    QString Name; // the item's field as a form file names it ("date", "checkNumber"); on a stub "stub-date", ...
    double X = 0; // the left end of the item, or its right end when RightAligned
    double Y = 0; // the top of the item's line
    bool RightAligned = false;
};

// The anchors of every item of the form's check area in that slot (1 to its checks per sheet), the
// stub copies included, in the form's order; none for a slot the form does not have.
QList<CheckAnchor> CheckAnchors(const CheckForm &form, int slot);

// What the test sheet is printed for, and what it says about itself in its information lines.
struct TestSheetRequest {
    CheckForm Form; // its name is the style the caption names
    QString PrinterName;
    AlignmentOffset Offset;
    QString DateText;
    bool OffsetSaved = true; // false: the offsets are as typed, not yet saved
    QString OffsetPrinter;   // the printer the offsets were set for, when not the one printed on
};

// Where the information lines go, in twips from the printable origin: the roomiest part of the sheet
// where the form has no mark (a cross with an inch or more of name) and no outline, right of and
// below the rulers' numbers and inside the margins.
QRectF TestSheetTextArea(const CheckForm &form);

// Prints the alignment test sheet on plain paper and ends the job: the outlines of the form's check
// areas, the anchor of every item of every area marked with a small cross and its name printed where the item itself
// would start (or end, for right-aligned items), rulers in tenths of an inch along the top and left edges, and lines
// naming the printer, the form, the offsets and the date and saying how to use the sheet, wrapped within
// TestSheetTextArea. The outlines and the marks are moved by the offset, as a print run on that printer moves them; the
// rulers and the lines stay where the paper is. False when the printer failed (see its ErrorText); the job is then
// abandoned.
bool PrintTestSheet(Printer &printer, const TestSheetRequest &request);

// The information line of the test sheet.
QString TestSheetCaption(const TestSheetRequest &request);
// How to use the sheet: a few sentences, one a paragraph.
QStringList TestSheetInstructions();

// Draws the form's check in slot 1 with sample texts as a print run would draw it with that offset
// and check protection, over the form's outline drawn faintly where the form lies.
bool DrawAlignmentSample(Printer &printer, const CheckForm &form, AlignmentOffset offset, bool checkProtection,
                         const QString &dateText, const QLocale &locale);
