#include "journal/CheckJournal.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// Version 1: runs and checks without sheet and slot.
const char *const kVersion1[] = {
    "CREATE TABLE runs("
    " id INTEGER PRIMARY KEY,"
    " printed_at TEXT NOT NULL,"
    " printer TEXT NOT NULL,"
    " style TEXT NOT NULL,"
    " account_no TEXT NOT NULL,"
    " bank_name TEXT NOT NULL,"
    " checks_on_first_sheet INTEGER NOT NULL)",
    "CREATE TABLE checks("
    " id INTEGER PRIMARY KEY,"
    " run_id INTEGER NOT NULL REFERENCES runs(id),"
    " account_no TEXT NOT NULL,"
    " check_no INTEGER NOT NULL,"
    " date_printed TEXT NOT NULL,"
    " payee TEXT NOT NULL,"
    " amount_cents INTEGER NOT NULL,"
    " memo TEXT NOT NULL,"
    " status TEXT NOT NULL CHECK(status IN ('issued','voided','reprinted')),"
    " void_reason TEXT,"
    " void_date TEXT,"
    " reprinted_as INTEGER)",
    "CREATE UNIQUE INDEX checks_issued_number ON checks(account_no, check_no) WHERE status = 'issued'",
    "CREATE INDEX checks_check_no ON checks(check_no)",
    "CREATE INDEX checks_date ON checks(date_printed)",
    "CREATE INDEX checks_payee ON checks(payee COLLATE NOCASE)",
};

// Version 2: sheet and slot of every check (0 for checks printed before they were kept), the
// pending records set aside, the work a run still owes and the spoiled forms awaiting a reprint.
const char *const kVersion2[] = {
    "CREATE TABLE checks_v2("
    " id INTEGER PRIMARY KEY,"
    " run_id INTEGER NOT NULL REFERENCES runs(id),"
    " account_no TEXT NOT NULL,"
    " check_no INTEGER NOT NULL,"
    " date_printed TEXT NOT NULL,"
    " payee TEXT NOT NULL,"
    " amount_cents INTEGER NOT NULL,"
    " memo TEXT NOT NULL,"
    " sheet INTEGER NOT NULL,"
    " slot INTEGER NOT NULL,"
    " status TEXT NOT NULL CHECK(status IN ('issued','voided','reprinted')),"
    " void_reason TEXT,"
    " void_date TEXT,"
    " reprinted_as INTEGER)",
    "INSERT INTO checks_v2(id, run_id, account_no, check_no, date_printed, payee, amount_cents, memo, sheet, slot,"
    " status, void_reason, void_date, reprinted_as)"
    " SELECT id, run_id, account_no, check_no, date_printed, payee, amount_cents, memo, 0, 0,"
    " status, void_reason, void_date, reprinted_as FROM checks",
    "DROP TABLE checks",
    "ALTER TABLE checks_v2 RENAME TO checks",
    "CREATE UNIQUE INDEX checks_issued_number ON checks(account_no, check_no) WHERE status = 'issued'",
    "CREATE INDEX checks_check_no ON checks(check_no)",
    "CREATE INDEX checks_date ON checks(date_printed)",
    "CREATE INDEX checks_payee ON checks(payee COLLATE NOCASE)",
    "CREATE TABLE set_aside("
    " record_key BLOB NOT NULL,"
    " backup_id TEXT NOT NULL,"
    " check_no TEXT NOT NULL,"
    " decision TEXT NOT NULL CHECK(decision IN ('discard','keep','printed')),"
    " decided_at TEXT NOT NULL,"
    " PRIMARY KEY(record_key, backup_id))",
    "CREATE TABLE due_work("
    " id INTEGER PRIMARY KEY,"
    " settings_before BLOB NOT NULL,"
    " settings_after BLOB NOT NULL,"
    " register_before BLOB NOT NULL,"
    " register_after BLOB NOT NULL)",
    "CREATE TABLE reprint_due(check_id INTEGER PRIMARY KEY REFERENCES checks(id))",
    "CREATE TABLE write_probe(id INTEGER PRIMARY KEY, written INTEGER NOT NULL)",
};

