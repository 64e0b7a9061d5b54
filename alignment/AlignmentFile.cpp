#include "alignment/AlignmentFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

constexpr double kTwipsPerHundredth = 14.4;

const QString kOffsetsArray = QStringLiteral("Offsets");
const QString kProtectionArray = QStringLiteral("CheckProtection");
const QString kPrinterKey = QStringLiteral("Printer");
const QString kStyleKey = QStringLiteral("Style");
const QString kHorizontalKey = QStringLiteral("Horizontal");
const QString kVerticalKey = QStringLiteral("Vertical");
const QString kOnKey = QStringLiteral("On");

// Optional sign, then whole inches and at most two decimals.
const QRegularExpression &offsetPattern() {
    static const QRegularExpression pattern(QStringLiteral("^\\s*([+-]?)(\\d*)(?:\\.(\\d{0,2}))?\\s*$"));
    return pattern;
}

std::optional<int> parseHundredths(QString text) {
    text.replace(QChar(0x2212), u'-'); // the typographic minus
    const QRegularExpressionMatch m = offsetPattern().match(text);
    if (!m.hasMatch() || (m.captured(2).isEmpty() && m.captured(3).isEmpty()) || m.captured(2).size() > 3) {
        return std::nullopt;
    }
    const int whole = m.captured(2).isEmpty() ? 0 : m.captured(2).toInt();
    const QString decimals = m.captured(3).leftJustified(2, u'0');
    const int value = whole * 100 + decimals.toInt();
    if (value > kMaxOffsetHundredths) {
        return std::nullopt;
    }
    return m.captured(1) == QLatin1String("-") ? -value : value;
}

QString where(const QString &path) {
    return QDir::toNativeSeparators(path);
}

// The whole file is lost: nothing of it is used.
FileResult damaged(const QString &path, const QString &fault) {
    return FileResult::Fail(QStringLiteral("The alignment settings %1 are damaged: %2. Until the alignment is saved "
                                           "again, every check prints without offsets and without check protection "
                                           "(no asterisks around the amounts).")
                                .arg(where(path), fault));
}

} // namespace

QString AlignmentFilePath(const QString &programFolder) {
    return QDir(programFolder).filePath(kAlignmentFileName);
}

AlignmentOffset AlignmentTable::Offset(const QString &printerName, const QString &style) const {
    return offsets_.value({printerName, style});
}

void AlignmentTable::SetOffset(const QString &printerName, const QString &style, AlignmentOffset offset) {
    if (offset == AlignmentOffset{}) {
        offsets_.remove({printerName, style});
    } else {
        offsets_.insert({printerName, style}, offset);
    }
}

bool AlignmentTable::CheckProtection(const QString &style) const {
    return protection_.value(style, false);
}

void AlignmentTable::SetCheckProtection(const QString &style, bool on) {
    if (on) {
        protection_.insert(style, true);
    } else {
        protection_.remove(style);
    }
}

PrintAdjustment AlignmentTable::Adjustment(const QString &printerName, const QString &style) const {
    const AlignmentOffset offset = Offset(printerName, style);
    return {offset.Horizontal * kTwipsPerHundredth, offset.Vertical * kTwipsPerHundredth, CheckProtection(style)};
}

FileResult LoadAlignment(const QString &path, AlignmentTable &table) {
    table = AlignmentTable();
    const QFileInfo info(path);
    if (!info.exists()) {
        return FileResult::Ok();
    }
    if (!info.isFile() || !info.isReadable()) {
        return FileResult::Fail(QStringLiteral("The alignment settings %1 cannot be read.").arg(where(path)));
    }
    QFile raw(path);
    if (!raw.open(QIODevice::ReadOnly)) {
        return FileResult::Fail(
            QStringLiteral("The alignment settings %1 cannot be read: %2.").arg(where(path), raw.errorString()));
    }
    // Every line is blank, a comment, a [section] or a key=value pair.
    for (const QByteArray &line : raw.readAll().split('\n')) {
        const QByteArray text = line.trimmed();
        if (!text.isEmpty() && !text.startsWith(';') && !text.startsWith('#') &&
            !(text.startsWith('[') && text.endsWith(']')) && !text.contains('=')) {
            return damaged(path, QStringLiteral("it holds a line that is not a setting"));
        }
    }
    raw.close();
    QSettings settings(path, QSettings::IniFormat);
    if (settings.status() != QSettings::NoError) {
        return damaged(path, QStringLiteral("it is not a settings file"));
    }
    // Only the two lists belong in the file; anything else means it is not this program's file.
    const QStringList groups = settings.childGroups();
    if (!settings.childKeys().isEmpty() ||
        !QSet<QString>{kOffsetsArray, kProtectionArray}.contains(QSet<QString>(groups.cbegin(), groups.cend()))) {
        return damaged(path, QStringLiteral("it holds entries that are not alignment settings"));
    }
    for (const QString &array : {kOffsetsArray, kProtectionArray}) {
        const QVariant size = settings.value(array + QStringLiteral("/size"));
        bool number = true;
        if (groups.contains(array) && (size.toInt(&number) < 0 || !number)) {
            return damaged(path, QStringLiteral("the number of %1 entries is missing").arg(array));
        }
    }
    // An entry that cannot be read is left out and named; the readable ones are kept.
    AlignmentTable read;
    QStringList lost;
    bool offsetsLost = false;
    bool protectionLost = false;
    const int offsets = settings.beginReadArray(kOffsetsArray);
    for (int i = 0; i < offsets; ++i) {
        settings.setArrayIndex(i);
        const QString printer = settings.value(kPrinterKey).toString();
        const QString style = settings.value(kStyleKey).toString();
        const std::optional<int> horizontal = parseHundredths(settings.value(kHorizontalKey).toString());
        const std::optional<int> vertical = parseHundredths(settings.value(kVerticalKey).toString());
        if (printer.isEmpty() || style.isEmpty() || !horizontal || !vertical) {
            lost << (printer.isEmpty()
                         ? QStringLiteral("offset entry %1").arg(i + 1)
                         : QStringLiteral("offset entry %1 (printer \"%2\")").arg(QString::number(i + 1), printer));
            offsetsLost = true;
            continue;
        }
        read.SetOffset(printer, style, {*horizontal, *vertical});
    }
    settings.endArray();
    const int protections = settings.beginReadArray(kProtectionArray);
    for (int i = 0; i < protections; ++i) {
        settings.setArrayIndex(i);
        const QString style = settings.value(kStyleKey).toString();
        const QString on = settings.value(kOnKey).toString();
        if (style.isEmpty() || (on != QLatin1String("true") && on != QLatin1String("false"))) {
            lost << (style.isEmpty()
                         ? QStringLiteral("check protection entry %1").arg(i + 1)
                         : QStringLiteral("check protection entry %1 (%2)").arg(QString::number(i + 1), style));
            protectionLost = true;
            continue;
        }
        read.SetCheckProtection(style, on == QLatin1String("true"));
    }
    settings.endArray();
    table = read;
    if (lost.isEmpty()) {
        return FileResult::Ok();
    }
    const QString without = offsetsLost && protectionLost ? QStringLiteral("the offsets and the check protection")
                            : offsetsLost                 ? QStringLiteral("the offsets")
                                                          : QStringLiteral("the check protection");
    return FileResult::Fail(
        QStringLiteral("The alignment settings %1 are damaged: %2 could not be read. The other entries are kept; "
                       "until the alignment is saved again, checks print without %3 those entries held%4.")
            .arg(where(path), lost.join(QStringLiteral(", ")), without,
                 protectionLost ? QStringLiteral(" (no asterisks around the amounts)") : QString()));
}

