#include "journal/RunEnd.h"

#include "app/MoneyRoutines.h"
#include "words/Currency.h"

#include <QCryptographicHash>

namespace {

QByteArray sha256(const QByteArray &bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

// A data file's bytes without any restore from Backup; empty when missing.
FileResult readPlain(Files &files, const QString &name, QByteArray &bytes) {
    bytes.clear();
    if (!files.Dir(name)) {
        return FileResult::Ok();
    }
    const int number = files.FreeFile();
    if (number == 0) {
        return FileResult::Fail(QStringLiteral("Too many files are open."));
    }
    FileResult result = files.Open(number, name, Files::Mode::Input);
    if (!result) {
        return result;
    }
    result = files.ReadAll(number, bytes);
    FileResult closed = files.Close(number);
    return result ? closed : result;
}

// The register's bytes for due work: both checks read the file as it is, no Backup copy.
FileResult dueWorkOnRegister(Files &files, const DueWork &due) {
    QByteArray now;
    FileResult result = readPlain(files, kRegisterFile, now);
    if (!result) {
        return result;
    }
    if (sha256(now) != due.registerBefore || now == due.registerAfter) {
        return FileResult::Ok();
    }
    return WriteRegisterBytes(files, due.registerAfter);
}

} // namespace

SheetSlot SheetAndSlot(qsizetype index, int checksOnFirstSheet) {
    const int first = qBound(1, checksOnFirstSheet, 3);
    if (index < first) {
        return {1, static_cast<int>(index) + 1};
    }
    const qsizetype later = index - first;
    return {static_cast<int>(2 + later / 3), static_cast<int>(1 + later % 3)};
}

bool AmountCents(const QString &amount, qint64 *cents) {
    const std::optional<Currency> value = Currency::fromText(amount);
    if (!value) {
        return false;
    }
    const qint64 t = value->tenThousandths();
    // Whole cents, halves away from zero, without overflow near the ends of the range.
    const qint64 whole = t / 100;
    const qint64 rest = t % 100;
    *cents = whole + (rest >= 50 ? 1 : rest <= -50 ? -1 : 0);
    return true;
}

namespace {

QString withoutTrailingBlanks(QString text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' ')) {
        --end;
    }
    text.truncate(end);
    return text;
}

} // namespace

JournalCheck JournalCheckFor(const RegisterRecord &record, qint64 checkNo, QDate printed, SheetSlot place) {
    JournalCheck check;
    check.checkNo = checkNo;
    check.datePrinted = printed;
    check.payee = withoutTrailingBlanks(record.PayTo);
    AmountCents(record.Amount, &check.amountCents);
    check.memo = withoutTrailingBlanks(record.Memo);
    check.sheet = place.sheet;
    check.slot = place.slot;
    return check;
}

QByteArray RecordKey(const QByteArray &recordBytes) {
    return sha256(recordBytes);
}

FileResult ReadRegisterBytes(Files &files, QByteArray &bytes) {
    bytes.clear();
    FileResult restored;
    if (!DataFileExists(files, kRegisterFile, &restored)) {
        return restored;
    }
    return readPlain(files, kRegisterFile, bytes);
}

FileResult WriteRegisterBytes(Files &files, const QByteArray &bytes) {
    if (bytes.isEmpty()) {
        FileResult closed = files.CloseAll();
        if (files.Dir(kRegisterFile)) {
            FileResult killed = files.Kill(kRegisterFile);
            if (!killed) {
                return killed;
            }
        }
        return closed;
    }
    return files.ReplaceContents(kRegisterFile, bytes);
}

QByteArray RenumberRecords(const QByteArray &bytes, qint64 firstCheckNo) {
    QByteArray out = bytes;
    for (qsizetype offset = 0; offset + kRecordLength <= out.size(); offset += kRecordLength) {
        QByteArray number = QByteArray::number(firstCheckNo++).left(kCheckNoWidth);
        number.append(kCheckNoWidth - number.size(), ' ');
        out.replace(offset, kCheckNoWidth, number);
    }
    return out;
}

