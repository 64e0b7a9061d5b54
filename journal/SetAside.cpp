#include "journal/SetAside.h"

#include "journal/RunEnd.h"
#include "register/Register.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSet>

namespace {

const QString kBackupRegister = QStringLiteral("\\Backup") + kRegisterFileSlash;

} // namespace

namespace {

// The register's copy in the Backup folder: its identity, its records' keys and when it was made.
struct BackupCopy {
    QString id;
    QSet<QByteArray> keys;
    QDateTime madeAt;
};

BackupCopy ReadBackupCopy(Files &files) {
    BackupCopy copy;
    if (!files.Dir(kBackupRegister)) {
        return copy;
    }
    const int number = files.FreeFile();
    if (number == 0 || !files.Open(number, kBackupRegister, Files::Mode::Input)) {
        return copy;
    }
    QByteArray bytes;
    const bool read = files.ReadAll(number, bytes).ok;
    files.Close(number);
    if (!read) {
        return copy;
    }
    copy.id = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    for (qsizetype offset = 0; offset + kRecordLength <= bytes.size(); offset += kRecordLength) {
        copy.keys.insert(RecordKey(bytes.mid(offset, kRecordLength)));
    }
    // Whole seconds, as the journal keeps the time of a run.
    const QDateTime modified = QFileInfo(files.FullPath(kBackupRegister)).lastModified();
    copy.madeAt = modified.addMSecs(-modified.time().msec());
    return copy;
}

} // namespace

QString BackupIdentity(Files &files) {
    return ReadBackupCopy(files).id;
}

SetAsideResult SetAsidePrinted(CheckJournal &journal, Files &files, const QString &accountNo, const KeepQuestion &keep,
                               const QDateTime &now) {
    SetAsideResult out;
    QByteArray bytes;
    out.result = ReadRegisterBytes(files, bytes);
    if (!out.result || bytes.isEmpty()) {
        return out;
    }
    const BackupCopy backup = ReadBackupCopy(files);
    const QString &backupId = backup.id;
    const qsizetype count = bytes.size() / kRecordLength;
    QList<bool> drop(count, false);
    QList<qsizetype> printedBefore;
    QList<QByteArray> keys;
    QStringList numbers;
    for (qsizetype i = 0; i < count; ++i) {
        const QByteArray one = bytes.mid(i * kRecordLength, kRecordLength);
        const QByteArray key = RecordKey(one);
        SetAsideDecision decision = SetAsideDecision::None;
        out.result = journal.LoadSetAside(key, backupId, &decision);
        if (!out.result) {
            return out;
        }
        if (decision == SetAsideDecision::Discard || decision == SetAsideDecision::Printed) {
            drop[i] = true;
            continue;
        }
        if (decision == SetAsideDecision::Keep) {
            ++out.kept;
            continue;
        }
        const RegisterRecord record = DecodeRecord(one);
        bool isNumber = false;
        const qint64 number = record.CheckNo.trimmed().toLongLong(&isNumber);
        const qint64 checkNo = isNumber ? number : -1;
        // A record of the Backup copy was pending when the copy was made: a check of the same
        // content printed since then is this record, whatever number it printed under. Any other
        // record was written after the last run ended (that run's records were trimmed from the
        // register), so only its own number can have printed it.
        const QDateTime since = backup.keys.contains(key) ? backup.madeAt : QDateTime();
        qint64 cents = 0;
        if ((!isNumber && !since.isValid()) || !AmountCents(record.Amount, &cents)) {
            continue;
        }
        const JournalCheck check = JournalCheckFor(record, checkNo, {}, {});
        bool held = false;
        out.result = journal.HoldsPrinted(accountNo, check, checkNo, since, &held);
        if (!out.result) {
            return out;
        }
        if (held) {
            printedBefore.append(i);
            keys.append(key);
            numbers.append(record.CheckNo.trimmed());
        }
    }
    if (!printedBefore.isEmpty()) {
        out.asked = numbers;
        const bool keepThem = keep ? keep(numbers) : false;
        // The answer is carried out even when it cannot be remembered; the person is then asked again.
        out.result = journal.RememberSetAside(keys, numbers, backupId,
                                              keepThem ? SetAsideDecision::Keep : SetAsideDecision::Discard, now);
        for (qsizetype i : std::as_const(printedBefore)) {
            drop[i] = !keepThem;
        }
        if (keepThem) {
            out.kept += printedBefore.size();
        }
    }
    QByteArray rest;
    for (qsizetype i = 0; i < count; ++i) {
        if (drop[i]) {
            ++out.discarded;
        } else {
            rest += bytes.mid(i * kRecordLength, kRecordLength);
        }
    }
    // A cut-short tail stays where it was, for the print run to report.
    rest += bytes.mid(count * kRecordLength);
    if (out.discarded > 0) {
        const FileResult written = WriteRegisterBytes(files, rest);
        if (!written) {
            out.discarded = 0;
            out.result = written;
        }
    }
    return out;
}
