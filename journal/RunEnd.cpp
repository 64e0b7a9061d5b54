#include "journal/RunEnd.h"

#include "datafiles/DataFiles.h"
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
    return files.ReadWhole(name, bytes);
}

// The one way file work the journal holds as due is done: each file is given its new contents only
// while it still holds the old ones (the register read as it is, no Backup copy), so doing it twice
// changes nothing. Both files are tried; the due work is cleared once both are done.
struct Applied {
    FileResult settings;
    FileResult registerFile;
    FileResult cleared;
    bool settingsChanged = false;
    FileResult first() const { return !settings ? settings : !registerFile ? registerFile : cleared; }
};

Applied applyDue(CheckJournal &journal, Files &files, const DueWork &due, qint64 dueId) {
    Applied out;
    if (!due.settingsBefore.isEmpty()) {
        QByteArray now;
        out.settings = readPlain(files, kSettingsFile, now);
        if (out.settings && now == due.settingsBefore && now != due.settingsAfter) {
            out.settings = files.ReplaceContents(kSettingsFile, due.settingsAfter);
            out.settingsChanged = out.settings.ok;
        }
    }
    QByteArray now;
    out.registerFile = readPlain(files, kRegisterFile, now);
    if (out.registerFile && sha256(now) == due.registerBefore && now != due.registerAfter) {
        out.registerFile = WriteRegisterBytes(files, due.registerAfter);
    }
    if (out.settings && out.registerFile && dueId > 0) {
        out.cleared = journal.ClearDueWork(dueId);
    }
    return out;
}

} // namespace

