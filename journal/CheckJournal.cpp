#include "journal/CheckJournal.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

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

// Version 3: the account's digits on runs and checks, checks "printing" from before the printer
// gets anything until the run's end is recorded, the file work a run's end will owe kept beside its
// intent, and what every export wrote. Numbers are matched by the digits alone from here on, so the
// old unique index on the typed account text goes: files that already hold one number twice (once
// voided, or under two spellings of the account) are kept as they are.
const char *const kVersion3[] = {
    "ALTER TABLE runs ADD COLUMN account_digits TEXT NOT NULL DEFAULT ''",
    "CREATE TABLE checks_v3("
    " id INTEGER PRIMARY KEY,"
    " run_id INTEGER NOT NULL REFERENCES runs(id),"
    " account_no TEXT NOT NULL,"
    " account_digits TEXT NOT NULL,"
    " check_no INTEGER NOT NULL,"
    " date_printed TEXT NOT NULL,"
    " payee TEXT NOT NULL,"
    " amount_cents INTEGER NOT NULL,"
    " memo TEXT NOT NULL,"
    " sheet INTEGER NOT NULL,"
    " slot INTEGER NOT NULL,"
    " status TEXT NOT NULL CHECK(status IN ('printing','issued','voided','reprinted')),"
    " void_reason TEXT,"
    " void_date TEXT,"
    " reprinted_as INTEGER)",
    "INSERT INTO checks_v3(id, run_id, account_no, account_digits, check_no, date_printed, payee, amount_cents, memo,"
    " sheet, slot, status, void_reason, void_date, reprinted_as)"
    " SELECT id, run_id, account_no, '', check_no, date_printed, payee, amount_cents, memo,"
    " sheet, slot, status, void_reason, void_date, reprinted_as FROM checks",
    "DROP TABLE checks",
    "ALTER TABLE checks_v3 RENAME TO checks",
    "CREATE INDEX checks_account_number ON checks(account_digits, check_no)",
    "CREATE INDEX checks_check_no ON checks(check_no)",
    "CREATE INDEX checks_date ON checks(date_printed)",
    "CREATE INDEX checks_payee ON checks(payee COLLATE NOCASE)",
    "CREATE INDEX checks_printing ON checks(run_id) WHERE status = 'printing'",
    "ALTER TABLE due_work ADD COLUMN run_id INTEGER",
    "ALTER TABLE due_work ADD COLUMN armed INTEGER NOT NULL DEFAULT 1",
    "ALTER TABLE due_work ADD COLUMN records BLOB NOT NULL DEFAULT x''",
    "DROP TABLE IF EXISTS write_probe",
    "CREATE TABLE exports("
    " id INTEGER PRIMARY KEY,"
    " exported_at TEXT NOT NULL,"
    " account_digits TEXT NOT NULL,"
    " layout TEXT NOT NULL,"
    " path TEXT NOT NULL,"
    " rows INTEGER NOT NULL)",
    "CREATE TABLE export_rows("
    " export_id INTEGER NOT NULL REFERENCES exports(id),"
    " check_id INTEGER NOT NULL REFERENCES checks(id),"
    " code TEXT NOT NULL)",
    "CREATE INDEX export_rows_check ON export_rows(check_id, code)",
};

// Version 4: the payee book, and the address printed with each check (empty for checks printed
// before addresses were printed). name_key holds the name without surrounding blanks in folded
// case, so that one payee cannot be in the book twice.
const char *const kVersion4[] = {
    "ALTER TABLE checks ADD COLUMN address TEXT NOT NULL DEFAULT ''",
    "CREATE TABLE payees("
    " id INTEGER PRIMARY KEY,"
    " name TEXT NOT NULL CHECK(length(name) BETWEEN 1 AND 25),"
    " name_key TEXT NOT NULL UNIQUE,"
    " address_1 TEXT NOT NULL DEFAULT '',"
    " address_2 TEXT NOT NULL DEFAULT '',"
    " address_3 TEXT NOT NULL DEFAULT '',"
    " address_4 TEXT NOT NULL DEFAULT '',"
    " memo TEXT NOT NULL DEFAULT '',"
    " notes TEXT NOT NULL DEFAULT '',"
    " last_used TEXT)",
};

QAtomicInteger<quint64> connectionCounter;

QString errnoText(int error = errno) {
    return QString::fromLocal8Bit(std::strerror(error));
}

QString sqlReason(const QSqlError &error) {
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.isEmpty() ? QStringLiteral("unknown database error") : text;
}

