#include "journal/SetAside.h"

#include "journal/RunEnd.h"
#include "register/Register.h"

#include <QCryptographicHash>

namespace {

const QString kBackupRegister = QStringLiteral("\\Backup") + kRegisterFileSlash;

} // namespace

QString BackupIdentity(Files &files) {
    if (!files.Dir(kBackupRegister)) {
        return QString();
    }
    const int number = files.FreeFile();
    if (number == 0 || !files.Open(number, kBackupRegister, Files::Mode::Input)) {
        return QString();
    }
    QByteArray bytes;
    const bool read = files.ReadAll(number, bytes).ok;
    files.Close(number);
    if (!read) {
        return QString();
    }
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
}

SetAsideResult SetAsidePrinted(CheckJournal &journal, Files &files, const QString &accountNo, const KeepQuestion &keep,
                               const QDateTime &now) {
    SetAsideResult out;
    QByteArray bytes;
    out.result = ReadRegisterBytes(files, bytes);
    if (!out.result || bytes.isEmpty()) {
        return out;
    }
    const QString backupId = BackupIdentity(files);
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
        const qint64 checkNo = record.CheckNo.trimmed().toLongLong(&isNumber);
        qint64 cents = 0;
        if (!isNumber || !AmountCents(record.Amount, &cents)) {
            continue;
        }
        const JournalCheck check = JournalCheckFor(record, checkNo, {}, {});
        bool held = false;
        out.result = journal.HoldsPrinted(accountNo, checkNo, check.payee, cents, check.memo, &held);
        if (!out.result) {
            return out;
        }
        if (held) {
            printedBefore.append(i);
            keys.append(key);
            numbers.append(QString::number(checkNo));
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