FinishResult FinishRun(CheckJournal &journal, Files &files, const FinishedRun &run) {
    FinishResult result;
    QByteArray registerBytes;
    result.registerTrim = ReadRegisterBytes(files, registerBytes);
    QByteArray settingsBytes;
    result.settings = readPlain(files, kSettingsFile, settingsBytes);

    QList<QByteArray> printedKeys;
    const int firstSheet = run.run.checksOnFirstSheet;
    for (qsizetype i = 0; i < run.printed.size(); ++i) {
        result.checks.append(
            JournalCheckFor(run.printed[i], run.firstCheckNo + i, run.today, SheetAndSlot(i, firstSheet)));
        printedKeys.append(RecordKey(EncodeRecord(run.printed[i])));
    }
    // The printed checks are the register's first records; the rest stay pending.
    const QByteArray registerAfter = registerBytes.mid(run.printed.size() * kRecordLength);

    DueWork due;
    due.settingsBefore = result.settings ? settingsBytes : QByteArray();
    due.settingsAfter = EncodeSettings(run.settingsAfter);
    due.registerBefore = sha256(registerBytes);
    due.registerAfter = registerAfter;
    qint64 dueId = 0;
    result.journal = journal.RecordRun(run.run, result.checks, due, &result.runId, &dueId, printedKeys);

    // Whether or not the journal took the run, the checks have been printed: the setup moves past
    // them and the register lets go of them, so that nothing prints twice.
    result.settings = SaveSettings(files, run.settingsAfter);
    if (result.registerTrim) {
        result.registerTrim = WriteRegisterBytes(files, registerAfter);
    }
    if (result.journal && result.settings && result.registerTrim) {
        // Left in place, the due work is done again (and changes nothing) at the next start.
        journal.ClearDueWork(dueId);
    }
    return result;
}

FileResult FinishDueWork(CheckJournal &journal, Files &files, bool *settingsChanged) {
    *settingsChanged = false;
    QList<DueWork> due;
    FileResult result = journal.LoadDueWork(due);
    if (!result) {
        return result;
    }
    for (const DueWork &work : std::as_const(due)) {
        if (!work.settingsBefore.isEmpty()) {
            QByteArray now;
            result = readPlain(files, kSettingsFile, now);
            if (!result) {
                return result;
            }
            if (now == work.settingsBefore && now != work.settingsAfter) {
                result = files.ReplaceContents(kSettingsFile, work.settingsAfter);
                if (!result) {
                    return result;
                }
                *settingsChanged = true;
            }
        }
        result = dueWorkOnRegister(files, work);
        if (!result) {
            return result;
        }
        result = journal.ClearDueWork(work.id);
        if (!result) {
            return result;
        }
    }
    return FileResult::Ok();
}

FileResult ApplyReview(CheckJournal &journal, Files &files, qint64 runId, const QList<JournalCheck> &checks,
                       const QList<RegisterRecord> &printed, const QList<PrintMark> &marks, QDate today,
                       qint64 nextCheckNo, int *requeued) {
    *requeued = 0;
    QList<qint64> numbers;
    QByteArray again;
    bool anyMarked = false;
    for (qsizetype i = 0; i < checks.size() && i < marks.size(); ++i) {
        numbers.append(checks[i].checkNo);
        anyMarked = anyMarked || marks[i] != PrintMark::Good;
        if (marks[i] == PrintMark::Spoiled && i < printed.size()) {
            again += EncodeRecord(printed[i]);
            ++*requeued;
        }
    }
    if (!anyMarked) {
        return FileResult::Ok();
    }
    QByteArray registerBytes;
    FileResult result = ReadRegisterBytes(files, registerBytes);
    if (!result) {
        *requeued = 0;
        return result;
    }
    DueWork due;
    due.registerBefore = sha256(registerBytes);
    due.registerAfter = again.isEmpty() ? registerBytes : RenumberRecords(again + registerBytes, nextCheckNo);
    qint64 dueId = 0;
    result = journal.RecordReview(runId, numbers, marks, today, due, &dueId);
    if (!result) {
        *requeued = 0;
        return result;
    }
    if (due.registerAfter != registerBytes) {
        result = WriteRegisterBytes(files, due.registerAfter);
        if (!result) {
            return result;
        }
    }
    return journal.ClearDueWork(dueId);
}