// SQLite reports a full disk as "database or disk is full", or as a plain I/O error when it meets
// it elsewhere; the person is told in plain words what to do about it.
QString withDiskSpace(const QString &reason, const QString &folder) {
    bool full = reason.contains(QStringLiteral("disk is full"), Qt::CaseInsensitive);
    if (!full && reason.contains(QStringLiteral("I/O error"), Qt::CaseInsensitive)) {
        struct statvfs space {};
        full = ::statvfs(QFile::encodeName(folder).constData(), &space) == 0 &&
               static_cast<unsigned long long>(space.f_bavail) * space.f_frsize < 64 * 1024;
    }
    return full ? reason + QStringLiteral(" (the disk is full: make room on it, then try again)") : reason;
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

QString statusText(const QString &status, const QString &reason) {
    if (status == QLatin1String("printing")) {
        return QStringLiteral("being printed in a run whose end was never recorded");
    }
    if (status == QLatin1String("voided")) {
        return reason.isEmpty() ? QStringLiteral("voided") : QStringLiteral("voided (%1)").arg(reason);
    }
    if (status == QLatin1String("reprinted")) {
        return QStringLiteral("spoiled and printed again");
    }
    return status;
}

// Why a path of the journal cannot be used as a file, or empty when it can (or does not exist).
QString notAFile(const QByteArray &name) {
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0) {
        return errno == ENOENT ? QString() : errnoText();
    }
    if (S_ISLNK(info.st_mode)) {
        return QStringLiteral("it is a symbolic link, which the journal never follows; remove the link");
    }
    if (!S_ISREG(info.st_mode)) {
        return QStringLiteral("it is a folder or other non-file; remove or rename it");
    }
    return QString();
}

bool exists(const QByteArray &name) {
    struct stat info {};
    return ::lstat(name.constData(), &info) == 0;
}

void syncFolder(const QString &folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Rolls back a transaction unless it was committed; every write of the journal goes through one.
class Transaction {
public:
    explicit Transaction(QSqlDatabase &db) : db_(db) {}
    ~Transaction() {
        if (active_) {
            QSqlQuery query(db_);
            query.exec(QStringLiteral("ROLLBACK"));
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool begin(QString *error) { return run(QStringLiteral("BEGIN IMMEDIATE"), error, true); }
    bool commit(QString *error) { return run(QStringLiteral("COMMIT"), error, false); }

private:
    bool run(const QString &statement, QString *error, bool activeAfter) {
        QSqlQuery query(db_);
        if (!query.exec(statement)) {
            *error = sqlReason(query.lastError());
            return false;
        }
        active_ = activeAfter;
        return true;
    }
    QSqlDatabase &db_;
    bool active_ = false;
};

} // namespace

QString AccountDigits(const QString &accountNo) {
    QString digits;
    for (const QChar c : accountNo) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits.append(c);
        }
    }
    return digits.isNull() ? QStringLiteral("") : digits;
}

CheckJournal::CheckJournal(QString folder, int busyMillis)
    : folder_(std::move(folder)),
      connection_(QStringLiteral("quillane-journal-%1").arg(connectionCounter.fetchAndAddRelaxed(1))),
      busyMillis_(busyMillis) {}

CheckJournal::~CheckJournal() {
    Close();
}

QString CheckJournal::Path() const {
    return QDir::toNativeSeparators(QDir(folder_).filePath(kJournalFolder + QLatin1Char('/') + kJournalFile));
}