FileResult SaveAlignment(const QString &path, const AlignmentTable &table) {
    // A link planted in the file's place would have the settings replace whatever it points to.
    if (QFileInfo(path).isSymLink()) {
        return FileResult::Fail(QStringLiteral("The alignment settings %1 were not saved: that name is a link to "
                                               "another file, and Quillane writes its settings only into a file of "
                                               "its own. Remove the link, then save again.")
                                    .arg(where(path)));
    }
    // Written whole into a new file beside the old one, which it then replaces in one step.
    const QString fresh = path + QStringLiteral(".new");
    QFile::remove(fresh);
    {
        QFile create(fresh);
        if (!create.open(QIODevice::WriteOnly | QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
            return FileResult::Fail(QStringLiteral("The alignment settings %1 could not be written: %2.")
                                        .arg(where(path), create.errorString()));
        }
    }
    {
        QSettings settings(fresh, QSettings::IniFormat);
        settings.beginWriteArray(kOffsetsArray, static_cast<int>(table.Offsets().size()));
        int i = 0;
        for (auto it = table.Offsets().cbegin(); it != table.Offsets().cend(); ++it, ++i) {
            settings.setArrayIndex(i);
            settings.setValue(kPrinterKey, it.key().first);
            settings.setValue(kStyleKey, it.key().second);
            settings.setValue(kHorizontalKey, OffsetText(it.value().Horizontal));
            settings.setValue(kVerticalKey, OffsetText(it.value().Vertical));
        }
        settings.endArray();
        settings.beginWriteArray(kProtectionArray, static_cast<int>(table.Protection().size()));
        i = 0;
        for (auto it = table.Protection().cbegin(); it != table.Protection().cend(); ++it, ++i) {
            settings.setArrayIndex(i);
            settings.setValue(kStyleKey, it.key());
            settings.setValue(kOnKey, it.value() ? QStringLiteral("true") : QStringLiteral("false"));
        }
        settings.endArray();
        settings.sync();
        if (settings.status() != QSettings::NoError) {
            QFile::remove(fresh);
            return FileResult::Fail(QStringLiteral("The alignment settings %1 could not be written.").arg(where(path)));
        }
    }
    QFile::setPermissions(fresh, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (std::rename(QFile::encodeName(fresh).constData(), QFile::encodeName(path).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(fresh);
        return FileResult::Fail(
            QStringLiteral("The alignment settings %1 could not be replaced: %2.").arg(where(path), reason));
    }
    return FileResult::Ok();
}

std::optional<int> ParseOffset(const QString &text, const QString &field, QString *error, const QLocale &locale) {
    QString typed = text;
    const QString separator = locale.decimalPoint();
    if (separator != QLatin1String(".")) {
        typed.replace(separator, QStringLiteral("."));
    }
    const std::optional<int> value = parseHundredths(typed);
    if (!value && error) {
        *error = QStringLiteral("%1: \"%2\" is not an offset. Enter inches from %3 to %4 in hundredths, "
                                "for example %5 or %6.")
                     .arg(field, text.trimmed(), OffsetText(-100, locale), OffsetText(100, locale),
                          OffsetText(5, locale).mid(1), OffsetText(-10, locale));
    }
    return value;
}

QString OffsetText(int hundredths, const QLocale &locale) {
    const int size = hundredths < 0 ? -hundredths : hundredths;
    const QString sign = hundredths > 0 ? QStringLiteral("+") : hundredths < 0 ? QStringLiteral("-") : QString();
    return sign + QStringLiteral("%1%2%3").arg(QString::number(size / 100), locale.decimalPoint(),
                                               QStringLiteral("%1").arg(size % 100, 2, 10, QLatin1Char('0')));
}