QAtomicInteger<quint64> connectionCounter;

QString errnoText() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString sqlReason(const QSqlError &error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

// SQLite reports a full disk met while it maps its shared-memory file as a plain I/O error; the
// free space of the folder tells the person what it was.
QString withDiskSpace(const QString &reason, const QString &folder) {
    if (!reason.contains(QStringLiteral("I/O error"), Qt::CaseInsensitive)) {
        return reason;
    }
    struct statvfs space {};
    if (::statvfs(QFile::encodeName(folder).constData(), &space) == 0 &&
        static_cast<unsigned long long>(space.f_bavail) * space.f_frsize < 64 * 1024) {
        return reason + QStringLiteral(" (the disk is full)");
    }
    return reason;
}

// A null QString binds as NULL; the journal's text columns hold empty text instead.
QString notNull(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

QString decisionText(SetAsideDecision decision) {
    switch (decision) {
    case SetAsideDecision::Discard:
        return QStringLiteral("discard");
    case SetAsideDecision::Keep:
        return QStringLiteral("keep");
    case SetAsideDecision::Printed:
        return QStringLiteral("printed");
    case SetAsideDecision::None:
        break;
    }
    return QString();
}

void ownerOnly(const QString &path) {
    const QByteArray name = QFile::encodeName(path);
    if (::access(name.constData(), F_OK) == 0) {
        ::chmod(name.constData(), S_IRUSR | S_IWUSR);
    }
}

} // namespace

CheckJournal::CheckJournal(QString folder, int busyMillis)
    : folder_(std::move(folder)),
      connection_(QStringLiteral("quillane-journal-%1").arg(connectionCounter.fetchAndAddRelaxed(1))),
      busyMillis_(busyMillis) {}

CheckJournal::~CheckJournal() {
    Close();
}

QString CheckJournal::Path() const {
    return QDir::toNativeSeparators(QDir(folder_).filePath(kJournalFile));
}

bool CheckJournal::IsOpen() const {
    return db_.isValid() && db_.isOpen();
}

void CheckJournal::Close() {
    if (!db_.isValid()) {
        return;
    }
    db_.close();
    db_ = QSqlDatabase();
    QSqlDatabase::removeDatabase(connection_);
}

FileResult CheckJournal::fail(const QString &what, const QString &reason) const {
    return FileResult::Fail(
        QStringLiteral("The check journal %1 could not %2: %3.").arg(Path(), what, withDiskSpace(reason, folder_)));
}

FileResult CheckJournal::failQuery(const QString &what, const QSqlQuery &query) const {
    return fail(what, sqlReason(query.lastError()));
}

FileResult CheckJournal::Open() {
    if (IsOpen()) {
        return FileResult::Ok();
    }
    const QString path = QDir(folder_).filePath(kJournalFile);
    const QByteArray name = QFile::encodeName(path);
    // Created empty and owner-only before SQLite sees it; SQLite gives its -wal and -shm files the
    // same mode.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) {
        ::close(fd);
    } else if (errno != EEXIST) {
        return fail(QStringLiteral("be created"), errnoText());
    }
    ownerOnly(path);

    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(path);
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyMillis_));
    if (!db_.open()) {
        const FileResult result = fail(QStringLiteral("be opened"), sqlReason(db_.lastError()));
        Close();
        return result;
    }
    QSqlQuery query(db_);
    // A journal from a newer program is refused before anything of it changes, even its mode.
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        const FileResult result = failQuery(QStringLiteral("be opened"), query);
        Close();
        return result;
    }
    if (const int version = query.value(0).toInt(); version > kJournalVersion) {
        const FileResult result =
            fail(QStringLiteral("be used"),
                 QStringLiteral("it was written by a newer Quillane (schema version %1; this one knows %2)")
                     .arg(version)
                     .arg(kJournalVersion));
        Close();
        return result;
    }
    query.finish();
    if (!query.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !query.next()) {
        const FileResult result = failQuery(QStringLiteral("be opened"), query);
        Close();
        return result;
    }
    if (query.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0) {
        const FileResult result =
            fail(QStringLiteral("be opened"), QStringLiteral("it cannot keep a write-ahead journal in its folder"));
        Close();
        return result;
    }
    for (const char *pragma : {"PRAGMA synchronous=FULL", "PRAGMA foreign_keys=ON"}) {
        if (!query.exec(QLatin1String(pragma))) {
            const FileResult result = failQuery(QStringLiteral("be opened"), query);
            Close();
            return result;
        }
    }
    FileResult migrated = migrate();
    if (!migrated) {
        Close();
        return migrated;
    }
    for (const char *suffix : {"-wal", "-shm"}) {
        ownerOnly(path + QLatin1String(suffix));
    }
    return FileResult::Ok();
}