QString CheckJournal::ConnectionName() const {
    return connection_;
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

FileResult CheckJournal::transact(const QString &what, const std::function<FileResult()> &body) {
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    Transaction transaction(db_);
    QString error;
    if (!transaction.begin(&error)) {
        return fail(what, error);
    }
    FileResult result = body();
    if (result && !transaction.commit(&error)) {
        return fail(what, error);
    }
    return result;
}

// The journal's folder (0700, never a link) and its files (never links or folders), with a journal
// an older program kept beside the settings moved in: its write-ahead file first, so that an
// interrupted move is finished at the next open and no committed write is left behind.
FileResult CheckJournal::prepareFolder() {
    const QString folder = QDir(folder_).filePath(kJournalFolder);
    const QByteArray folderName = QFile::encodeName(folder);
    const auto refuse = [this, &folder](const QString &reason) {
        return FileResult::Fail(QStringLiteral("The check journal %1 cannot be kept in its folder %2: %3.")
                                    .arg(Path(), QDir::toNativeSeparators(folder), reason));
    };
    struct stat info {};
    if (::lstat(folderName.constData(), &info) == 0) {
        if (S_ISLNK(info.st_mode)) {
            return refuse(QStringLiteral("it is a symbolic link, which the journal never follows; remove the link"));
        }
        if (!S_ISDIR(info.st_mode)) {
            return refuse(QStringLiteral("a file of that name is in the way; move it elsewhere"));
        }
        if ((info.st_mode & 0777) != 0700 && ::chmod(folderName.constData(), 0700) != 0) {
            return refuse(errnoText());
        }
    } else if (errno != ENOENT || ::mkdir(folderName.constData(), 0700) != 0) {
        return refuse(errnoText());
    }

    const QString path = QDir(folder).filePath(kJournalFile);
    const QString old = QDir(folder_).filePath(kJournalFile);
    const QByteArray name = QFile::encodeName(path);
    const QByteArray oldName = QFile::encodeName(old);
    if (!exists(name) && notAFile(oldName).isEmpty() && exists(oldName)) {
        const QByteArray oldWal = oldName + "-wal";
        const QByteArray wal = name + "-wal";
        if (exists(oldWal)) {
            if (exists(wal) || !notAFile(oldWal).isEmpty() || ::rename(oldWal.constData(), wal.constData()) != 0) {
                return fail(QStringLiteral("be moved into its folder from %1").arg(QDir::toNativeSeparators(old)),
                            exists(wal) ? QStringLiteral("both folders hold a write-ahead file; keep the one that "
                                                         "belongs to the journal and remove the other")
                                        : errnoText());
            }
        }
        if (notAFile(oldName + "-shm").isEmpty()) {
            ::unlink((oldName + "-shm").constData());
        }
        if (::rename(oldName.constData(), name.constData()) != 0) {
            return fail(QStringLiteral("be moved into its folder from %1").arg(QDir::toNativeSeparators(old)),
                        errnoText());
        }
        syncFolder(folder);
        syncFolder(folder_);
    }
    for (const char *suffix : {"", "-wal", "-shm"}) {
        const QString why = notAFile(name + suffix);
        if (!why.isEmpty()) {
            return FileResult::Fail(QStringLiteral("The check journal file %1 cannot be used: %2.")
                                        .arg(QDir::toNativeSeparators(path + QString::fromLatin1(suffix)), why));
        }
    }
    // Created empty and owner-only before SQLite sees it; SQLite gives its -wal file the same mode.
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd >= 0) {
        ::close(fd);
    } else if (errno != EEXIST) {
        return fail(QStringLiteral("be created"), errnoText());
    }
    if (::lstat(name.constData(), &info) != 0) {
        return fail(QStringLiteral("be opened"), errnoText());
    }
    if ((info.st_mode & S_IWUSR) == 0) {
        return fail(QStringLiteral("be opened for writing"),
                    QStringLiteral("the file is read-only; give yourself write permission to it (it stays readable "
                                   "to you alone) and try again"));
    }
    if ((info.st_mode & 0077) != 0) {
        ::chmod(name.constData(), info.st_mode & 0700);
    }
    return FileResult::Ok();
}

FileResult CheckJournal::Open() {
    if (IsOpen()) {
        return FileResult::Ok();
    }
    FileResult prepared = prepareFolder();
    if (!prepared) {
        return prepared;
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db_.setDatabaseName(QDir(folder_).filePath(kJournalFolder + QLatin1Char('/') + kJournalFile));
    db_.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyMillis_));
    if (!db_.open()) {
        const FileResult result = fail(QStringLiteral("be opened"), sqlReason(db_.lastError()));
        Close();
        return result;
    }
    QSqlQuery query(db_);
    const auto abandon = [this, &query](const QString &what) {
        const FileResult result = failQuery(what, query);
        Close();
        return result;
    };
    // Exclusive locking before the first access: the lock is held for as long as this connection
    // is open, and SQLite keeps the write-ahead index in memory instead of a -shm file. No other
    // program can then open the journal behind this one's back, whatever closes a descriptor.
    if (!query.exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"))) {
        return abandon(QStringLiteral("be opened"));
    }
    // A journal from a newer program is refused before anything of it changes.
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return abandon(QStringLiteral("be opened"));
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
        return abandon(QStringLiteral("be opened"));
    }
    if (query.value(0).toString().compare(QStringLiteral("wal"), Qt::CaseInsensitive) != 0) {
        const FileResult result =
            fail(QStringLiteral("be opened"), QStringLiteral("it cannot keep a write-ahead journal in its folder"));
        Close();
        return result;
    }
    query.finish();
    // Foreign keys stay off while a migration rebuilds a table others refer to.
    if (!query.exec(QStringLiteral("PRAGMA synchronous=FULL")) ||
        !query.exec(QStringLiteral("PRAGMA foreign_keys=OFF"))) {
        return abandon(QStringLiteral("be opened"));
    }
    FileResult migrated = migrate();
    if (!migrated) {
        Close();
        return migrated;
    }
    if (!query.exec(QStringLiteral("PRAGMA foreign_keys=ON"))) {
        return abandon(QStringLiteral("be opened"));
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
    const Step steps[] = {{1, kVersion1, std::size(kVersion1)},
                          {2, kVersion2, std::size(kVersion2)},
                          {3, kVersion3, std::size(kVersion3)},
                          {4, kVersion4, std::size(kVersion4)}};
    for (const Step &step : steps) {
        if (version >= step.to) {
            continue;
        }
        const QString what = QStringLiteral("be brought to schema version %1").arg(step.to);
        Transaction transaction(db_);
        QString error;
        if (!transaction.begin(&error)) {
            return fail(what, error);
        }
        QSqlQuery query(db_);
        for (size_t i = 0; i < step.count; ++i) {
            if (!query.exec(QLatin1String(step.statements[i]))) {
                return failQuery(what, query);
            }
        }
        if (step.to == 3) {
            // The digits of every account spelling the journal holds; accounts are few.
            QStringList accounts;
            if (!query.exec(QStringLiteral("SELECT account_no FROM runs UNION SELECT account_no FROM checks"))) {
                return failQuery(what, query);
            }
            while (query.next()) {
                accounts << query.value(0).toString();
            }
            for (const char *table : {"runs", "checks"}) {
                QSqlQuery fill(db_);
                fill.prepare(
                    QStringLiteral("UPDATE %1 SET account_digits = ? WHERE account_no = ?").arg(QLatin1String(table)));
                for (const QString &account : std::as_const(accounts)) {
                    fill.bindValue(0, AccountDigits(account));
                    fill.bindValue(1, account);
                    if (!fill.exec()) {
                        return failQuery(what, fill);
                    }
                }
            }
        }
        if (!query.exec(QStringLiteral("PRAGMA user_version=%1").arg(step.to))) {
            return failQuery(what, query);
        }
        if (!transaction.commit(&error)) {
            return fail(what, error);
        }
    }
    return FileResult::Ok();
}

