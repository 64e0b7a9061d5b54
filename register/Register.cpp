#include "register/Register.h"

#include "app/MoneyRoutines.h"
#include "platform/Ansi.h"

#include <QDir>

#include <cmath>

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
FileResult readRegister(Files &files, QByteArray &bytes, bool &exists) {
    bytes.clear();
    FileResult result;
    exists = DataFileExists(files, kRegisterFile, &result);
    if (!exists) {
        return result;
    }
    result = OpenInputFile(files, kRegisterFile);
    if (!result) {
        return result;
    }
    const int number = FileNum;
    result = files.ReadAll(number, bytes);
    FileResult closed = files.Close(number);
    return result ? closed : result;
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

FileResult AppendRegisterRecord(Files &files, const RegisterRecord &record) {
    FileResult result;
    const bool existed = DataFileExists(files, kRegisterFile, &result);
    if (!result) {
        // A backup that could not be restored must not be hidden behind a new register.
        return result;
    }
    qint64 number = 1;
    if (existed) {
        const qint64 length = std::max<qint64>(files.FileLen(kRegisterFile), 0);
        // Rounded to the nearest record, ties to even: a damaged 200-byte register gets record 3.
        const double next = std::nearbyint(static_cast<double>(length) / kRecordLength + 1.0);
        if (next > kMaxRecordNumber) {
            return FileResult::Fail(QStringLiteral("The register %1 is full: it holds %2 checks already.")
                                        .arg(registerPath(files))
                                        .arg(kMaxRecordNumber));
        }
        number = static_cast<qint64>(next);
    }
    result = OpenRandomFile(files, kRegisterFile, kRecordLength);
    if (result) {
        result = files.Put(FileNum, number, EncodeRecord(record));
    }
    FileResult closed = files.CloseAll();
    if (result) {
        result = closed;
    }
    if (!result && !existed && files.FileLen(kRegisterFile) == 0) {
        // The failed first append created an empty register; an empty register would still count
        // as checks waiting to be printed.
        files.Kill(kRegisterFile);
    }
    return result;
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
    result = OpenRandomFile(files, kRegisterFile, kRecordLength);
    if (!result) {
        return result;
    }
    const int number = FileNum;
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
    const qsizetype whole = bytes.size() / kRecordLength;
    records.reserve(whole);
    for (qsizetype i = 0; i < whole; ++i) {
        const QByteArray one = bytes.mid(i * kRecordLength, kRecordLength);
        if (one.contains('\0')) {
            return FileResult::Fail(
                QStringLiteral("The register %1 is damaged: check number %2 holds NUL bytes where text should be.")
                    .arg(registerPath(files))
                    .arg(i + 1));
        }
        records.append(DecodeRecord(one));
    }
    const qsizetype rest = bytes.size() % kRecordLength;
    if (rest != 0) {
        return FileResult::Fail(
            QStringLiteral("The register %1 is damaged: check number %2 is cut short (%3 of %4 bytes).")
                .arg(registerPath(files))
                .arg(whole + 1)
                .arg(rest)
                .arg(kRecordLength));
    }
    return result;
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
    if (n * kRecordLength >= bytes.size()) {
        return DeleteRegister(files);
    }
    return files.ReplaceContents(kRegisterFile, bytes.mid(n * kRecordLength));
}

FileResult DeleteRegister(Files &files) {
    return DeleteDataFile(files, kRegisterFileSlash);
}