SheetSlot SheetAndSlot(qsizetype index, int checksOnFirstSheet, int perSheet) {
    perSheet = qMax(1, perSheet);
    const int first = qBound(1, checksOnFirstSheet, perSheet);
    if (index < first) {
        return {1, static_cast<int>(index) + 1};
    }
    const qsizetype later = index - first;
    return {static_cast<int>(2 + later / perSheet), static_cast<int>(1 + later % perSheet)};
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

namespace {

// The journal's checks of a run and the file work its end owes when `run.printed` reached the printer.
DueWork dueOfRun(const FinishedRun &run, const QByteArray &registerBytes, const QByteArray *settingsBytes,
                 QList<JournalCheck> *checks, QList<QByteArray> *keys, QByteArray *records) {
    const int firstSheet = run.run.checksOnFirstSheet;
    for (qsizetype i = 0; i < run.printed.size(); ++i) {
        checks->append(JournalCheckFor(run.printed[i], run.firstCheckNo + i, run.today,
                                       SheetAndSlot(i, firstSheet, run.checksPerSheet)));
        const QByteArray bytes = EncodeRecord(run.printed[i]);
        keys->append(RecordKey(bytes));
        *records += bytes;
    }
    DueWork due;
    due.settingsBefore = settingsBytes != nullptr ? *settingsBytes : QByteArray();
    due.settingsAfter = EncodeSettings(run.settingsAfter);
    due.registerBefore = sha256(registerBytes);
    // The printed checks are the register's first records; the rest stay pending.
    due.registerAfter = registerBytes.mid(run.printed.size() * kRecordLength);
    return due;
}

// The address printed with each check of the run, lines joined by line feeds.
QStringList addressesOfRun(const FinishedRun &run) {
    QStringList addresses;
    for (const RegisterRecord &record : run.printed) {
        addresses << run.addresses.value(PayeeKey(record.PayTo)).join(QLatin1Char('\n'));
    }
    return addresses;
}

} // namespace

FileResult RecordPrintIntent(CheckJournal &journal, Files &files, const FinishedRun &run, qint64 *runId) {
    QByteArray registerBytes;
    FileResult result = ReadRegisterBytes(files, registerBytes);
    if (!result) {
        return result;
    }
    QByteArray settingsBytes;
    const bool settingsRead = readPlain(files, kSettingsFile, settingsBytes).ok;
    QList<JournalCheck> checks;
    QList<QByteArray> keys;
    QByteArray records;
    const DueWork due = dueOfRun(run, registerBytes, settingsRead ? &settingsBytes : nullptr, &checks, &keys, &records);
    return journal.RecordIntent(run.run, checks, due, records, runId, addressesOfRun(run));
}

FileResult ReleaseIntent(CheckJournal &journal, qint64 runId) {
    return journal.EndRun(runId, {}, {}, {}, nullptr);
}

FinishResult FinishRun(CheckJournal &journal, Files &files, const FinishedRun &run) {
    FinishResult result;
    QByteArray registerBytes;
    result.registerTrim = ReadRegisterBytes(files, registerBytes);
    QByteArray settingsBytes;
    result.settings = readPlain(files, kSettingsFile, settingsBytes);
    QList<QByteArray> printedKeys;
    QByteArray records;
    const DueWork due = dueOfRun(run, registerBytes, result.settings ? &settingsBytes : nullptr, &result.checks,
                                 &printedKeys, &records);
    qint64 dueId = 0;
    if (run.intentId > 0) {
        result.runId = run.intentId;
        result.journal = journal.EndRun(run.intentId, QList<PrintMark>(run.printed.size(), PrintMark::Good), run.today,
                                        due, &dueId, printedKeys);
    } else {
        result.journal =
            journal.RecordRun(run.run, result.checks, due, &result.runId, &dueId, printedKeys, addressesOfRun(run));
    }
    if (!result.journal) {
        // The journal is the truth: without the end recorded the files stay as they are, and the
        // run's checks wait as "printing" for the person to say what came out of the printer.
        return result;
    }
    const Applied applied = applyDue(journal, files, due, dueId);
    result.registerTrim = result.registerTrim ? applied.registerFile : result.registerTrim;
    if (!result.settings || due.settingsBefore.isEmpty()) {
        // Unreadable or missing before: the settings are written outright.
        result.settings = SaveSettings(files, run.settingsAfter);
    } else {
        result.settings = applied.settings;
    }
    return result;
}

FileResult FinishDueWork(CheckJournal &journal, Files &files, bool *settingsChanged, const QString &accountNo) {
    *settingsChanged = false;
    QList<DueWork> due;
    FileResult result = journal.LoadDueWork(due);
    for (qsizetype i = 0; result && i < due.size(); ++i) {
        CheckbookSettings before;
        if (!accountNo.isEmpty() && DecodeSettings(due[i].settingsBefore, before, nullptr) &&
            AccountDigits(before.AcctNo) != AccountDigits(accountNo)) {
            continue;
        }
        const Applied applied = applyDue(journal, files, due[i], due[i].id);
        *settingsChanged = *settingsChanged || applied.settingsChanged;
        result = applied.first();
    }
    return result;
}

FileResult ResolveRun(CheckJournal &journal, Files &files, const UnresolvedRun &run, const QList<PrintMark> &marks,
                      QDate today, int *requeued, bool *settingsChanged) {
    *requeued = 0;
    *settingsChanged = false;
    QByteArray again;
    for (qsizetype i = 0; i < marks.size(); ++i) {
        if (marks[i] == PrintMark::Spoiled) {
            again += run.records.mid(i * kRecordLength, kRecordLength);
        }
    }
    DueWork due = run.due;
    if (!again.isEmpty()) {
        const qint64 next = run.checks.isEmpty() ? 1 : run.checks.last().checkNo + 1;
        due.registerAfter = RenumberRecords(again + due.registerAfter, next);
    }
    qint64 dueId = 0;
    // Every form of the run came out one way or another: none is released.
    QList<PrintMark> all = marks;
    all.resize(run.checks.size(), PrintMark::Good);
    FileResult result = journal.EndRun(run.runId, all, today, due, &dueId);
    if (!result) {
        return result;
    }
    *requeued = static_cast<int>(again.size() / kRecordLength);
    const Applied applied = applyDue(journal, files, due, dueId);
    *settingsChanged = applied.settingsChanged;
    return applied.first();
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
    return applyDue(journal, files, due, dueId).first();
}
