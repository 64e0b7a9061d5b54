#include "register/Register.h"

#include "datafiles/DataFiles.h"
#include "platform/Ansi.h"
#include "register/Amount.h"

#include <QDir>

#include <cstring>

namespace {

// The highest record number a signed 16-bit record counter reaches.
constexpr qint64 kMaxRecordNumber = 32767;

struct Field {
    QString RegisterRecord::*member;
    int width;
};

constexpr Field kFields[] = {
    {&RegisterRecord::CheckNo, kCheckNoWidth}, {&RegisterRecord::CheckDate, kCheckDateWidth},
    {&RegisterRecord::PayTo, kPayToWidth},     {&RegisterRecord::Amount, kAmountWidth},
    {&RegisterRecord::Memo, kMemoWidth},       {&RegisterRecord::Status, kStatusWidth},
};

static_assert(kCheckNoWidth + kCheckDateWidth + kPayToWidth + kAmountWidth + kMemoWidth + kStatusWidth ==
              kRecordLength);

QString registerPath(const Files &files) {
    return QDir::toNativeSeparators(files.FullPath(kRegisterFile));
}

// The whole register file; `exists` is false (and the result Ok) when there is none.
FileResult readRegister(Files &files, QByteArray &bytes, bool &exists, FromBackup backup = FromBackup::Restore) {
    bytes.clear();
    exists = false;
    // A folder (or any other entry that is not a file) under the register's name would otherwise
    // read as no register at all, and every Accept would fail to replace it.
    if (!files.Dir(kRegisterFile) && files.FileLen(kRegisterFile) >= 0) {
        return FileResult::Fail(QStringLiteral("The register of pending checks %1 is a folder or another entry that "
                                               "is not a file, so no check can be stored in it or printed from it. "
                                               "Move or rename it, then try again.")
                                    .arg(registerPath(files)));
    }
    FileResult result;
    exists = backup == FromBackup::Restore ? DataFileExists(files, kRegisterFile, &result) : files.Dir(kRegisterFile);
    if (!exists) {
        return result;
    }
    return files.ReadWhole(kRegisterFile, bytes);
}

// What is wrong with a register's bytes: a record holding NUL bytes (the first one), or a length
// that is not a whole number of records. `whole` is the number of good records before the damage.
FileResult damageOf(const Files &files, const QByteArray &bytes, qsizetype *whole = nullptr) {
    const qsizetype records = bytes.size() / kRecordLength;
    for (qsizetype i = 0; i < records; ++i) {
        if (std::memchr(bytes.constData() + i * kRecordLength, '\0', kRecordLength) != nullptr) {
            if (whole) {
                *whole = i;
            }
            return FileResult::Fail(
                QStringLiteral("The register %1 is damaged: check number %2 holds NUL bytes where text should be.")
                    .arg(registerPath(files))
                    .arg(i + 1));
        }
    }
    if (whole) {
        *whole = records;
    }
    const qsizetype rest = bytes.size() % kRecordLength;
    if (rest != 0) {
        return FileResult::Fail(
            QStringLiteral("The register %1 is damaged: check number %2 is cut short (%3 of %4 bytes).")
                .arg(registerPath(files))
                .arg(records + 1)
                .arg(rest)
                .arg(kRecordLength));
    }
    return FileResult::Ok();
}

// True for an amount field that plainly holds what the entry window takes: up to nine digits, then
// optionally a point and up to two digits, at least one digit, padded with blanks. Saves the full
// check on the records of a long register, nearly all of which are such.
bool plainlyPrintable(const char *field) {
    int end = kAmountWidth;
    while (end > 0 && field[end - 1] == ' ') {
        --end;
    }
    int i = 0;
    while (i < end && field[i] >= '0' && field[i] <= '9') {
        ++i;
    }
    const int whole = i;
    if (i < end && field[i] == '.') {
        ++i;
    }
    const int decimalsBegin = i;
    while (i < end && field[i] >= '0' && field[i] <= '9') {
        ++i;
    }
    const int decimals = i - decimalsBegin;
    return i == end && whole <= 9 && decimals <= 2 && whole + decimals > 0;
}

// The first record whose amount the print run would refuse, named with its payee and the fault.
FileResult unprintableAmount(const Files &files, const QByteArray &bytes) {
    constexpr int kAmountOffset = kCheckNoWidth + kCheckDateWidth + kPayToWidth;
    const qsizetype records = bytes.size() / kRecordLength;
    for (qsizetype i = 0; i < records; ++i) {
        const char *record = bytes.constData() + i * kRecordLength;
        if (plainlyPrintable(record + kAmountOffset)) {
            continue;
        }
        const RegisterRecord decoded = DecodeRecord(bytes.mid(i * kRecordLength, kRecordLength));
        QString amount = decoded.Amount;
        while (amount.endsWith(QLatin1Char(' '))) {
            amount.chop(1);
        }
        const AmountCheck check = CheckAmountText(amount);
        if (!check) {
            return FileResult::Fail(QStringLiteral("The register %1 cannot be printed: check number %2 (to \"%3\") "
                                                   "has the amount \"%4\", which %5.")
                                        .arg(registerPath(files))
                                        .arg(i + 1)
                                        .arg(decoded.PayTo.trimmed(), amount, AmountProblemText(check.problem)));
        }
    }
    return FileResult::Ok();
}

} // namespace

