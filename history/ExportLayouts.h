#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

class Files;
struct FileResult;

// The columns a positive-pay file can hold.
enum class PayField { Account, CheckNo, Amount, Date, Code, Payee };

// One bank's positive-pay layout: the columns in order, how dates and codes are written, whether a
// header row comes first and how long a payee may be.
struct PayLayout {
    QString name;
    QList<PayField> fields;
    QString dateFormat = QStringLiteral("MMDDYY"); // MM, DD, YY or YYYY with / - . between
    QString issuedCode = QStringLiteral("I");
    QString voidCode = QStringLiteral("V");
    bool header = false;
    int payeeLength = 0; // 0: the whole name

    bool operator==(const PayLayout &) const = default;
};

// The layouts the program knows, the banks' common ones.
QList<PayLayout> BuiltInLayouts();
// The name of the person's own layout in the list of layouts.
QString CustomLayoutName();

// The columns as a person types them ("account, number, amount, date, code, payee") and back.
QString FieldsText(const QList<PayField> &fields);
// Fails naming the word it does not know, or a column given twice.
bool ParseFields(const QString &text, QList<PayField> &fields, QString *error);
// A date in the layout's format, e.g. "120726" for MMDDYY.
QString FormatPayDate(const QString &isoDate, const QString &format);
// Empty when the layout can be written; else what is wrong, naming the field to correct.
QString LayoutProblem(const PayLayout &layout);

// What the export remembers between runs: the person's own layout and the layout chosen last.
struct ExportSettings {
    PayLayout custom;
    QString lastLayout;
};
inline const QString kExportSettingsFile = QStringLiteral("/Exports.ini");

// The settings file's text and back; a damaged or missing entry keeps its default and is named in
// *problems.
QByteArray EncodeExportSettings(const ExportSettings &settings);
ExportSettings DecodeExportSettings(const QByteArray &bytes, QStringList *problems);
// Exports.ini in the program's folder: read when it exists (defaults when not), written whole and
// atomically (a link planted in its place is replaced, never written through).
FileResult LoadExportSettings(Files &files, ExportSettings &settings);
FileResult SaveExportSettings(Files &files, const ExportSettings &settings);