int CheckJournal::SchemaVersion() {
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return -1;
    }
    return query.value(0).toInt();
}

bool CheckJournal::begin(QString *error) {
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        *error = sqlReason(query.lastError());
        return false;
    }
    return true;
}

namespace {

// Commits, or rolls back and gives the reason.
bool commit(QSqlDatabase &db, QString *error) {
    QSqlQuery query(db);
    if (query.exec(QStringLiteral("COMMIT"))) {
        return true;
    }
    *error = sqlReason(query.lastError());
    query.exec(QStringLiteral("ROLLBACK"));
    return false;
}

void rollback(QSqlDatabase &db) {
    QSqlQuery query(db);
    query.exec(QStringLiteral("ROLLBACK"));
}

} // namespace

FileResult CheckJournal::migrate() {
    const int version = SchemaVersion();
    if (version < 0) {
        QSqlQuery probe(db_);
        probe.exec(QStringLiteral("PRAGMA user_version"));
        return failQuery(QStringLiteral("be read"), probe);
    }
    struct Step {
        int to;
        const char *const *statements;
        size_t count;
    };
    const Step steps[] = {{1, kVersion1, std::size(kVersion1)}, {2, kVersion2, std::size(kVersion2)}};
    for (const Step &step : steps) {
        if (version >= step.to) {
            continue;
        }
        QString error;
        if (!begin(&error)) {
            return fail(QStringLiteral("be brought to schema version %1").arg(step.to), error);
        }
        QSqlQuery query(db_);
        for (size_t i = 0; i < step.count; ++i) {
            if (!query.exec(QLatin1String(step.statements[i]))) {
                const FileResult result =
                    failQuery(QStringLiteral("be brought to schema version %1").arg(step.to), query);
                rollback(db_);
                return result;
            }
        }
        if (!query.exec(QStringLiteral("PRAGMA user_version=%1").arg(step.to)) || !commit(db_, &error)) {
            if (error.isEmpty()) {
                error = sqlReason(query.lastError());
                rollback(db_);
            }
            return fail(QStringLiteral("be brought to schema version %1").arg(step.to), error);
        }
    }
    return FileResult::Ok();
}

FileResult CheckJournal::CheckWritable() {
    const QString what = QStringLiteral("be written");
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QString error;
    if (!begin(&error)) {
        return fail(what, error);
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO write_probe(id, written) VALUES(1, ?)"));
    query.addBindValue(QDateTime::currentMSecsSinceEpoch());
    if (!query.exec()) {
        const FileResult result = failQuery(what, query);
        rollback(db_);
        return result;
    }
    if (!commit(db_, &error)) {
        return fail(what, error);
    }
    return FileResult::Ok();
}

FileResult CheckJournal::CheckNumbersFree(const QString &accountNo, qint64 first, qint64 count) {
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT check_no, date_printed FROM checks WHERE account_no = ? AND status = "
                                 "'issued' AND check_no BETWEEN ? AND ? ORDER BY check_no LIMIT 1"));
    query.addBindValue(notNull(accountNo));
    query.addBindValue(first);
    query.addBindValue(first + count - 1);
    if (!query.exec()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    if (query.next()) {
        return FileResult::Fail(QStringLiteral("Check No. %1 of account %2 was already issued on %3 (check journal "
                                               "%4).\r\nSet the next check number in the checkbook setup to the "
                                               "number of the first blank form in the printer.")
                                    .arg(query.value(0).toLongLong())
                                    .arg(accountNo, query.value(1).toString(), Path()));
    }
    return FileResult::Ok();
}

