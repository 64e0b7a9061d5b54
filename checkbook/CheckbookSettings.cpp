#include "checkbook/CheckbookSettings.h"

#include "datafiles/DataFiles.h"
#include "forms/CheckForm.h"
#include "platform/Ansi.h"

#include <QDir>
#include <QStringDecoder>

#include <array>

namespace {

constexpr int kSettingCount = 5;
constexpr qint64 kMaxCheckNo = 999999999;
constexpr qint64 kMaxChecksOnForm = 3;

// The values in file order.
std::array<const QString *, kSettingCount> valuesOf(const CheckbookSettings &settings) {
    return {&settings.BankName, &settings.AcctNo, &settings.CheckNo, &settings.ChecksOnForm, &settings.CheckStyle};
}

// The names the settings bear on the setup panel, in file order.
QString fieldName(int index) {
    static const QString names[kSettingCount] = {
        QStringLiteral("Bank Name"), QStringLiteral("Account Number"), QStringLiteral("Next Check #"),
        QStringLiteral("# of Checks on 1st Form"), QStringLiteral("Check Style")};
    return names[index];
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}
bool endsField(char c) {
    return c == ',' || c == '\r' || c == '\n';
}

// The byte-order mark some editors put before UTF-8 text.
const QByteArray kUtf8Mark("\xEF\xBB\xBF");

bool isUtf8(QByteArrayView bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    return !decoder.hasError();
}

QString settingsPath(const Files &files) {
    return QDir::toNativeSeparators(files.FullPath(kSettingsFile));
}

// A text setting the file cannot store, or an empty problem.
// A setting longer than setup allows, or an empty problem.
SettingsProblem tooLong(const QString &text, SettingsProblem::Field field, int index) {
    if (text.size() > kSettingMaxLengths[index]) {
        return {field, QStringLiteral("The %1 holds %2 characters; it may hold at most %3.")
                           .arg(fieldName(index))
                           .arg(text.size())
                           .arg(kSettingMaxLengths[index])};
    }
    return {};
}

SettingsProblem checkText(const QString &text, SettingsProblem::Field field, int index) {
    if (SettingsProblem problem = tooLong(text, field, index)) {
        return problem;
    }
    if (text.contains(QLatin1Char('"'))) {
        return {field, QStringLiteral("The %1 may not hold a double quote (\").").arg(fieldName(index))};
    }
    const QList<uint> characters = text.toUcs4();
    for (uint c : characters) {
        const QString one = QString::fromUcs4(reinterpret_cast<const char32_t *>(&c), 1);
        if (!FitsAnsi(one)) {
            const QString code = QStringLiteral("%1").arg(c, 4, 16, QLatin1Char('0')).toUpper();
            return {field,
                    QStringLiteral("The %1 holds the character \"%2\" (U+%3), which the data files cannot store.")
                        .arg(fieldName(index), one, code)};
        }
    }
    return {};
}

} // namespace

QByteArray EncodeSettings(const CheckbookSettings &settings) {
    QByteArray bytes;
    for (const QString *value : valuesOf(settings)) {
        bytes += '"';
        bytes += ToAnsi(*value);
        bytes += "\"\r\n";
    }
    return bytes;
}

bool DecodeSettings(const QByteArray &file, CheckbookSettings &settings, QString *error) {
    auto fail = [error](const QString &reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return false;
    };
    // A file an editor saved with a byte-order mark: the mark is no part of the first value, and
    // the text after it is UTF-8 (unless it is not valid UTF-8, then it is read in the code page).
    const bool marked = file.startsWith(kUtf8Mark);
    const QByteArray bytes = marked ? file.mid(kUtf8Mark.size()) : file;
    const bool utf8 = marked && isUtf8(bytes);
    if (bytes.contains('\0')) {
        return fail(QStringLiteral("it holds NUL bytes where text should be"));
    }
    QString fields[kSettingCount];
    int count = 0;
    qsizetype pos = 0;
    const qsizetype size = bytes.size();
    while (count < kSettingCount) {
        while (pos < size && isBlank(bytes[pos])) {
            ++pos;
        }
        if (pos >= size) {
            break;
        }
        QByteArray value;
        if (bytes[pos] == '"') {
            // A quoted field runs to the next double quote; what follows it up to the delimiter is ignored.
            const qsizetype close = bytes.indexOf('"', pos + 1);
            if (close < 0) {
                return fail(QStringLiteral("the double quote that opens value %1 is never closed").arg(count + 1));
            }
            value = bytes.mid(pos + 1, close - pos - 1);
            pos = close + 1;
            while (pos < size && !endsField(bytes[pos])) {
                ++pos;
            }
        } else {
            // An unquoted field runs to the next comma or line end, without its trailing blanks.
            const qsizetype start = pos;
            while (pos < size && !endsField(bytes[pos])) {
                ++pos;
            }
            qsizetype end = pos;
            while (end > start && isBlank(bytes[end - 1])) {
                --end;
            }
            value = bytes.mid(start, end - start);
        }
        if (pos < size) {
            // The delimiter: a comma, or a line end of CR LF, CR or LF.
            const bool carriageReturn = bytes[pos] == '\r';
            ++pos;
            if (carriageReturn && pos < size && bytes[pos] == '\n') {
                ++pos;
            }
        }
        fields[count++] = utf8 ? QString::fromUtf8(value) : FromAnsi(value);
    }
    if (count < kSettingCount) {
        return fail(count == 0 ? QStringLiteral("it holds no settings")
                               : QStringLiteral("it holds only %1 of the %2 settings").arg(count).arg(kSettingCount));
    }
    for (int i = 0; i < kSettingCount; ++i) {
        if (fields[i].size() > kSettingMaxLengths[i]) {
            return fail(QStringLiteral("the %1 holds %2 characters, more than the %3 setup allows")
                            .arg(fieldName(i))
                            .arg(fields[i].size())
                            .arg(kSettingMaxLengths[i]));
        }
    }
    settings = {fields[0], fields[1], fields[2], fields[3], fields[4]};
    return true;
}

