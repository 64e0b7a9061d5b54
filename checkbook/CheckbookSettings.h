#pragma once

#include "platform/Files.h"

#include <QByteArray>
#include <QString>

// The five checkbook settings, as the text their controls hold.
struct CheckbookSettings {
    QString BankName;
    QString AcctNo;
    QString CheckNo;      // the next check number
    QString ChecksOnForm; // blank checks left on the first form sheet
    QString CheckStyle;   // "Deluxe 3-On-A-Page" or "Deluxe Wallet-Size"
};

// The settings file in the program's folder.
inline const QString kSettingsFile = QStringLiteral("/DraftMere.txt");
inline const QString kStyle3OnAPage = QStringLiteral("Deluxe 3-On-A-Page");
inline const QString kStyleWallet = QStringLiteral("Deluxe Wallet-Size");

// The most characters setup lets each setting hold, in file order; a settings file with a longer
// value is not taken.
constexpr int kSettingMaxLengths[5] = {60, 40, 20, 5, 20};
// The longest settings file those allow, however written (four bytes a character, quotes, line ends
// and a byte-order mark included).
constexpr qint64 kMaxSettingsFileBytes = 4 * (60 + 40 + 20 + 5 + 20) + 5 * 8 + 3;

// The file's exact bytes: five lines, each the value between double quotes, CR LF, Windows-1252.
QByteArray EncodeSettings(const CheckbookSettings &settings);
// Reads five fields with the sequential-input rules (a quoted field runs to the next quote, an
// unquoted one to the next comma or line end). A leading UTF-8 byte-order mark is skipped and the
// text after it read as UTF-8. False, with a reason, when fewer than five are there or one is longer
// than setup allows.
bool DecodeSettings(const QByteArray &bytes, CheckbookSettings &settings, QString *error);

enum class SettingsState { Loaded, Missing, Damaged };

struct SettingsLoad {
    SettingsState state = SettingsState::Missing;
    CheckbookSettings settings; // only when Loaded
    QString error;              // only when Damaged: what is wrong, naming the file
};

// Loads the settings file (restoring it from the Backup folder when only a copy is there). A file
// longer than kMaxSettingsFileBytes is Damaged without being read.
SettingsLoad LoadSettings(Files &files);
// Saves the settings atomically: on failure the old file stays byte for byte and the reason is
// returned, naming the file.
FileResult SaveSettings(Files &files, const CheckbookSettings &settings);

// A setting that cannot be used, with the message that tells the person why.
struct SettingsProblem {
    enum class Field { None, BankName, AcctNo, CheckNo, ChecksOnForm, CheckStyle };
    Field field = Field::None;
    QString message;
    explicit operator bool() const { return field != Field::None; }
};

// Checks settings before they are saved or used: text the file can store (no double quote, only
// characters of the data files' code page, no longer than setup allows), a next check number from 1 to 999999999, 1 to
// 3 checks on the first form, and one of the two check styles.
SettingsProblem CheckSettings(const CheckbookSettings &settings);

// The whole-number value of a setting's text within [low, high], or false.
bool SettingNumber(const QString &text, qint64 low, qint64 high, qint64 *value);