FileResult CheckJournal::writeDue(const DueWork &due, qint64 *dueId) {
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("INSERT INTO due_work(settings_before, settings_after, register_before, "
                                 "register_after) VALUES(?, ?, ?, ?)"));
    // A null QByteArray would bind as NULL; the columns hold empty blobs instead.
    for (const QByteArray &bytes : {due.settingsBefore, due.settingsAfter, due.registerBefore, due.registerAfter}) {
        query.addBindValue(bytes.isNull() ? QByteArray("") : bytes);
    }
    if (!query.exec()) {
        return failQuery(QStringLiteral("be written"), query);
    }
    if (dueId != nullptr) {
        *dueId = query.lastInsertId().toLongLong();
    }
    return FileResult::Ok();
}

FileResult CheckJournal::RecordRun(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due,
                                   qint64 *runId, qint64 *dueId, const QList<QByteArray> &printedKeys) {
    const QString what = QStringLiteral("record the printed checks");
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QString error;
    if (!begin(&error)) {
        return fail(what, error);
    }
    auto abandon = [this, &what](const QSqlQuery &query) {
        const FileResult result = failQuery(what, query);
        rollback(db_);
        return result;
    };
    QSqlQuery runs(db_);
    runs.prepare(QStringLiteral("INSERT INTO runs(printed_at, printer, style, account_no, bank_name, "
                                "checks_on_first_sheet) VALUES(?, ?, ?, ?, ?, ?)"));
    runs.addBindValue(run.printedAt.toString(kDateTimeFormat));
    runs.addBindValue(notNull(run.printer));
    runs.addBindValue(notNull(run.style));
    runs.addBindValue(notNull(run.accountNo));
    runs.addBindValue(notNull(run.bankName));
    runs.addBindValue(run.checksOnFirstSheet);
    if (!runs.exec()) {
        return abandon(runs);
    }
    const qint64 id = runs.lastInsertId().toLongLong();

    QSqlQuery insert(db_);
    insert.prepare(
        QStringLiteral("INSERT INTO checks(run_id, account_no, check_no, date_printed, payee, "
                       "amount_cents, memo, sheet, slot, status) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, 'issued')"));
    QSqlQuery spoiled(db_);
    spoiled.prepare(QStringLiteral("SELECT r.check_id FROM reprint_due r JOIN checks c ON c.id = r.check_id "
                                   "WHERE c.account_no = ? AND c.payee = ? AND c.amount_cents = ? AND c.memo = ? "
                                   "ORDER BY r.check_id LIMIT 1"));
    QSqlQuery reprinted(db_);
    reprinted.prepare(QStringLiteral("UPDATE checks SET status = 'reprinted', reprinted_as = ? WHERE id = ?"));
    QSqlQuery settled(db_);
    settled.prepare(QStringLiteral("DELETE FROM reprint_due WHERE check_id = ?"));
    // Spoiled forms waiting for their check to print again are few; most runs have none.
    QSqlQuery waiting(db_);
    if (!waiting.exec(QStringLiteral("SELECT EXISTS(SELECT 1 FROM reprint_due)")) || !waiting.next()) {
        return abandon(waiting);
    }
    const bool anyWaiting = waiting.value(0).toBool();
    waiting.finish();
    for (const JournalCheck &check : checks) {
        insert.bindValue(0, id);
        insert.bindValue(1, notNull(run.accountNo));
        insert.bindValue(2, check.checkNo);
        insert.bindValue(3, check.datePrinted.toString(kDateFormat));
        insert.bindValue(4, notNull(check.payee));
        insert.bindValue(5, check.amountCents);
        insert.bindValue(6, notNull(check.memo));
        insert.bindValue(7, check.sheet);
        insert.bindValue(8, check.slot);
        if (!insert.exec()) {
            return abandon(insert);
        }
        if (!anyWaiting) {
            continue;
        }
        spoiled.bindValue(0, notNull(run.accountNo));
        spoiled.bindValue(1, notNull(check.payee));
        spoiled.bindValue(2, check.amountCents);
        spoiled.bindValue(3, notNull(check.memo));
        if (!spoiled.exec()) {
            return abandon(spoiled);
        }
        if (spoiled.next()) {
            const qint64 form = spoiled.value(0).toLongLong();
            spoiled.finish();
            reprinted.bindValue(0, check.checkNo);
            reprinted.bindValue(1, form);
            settled.bindValue(0, form);
            if (!reprinted.exec()) {
                return abandon(reprinted);
            }
            if (!settled.exec()) {
                return abandon(settled);
            }
        }
    }
    QSqlQuery kept(db_);
    kept.prepare(
        QStringLiteral("UPDATE set_aside SET decision = 'printed' WHERE record_key = ? AND decision = 'keep'"));
    for (const QByteArray &key : printedKeys) {
        kept.bindValue(0, key);
        if (!kept.exec()) {
            return abandon(kept);
        }
    }
    FileResult written = writeDue(due, dueId);
    if (!written) {
        rollback(db_);
        return written;
    }
    if (!commit(db_, &error)) {
        return fail(what, error);
    }
    if (runId != nullptr) {
        *runId = id;
    }
    return FileResult::Ok();
}