SettingsLoad LoadSettings(Files &files) {
    SettingsLoad load;
    FileResult result;
    if (!DataFileExists(files, kSettingsFile, &result)) {
        if (!result) {
            load.state = SettingsState::Damaged;
            load.error = result.error;
        }
        return load;
    }
    // A file far longer than any settings is not read into memory at all.
    const qint64 length = files.FileLen(kSettingsFile);
    if (length > kMaxSettingsFileBytes) {
        load.state = SettingsState::Damaged;
        load.error = QStringLiteral("The settings file %1 cannot be used: it is %2 bytes long, and the settings "
                                    "setup writes never take more than %3.")
                         .arg(settingsPath(files))
                         .arg(length)
                         .arg(kMaxSettingsFileBytes);
        return load;
    }
    QByteArray bytes;
    result = files.ReadWhole(kSettingsFile, bytes);
    QString reason;
    if (!result) {
        load.state = SettingsState::Damaged;
        load.error = result.error;
    } else if (!DecodeSettings(bytes, load.settings, &reason)) {
        load.state = SettingsState::Damaged;
        load.error = QStringLiteral("The settings file %1 cannot be used: %2.").arg(settingsPath(files), reason);
    } else {
        load.state = SettingsState::Loaded;
    }
    return load;
}

FileResult SaveSettings(Files &files, const CheckbookSettings &settings) {
    const auto values = valuesOf(settings);
    for (int i = 0; i < kSettingCount; ++i) {
        // The file has no way to carry a double quote inside a value: it would end the value early.
        if (values[i]->contains(QLatin1Char('"'))) {
            return FileResult::Fail(QStringLiteral("The settings cannot be saved to %1: the %2 holds a double quote.")
                                        .arg(settingsPath(files), fieldName(i)));
        }
    }
    return files.ReplaceContents(kSettingsFile, EncodeSettings(settings));
}

SettingsProblem CheckSettings(const CheckbookSettings &settings) {
    using Field = SettingsProblem::Field;
    if (SettingsProblem problem = checkText(settings.BankName, Field::BankName, 0)) {
        return problem;
    }
    if (SettingsProblem problem = checkText(settings.AcctNo, Field::AcctNo, 1)) {
        return problem;
    }
    if (!SettingNumber(settings.CheckNo, 1, kMaxCheckNo, nullptr)) {
        return {Field::CheckNo,
                QStringLiteral("The %1 must be a whole number from 1 to %2.").arg(fieldName(2)).arg(kMaxCheckNo)};
    }
    if (!SettingNumber(settings.ChecksOnForm, 1, kMaxChecksOnForm, nullptr)) {
        return {Field::ChecksOnForm,
                QStringLiteral("The %1 must be a whole number from 1 to %2.").arg(fieldName(3)).arg(kMaxChecksOnForm)};
    }
    // A number in range may still be padded with blanks beyond what the file takes.
    if (SettingsProblem problem = tooLong(settings.CheckNo, Field::CheckNo, 2)) {
        return problem;
    }
    if (SettingsProblem problem = tooLong(settings.ChecksOnForm, Field::ChecksOnForm, 3)) {
        return problem;
    }
    if (settings.CheckStyle.isEmpty()) {
        return {Field::CheckStyle, QStringLiteral("A %1 must be selected.").arg(fieldName(4))};
    }
    // The style names a check form; whether there is one of that name is asked where forms are read.
    if (settings.CheckStyle.size() > kLongestFormName) {
        return {Field::CheckStyle, QStringLiteral("The %1 must be the name of a check form, at most %2 characters.")
                                       .arg(fieldName(4))
                                       .arg(kLongestFormName)};
    }
    return {};
}

bool SettingNumber(const QString &text, qint64 low, qint64 high, qint64 *value) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    bool negative = false;
    if (begin < end && (text[begin] == QLatin1Char('+') || text[begin] == QLatin1Char('-'))) {
        negative = text[begin] == QLatin1Char('-');
        ++begin;
    }
    if (begin == end) {
        return false;
    }
    // Numbers too large for any range a setting has are held at this ceiling rather than overflowing.
    constexpr qint64 kCeiling = 1'000'000'000'000'000'000;
    qint64 number = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9') {
            return false;
        }
        number = number > kCeiling / 10 ? kCeiling : std::min(number * 10 + (c - u'0'), kCeiling);
    }
    if (negative) {
        number = -number;
    }
    if (number < low || number > high) {
        return false;
    }
    if (value != nullptr) {
        *value = number;
    }
    return true;
}
