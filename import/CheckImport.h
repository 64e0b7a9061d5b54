#pragma once

#include "platform/Files.h"
#include "register/Register.h"

#include <QList>
#include <QSet>
#include <QStringList>

// Checks brought into the register from the rows of a spreadsheet's CSV file.

// Where the import remembers its columns for the next time, in the program's folder.
inline const QString kImportSettingsFile = QStringLiteral("/Import.ini");

// Which column (from 0; -1 for none) holds the payee, the amount and the memo, and whether the
// first row is a header. `names` are the header's captions of the three columns, to find them again
// when a later file orders its columns differently.
struct ImportColumns {
    int payee = -1;
    int amount = -1;
    int memo = -1;
    bool header = false;
    QStringList names;
    bool operator==(const ImportColumns &) const = default;
};

// The remembered columns; none remembered (all -1) when the file is missing or unreadable.
ImportColumns LoadImportColumns(Files &files);
FileResult SaveImportColumns(Files &files, const ImportColumns &columns);

// The columns for this file: the header is detected (a first row with no amount whose next row has
// one), then the remembered captions are looked for in it, then the usual captions (Payee, Amount,
// Memo...); without a header, the remembered column numbers, else the first column of amounts and
// the text columns around it.
ImportColumns ChooseColumns(const QList<QStringList> &rows, const ImportColumns &remembered);

// The amount as the register keeps it when the text has one of the shapes taken, "1234.56",
// "1,234.56" or "$1,234.56" (grouping and dollar sign dropped); any other text as it is, for the
// amount rule to refuse.
QString PlainAmount(const QString &text);

// One row of the file and what becomes of it.
struct ImportRow {
    int row = 0;           // its number in the file, the header counted, as a spreadsheet shows it
    RegisterRecord record; // payee, amount and memo as the register would store them
    QString reason;        // why it is refused; empty when it may be imported
    bool payeeCut = false; // longer than the register keeps: cut, as it would be stored
    bool memoCut = false;
    bool printed = false; // the journal holds a check of this payee, cents and memo as printed
    bool keep = false;    // to be imported: a good row not printed before, until the person says otherwise
    bool refused() const { return !reason.isEmpty(); }
    // "Refused: ...", "Printed before", "Payee cut to 25 characters", "Good", ...
    QString Verdict() const;
};

// Every row of the file (blank rows and the header left out) through the entry window's rules.
// `printed` holds the journal's printed checks of the account (CheckJournal::LoadPrintedContents).
QList<ImportRow> PreviewImport(const QList<QStringList> &rows, const ImportColumns &columns,
                               const QSet<QString> &printed);

// The register records of the kept rows, numbered from firstCheckNo and dated `date`.
QList<RegisterRecord> KeptRecords(const QList<ImportRow> &rows, qint64 firstCheckNo, const QString &date);