FileResult CheckJournal::RecordReview(qint64 runId, const QList<qint64> &checkNos, const QList<PrintMark> &marks,
                                      QDate today, const DueWork &due, qint64 *dueId) {
    const QString what = QStringLiteral("record the spoiled and void forms");
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QString error;
    if (!begin(&error)) {
        return fail(what, error);
    }
    QSqlQuery voided(db_);
    voided.prepare(QStringLiteral("UPDATE checks SET status = 'voided', void_reason = ?, void_date = ? "
                                  "WHERE run_id = ? AND check_no = ? AND status = 'issued'"));
    QSqlQuery again(db_);
    again.prepare(QStringLiteral("INSERT OR IGNORE INTO reprint_due(check_id) SELECT id FROM checks "
                                 "WHERE run_id = ? AND check_no = ?"));
    for (qsizetype i = 0; i < checkNos.size() && i < marks.size(); ++i) {
        if (marks[i] == PrintMark::Good) {
            continue;
        }
        voided.bindValue(0, marks[i] == PrintMark::Spoiled ? QStringLiteral("spoiled") : QStringLiteral("void"));
        voided.bindValue(1, today.toString(kDateFormat));
        voided.bindValue(2, runId);
        voided.bindValue(3, checkNos[i]);
        if (!voided.exec()) {
            const FileResult result = failQuery(what, voided);
            rollback(db_);
            return result;
        }
        if (marks[i] == PrintMark::Spoiled) {
            again.bindValue(0, runId);
            again.bindValue(1, checkNos[i]);
            if (!again.exec()) {
                const FileResult result = failQuery(what, again);
                rollback(db_);
                return result;
            }
        }
    }
    FileResult written = writeDue(due, dueId);
    if (!written) {
        rollback(db_);
        return written;
    }
    if (!commit(db_, &error)) {
        return fail(what, error);
    }
    return FileResult::Ok();
}

FileResult CheckJournal::LoadDueWork(QList<DueWork> &due) {
    due.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("SELECT id, settings_before, settings_after, register_before, register_after "
                                   "FROM due_work ORDER BY id"))) {
        return failQuery(QStringLiteral("be read"), query);
    }
    while (query.next()) {
        due.append({query.value(0).toLongLong(), query.value(1).toByteArray(), query.value(2).toByteArray(),
                    query.value(3).toByteArray(), query.value(4).toByteArray()});
    }
    return FileResult::Ok();
}