FileResult CheckJournal::CheckNumbersFree(const QString &accountNo, qint64 first, qint64 count, bool *taken,
                                          qint64 *nextFree) {
    if (taken != nullptr) {
        *taken = false;
    }
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    return checkNumbersFree(accountNo, first, count, taken, nextFree);
}

FileResult CheckJournal::checkNumbersFree(const QString &accountNo, qint64 first, qint64 count, bool *taken,
                                          qint64 *nextFree) {
    const QString digits = AccountDigits(accountNo);
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT check_no, status, date_printed, void_reason FROM checks WHERE "
                                 "account_digits = ? AND check_no BETWEEN ? AND ? ORDER BY check_no, id LIMIT 1"));
    query.addBindValue(digits);
    query.addBindValue(first);
    query.addBindValue(first + count - 1);
    if (!query.exec()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    if (!query.next()) {
        return FileResult::Ok();
    }
    const qint64 number = query.value(0).toLongLong();
    const QString status = statusText(query.value(1).toString(), query.value(3).toString());
    const QString date = query.value(2).toString();
    query.finish();
    // The first number from `first` on with `count` free numbers after it.
    QSqlQuery used(db_);
    used.prepare(QStringLiteral("SELECT DISTINCT check_no FROM checks WHERE account_digits = ? AND check_no >= ? "
                                "ORDER BY check_no"));
    used.addBindValue(digits);
    used.addBindValue(first);
    if (!used.exec()) {
        return failQuery(QStringLiteral("be read"), used);
    }
    if (taken != nullptr) {
        *taken = true;
    }
    qint64 next = first;
    while (used.next()) {
        const qint64 usedNo = used.value(0).toLongLong();
        if (usedNo >= next + count) {
            break;
        }
        next = qMax(next, usedNo + 1);
    }
    return FileResult::Fail(
        QStringLiteral("Check No. %1 of account %2 is already in the check journal %3: %4 on %5. A number in the "
                       "journal is never used again.\r\nThe next free number is %6: set the next check number in "
                       "the checkbook setup to %6, or higher to match the first blank form in the printer.")
            .arg(number)
            .arg(accountNo, Path(), status, date)
            .arg(next));
}

FileResult CheckJournal::writeDue(const DueWork &due, qint64 runId, bool armed, const QByteArray &records,
                                  qint64 *dueId) {
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("INSERT INTO due_work(settings_before, settings_after, register_before, "
                                 "register_after, run_id, armed, records) VALUES(?, ?, ?, ?, ?, ?, ?)"));
    // A null QByteArray would bind as NULL; the columns hold empty blobs instead.
    for (const QByteArray &bytes : {due.settingsBefore, due.settingsAfter, due.registerBefore, due.registerAfter}) {
        query.addBindValue(bytes.isNull() ? QByteArray("") : bytes);
    }
    query.addBindValue(runId > 0 ? QVariant(runId) : QVariant());
    query.addBindValue(armed ? 1 : 0);
    query.addBindValue(records.isNull() ? QByteArray("") : records);
    if (!query.exec()) {
        return failQuery(QStringLiteral("be written"), query);
    }
    if (dueId != nullptr) {
        *dueId = query.lastInsertId().toLongLong();
    }
    return FileResult::Ok();
}