QByteArray EncodeRecord(const RegisterRecord &record) {
    QByteArray bytes;
    bytes.reserve(kRecordLength);
    for (const Field &field : kFields) {
        const QByteArray text = ToAnsi(record.*field.member).left(field.width);
        bytes += text;
        bytes.append(field.width - text.size(), ' ');
    }
    return bytes;
}

RegisterRecord DecodeRecord(const QByteArray &bytes) {
    RegisterRecord record;
    int offset = 0;
    for (const Field &field : kFields) {
        record.*field.member = FromAnsi(bytes.mid(offset, field.width));
        offset += field.width;
    }
    return record;
}

FileResult AppendRegisterRecord(Files &files, const RegisterRecord &record, FromBackup backup) {
    return AppendRegisterRecords(files, {record}, backup);
}

FileResult AppendRegisterRecords(Files &files, const QList<RegisterRecord> &added, FromBackup backup) {
    // The register is rewritten whole and renamed over the old one rather than written in place:
    // a process killed inside a write that crosses a page boundary keeps the first part of the
    // write, so even a single write call can leave a torn record at the end of the file.
    QByteArray bytes;
    bool existed = false;
    FileResult result = readRegister(files, bytes, existed, backup);
    if (!result) {
        // Also a backup that could not be restored: it must not be hidden behind a new register.
        return result;
    }
    // A damaged register is refused whole: a record added behind a cut-short record or NUL bytes
    // would only be refused again by the print run, together with every good record.
    result = damageOf(files, bytes);
    if (result) {
        // A record the print run would refuse stops every later check from printing too.
        result = unprintableAmount(files, bytes);
    }
    if (!result) {
        return result;
    }
    const qint64 records = bytes.size() / kRecordLength;
    if (records + added.size() > kMaxRecordNumber) {
        const QString more = added.size() == 1 ? QString() : QStringLiteral(", %1 more do not fit").arg(added.size());
        return FileResult::Fail(QStringLiteral("The register %1 is full: it holds %2 checks already%3, and "
                                               "%4 is the most it can hold.")
                                    .arg(registerPath(files))
                                    .arg(records)
                                    .arg(more)
                                    .arg(kMaxRecordNumber));
    }
    bytes.reserve(bytes.size() + added.size() * kRecordLength);
    for (const RegisterRecord &record : added) {
        bytes += EncodeRecord(record);
    }
    result = files.ReplaceContents(kRegisterFile, bytes);
    FileResult closed = files.CloseAll();
    return result ? closed : result;
}

qint64 RegisterRecordCount(Files &files) {
    if (!DataFileExists(files, kRegisterFile)) {
        return 0;
    }
    return std::max<qint64>(files.FileLen(kRegisterFile), 0) / kRecordLength;
}

FileResult ReadRegisterRecord(Files &files, qint64 n, RegisterRecord &record) {
    FileResult result;
    if (n < 1 || !DataFileExists(files, kRegisterFile, &result)) {
        return result ? FileResult::Fail(
                            QStringLiteral("The register %1 has no check number %2.").arg(registerPath(files)).arg(n))
                      : result;
    }
    int number = 0;
    result = OpenRandomFile(files, kRegisterFile, kRecordLength, number);
    if (!result) {
        return result;
    }
    QByteArray bytes;
    result = files.Get(number, n, bytes);
    FileResult closed = files.Close(number);
    if (!result) {
        return result;
    }
    if (bytes.size() < kRecordLength) {
        return FileResult::Fail(
            QStringLiteral("The register %1 has no check number %2.").arg(registerPath(files)).arg(n));
    }
    record = DecodeRecord(bytes);
    return closed;
}

FileResult ReadAllRecords(Files &files, QList<RegisterRecord> &records) {
    records.clear();
    QByteArray bytes;
    bool exists = false;
    FileResult result = readRegister(files, bytes, exists);
    if (!result || !exists) {
        return result;
    }
    qsizetype whole = 0;
    const FileResult damage = damageOf(files, bytes, &whole);
    records.reserve(whole);
    for (qsizetype i = 0; i < whole; ++i) {
        records.append(DecodeRecord(bytes.mid(i * kRecordLength, kRecordLength)));
    }
    return damage ? result : damage;
}

FileResult ReadRecordsToPrint(Files &files, const FileResult &restored, QList<RegisterRecord> &records, bool &gone) {
    gone = restored && files.FileLen(kRegisterFile) < 0;
    if (gone) {
        records.clear();
        return FileResult::Ok();
    }
    return ReadAllRecords(files, records);
}

FileResult CheckRegister(Files &files) {
    QByteArray bytes;
    bool exists = false;
    FileResult result = readRegister(files, bytes, exists);
    if (!result || !exists) {
        return result;
    }
    result = damageOf(files, bytes);
    return result ? unprintableAmount(files, bytes) : result;
}

FileResult RemoveFirstRecords(Files &files, qint64 n) {
    if (n <= 0) {
        return FileResult::Ok();
    }
    QByteArray bytes;
    bool exists = false;
    FileResult result = readRegister(files, bytes, exists);
    if (!result || !exists) {
        return result;
    }
    if (n >= (bytes.size() + kRecordLength - 1) / kRecordLength) {
        return DeleteRegister(files);
    }
    return files.ReplaceContents(kRegisterFile, bytes.mid(n * kRecordLength));
}

FileResult DeleteRegister(Files &files) {
    return DeleteDataFile(files, kRegisterFileSlash);
}