FileResult CheckJournal::ClearDueWork(qint64 id) {
    QString error;
    if (!begin(&error)) {
        return fail(QStringLiteral("be written"), error);
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("DELETE FROM due_work WHERE id = ?"));
    query.addBindValue(id);
    if (!query.exec()) {
        const FileResult result = failQuery(QStringLiteral("be written"), query);
        rollback(db_);
        return result;
    }
    if (!commit(db_, &error)) {
        return fail(QStringLiteral("be written"), error);
    }
    return FileResult::Ok();
}

FileResult CheckJournal::HoldsPrinted(const QString &accountNo, qint64 checkNo, const QString &payee,
                                      qint64 amountCents, const QString &memo, bool *held) {
    *held = false;
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT EXISTS(SELECT 1 FROM checks WHERE account_no = ? AND check_no = ? AND "
                                 "payee = ? AND amount_cents = ? AND memo = ? AND "
                                 "status IN ('issued', 'voided', 'reprinted'))"));
    query.addBindValue(notNull(accountNo));
    query.addBindValue(checkNo);
    query.addBindValue(notNull(payee));
    query.addBindValue(amountCents);
    query.addBindValue(notNull(memo));
    if (!query.exec() || !query.next()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    *held = query.value(0).toBool();
    return FileResult::Ok();
}

FileResult CheckJournal::LoadSetAside(const QByteArray &recordKey, const QString &backupId,
                                      SetAsideDecision *decision) {
    *decision = SetAsideDecision::None;
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT decision FROM set_aside WHERE record_key = ? AND backup_id = ?"));
    query.addBindValue(recordKey);
    query.addBindValue(notNull(backupId));
    if (!query.exec()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    if (query.next()) {
        const QString text = query.value(0).toString();
        for (SetAsideDecision known : {SetAsideDecision::Discard, SetAsideDecision::Keep, SetAsideDecision::Printed}) {
            if (text == decisionText(known)) {
                *decision = known;
            }
        }
    }
    return FileResult::Ok();
}

FileResult CheckJournal::RememberSetAside(const QList<QByteArray> &recordKeys, const QList<QString> &checkNos,
                                          const QString &backupId, SetAsideDecision decision, const QDateTime &when) {
    const QString what = QStringLiteral("record the checks set aside");
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QString error;
    if (!begin(&error)) {
        return fail(what, error);
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("INSERT OR REPLACE INTO set_aside(record_key, backup_id, check_no, decision, "
                                 "decided_at) VALUES(?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < recordKeys.size(); ++i) {
        query.bindValue(0, recordKeys[i]);
        query.bindValue(1, notNull(backupId));
        query.bindValue(2, notNull(checkNos.value(i)));
        query.bindValue(3, decisionText(decision));
        query.bindValue(4, notNull(when.toString(kDateTimeFormat)));
        if (!query.exec()) {
            const FileResult result = failQuery(what, query);
            rollback(db_);
            return result;
        }
    }
    if (!commit(db_, &error)) {
        return fail(what, error);
    }
    return FileResult::Ok();
}

FileResult CheckJournal::LoadChecks(QList<Row> &rows) {
    rows.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    if (!query.exec(
            QStringLiteral("SELECT run_id, check_no, date_printed, payee, amount_cents, memo, sheet, slot, "
                           "account_no, status, void_reason, void_date, reprinted_as FROM checks ORDER BY id"))) {
        return failQuery(QStringLiteral("be read"), query);
    }
    while (query.next()) {
        Row row;
        row.runId = query.value(0).toLongLong();
        row.check.checkNo = query.value(1).toLongLong();
        row.check.datePrinted = QDate::fromString(query.value(2).toString(), kDateFormat);
        row.check.payee = query.value(3).toString();
        row.check.amountCents = query.value(4).toLongLong();
        row.check.memo = query.value(5).toString();
        row.check.sheet = query.value(6).toInt();
        row.check.slot = query.value(7).toInt();
        row.accountNo = query.value(8).toString();
        row.status = query.value(9).toString();
        row.voidReason = query.value(10).toString();
        row.voidDate = query.value(11).toString();
        row.reprintedAs = query.value(12).toLongLong();
        rows.append(row);
    }
    return FileResult::Ok();
}