FileResult CheckJournal::writeIntent(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due,
                                     const QByteArray &records, qint64 *runId, const QStringList &addresses) {
    const QString what = QStringLiteral("record the checks about to be printed");
    if (!checks.isEmpty()) {
        const auto [low, high] =
            std::minmax_element(checks.cbegin(), checks.cend(),
                                [](const JournalCheck &a, const JournalCheck &b) { return a.checkNo < b.checkNo; });
        FileResult free = checkNumbersFree(run.accountNo, low->checkNo, high->checkNo - low->checkNo + 1);
        if (!free) {
            return free;
        }
    }
    const QString digits = AccountDigits(run.accountNo);
    QSqlQuery runs(db_);
    runs.prepare(QStringLiteral("INSERT INTO runs(printed_at, printer, style, account_no, bank_name, "
                                "checks_on_first_sheet, account_digits) VALUES(?, ?, ?, ?, ?, ?, ?)"));
    runs.addBindValue(run.printedAt.toString(kDateTimeFormat));
    runs.addBindValue(notNull(run.printer));
    runs.addBindValue(notNull(run.style));
    runs.addBindValue(notNull(run.accountNo));
    runs.addBindValue(notNull(run.bankName));
    runs.addBindValue(run.checksOnFirstSheet);
    runs.addBindValue(digits);
    if (!runs.exec()) {
        return failQuery(what, runs);
    }
    const qint64 id = runs.lastInsertId().toLongLong();
    QSqlQuery insert(db_);
    insert.prepare(QStringLiteral("INSERT INTO checks(run_id, account_no, account_digits, check_no, date_printed, "
                                  "payee, amount_cents, memo, sheet, slot, address, status) "
                                  "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 'printing')"));
    // A payee of the book is used when a check to it goes to the printer.
    QSqlQuery used(db_);
    used.prepare(QStringLiteral("UPDATE payees SET last_used = ? WHERE name_key = ?"));
    for (qsizetype i = 0; i < checks.size(); ++i) {
        const JournalCheck &check = checks[i];
        insert.bindValue(0, id);
        insert.bindValue(1, notNull(run.accountNo));
        insert.bindValue(2, digits);
        insert.bindValue(3, check.checkNo);
        insert.bindValue(4, check.datePrinted.toString(kDateFormat));
        insert.bindValue(5, notNull(check.payee));
        insert.bindValue(6, check.amountCents);
        insert.bindValue(7, notNull(check.memo));
        insert.bindValue(8, check.sheet);
        insert.bindValue(9, check.slot);
        insert.bindValue(10, notNull(addresses.value(i)));
        if (!insert.exec()) {
            return failQuery(what, insert);
        }
        used.bindValue(0, run.printedAt.toString(kDateTimeFormat));
        used.bindValue(1, PayeeKey(check.payee));
        if (!used.exec()) {
            return failQuery(what, used);
        }
    }
    FileResult written = writeDue(due, id, false, records, nullptr);
    if (written && runId != nullptr) {
        *runId = id;
    }
    return written;
}

