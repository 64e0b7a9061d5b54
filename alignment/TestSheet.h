#pragma once

#include "alignment/AlignmentFile.h"
#include "platform/Printer.h"

#include <QList>
#include <QLocale>
#include <QRectF>
#include <QString>

// One place on a check where an item is anchored, in twips from the top left of the printable page.
struct CheckAnchor {
    QString Name; // "date", "payee", "amount", "words", "memo"; on the stub "stub-date", ...
    double X = 0; // the left end of the item, or its right end when RightAligned
    double Y = 0; // the top of the item's line
    bool RightAligned = false;
};

// The anchors of every item the print run prints on the check in that slot (1 to 3) of the style,
// the wallet-size stub included. lineHeight: one line of the check font, for the stub's account number.
QList<CheckAnchor> CheckAnchors(const QString &style, int slot, double lineHeight);

// What the test sheet says about itself in its information lines.
struct TestSheetRequest {
    QString Style;
    QString PrinterName;
    AlignmentOffset Offset;
    QString DateText;
    bool OffsetSaved = true; // false: the offsets are as typed, not yet saved
    QString OffsetPrinter;   // the printer the offsets were set for, when not the one printed on
};

// Where the information lines go, in twips from the printable origin: a part of the sheet where
// the style's checks have no mark and no form line, inside the margins.
QRectF TestSheetTextArea(const QString &style);

// Prints the alignment test sheet on plain paper and ends the job: the three check outlines of the
// style, each anchor marked with a small cross and its name printed where the item itself would
// start (or end, for right-aligned items), rulers in tenths of an inch along the top and left
// edges, and lines naming the printer, the style, the offsets and the date and saying how to use
// the sheet, wrapped within TestSheetTextArea. The outlines and the marks are moved by the offset,
// as a print run on that printer moves them; the rulers and the lines stay where the paper is.
// False when the printer failed (see its ErrorText); the job is then abandoned.
bool PrintTestSheet(Printer &printer, const TestSheetRequest &request);

// The information line of the test sheet.
QString TestSheetCaption(const TestSheetRequest &request);
// How to use the sheet: a few sentences, one a paragraph.
QStringList TestSheetInstructions();

// Draws one check of the style in the top slot with sample texts as a print run would draw it with
// that offset and check protection, over the form's outline drawn faintly where the form lies.
bool DrawAlignmentSample(Printer &printer, const QString &style, AlignmentOffset offset, bool checkProtection,
                         const QString &dateText, const QLocale &locale);
