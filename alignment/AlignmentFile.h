#pragma once

#include "platform/Files.h"
#include "print/PrintAdjustment.h"

#include <QLocale>
#include <QMap>
#include <QPair>
#include <QString>

#include <optional>

// How far a printer puts a check style's items off their places, to be made good by moving every
// item the other way: hundredths of an inch, right and down positive.
struct AlignmentOffset {
    int Horizontal = 0;
    int Vertical = 0;
    friend bool operator==(const AlignmentOffset &, const AlignmentOffset &) = default;
};

// The largest offset either way, in hundredths of an inch.
constexpr int kMaxOffsetHundredths = 100;

// The file of the alignment settings in the program's folder.
inline const QString kAlignmentFileName = QStringLiteral("Alignment.ini");

// The alignment settings file of the program in the given folder.
QString AlignmentFilePath(const QString &programFolder);

// The offsets by printer and style, and check protection by style.
class AlignmentTable {
public:
    // 0, 0 for a printer or style never aligned.
    AlignmentOffset Offset(const QString &printerName, const QString &style) const;
    void SetOffset(const QString &printerName, const QString &style, AlignmentOffset offset);
    // Off unless turned on for the style.
    bool CheckProtection(const QString &style) const;
    void SetCheckProtection(const QString &style, bool on);
    // What the print run does on that printer for that style, offsets in twips.
    PrintAdjustment Adjustment(const QString &printerName, const QString &style) const;
    bool IsEmpty() const { return offsets_.isEmpty() && protection_.isEmpty(); }

    const QMap<QPair<QString, QString>, AlignmentOffset> &Offsets() const { return offsets_; }
    const QMap<QString, bool> &Protection() const { return protection_; }
    friend bool operator==(const AlignmentTable &, const AlignmentTable &) = default;

private:
    QMap<QPair<QString, QString>, AlignmentOffset> offsets_;
    QMap<QString, bool> protection_;
};

// Reads the settings file (an INI file). A missing file is an empty table. A file that is not this
// program's INI file fails and leaves the table empty; entries without their printer or style or
// with an offset out of range are left out while the others are read, and the failure names them.
// Either way the text names the file and says what printing loses: offsets, check protection.
FileResult LoadAlignment(const QString &path, AlignmentTable &table);
// Writes the whole table in place of the file, readable by its owner alone. Refused when the name
// is a symbolic link.
FileResult SaveAlignment(const QString &path, const AlignmentTable &table);

// Reads an offset as typed: inches from -1.00 to +1.00 with at most two decimals ("0.1", "+0.10",
// "-.05", "0"); the locale's decimal separator is taken as well as the point ("0,1" under German).
// Refused with a text naming the field when it is not such a number.
std::optional<int> ParseOffset(const QString &text, const QString &field, QString *error,
                               const QLocale &locale = QLocale::c());
// An offset as inches with a sign and two decimals in the locale's separator: "+0.10", "-0.05",
// "0.00"; "+0,10" under German. The settings file always holds the point.
QString OffsetText(int hundredths, const QLocale &locale = QLocale::c());