FileResult CheckJournal::writeEnd(qint64 runId, const QList<PrintMark> &marks, QDate today, const DueWork &due,
                                  qint64 *dueId, const QList<QByteArray> &printedKeys) {
    const QString what = QStringLiteral("record the end of the print run");
    QSqlQuery checks(db_);
    checks.prepare(QStringLiteral("SELECT id, account_digits, payee, amount_cents, memo, check_no FROM checks "
                                  "WHERE run_id = ? AND status = 'printing' ORDER BY id"));
    checks.addBindValue(runId);
    if (!checks.exec()) {
        return failQuery(what, checks);
    }
    struct Printing {
        qint64 id;
        QString digits;
        QString payee;
        qint64 cents;
        QString memo;
        qint64 checkNo;
    };
    QList<Printing> printing;
    while (checks.next()) {
        printing.append({checks.value(0).toLongLong(), checks.value(1).toString(), checks.value(2).toString(),
                         checks.value(3).toLongLong(), checks.value(4).toString(), checks.value(5).toLongLong()});
    }
    checks.finish();
    if (printing.isEmpty()) {
        return fail(what, QStringLiteral("the run has no checks being printed any more"));
    }
    QSqlQuery marked(db_);
    marked.prepare(QStringLiteral("UPDATE checks SET status = ?, void_reason = ?, void_date = ? WHERE id = ?"));
    QSqlQuery again(db_);
    again.prepare(QStringLiteral("INSERT OR IGNORE INTO reprint_due(check_id) VALUES(?)"));
    QSqlQuery released(db_);
    released.prepare(QStringLiteral("DELETE FROM checks WHERE id = ?"));
    // A check printed again over a spoiled form marks that form reprinted; most runs have none waiting.
    QSqlQuery waiting(db_);
    if (!waiting.exec(QStringLiteral("SELECT EXISTS(SELECT 1 FROM reprint_due)")) || !waiting.next()) {
        return failQuery(what, waiting);
    }
    const bool anyWaiting = waiting.value(0).toBool();
    waiting.finish();
    QSqlQuery spoiled(db_);
    spoiled.prepare(QStringLiteral("SELECT r.check_id FROM reprint_due r JOIN checks c ON c.id = r.check_id "
                                   "WHERE c.account_digits = ? AND c.payee = ? AND c.amount_cents = ? AND c.memo = ? "
                                   "ORDER BY r.check_id LIMIT 1"));
    QSqlQuery reprinted(db_);
    reprinted.prepare(QStringLiteral("UPDATE checks SET status = 'reprinted', reprinted_as = ? WHERE id = ?"));
    QSqlQuery settled(db_);
    settled.prepare(QStringLiteral("DELETE FROM reprint_due WHERE check_id = ?"));
    for (qsizetype i = 0; i < printing.size(); ++i) {
        const Printing &check = printing[i];
        if (i >= marks.size()) {
            released.bindValue(0, check.id);
            if (!released.exec()) {
                return failQuery(what, released);
            }
            continue;
        }
        if (anyWaiting) {
            spoiled.bindValue(0, check.digits);
            spoiled.bindValue(1, check.payee);
            spoiled.bindValue(2, check.cents);
            spoiled.bindValue(3, check.memo);
            if (!spoiled.exec()) {
                return failQuery(what, spoiled);
            }
            if (spoiled.next()) {
                const qint64 form = spoiled.value(0).toLongLong();
                spoiled.finish();
                reprinted.bindValue(0, check.checkNo);
                reprinted.bindValue(1, form);
                settled.bindValue(0, form);
                if (!reprinted.exec() || !settled.exec()) {
                    return failQuery(what, reprinted.lastError().isValid() ? reprinted : settled);
                }
            }
        }
        const PrintMark mark = marks[i];
        marked.bindValue(0, mark == PrintMark::Good ? QStringLiteral("issued") : QStringLiteral("voided"));
        marked.bindValue(1, mark == PrintMark::Good      ? QVariant()
                            : mark == PrintMark::Spoiled ? QVariant(QStringLiteral("spoiled"))
                                                         : QVariant(QStringLiteral("void")));
        marked.bindValue(2, mark == PrintMark::Good ? QVariant() : QVariant(today.toString(kDateFormat)));
        marked.bindValue(3, check.id);
        if (!marked.exec()) {
            return failQuery(what, marked);
        }
        if (mark == PrintMark::Spoiled) {
            again.bindValue(0, check.id);
            if (!again.exec()) {
                return failQuery(what, again);
            }
        }
    }
    QSqlQuery cleared(db_);
    cleared.prepare(QStringLiteral("DELETE FROM due_work WHERE run_id = ? AND armed = 0"));
    cleared.addBindValue(runId);
    if (!cleared.exec()) {
        return failQuery(what, cleared);
    }
    if (marks.isEmpty()) {
        QSqlQuery gone(db_);
        gone.prepare(QStringLiteral("DELETE FROM runs WHERE id = ? AND NOT EXISTS(SELECT 1 FROM checks WHERE "
                                    "run_id = ?)"));
        gone.addBindValue(runId);
        gone.addBindValue(runId);
        if (!gone.exec()) {
            return failQuery(what, gone);
        }
    }
    QSqlQuery kept(db_);
    kept.prepare(
        QStringLiteral("UPDATE set_aside SET decision = 'printed' WHERE record_key = ? AND decision = 'keep'"));
    for (const QByteArray &key : printedKeys) {
        kept.bindValue(0, key);
        if (!kept.exec()) {
            return failQuery(what, kept);
        }
    }
    if (dueId != nullptr) {
        *dueId = 0;
    }
    if (due.settingsAfter.isEmpty() && due.registerBefore.isEmpty()) {
        return FileResult::Ok();
    }
    return writeDue(due, 0, true, {}, dueId);
}

FileResult CheckJournal::RecordIntent(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due,
                                      const QByteArray &records, qint64 *runId, const QStringList &addresses) {
    return transact(QStringLiteral("record the checks about to be printed"),
                    [&] { return writeIntent(run, checks, due, records, runId, addresses); });
}

FileResult CheckJournal::EndRun(qint64 runId, const QList<PrintMark> &marks, QDate today, const DueWork &due,
                                qint64 *dueId, const QList<QByteArray> &printedKeys) {
    return transact(QStringLiteral("record the end of the print run"),
                    [&] { return writeEnd(runId, marks, today, due, dueId, printedKeys); });
}

FileResult CheckJournal::RecordRun(const JournalRun &run, const QList<JournalCheck> &checks, const DueWork &due,
                                   qint64 *runId, qint64 *dueId, const QList<QByteArray> &printedKeys,
                                   const QStringList &addresses) {
    return transact(QStringLiteral("record the printed checks"), [&] {
        qint64 id = 0;
        FileResult result = writeIntent(run, checks, {}, {}, &id, addresses);
        if (result) {
            result = writeEnd(id, QList<PrintMark>(checks.size(), PrintMark::Good), {}, due, dueId, printedKeys);
        }
        if (result && runId != nullptr) {
            *runId = id;
        }
        return result;
    });
}

