#include "history/ExportLayouts.h"

#include "platform/Files.h"

#include <QDate>
#include <QDir>
#include <QRegularExpression>
#include <QStringList>

namespace {

struct FieldName {
    PayField field;
    const char *name;
};

constexpr FieldName kFieldNames[] = {{PayField::Account, "account"}, {PayField::CheckNo, "number"},
                                     {PayField::Amount, "amount"},   {PayField::Date, "date"},
                                     {PayField::Code, "code"},       {PayField::Payee, "payee"}};

PayLayout Layout(const char *name, QList<PayField> fields, const char *date, const char *voidCode, bool header,
                 int payeeLength) {
    PayLayout layout;
    layout.name = QString::fromLatin1(name);
    layout.fields = std::move(fields);
    layout.dateFormat = QString::fromLatin1(date);
    layout.voidCode = QString::fromLatin1(voidCode);
    layout.header = header;
    layout.payeeLength = payeeLength;
    return layout;
}

QString Line(const QString &key, const QString &value) {
    return key + QLatin1Char('=') + value + QStringLiteral("\r\n");
}

} // namespace

QList<PayLayout> BuiltInLayouts() {
    using F = PayField;
    return {
        Layout("Issue code first (I/C, MMDDYY)", {F::Code, F::Account, F::CheckNo, F::Amount, F::Date, F::Payee},
               "MMDDYY", "C", false, 40),
        Layout("Account, amount, number, date (MM/DD/YYYY), I/V", {F::Account, F::Amount, F::CheckNo, F::Date, F::Code},
               "MM/DD/YYYY", "V", false, 0),
        Layout("Account, number, amount, MMDDYY, I, payee",
               {F::Account, F::CheckNo, F::Amount, F::Date, F::Code, F::Payee}, "MMDDYY", "V", false, 50),
    };
}

QString CustomLayoutName() {
    return QStringLiteral("My own layout");
}

QString FieldsText(const QList<PayField> &fields) {
    QStringList words;
    for (const PayField field : fields) {
        for (const FieldName &known : kFieldNames) {
            if (known.field == field) {
                words << QString::fromLatin1(known.name);
            }
        }
    }
    return words.join(QStringLiteral(", "));
}

bool ParseFields(const QString &text, QList<PayField> &fields, QString *error) {
    QList<PayField> parsed;
    const QStringList words = text.split(QRegularExpression(QStringLiteral("[,;\\s]+")), Qt::SkipEmptyParts);
    for (const QString &word : words) {
        const FieldName *found = nullptr;
        for (const FieldName &known : kFieldNames) {
            if (word.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0) {
                found = &known;
            }
        }
        if (found == nullptr) {
            *error = QStringLiteral("Columns: \"%1\" is not a column. Use account, number, amount, date, code and "
                                    "payee, separated by commas.")
                         .arg(word);
            return false;
        }
        if (parsed.contains(found->field)) {
            *error = QStringLiteral("Columns: \"%1\" is given twice. Name each column once.").arg(word);
            return false;
        }
        parsed << found->field;
    }
    if (parsed.isEmpty()) {
        *error = QStringLiteral("Columns: name at least one column, e.g. account, number, amount, date, code.");
        return false;
    }
    fields = parsed;
    return true;
}

QString FormatPayDate(const QString &isoDate, const QString &format) {
    const QDate date = QDate::fromString(isoDate, Qt::ISODate);
    if (!date.isValid()) {
        return isoDate;
    }
    QString qtFormat = format.toUpper();
    qtFormat.replace(QStringLiteral("YYYY"), QStringLiteral("yyyy"))
        .replace(QStringLiteral("YY"), QStringLiteral("yy"))
        .replace(QStringLiteral("DD"), QStringLiteral("dd"));
    return date.toString(qtFormat);
}