FileResult CheckJournal::LoadUnresolved(QList<UnresolvedRun> &runs) {
    runs.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    const QString what = QStringLiteral("be read");
    QSqlQuery ids(db_);
    if (!ids.exec(QStringLiteral("SELECT DISTINCT run_id FROM checks WHERE status = 'printing' ORDER BY run_id"))) {
        return failQuery(what, ids);
    }
    while (ids.next()) {
        UnresolvedRun run;
        run.runId = ids.value(0).toLongLong();
        runs.append(run);
    }
    QSqlQuery head(db_);
    head.prepare(QStringLiteral("SELECT printed_at, printer, style, account_no, bank_name, checks_on_first_sheet "
                                "FROM runs WHERE id = ?"));
    QSqlQuery checks(db_);
    checks.prepare(QStringLiteral("SELECT check_no, date_printed, payee, amount_cents, memo, sheet, slot FROM checks "
                                  "WHERE run_id = ? AND status = 'printing' ORDER BY id"));
    QSqlQuery due(db_);
    due.prepare(QStringLiteral("SELECT id, settings_before, settings_after, register_before, register_after, records "
                               "FROM due_work WHERE run_id = ? AND armed = 0 ORDER BY id LIMIT 1"));
    for (UnresolvedRun &run : runs) {
        for (QSqlQuery *query : {&head, &checks, &due}) {
            query->bindValue(0, run.runId);
            if (!query->exec()) {
                return failQuery(what, *query);
            }
        }
        if (head.next()) {
            run.run = {QDateTime::fromString(head.value(0).toString(), kDateTimeFormat),
                       head.value(1).toString(),
                       head.value(2).toString(),
                       head.value(3).toString(),
                       head.value(4).toString(),
                       head.value(5).toInt()};
        }
        while (checks.next()) {
            run.checks.append({checks.value(0).toLongLong(), QDate::fromString(checks.value(1).toString(), kDateFormat),
                               checks.value(2).toString(), checks.value(3).toLongLong(), checks.value(4).toString(),
                               checks.value(5).toInt(), checks.value(6).toInt()});
        }
        if (due.next()) {
            run.due = {due.value(0).toLongLong(), due.value(1).toByteArray(), due.value(2).toByteArray(),
                       due.value(3).toByteArray(), due.value(4).toByteArray()};
            run.records = due.value(5).toByteArray();
        }
        head.finish();
        due.finish();
    }
    return FileResult::Ok();
}

FileResult CheckJournal::RecordReview(qint64 runId, const QList<qint64> &checkNos, const QList<PrintMark> &marks,
                                      QDate today, const DueWork &due, qint64 *dueId) {
    const QString what = QStringLiteral("record the spoiled and void forms");
    return transact(what, [&]() -> FileResult {
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
                return failQuery(what, voided);
            }
            if (marks[i] == PrintMark::Spoiled) {
                again.bindValue(0, runId);
                again.bindValue(1, checkNos[i]);
                if (!again.exec()) {
                    return failQuery(what, again);
                }
            }
        }
        return writeDue(due, 0, true, {}, dueId);
    });
}

FileResult CheckJournal::LoadDueWork(QList<DueWork> &due) {
    due.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("SELECT id, settings_before, settings_after, register_before, register_after "
                                   "FROM due_work WHERE armed = 1 ORDER BY id"))) {
        return failQuery(QStringLiteral("be read"), query);
    }
    while (query.next()) {
        due.append({query.value(0).toLongLong(), query.value(1).toByteArray(), query.value(2).toByteArray(),
                    query.value(3).toByteArray(), query.value(4).toByteArray()});
    }
    return FileResult::Ok();
}

FileResult CheckJournal::ClearDueWork(qint64 id) {
    const QString what = QStringLiteral("be written");
    return transact(what, [&]() -> FileResult {
        QSqlQuery query(db_);
        query.prepare(QStringLiteral("DELETE FROM due_work WHERE id = ? AND armed = 1"));
        query.addBindValue(id);
        return query.exec() ? FileResult::Ok() : failQuery(what, query);
    });
}

FileResult CheckJournal::VoidCheck(qint64 checkId, const QString &reason, QDate date) {
    const QString what = QStringLiteral("record the void");
    return transact(what, [&]() -> FileResult {
        QSqlQuery check(db_);
        check.prepare(QStringLiteral("SELECT check_no, date_printed, status FROM checks WHERE id = ?"));
        check.addBindValue(checkId);
        if (!check.exec()) {
            return failQuery(what, check);
        }
        if (!check.next()) {
            return FileResult::Fail(
                QStringLiteral("The check to void is not in the check journal %1 any more; show the history again.")
                    .arg(Path()));
        }
        const QString number = check.value(0).toString();
        const QDate printed = QDate::fromString(check.value(1).toString(), kDateFormat);
        const QString status = check.value(2).toString();
        check.finish();
        const QString cannot = QStringLiteral("Check No. %1 cannot be voided: ").arg(number);
        if (reason.trimmed().isEmpty()) {
            return FileResult::Fail(cannot + QStringLiteral("the reason is blank. Type why the check is voided."));
        }
        if (!date.isValid()) {
            return FileResult::Fail(cannot +
                                    QStringLiteral("the void date is not a date. Type the date it was voided."));
        }
        if (printed.isValid() && date < printed) {
            return FileResult::Fail(cannot + QStringLiteral("the void date %1 is before the check was printed on %2. "
                                                            "Type a date on or after %2.")
                                                 .arg(date.toString(kDateFormat), printed.toString(kDateFormat)));
        }
        if (status != QLatin1String("issued")) {
            return FileResult::Fail(cannot + QStringLiteral("it is %1, not issued.").arg(statusText(status, {})));
        }
        QSqlQuery voided(db_);
        voided.prepare(QStringLiteral("UPDATE checks SET status = 'voided', void_reason = ?, void_date = ? "
                                      "WHERE id = ? AND status = 'issued'"));
        voided.addBindValue(reason.trimmed());
        voided.addBindValue(date.toString(kDateFormat));
        voided.addBindValue(checkId);
        return voided.exec() ? FileResult::Ok() : failQuery(what, voided);
    });
}

FileResult CheckJournal::RecordExport(const ExportLog &log) {
    const QString what = QStringLiteral("record the export to %1").arg(QDir::toNativeSeparators(log.path));
    return transact(what, [&]() -> FileResult {
        QSqlQuery exported(db_);
        exported.prepare(QStringLiteral("INSERT INTO exports(exported_at, account_digits, layout, path, rows) "
                                        "VALUES(?, ?, ?, ?, ?)"));
        exported.addBindValue(log.when.toString(kDateTimeFormat));
        exported.addBindValue(notNull(log.accountDigits));
        exported.addBindValue(notNull(log.layout));
        exported.addBindValue(notNull(log.path));
        exported.addBindValue(log.checkIds.size());
        if (!exported.exec()) {
            return failQuery(what, exported);
        }
        const qint64 id = exported.lastInsertId().toLongLong();
        QSqlQuery row(db_);
        row.prepare(QStringLiteral("INSERT INTO export_rows(export_id, check_id, code) VALUES(?, ?, ?)"));
        for (qsizetype i = 0; i < log.checkIds.size(); ++i) {
            row.bindValue(0, id);
            row.bindValue(1, log.checkIds[i]);
            row.bindValue(2, QString(log.codes.value(i, QLatin1Char('I'))));
            if (!row.exec()) {
                return failQuery(what, row);
            }
        }
        return FileResult::Ok();
    });
}

FileResult CheckJournal::HoldsPrinted(const QString &accountNo, const JournalCheck &content, qint64 checkNo,
                                      const QDateTime &printedSince, bool *held) {
    *held = false;
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT EXISTS(SELECT 1 FROM checks c JOIN runs r ON r.id = c.run_id WHERE "
                                 "c.account_digits = ? AND c.payee = ? AND c.amount_cents = ? AND c.memo = ? AND "
                                 "c.status IN ('issued', 'voided', 'reprinted') AND "
                                 "(c.check_no = ? OR r.printed_at >= ?))"));
    query.addBindValue(AccountDigits(accountNo));
    query.addBindValue(notNull(content.payee));
    query.addBindValue(content.amountCents);
    query.addBindValue(notNull(content.memo));
    query.addBindValue(checkNo);
    // An invalid time matches no run: the number alone tells.
    query.addBindValue(printedSince.isValid() ? printedSince.toString(kDateTimeFormat) : QStringLiteral("~"));
    if (!query.exec() || !query.next()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    *held = query.value(0).toBool();
    return FileResult::Ok();
}

QString PrintedContentKey(const QString &payee, qint64 amountCents, const QString &memo) {
    return payee + QChar(0x1F) + QString::number(amountCents) + QChar(0x1F) + memo;
}

FileResult CheckJournal::LoadPrintedContents(const QString &accountNo, QSet<QString> *contents) {
    contents->clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    query.setForwardOnly(true);
    query.prepare(QStringLiteral("SELECT DISTINCT payee, amount_cents, memo FROM checks WHERE account_digits = ? AND "
                                 "status IN ('issued', 'voided', 'reprinted')"));
    query.addBindValue(AccountDigits(accountNo));
    if (!query.exec()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    while (query.next()) {
        contents->insert(
            PrintedContentKey(query.value(0).toString(), query.value(1).toLongLong(), query.value(2).toString()));
    }
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
    return transact(what, [&]() -> FileResult {
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
                return failQuery(what, query);
            }
        }
        return FileResult::Ok();
    });
}

FileResult CheckJournal::LoadChecks(QList<Row> &rows) {
    rows.clear();
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral(
            "SELECT run_id, check_no, date_printed, payee, amount_cents, memo, sheet, slot, account_no, status, "
            "void_reason, void_date, reprinted_as, id, address FROM checks ORDER BY id"))) {
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
        row.id = query.value(13).toLongLong();
        row.address = query.value(14).toString();
        rows.append(row);
    }
    return FileResult::Ok();
}