namespace {

bool DateFormatOk(const QString &format) {
    static const QRegularExpression date(QStringLiteral("^(?=.*MM)(?=.*DD)(?=.*YY)(MM|DD|YYYY|YY|[/.-])+$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return date.match(format).hasMatch();
}

bool VoidCodeOk(const QString &voidCode, const QString &issuedCode) {
    static const QRegularExpression code(QStringLiteral("^[A-Za-z0-9]{1,2}$"));
    return code.match(voidCode).hasMatch() && voidCode.compare(issuedCode, Qt::CaseInsensitive) != 0;
}

} // namespace

QString LayoutProblem(const PayLayout &layout) {
    if (layout.fields.isEmpty()) {
        return QStringLiteral("Columns: name at least one column, e.g. account, number, amount, date, code.");
    }
    if (!DateFormatOk(layout.dateFormat)) {
        return QStringLiteral("Date format: \"%1\" is not a date format. Use MM, DD and YY or YYYY, e.g. MMDDYY or "
                              "MM/DD/YYYY.")
            .arg(layout.dateFormat);
    }
    if (!VoidCodeOk(layout.voidCode, layout.issuedCode)) {
        return QStringLiteral("Void code: \"%1\" cannot be used. Use one or two letters or digits other than the "
                              "issue code \"%2\", e.g. V or C.")
            .arg(layout.voidCode, layout.issuedCode);
    }
    if (layout.payeeLength < 0 || layout.payeeLength > 200) {
        return QStringLiteral("Payee length: use 0 (the whole name) or a length from 1 to 200.");
    }
    return QString();
}

QByteArray EncodeExportSettings(const ExportSettings &settings) {
    const PayLayout &custom = settings.custom;
    const QString text =
        QStringLiteral("[PositivePay]\r\n") + Line(QStringLiteral("Layout"), settings.lastLayout) +
        QStringLiteral("\r\n[MyLayout]\r\n") + Line(QStringLiteral("Columns"), FieldsText(custom.fields)) +
        Line(QStringLiteral("DateFormat"), custom.dateFormat) + Line(QStringLiteral("VoidCode"), custom.voidCode) +
        Line(QStringLiteral("Header"), custom.header ? QStringLiteral("1") : QStringLiteral("0")) +
        Line(QStringLiteral("PayeeLength"), QString::number(custom.payeeLength));
    return text.toUtf8();
}

ExportSettings DecodeExportSettings(const QByteArray &bytes, QStringList *problems) {
    ExportSettings settings;
    settings.custom = BuiltInLayouts().constFirst();
    settings.custom.name = CustomLayoutName();
    PayLayout &custom = settings.custom;
    for (const QString &raw : QString::fromUtf8(bytes).split(QRegularExpression(QStringLiteral("[\r\n]+")))) {
        const QString line = raw.trimmed();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (line.isEmpty() || line.startsWith(QLatin1Char('[')) || line.startsWith(QLatin1Char(';')) || equals < 0) {
            continue;
        }
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        bool ok = true;
        if (key == QLatin1String("Layout")) {
            settings.lastLayout = value;
        } else if (key == QLatin1String("Columns")) {
            QString error;
            ok = ParseFields(value, custom.fields, &error);
        } else if (key == QLatin1String("DateFormat")) {
            ok = DateFormatOk(value);
            custom.dateFormat = ok ? value : custom.dateFormat;
        } else if (key == QLatin1String("VoidCode")) {
            ok = VoidCodeOk(value, custom.issuedCode);
            custom.voidCode = ok ? value : custom.voidCode;
        } else if (key == QLatin1String("Header")) {
            ok = value == QLatin1String("0") || value == QLatin1String("1");
            custom.header = value == QLatin1String("1");
        } else if (key == QLatin1String("PayeeLength")) {
            const int length = value.toInt(&ok);
            ok = ok && length >= 0 && length <= 200;
            custom.payeeLength = ok ? length : custom.payeeLength;
        }
        if (!ok && problems != nullptr) {
            *problems << key;
        }
    }
    return settings;
}

FileResult LoadExportSettings(Files &files, ExportSettings &settings) {
    QStringList problems;
    if (files.FileLen(kExportSettingsFile) < 0) {
        settings = DecodeExportSettings({}, &problems);
        return FileResult::Ok();
    }
    const int number = files.FreeFile();
    QByteArray bytes;
    FileResult result = files.Open(number, kExportSettingsFile, Files::Mode::Input);
    if (result) {
        result = files.ReadAll(number, bytes);
        files.Close(number);
    }
    settings = DecodeExportSettings(result ? bytes : QByteArray(), &problems);
    const QString path = QDir::toNativeSeparators(files.FullPath(kExportSettingsFile));
    if (!result) {
        return FileResult::Fail(QStringLiteral("The export settings %1 could not be read: %2\r\nThe bank layouts "
                                               "are offered meanwhile, and your own layout with its first settings.")
                                    .arg(path, result.error));
    }
    if (!problems.isEmpty()) {
        return FileResult::Fail(QStringLiteral("The export settings %1 hold entries that cannot be used (%2); they "
                                               "are shown with their defaults. Check your own layout and export "
                                               "again to save it.")
                                    .arg(path, problems.join(QStringLiteral(", "))));
    }
    return FileResult::Ok();
}

FileResult SaveExportSettings(Files &files, const ExportSettings &settings) {
    const FileResult saved = files.ReplaceContents(kExportSettingsFile, EncodeExportSettings(settings));
    if (!saved) {
        return FileResult::Fail(QStringLiteral("The export settings could not be saved to %1: %2")
                                    .arg(QDir::toNativeSeparators(files.FullPath(kExportSettingsFile)), saved.error));
    }
    return saved;
}
