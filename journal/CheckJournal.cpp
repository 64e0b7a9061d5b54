#include "journal/CheckJournal.h"

#include <QAtomicInteger>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QScopedValueRollback>
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

// Version 5: who did what (the operating-system user and the computer) on runs, marks, voids and
// exports; the station (user, computer and program folder) whose file work and unfinished runs are
// its own; checks awaiting a second person's approval, which have neither run nor number yet; and
// the approval limit of each account.
const char *const kVersion5[] = {
    "ALTER TABLE runs ADD COLUMN os_user TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE runs ADD COLUMN host TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE runs ADD COLUMN station TEXT NOT NULL DEFAULT ''",
    "CREATE TABLE checks_v5("
    " id INTEGER PRIMARY KEY,"
    " run_id INTEGER REFERENCES runs(id),"
    " account_no TEXT NOT NULL,"
    " account_digits TEXT NOT NULL,"
    " check_no INTEGER,"
    " date_printed TEXT NOT NULL,"
    " payee TEXT NOT NULL,"
    " amount_cents INTEGER NOT NULL,"
    " memo TEXT NOT NULL,"
    " sheet INTEGER NOT NULL,"
    " slot INTEGER NOT NULL,"
    " status TEXT NOT NULL CHECK(status IN ('awaiting','approved','printing','issued','voided','reprinted')),"
    " void_reason TEXT,"
    " void_date TEXT,"
    " reprinted_as INTEGER,"
    " address TEXT NOT NULL DEFAULT '',"
    " marked_by TEXT NOT NULL DEFAULT '',"
    " marked_host TEXT NOT NULL DEFAULT '',"
    " requested_by TEXT NOT NULL DEFAULT '',"
    " requested_host TEXT NOT NULL DEFAULT '',"
    " requested_at TEXT NOT NULL DEFAULT '',"
    " approved_by TEXT NOT NULL DEFAULT '',"
    " approved_host TEXT NOT NULL DEFAULT '',"
    " approved_at TEXT NOT NULL DEFAULT '')",
    "INSERT INTO checks_v5(id, run_id, account_no, account_digits, check_no, date_printed, payee, amount_cents, memo,"
    " sheet, slot, status, void_reason, void_date, reprinted_as, address)"
    " SELECT id, run_id, account_no, account_digits, check_no, date_printed, payee, amount_cents, memo,"
    " sheet, slot, status, void_reason, void_date, reprinted_as, address FROM checks",
    "DROP TABLE checks",
    "ALTER TABLE checks_v5 RENAME TO checks",
    "CREATE INDEX checks_account_number ON checks(account_digits, check_no)",
    "CREATE INDEX checks_check_no ON checks(check_no)",
    "CREATE INDEX checks_date ON checks(date_printed)",
    "CREATE INDEX checks_payee ON checks(payee COLLATE NOCASE)",
    "CREATE INDEX checks_printing ON checks(run_id) WHERE status = 'printing'",
    "CREATE INDEX checks_approval ON checks(account_digits, payee) WHERE status IN ('awaiting', 'approved')",
    "ALTER TABLE exports ADD COLUMN os_user TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE exports ADD COLUMN host TEXT NOT NULL DEFAULT ''",
    "ALTER TABLE due_work ADD COLUMN station TEXT NOT NULL DEFAULT ''",
    "CREATE TABLE approval_limits("
    " account_digits TEXT PRIMARY KEY,"
    " above_cents INTEGER NOT NULL,"
    " set_by TEXT NOT NULL DEFAULT '',"
    " set_host TEXT NOT NULL DEFAULT '',"
    " set_at TEXT NOT NULL DEFAULT '')",
};

// The server's journal, created at version 5 with the file's tables and columns. Numbers are unique
// per account for every status, since any number of programs write here at once; dates are text
// compared byte by byte, whatever the database's collation.
const char *const kServerVersion5[] = {
    "CREATE TABLE journal_version(version INTEGER NOT NULL)",
    "CREATE TABLE runs("
    " id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
    " printed_at TEXT COLLATE \"C\" NOT NULL,"
    " printer TEXT NOT NULL,"
    " style TEXT NOT NULL,"
    " account_no TEXT NOT NULL,"
    " bank_name TEXT NOT NULL,"
    " checks_on_first_sheet INTEGER NOT NULL,"
    " account_digits TEXT NOT NULL DEFAULT '',"
    " os_user TEXT NOT NULL DEFAULT '',"
    " host TEXT NOT NULL DEFAULT '',"
    " station TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE checks("
    " id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
    " run_id BIGINT REFERENCES runs(id),"
    " account_no TEXT NOT NULL,"
    " account_digits TEXT NOT NULL,"
    " check_no BIGINT,"
    " date_printed TEXT COLLATE \"C\" NOT NULL,"
    " payee TEXT NOT NULL,"
    " amount_cents BIGINT NOT NULL,"
    " memo TEXT NOT NULL,"
    " sheet INTEGER NOT NULL,"
    " slot INTEGER NOT NULL,"
    " status TEXT NOT NULL CHECK(status IN ('awaiting','approved','printing','issued','voided','reprinted')),"
    " void_reason TEXT,"
    " void_date TEXT COLLATE \"C\","
    " reprinted_as BIGINT,"
    " address TEXT NOT NULL DEFAULT '',"
    " marked_by TEXT NOT NULL DEFAULT '',"
    " marked_host TEXT NOT NULL DEFAULT '',"
    " requested_by TEXT NOT NULL DEFAULT '',"
    " requested_host TEXT NOT NULL DEFAULT '',"
    " requested_at TEXT COLLATE \"C\" NOT NULL DEFAULT '',"
    " approved_by TEXT NOT NULL DEFAULT '',"
    " approved_host TEXT NOT NULL DEFAULT '',"
    " approved_at TEXT COLLATE \"C\" NOT NULL DEFAULT '',"
    " CONSTRAINT checks_number_once UNIQUE(account_digits, check_no))",
    "CREATE INDEX checks_check_no ON checks(check_no)",
    "CREATE INDEX checks_date ON checks(date_printed)",
    "CREATE INDEX checks_payee ON checks(lower(payee))",
    "CREATE INDEX checks_run ON checks(run_id)",
    "CREATE INDEX checks_printing ON checks(run_id) WHERE status = 'printing'",
    "CREATE INDEX checks_approval ON checks(account_digits, payee) WHERE status IN ('awaiting', 'approved')",
    "CREATE TABLE set_aside("
    " record_key BYTEA NOT NULL,"
    " backup_id TEXT NOT NULL,"
    " check_no TEXT NOT NULL,"
    " decision TEXT NOT NULL CHECK(decision IN ('discard','keep','printed')),"
    " decided_at TEXT NOT NULL,"
    " PRIMARY KEY(record_key, backup_id))",
    "CREATE TABLE due_work("
    " id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
    " settings_before BYTEA NOT NULL,"
    " settings_after BYTEA NOT NULL,"
    " register_before BYTEA NOT NULL,"
    " register_after BYTEA NOT NULL,"
    " run_id BIGINT,"
    " armed INTEGER NOT NULL DEFAULT 1,"
    " records BYTEA NOT NULL DEFAULT ''::bytea,"
    " station TEXT NOT NULL DEFAULT '')",
    "CREATE INDEX due_work_station ON due_work(station, armed)",
    "CREATE TABLE reprint_due(check_id BIGINT PRIMARY KEY REFERENCES checks(id))",
    "CREATE TABLE exports("
    " id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
    " exported_at TEXT COLLATE \"C\" NOT NULL,"
    " account_digits TEXT NOT NULL,"
    " layout TEXT NOT NULL,"
    " path TEXT NOT NULL,"
    " rows INTEGER NOT NULL,"
    " os_user TEXT NOT NULL DEFAULT '',"
    " host TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE export_rows("
    " export_id BIGINT NOT NULL REFERENCES exports(id),"
    " check_id BIGINT NOT NULL REFERENCES checks(id),"
    " code TEXT NOT NULL)",
    "CREATE INDEX export_rows_check ON export_rows(check_id, code)",
    "CREATE TABLE payees("
    " id BIGINT GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY,"
    " name TEXT NOT NULL CHECK(length(name) BETWEEN 1 AND 25),"
    " name_key TEXT NOT NULL UNIQUE,"
    " address_1 TEXT NOT NULL DEFAULT '',"
    " address_2 TEXT NOT NULL DEFAULT '',"
    " address_3 TEXT NOT NULL DEFAULT '',"
    " address_4 TEXT NOT NULL DEFAULT '',"
    " memo TEXT NOT NULL DEFAULT '',"
    " notes TEXT NOT NULL DEFAULT '',"
    " last_used TEXT COLLATE \"C\")",
    "CREATE TABLE approval_limits("
    " account_digits TEXT PRIMARY KEY,"
    " above_cents BIGINT NOT NULL,"
    " set_by TEXT NOT NULL DEFAULT '',"
    " set_host TEXT NOT NULL DEFAULT '',"
    " set_at TEXT NOT NULL DEFAULT '')",
    "INSERT INTO journal_version(version) VALUES(5)",
    // Everyone the database lets in works with the journal, whatever their role: the office gives
    // its people the right to connect, and the journal records each one's own login.
    "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO PUBLIC",
    "GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO PUBLIC",
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
    // server: PostgreSQL, whose transactions take their locks row by row; SQLite's take the write
    // lock at once, so that two writers never both read before either writes.
    Transaction(QSqlDatabase &db, bool server) : db_(db), server_(server) {}
    ~Transaction() {
        if (active_) {
            QSqlQuery query(db_);
            query.exec(QStringLiteral("ROLLBACK"));
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool begin(QString *error) {
        return run(server_ ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"), error, true);
    }
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
    bool server_;
    bool active_ = false;
};

const QString kLost = QStringLiteral(" The connection to the server was lost; nothing was changed by this. Try "
                                     "again when the server is back.");

// Binds the values to the query's placeholders in order.
void bindAll(QSqlQuery &query, const QVariantList &values) {
    for (int value = 0; value < values.size(); ++value) {
        query.bindValue(value, values[value]);
    }
}

// PostgreSQL's code for a row that would break a unique constraint.
const QString kUniqueViolation = QStringLiteral("23505");

// Rows go to the journal a few hundred to a statement: a server answers each statement across the
// network, so a run of a thousand checks takes a handful of round trips, not thousands.
constexpr qsizetype kRowsPerStatement = 250;

// Runs `head` followed by one group of `width` bound values per row, "(?, ..., ?)" joined by commas
// (`tail` after each group's values, inside the brackets: fixed values of every row).
bool execRows(QSqlDatabase &db, const QString &head, const QList<QVariantList> &rows, const QString &tail,
              QSqlQuery *query) {
    for (qsizetype from = 0; from < rows.size(); from += kRowsPerStatement) {
        const QList<QVariantList> batch = rows.mid(from, kRowsPerStatement);
        QStringList groups;
        for (const QVariantList &row : batch) {
            QStringList marks(row.size(), QStringLiteral("?"));
            groups << QStringLiteral("(") + marks.join(QStringLiteral(", ")) + tail + QStringLiteral(")");
        }
        *query = QSqlQuery(db);
        if (!query->prepare(head + groups.join(QStringLiteral(", ")))) {
            return false;
        }
        int value = 0;
        for (const QVariantList &row : batch) {
            for (const QVariant &one : row) {
                query->bindValue(value++, one);
            }
        }
        if (!query->exec()) {
            return false;
        }
    }
    return true;
}

// Runs `head` + "(?, ..., ?)" for the values, a few hundred at a time: "... WHERE id IN " and the ids.
// `first`: values bound before the list in every statement.
bool execIn(QSqlDatabase &db, const QString &head, const QVariantList &first, const QVariantList &values,
            QSqlQuery *query) {
    for (qsizetype from = 0; from < values.size(); from += kRowsPerStatement) {
        const QVariantList batch = values.mid(from, kRowsPerStatement);
        *query = QSqlQuery(db);
        if (!query->prepare(head + QStringLiteral("(") +
                            QStringList(batch.size(), QStringLiteral("?")).join(QStringLiteral(", ")) +
                            QStringLiteral(")"))) {
            return false;
        }
        int value = 0;
        for (const QVariant &one : first + batch) {
            query->bindValue(value++, one);
        }
        if (!query->exec()) {
            return false;
        }
    }
    return true;
}

} // namespace

QString Dollars(qint64 cents) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return QStringLiteral("$%1.%2").arg(english.toString(cents / 100)).arg(cents % 100, 2, 10, QLatin1Char('0'));
}

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

QString CheckJournal::Where() const {
    return place_.server ? place_.Describe() : Path();
}

void CheckJournal::SetPlace(const JournalPlace &place) {
    if (place == place_) {
        return;
    }
    Close();
    place_ = place;
}

QString CheckJournal::station() const {
    return who_.user + QLatin1Char('@') + who_.host + QLatin1Char(':') + folder_;
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
    if (place_.server) {
        // libpq's own reasons run over lines and may end in a question of their own.
        QString said = reason.simplified();
        if (!said.endsWith(QLatin1Char('.')) && !said.endsWith(QLatin1Char('?'))) {
            said += QLatin1Char('.');
        }
        return FileResult::Fail(
            QStringLiteral("The check journal on %1 could not %2: %3").arg(place_.Describe(), what, said));
    }
    return FileResult::Fail(
        QStringLiteral("The check journal %1 could not %2: %3.").arg(Path(), what, withDiskSpace(reason, folder_)));
}

FileResult CheckJournal::failQuery(const QString &what, const QSqlQuery &query) {
    const QSqlError error = query.lastError();
    if (place_.server) {
        numbersTaken_ = error.nativeErrorCode() == kUniqueViolation;
        // Inside a transaction the server answers nothing more until the rollback: transact asks then.
        if (!inTransaction_ && lost()) {
            FileResult result = fail(what, sqlReason(error));
            result.error += kLost;
            return result;
        }
    }
    return fail(what, sqlReason(error));
}

// A dropped connection stays "open" to Qt: it is closed before the next use, which connects again.
bool CheckJournal::lost() {
    if (!place_.server || !db_.isValid()) {
        return false;
    }
    if (db_.isOpen()) {
        QSqlQuery alive(db_);
        if (alive.exec(QStringLiteral("SELECT 1"))) {
            return false;
        }
    }
    dead_ = true;
    return true;
}

FileResult CheckJournal::transact(const QString &what, const std::function<FileResult()> &body) {
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    numbersTaken_ = false;
    FileResult result;
    bool committing = false;
    {
        Transaction transaction(db_, place_.server);
        QString error;
        if (!transaction.begin(&error)) {
            result = fail(what, error);
        } else {
            inTransaction_ = true;
            result = body();
            inTransaction_ = false;
            committing = static_cast<bool>(result);
            if (result && !transaction.commit(&error)) {
                result = fail(what, error);
            }
        }
    }
    inTransaction_ = false;
    if (!result && lost()) {
        // A commit that got no answer may or may not have happened: the caller reads what the
        // journal holds once the server is back.
        result.error += committing ? QStringLiteral(" The connection to the server was lost while the change was "
                                                    "being committed; whether it was kept is known when the server "
                                                    "is back.")
                                   : kLost;
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
    // A server connection left idle may have been dropped meanwhile (a restarted server, a killed
    // backend): it is asked first, so that the person's next action connects again instead of failing.
    if (place_.server && !dead_ && IsOpen() && sinceUse_.isValid() && sinceUse_.elapsed() > 100) {
        QSqlQuery alive(db_);
        dead_ = !alive.exec(QStringLiteral("SELECT 1"));
    }
    sinceUse_.start();
    if (dead_ || (db_.isValid() && !db_.isOpen())) {
        Close();
        dead_ = false;
    }
    if (IsOpen()) {
        return FileResult::Ok();
    }
    return place_.server ? openServer() : openFile();
}

FileResult CheckJournal::openServer() {
    if (const QString fault = place_.Fault(); !fault.isEmpty()) {
        return fail(QStringLiteral("be reached"), fault);
    }
    db_ = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), connection_);
    if (!db_.isValid()) {
        Close();
        return fail(QStringLiteral("be reached"), QStringLiteral("this computer lacks Qt's PostgreSQL driver; install "
                                                                 "the libqt6sql6-psql package"));
    }
    // A service names the server alone; otherwise what is empty is libpq's default. The password is
    // libpq's to find, in ~/.pgpass or the service file.
    if (place_.service.isEmpty()) {
        db_.setHostName(place_.host);
        if (place_.port != 0) {
            db_.setPort(place_.port);
        }
        db_.setDatabaseName(place_.database);
        db_.setUserName(place_.user);
    }
    db_.setConnectOptions(place_.ConnectOptions());
    if (!db_.open()) {
        const FileResult result = fail(QStringLiteral("be reached"), sqlReason(db_.lastError()));
        Close();
        return result;
    }
    FileResult migrated = migrate();
    if (!migrated) {
        Close();
    }
    return migrated;
}

FileResult CheckJournal::openFile() {
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
    if (place_.server) {
        if (!query.exec(QStringLiteral("SELECT to_regclass('journal_version') IS NOT NULL")) || !query.next()) {
            return -1;
        }
        if (!query.value(0).toBool()) {
            return 0;
        }
        if (!query.exec(QStringLiteral("SELECT MAX(version) FROM journal_version")) || !query.next()) {
            return -1;
        }
        return query.value(0).toInt();
    }
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        return -1;
    }
    return query.value(0).toInt();
}

FileResult CheckJournal::migrateServer() {
    // Programs opening a new server journal at once: one creates it, the others wait and see it made.
    const QString what = QStringLiteral("be set up on the server");
    Transaction transaction(db_, true);
    QString error;
    if (!transaction.begin(&error)) {
        return fail(what, error);
    }
    // A failure here is the statement's, not a lost connection's (the transaction answers nothing more).
    const QScopedValueRollback<bool> inside(inTransaction_, true);
    QSqlQuery query(db_);
    if (!query.exec(QStringLiteral("SELECT pg_advisory_xact_lock(7351001)"))) {
        return failQuery(what, query);
    }
    const int version = SchemaVersion();
    if (version < 0) {
        return fail(what, sqlReason(db_.lastError()));
    }
    if (version > kJournalVersion) {
        return fail(QStringLiteral("be used"),
                    QStringLiteral("it was written by a newer Quillane (schema version %1; this one knows %2)")
                        .arg(version)
                        .arg(kJournalVersion));
    }
    if (version == 0) {
        for (const char *statement : kServerVersion5) {
            if (!query.exec(QLatin1String(statement))) {
                return failQuery(what, query);
            }
        }
    }
    if (!transaction.commit(&error)) {
        return fail(what, error);
    }
    return FileResult::Ok();
}

FileResult CheckJournal::migrate() {
    if (place_.server) {
        return migrateServer();
    }
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
                          {4, kVersion4, std::size(kVersion4)},
                          {5, kVersion5, std::size(kVersion5)}};
    for (const Step &step : steps) {
        if (version >= step.to) {
            continue;
        }
        const QString what = QStringLiteral("be brought to schema version %1").arg(step.to);
        Transaction transaction(db_, false);
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
    query.prepare(QStringLiteral("SELECT c.check_no, c.status, c.date_printed, c.void_reason, r.os_user, r.host "
                                 "FROM checks c LEFT JOIN runs r ON r.id = c.run_id WHERE c.account_digits = ? AND "
                                 "c.check_no BETWEEN ? AND ? ORDER BY c.check_no, c.id LIMIT 1"));
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
    const QString user = query.value(4).toString();
    const QString host = query.value(5).toString();
    const QString by = user.isEmpty()   ? QString()
                       : host.isEmpty() ? QStringLiteral(" by %1").arg(user)
                                        : QStringLiteral(" by %1 on %2").arg(user, host);
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
    QList<qint64> takenNos; // of first..first+count-1
    while (used.next()) {
        const qint64 usedNo = used.value(0).toLongLong();
        if (usedNo < first + count) {
            takenNos.append(usedNo);
        }
        if (usedNo >= next + count) {
            break;
        }
        next = qMax(next, usedNo + 1);
    }
    if (nextFree != nullptr) {
        *nextFree = next;
    }
    QString others;
    if (takenNos.size() > 1) {
        QStringList numbers;
        for (const qint64 usedNo : std::as_const(takenNos)) {
            numbers << QString::number(usedNo);
        }
        others = QStringLiteral(" Numbers %1 are all taken.").arg(numbers.join(QStringLiteral(", ")));
    }
    return FileResult::Fail(
        QStringLiteral("Check No. %1 of account %2 is already in the check journal %3: %4 on %5%6. A number in the "
                       "journal is never used again.%7\r\nThe next free number is %8: set the next check number "
                       "in the checkbook setup to %8, or higher to match the first blank form in the printer.")
            .arg(number)
            .arg(accountNo, Where(), status, date, by, others)
            .arg(next));
}

FileResult CheckJournal::writeDue(const DueWork &due, qint64 runId, bool armed, const QByteArray &records,
                                  qint64 *dueId) {
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("INSERT INTO due_work(settings_before, settings_after, register_before, "
                                 "register_after, run_id, armed, records, station) VALUES(?, ?, ?, ?, ?, ?, ?, ?)"));
    // A null QByteArray would bind as NULL; the columns hold empty blobs instead.
    for (const QByteArray &bytes : {due.settingsBefore, due.settingsAfter, due.registerBefore, due.registerAfter}) {
        query.addBindValue(bytes.isNull() ? QByteArray("") : bytes);
    }
    query.addBindValue(runId > 0 ? QVariant(runId) : QVariant());
    query.addBindValue(armed ? 1 : 0);
    query.addBindValue(records.isNull() ? QByteArray("") : records);
    query.addBindValue(station());
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
    qint64 limit = 0;
    if (FileResult read = approvalLimit(digits, &limit); !read) {
        return read;
    }
    QSqlQuery runs(db_);
    runs.prepare(QStringLiteral("INSERT INTO runs(printed_at, printer, style, account_no, bank_name, "
                                "checks_on_first_sheet, account_digits, os_user, host, station) "
                                "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    runs.addBindValue(run.printedAt.toString(kDateTimeFormat));
    runs.addBindValue(notNull(run.printer));
    runs.addBindValue(notNull(run.style));
    runs.addBindValue(notNull(run.accountNo));
    runs.addBindValue(notNull(run.bankName));
    runs.addBindValue(run.checksOnFirstSheet);
    runs.addBindValue(digits);
    runs.addBindValue(notNull(who_.user));
    runs.addBindValue(notNull(who_.host));
    runs.addBindValue(station());
    if (!runs.exec()) {
        return failQuery(what, runs);
    }
    const qint64 id = runs.lastInsertId().toLongLong();
    QList<QVariantList> rows;
    QVariantList payeeKeys; // a payee of the book is used when a check to it goes to the printer
    // A check above the account's limit prints only as the check a second person approved: that
    // row becomes the check being printed. The row must still be approved when it is taken, so that
    // two runs cannot both print one approval.
    QSqlQuery approved(db_);
    approved.prepare(QStringLiteral(
        "UPDATE checks SET run_id = ?, account_no = ?, check_no = ?, date_printed = ?, sheet = ?, slot = ?, "
        "address = ?, status = 'printing' WHERE status = 'approved' AND id = (SELECT id FROM checks WHERE "
        "account_digits = ? AND status = 'approved' AND payee = ? AND amount_cents = ? AND memo = ? ORDER BY id "
        "LIMIT 1)"));
    for (qsizetype i = 0; i < checks.size(); ++i) {
        const JournalCheck &check = checks[i];
        if (limit > 0 && check.amountCents > limit) {
            bindAll(approved, {id, notNull(run.accountNo), check.checkNo, check.datePrinted.toString(kDateFormat),
                               check.sheet, check.slot, notNull(addresses.value(i)), digits, notNull(check.payee),
                               check.amountCents, notNull(check.memo)});
            if (!approved.exec()) {
                return failQuery(what, approved);
            }
            if (approved.numRowsAffected() != 1) {
                return FileResult::Fail(
                    QStringLiteral("Check No. %1 to %2 for %3 is above the approval limit of account %4 and "
                                   "has not been approved. Nothing was printed: have another person approve it in "
                                   "History, then print again.")
                        .arg(check.checkNo)
                        .arg(check.payee, Dollars(check.amountCents), run.accountNo));
            }
            continue;
        }
        rows.append({id, notNull(run.accountNo), digits, check.checkNo, check.datePrinted.toString(kDateFormat),
                     notNull(check.payee), check.amountCents, notNull(check.memo), check.sheet, check.slot,
                     notNull(addresses.value(i))});
        payeeKeys.append(PayeeKey(check.payee));
    }
    QSqlQuery batch(db_);
    if (!execRows(db_,
                  QStringLiteral("INSERT INTO checks(run_id, account_no, account_digits, check_no, date_printed, "
                                 "payee, amount_cents, memo, sheet, slot, address, status) VALUES "),
                  rows, QStringLiteral(", 'printing'"), &batch) ||
        !execIn(db_, QStringLiteral("UPDATE payees SET last_used = ? WHERE name_key IN "),
                {run.printedAt.toString(kDateTimeFormat)}, payeeKeys, &batch)) {
        return failQuery(what, batch);
    }
    FileResult written = writeDue(due, id, false, records, nullptr);
    if (written && runId != nullptr) {
        *runId = id; // the caller's only once the transaction commits
    }
    return written;
}

FileResult CheckJournal::writeEnd(qint64 runId, const QList<PrintMark> &marks, QDate today, const DueWork &due,
                                  qint64 *dueId, const QList<QByteArray> &printedKeys) {
    const QString what = QStringLiteral("record the end of the print run");
    // In the order printed, which the numbers follow (an approved check's row is older than its run).
    QSqlQuery checks(db_);
    checks.prepare(QStringLiteral("SELECT id, account_digits, payee, amount_cents, memo, check_no, approved_by "
                                  "FROM checks WHERE run_id = ? AND status = 'printing' ORDER BY check_no"));
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
        bool approved;
    };
    QList<Printing> printing;
    while (checks.next()) {
        printing.append({checks.value(0).toLongLong(), checks.value(1).toString(), checks.value(2).toString(),
                         checks.value(3).toLongLong(), checks.value(4).toString(), checks.value(5).toLongLong(),
                         !checks.value(6).toString().isEmpty()});
    }
    checks.finish();
    if (printing.isEmpty()) {
        return fail(what, QStringLiteral("the run has no checks being printed any more"));
    }
    QSqlQuery marked(db_);
    marked.prepare(QStringLiteral("UPDATE checks SET status = ?, void_reason = ?, void_date = ?, marked_by = ?, "
                                  "marked_host = ? WHERE id = ?"));
    QSqlQuery again(db_);
    again.prepare(QStringLiteral("INSERT INTO reprint_due(check_id) VALUES(?) ON CONFLICT DO NOTHING"));
    // An approved check that did not print keeps its approval for the next run.
    QSqlQuery stillApproved(db_);
    stillApproved.prepare(QStringLiteral("UPDATE checks SET status = 'approved', run_id = NULL, check_no = NULL, "
                                         "sheet = 0, slot = 0 WHERE id = ?"));
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
    // Forms that printed well and forms released are many, and each kind is one statement.
    QVariantList good;
    QVariantList released;
    for (qsizetype i = 0; i < printing.size(); ++i) {
        const Printing &check = printing[i];
        if (i >= marks.size()) {
            if (!check.approved) {
                released << check.id;
                continue;
            }
            stillApproved.bindValue(0, check.id);
            if (!stillApproved.exec()) {
                return failQuery(what, stillApproved);
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
        if (mark == PrintMark::Good) {
            good << check.id;
            continue;
        }
        marked.bindValue(0, QStringLiteral("voided"));
        marked.bindValue(1, mark == PrintMark::Spoiled ? QStringLiteral("spoiled") : QStringLiteral("void"));
        marked.bindValue(2, today.toString(kDateFormat));
        marked.bindValue(3, notNull(who_.user));
        marked.bindValue(4, notNull(who_.host));
        marked.bindValue(5, check.id);
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
    QSqlQuery batch(db_);
    if (!execIn(db_, QStringLiteral("UPDATE checks SET status = 'issued' WHERE id IN "), {}, good, &batch) ||
        !execIn(db_, QStringLiteral("DELETE FROM checks WHERE id IN "), {}, released, &batch)) {
        return failQuery(what, batch);
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
    qint64 id = 0;
    FileResult result = transact(QStringLiteral("record the checks about to be printed"),
                                 [&] { return writeIntent(run, checks, due, records, &id, addresses); });
    if (result && runId != nullptr) {
        *runId = id;
    }
    if (!result && numbersTaken_ && !checks.isEmpty()) {
        // Another program reserved a number of this run between the look and the write: the person is
        // told which, by whom, and the next free number, as when the look had found it.
        const auto [low, high] =
            std::minmax_element(checks.cbegin(), checks.cend(),
                                [](const JournalCheck &a, const JournalCheck &b) { return a.checkNo < b.checkNo; });
        FileResult taken = CheckNumbersFree(run.accountNo, low->checkNo, high->checkNo - low->checkNo + 1);
        if (!taken) {
            return taken;
        }
    }
    return result;
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
    // On a server, the runs of other computers and program folders are theirs to settle.
    QSqlQuery ids(db_);
    ids.prepare(place_.server ? QStringLiteral("SELECT DISTINCT c.run_id FROM checks c JOIN runs r ON r.id = c.run_id "
                                               "WHERE c.status = 'printing' AND r.station = ? ORDER BY c.run_id")
                              : QStringLiteral("SELECT DISTINCT run_id FROM checks WHERE status = 'printing' "
                                               "ORDER BY run_id"));
    if (place_.server) {
        ids.addBindValue(station());
    }
    if (!ids.exec()) {
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
    // In the order printed, as the run's register records are.
    QSqlQuery checks(db_);
    checks.prepare(QStringLiteral("SELECT check_no, date_printed, payee, amount_cents, memo, sheet, slot FROM checks "
                                  "WHERE run_id = ? AND status = 'printing' ORDER BY check_no"));
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
        voided.prepare(QStringLiteral("UPDATE checks SET status = 'voided', void_reason = ?, void_date = ?, "
                                      "marked_by = ?, marked_host = ? WHERE run_id = ? AND check_no = ? AND "
                                      "status = 'issued'"));
        QSqlQuery again(db_);
        again.prepare(QStringLiteral("INSERT INTO reprint_due(check_id) SELECT id FROM checks "
                                     "WHERE run_id = ? AND check_no = ? ON CONFLICT DO NOTHING"));
        for (qsizetype i = 0; i < checkNos.size() && i < marks.size(); ++i) {
            if (marks[i] == PrintMark::Good) {
                continue;
            }
            voided.bindValue(0, marks[i] == PrintMark::Spoiled ? QStringLiteral("spoiled") : QStringLiteral("void"));
            voided.bindValue(1, today.toString(kDateFormat));
            voided.bindValue(2, notNull(who_.user));
            voided.bindValue(3, notNull(who_.host));
            voided.bindValue(4, runId);
            voided.bindValue(5, checkNos[i]);
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
    query.prepare(place_.server ? QStringLiteral("SELECT id, settings_before, settings_after, register_before, "
                                                 "register_after FROM due_work WHERE armed = 1 AND station = ? "
                                                 "ORDER BY id")
                                : QStringLiteral("SELECT id, settings_before, settings_after, register_before, "
                                                 "register_after FROM due_work WHERE armed = 1 ORDER BY id"));
    if (place_.server) {
        query.addBindValue(station());
    }
    if (!query.exec()) {
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
                    .arg(Where()));
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
        voided.prepare(QStringLiteral("UPDATE checks SET status = 'voided', void_reason = ?, void_date = ?, "
                                      "marked_by = ?, marked_host = ? WHERE id = ? AND status = 'issued'"));
        voided.addBindValue(reason.trimmed());
        voided.addBindValue(date.toString(kDateFormat));
        voided.addBindValue(notNull(who_.user));
        voided.addBindValue(notNull(who_.host));
        voided.addBindValue(checkId);
        return voided.exec() ? FileResult::Ok() : failQuery(what, voided);
    });
}

FileResult CheckJournal::RecordExport(const ExportLog &log) {
    const QString what = QStringLiteral("record the export to %1").arg(QDir::toNativeSeparators(log.path));
    return transact(what, [&]() -> FileResult {
        QSqlQuery exported(db_);
        exported.prepare(QStringLiteral("INSERT INTO exports(exported_at, account_digits, layout, path, rows, os_user, "
                                        "host) VALUES(?, ?, ?, ?, ?, ?, ?)"));
        exported.addBindValue(log.when.toString(kDateTimeFormat));
        exported.addBindValue(notNull(log.accountDigits));
        exported.addBindValue(notNull(log.layout));
        exported.addBindValue(notNull(log.path));
        exported.addBindValue(log.checkIds.size());
        exported.addBindValue(notNull(who_.user));
        exported.addBindValue(notNull(who_.host));
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
                                 "(c.check_no = ? OR (? = 1 AND r.printed_at >= ?)))"));
    query.addBindValue(AccountDigits(accountNo));
    query.addBindValue(notNull(content.payee));
    query.addBindValue(content.amountCents);
    query.addBindValue(notNull(content.memo));
    query.addBindValue(checkNo);
    // An invalid time matches no run: the number alone tells.
    query.addBindValue(printedSince.isValid() ? 1 : 0);
    query.addBindValue(printedSince.isValid() ? printedSince.toString(kDateTimeFormat) : QStringLiteral(""));
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
        query.prepare(QStringLiteral("INSERT INTO set_aside(record_key, backup_id, check_no, decision, decided_at) "
                                     "VALUES(?, ?, ?, ?, ?) ON CONFLICT(record_key, backup_id) DO UPDATE SET "
                                     "check_no = excluded.check_no, decision = excluded.decision, "
                                     "decided_at = excluded.decided_at"));
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
            "void_reason, void_date, reprinted_as, id, address, (SELECT os_user FROM runs WHERE id = run_id), "
            "(SELECT host FROM runs WHERE id = run_id), marked_by, marked_host, requested_by, requested_host, "
            "approved_by, approved_host FROM checks ORDER BY id"))) {
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
        row.printedBy = {query.value(15).toString(), query.value(16).toString()};
        row.markedBy = {query.value(17).toString(), query.value(18).toString()};
        row.requestedBy = {query.value(19).toString(), query.value(20).toString()};
        row.approvedBy = {query.value(21).toString(), query.value(22).toString()};
        rows.append(row);
    }
    return FileResult::Ok();
}

QDateTime CheckJournal::now() const {
    return clock_ != nullptr ? clock_->Now() : QDateTime::currentDateTime();
}

FileResult CheckJournal::NextNumber(const QString &accountNo, qint64 *next) {
    *next = 0;
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT MAX(check_no) FROM checks WHERE account_digits = ?"));
    query.addBindValue(AccountDigits(accountNo));
    if (!query.exec() || !query.next()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    if (!query.value(0).isNull()) {
        *next = query.value(0).toLongLong() + 1;
    }
    return FileResult::Ok();
}

FileResult CheckJournal::approvalLimit(const QString &digits, qint64 *aboveCents) {
    *aboveCents = 0;
    QSqlQuery query(db_);
    query.prepare(QStringLiteral("SELECT above_cents FROM approval_limits WHERE account_digits = ?"));
    query.addBindValue(digits);
    if (!query.exec()) {
        return failQuery(QStringLiteral("be read"), query);
    }
    if (query.next()) {
        *aboveCents = query.value(0).toLongLong();
    }
    return FileResult::Ok();
}

FileResult CheckJournal::LoadApprovalLimit(const QString &accountNo, qint64 *aboveCents) {
    *aboveCents = 0;
    FileResult opened = Open();
    if (!opened) {
        return opened;
    }
    return approvalLimit(AccountDigits(accountNo), aboveCents);
}

FileResult CheckJournal::SaveApprovalLimit(const QString &accountNo, qint64 aboveCents) {
    const QString what = QStringLiteral("keep the approval limit");
    return transact(what, [&]() -> FileResult {
        const QString digits = AccountDigits(accountNo);
        qint64 limit = 0;
        if (FileResult read = approvalLimit(digits, &limit); !read) {
            return read;
        }
        // A limit is not lowered or lifted under checks that wait for a second person: that person
        // decides about them first.
        if (limit > 0 && (aboveCents <= 0 || aboveCents < limit)) {
            QSqlQuery waiting(db_);
            waiting.prepare(QStringLiteral("SELECT COUNT(*) FROM checks WHERE account_digits = ? AND status IN "
                                           "('awaiting', 'approved') AND amount_cents > ?"));
            waiting.addBindValue(digits);
            waiting.addBindValue(qMax<qint64>(aboveCents, 0));
            if (!waiting.exec() || !waiting.next()) {
                return failQuery(what, waiting);
            }
            if (const qint64 count = waiting.value(0).toLongLong(); count > 0) {
                return FileResult::Fail(QStringLiteral("The approval limit of account %1 stays as it is: %2 check(s) "
                                                       "above the new limit wait for a second person's approval. "
                                                       "Have them approved in History first.")
                                            .arg(accountNo)
                                            .arg(count));
            }
        }
        // The row stays when the limit is lifted (0), so that who lifted it and when is kept.
        QSqlQuery query(db_);
        query.prepare(QStringLiteral(
            "INSERT INTO approval_limits(account_digits, above_cents, set_by, set_host, set_at) "
            "VALUES(?, ?, ?, ?, ?) ON CONFLICT(account_digits) DO UPDATE SET above_cents = excluded.above_cents, "
            "set_by = excluded.set_by, set_host = excluded.set_host, set_at = excluded.set_at"));
        query.addBindValue(digits);
        query.addBindValue(qMax<qint64>(aboveCents, 0));
        query.addBindValue(notNull(who_.user));
        query.addBindValue(notNull(who_.host));
        query.addBindValue(now().toString(kDateTimeFormat));
        return query.exec() ? FileResult::Ok() : failQuery(what, query);
    });
}

FileResult CheckJournal::HoldForApproval(const QString &accountNo, const QList<JournalCheck> &checks,
                                         QList<bool> *held) {
    *held = QList<bool>(checks.size(), false);
    const QString what = QStringLiteral("record the checks awaiting approval");
    const QString digits = AccountDigits(accountNo);
    return transact(what, [&]() -> FileResult {
        qint64 limit = 0;
        if (FileResult read = approvalLimit(digits, &limit); !read || limit <= 0) {
            return read;
        }
        // Programs asking about one account take turns on a server, so that one check is not put
        // awaiting approval twice (the file's transactions take turns already).
        if (place_.server) {
            QSqlQuery turn(db_);
            turn.prepare(QStringLiteral("SELECT pg_advisory_xact_lock(hashtext(?))"));
            turn.addBindValue(QStringLiteral("quillane approval ") + digits);
            if (!turn.exec()) {
                return failQuery(what, turn);
            }
        }
        // Checks alike in payee, amount and memo are counted together: each printed check takes one
        // approval, and each held one has one row awaiting approval.
        QHash<QString, QList<qsizetype>> alike;
        for (qsizetype i = 0; i < checks.size(); ++i) {
            if (checks[i].amountCents > limit) {
                alike[PrintedContentKey(checks[i].payee, checks[i].amountCents, checks[i].memo)].append(i);
            }
        }
        QSqlQuery count(db_);
        count.prepare(QStringLiteral("SELECT COALESCE(SUM(CASE WHEN status = 'approved' THEN 1 ELSE 0 END), 0), "
                                     "COALESCE(SUM(CASE WHEN status = 'awaiting' THEN 1 ELSE 0 END), 0) FROM checks "
                                     "WHERE account_digits = ? AND status IN ('awaiting', 'approved') AND payee = ? "
                                     "AND amount_cents = ? AND memo = ?"));
        QSqlQuery ask(db_);
        ask.prepare(QStringLiteral("INSERT INTO checks(account_no, account_digits, date_printed, payee, amount_cents, "
                                   "memo, sheet, slot, status, requested_by, requested_host, requested_at) "
                                   "VALUES(?, ?, ?, ?, ?, ?, 0, 0, 'awaiting', ?, ?, ?)"));
        const QDateTime asked = now();
        for (auto group = alike.cbegin(); group != alike.cend(); ++group) {
            const JournalCheck &check = checks[group->first()];
            count.bindValue(0, digits);
            count.bindValue(1, notNull(check.payee));
            count.bindValue(2, check.amountCents);
            count.bindValue(3, notNull(check.memo));
            if (!count.exec() || !count.next()) {
                return failQuery(what, count);
            }
            const qsizetype approved = count.value(0).toLongLong();
            const qsizetype awaiting = count.value(1).toLongLong();
            count.finish();
            const qsizetype holding = qMax<qsizetype>(0, group->size() - approved);
            for (qsizetype n = group->size() - holding; n < group->size(); ++n) {
                (*held)[group->at(n)] = true;
            }
            for (qsizetype n = awaiting; n < holding; ++n) {
                bindAll(ask, {notNull(accountNo), digits, asked.date().toString(kDateFormat), notNull(check.payee),
                              check.amountCents, notNull(check.memo), notNull(who_.user), notNull(who_.host),
                              asked.toString(kDateTimeFormat)});
                if (!ask.exec()) {
                    return failQuery(what, ask);
                }
            }
        }
        return FileResult::Ok();
    });
}

FileResult CheckJournal::Approve(qint64 checkId) {
    const QString what = QStringLiteral("record the approval");
    return transact(what, [&]() -> FileResult {
        QSqlQuery check(db_);
        check.prepare(QStringLiteral("SELECT status, requested_by, requested_host, payee, amount_cents FROM checks "
                                     "WHERE id = ?"));
        check.addBindValue(checkId);
        if (!check.exec()) {
            return failQuery(what, check);
        }
        if (!check.next() || check.value(0).toString() != QLatin1String("awaiting")) {
            return FileResult::Fail(QStringLiteral("The check is not awaiting approval any more: someone else has "
                                                   "approved it, or it was printed. Show the history again."));
        }
        const QString asker = check.value(1).toString();
        const QString askerHost = check.value(2).toString();
        const QString payee = check.value(3).toString();
        const qint64 cents = check.value(4).toLongLong();
        check.finish();
        // The second person is another operating-system user, whichever computer either uses.
        if (asker == who_.user) {
            return FileResult::Fail(
                QStringLiteral("The check to %1 for %2 cannot be approved by %3, who asked for it on %4. Another "
                               "person must approve it, signed in to a computer as themselves.")
                    .arg(payee, Dollars(cents), asker, askerHost));
        }
        QSqlQuery approve(db_);
        approve.prepare(QStringLiteral("UPDATE checks SET status = 'approved', approved_by = ?, approved_host = ?, "
                                       "approved_at = ? WHERE id = ? AND status = 'awaiting'"));
        approve.addBindValue(notNull(who_.user));
        approve.addBindValue(notNull(who_.host));
        approve.addBindValue(now().toString(kDateTimeFormat));
        approve.addBindValue(checkId);
        return approve.exec() ? FileResult::Ok() : failQuery(what, approve);
    });
}

namespace {

// One table's rows as read, for the move to the server.
struct TableRows {
    QStringList columns;
    QList<QVariantList> rows;
};

bool readTable(QSqlDatabase &db, const QString &table, const QStringList &columns, TableRows *out, QSqlQuery *query) {
    out->columns = columns;
    *query = QSqlQuery(db);
    query->setForwardOnly(true);
    if (!query->exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY 1").arg(columns.join(QStringLiteral(", ")), table))) {
        return false;
    }
    while (query->next()) {
        QVariantList row;
        for (int column = 0; column < columns.size(); ++column) {
            row << query->value(column);
        }
        out->rows << row;
    }
    return true;
}

} // namespace

FileResult CheckJournal::MoveTo(CheckJournal &server, JournalMove *moved) {
    *moved = JournalMove();
    if (place_.server || !server.place_.server) {
        return FileResult::Fail(QStringLiteral("Only the check journal file of this computer can be moved, and only to "
                                               "a server: choose the server on the Journal page first."));
    }
    FileResult opened = Open();
    if (opened) {
        opened = server.Open();
    }
    if (!opened) {
        return opened;
    }
    const QString what = QStringLiteral("be read for the move to the server");
    QSqlQuery query(db_);
    if (!query.exec(
            QStringLiteral("SELECT (SELECT COUNT(*) FROM checks WHERE status = 'printing'), "
                           "(SELECT COUNT(*) FROM due_work), (SELECT COUNT(*) FROM runs), "
                           "(SELECT COUNT(*) FROM checks), (SELECT COALESCE(SUM(amount_cents), 0) FROM checks)")) ||
        !query.next()) {
        return failQuery(what, query);
    }
    if (query.value(0).toLongLong() > 0 || query.value(1).toLongLong() > 0) {
        return FileResult::Fail(
            QStringLiteral("The check journal %1 cannot be moved yet: a print run's end or the file work after it is "
                           "still to be settled. Open the checks window and print (or restart Quillane) so that it is "
                           "settled, then move the journal.")
                .arg(Path()));
    }
    const qint64 fileRuns = query.value(2).toLongLong();
    const qint64 fileChecks = query.value(3).toLongLong();
    const qint64 fileCents = query.value(4).toLongLong();
    query.finish();

    const QStringList runColumns = {QStringLiteral("id"),
                                    QStringLiteral("printed_at"),
                                    QStringLiteral("printer"),
                                    QStringLiteral("style"),
                                    QStringLiteral("account_no"),
                                    QStringLiteral("bank_name"),
                                    QStringLiteral("checks_on_first_sheet"),
                                    QStringLiteral("account_digits"),
                                    QStringLiteral("os_user"),
                                    QStringLiteral("host"),
                                    QStringLiteral("station")};
    const QStringList checkColumns = {QStringLiteral("id"),
                                      QStringLiteral("run_id"),
                                      QStringLiteral("account_no"),
                                      QStringLiteral("account_digits"),
                                      QStringLiteral("check_no"),
                                      QStringLiteral("date_printed"),
                                      QStringLiteral("payee"),
                                      QStringLiteral("amount_cents"),
                                      QStringLiteral("memo"),
                                      QStringLiteral("sheet"),
                                      QStringLiteral("slot"),
                                      QStringLiteral("status"),
                                      QStringLiteral("void_reason"),
                                      QStringLiteral("void_date"),
                                      QStringLiteral("reprinted_as"),
                                      QStringLiteral("address"),
                                      QStringLiteral("marked_by"),
                                      QStringLiteral("marked_host"),
                                      QStringLiteral("requested_by"),
                                      QStringLiteral("requested_host"),
                                      QStringLiteral("requested_at"),
                                      QStringLiteral("approved_by"),
                                      QStringLiteral("approved_host"),
                                      QStringLiteral("approved_at")};
    const QStringList exportColumns = {
        QStringLiteral("id"),      QStringLiteral("exported_at"), QStringLiteral("account_digits"),
        QStringLiteral("layout"),  QStringLiteral("path"),        QStringLiteral("rows"),
        QStringLiteral("os_user"), QStringLiteral("host")};
    TableRows runs, checks, exports, exportRows, reprints, setAside, payees, limits;
    const struct {
        const char *table;
        QStringList columns;
        TableRows *rows;
    } tables[] = {
        {"runs", runColumns, &runs},
        {"checks", checkColumns, &checks},
        {"exports", exportColumns, &exports},
        {"export_rows", {QStringLiteral("export_id"), QStringLiteral("check_id"), QStringLiteral("code")}, &exportRows},
        {"reprint_due", {QStringLiteral("check_id")}, &reprints},
        {"set_aside",
         {QStringLiteral("record_key"), QStringLiteral("backup_id"), QStringLiteral("check_no"),
          QStringLiteral("decision"), QStringLiteral("decided_at")},
         &setAside},
        {"payees",
         {QStringLiteral("name"), QStringLiteral("name_key"), QStringLiteral("address_1"), QStringLiteral("address_2"),
          QStringLiteral("address_3"), QStringLiteral("address_4"), QStringLiteral("memo"), QStringLiteral("notes"),
          QStringLiteral("last_used")},
         &payees},
        {"approval_limits",
         {QStringLiteral("account_digits"), QStringLiteral("above_cents"), QStringLiteral("set_by"),
          QStringLiteral("set_host"), QStringLiteral("set_at")},
         &limits},
    };
    for (const auto &table : tables) {
        if (!readTable(db_, QLatin1String(table.table), table.columns, table.rows, &query)) {
            return failQuery(what, query);
        }
    }

    // A number may be in the journal once: in this file (older files may hold one twice) and on the server.
    const int noColumn = 4;
    const int digitsColumn = 3;
    QHash<QString, QSet<qint64>> numbers;
    for (const QVariantList &row : std::as_const(checks.rows)) {
        if (row[noColumn].isNull()) {
            continue;
        }
        QSet<qint64> &account = numbers[row[digitsColumn].toString()];
        const qint64 number = row[noColumn].toLongLong();
        if (account.contains(number)) {
            return FileResult::Fail(QStringLiteral("The check journal %1 holds Check No. %2 of account %3 twice, "
                                                   "which a server journal never does, so it cannot be moved. Keep "
                                                   "using the journal file on this computer.")
                                        .arg(Path())
                                        .arg(number)
                                        .arg(row[2].toString()));
        }
        account.insert(number);
    }
    for (auto account = numbers.cbegin(); account != numbers.cend(); ++account) {
        QSqlQuery there(server.db_);
        there.setForwardOnly(true);
        there.prepare(QStringLiteral("SELECT check_no FROM checks WHERE account_digits = ? AND check_no IS NOT NULL"));
        there.addBindValue(account.key());
        if (!there.exec()) {
            return server.failQuery(what, there);
        }
        while (there.next()) {
            const qint64 number = there.value(0).toLongLong();
            if (account->contains(number)) {
                there.finish();
                FileResult taken = server.CheckNumbersFree(account.key(), number, 1);
                return FileResult::Fail(QStringLiteral("Nothing was moved: both journals hold a check numbered %1. "
                                                       "%2")
                                            .arg(number)
                                            .arg(taken.error));
            }
        }
    }

    FileResult copied = server.transact(QStringLiteral("take the moved journal"), [&]() -> FileResult {
        const QString taking = QStringLiteral("take the moved journal");
        QSqlQuery total(server.db_);
        // The counts before and after are of one snapshot, whatever other programs commit meanwhile.
        if (!total.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"))) {
            return server.failQuery(taking, total);
        }
        const QString totals = QStringLiteral("SELECT (SELECT COUNT(*) FROM runs), (SELECT COUNT(*) FROM checks), "
                                              "(SELECT COALESCE(SUM(amount_cents), 0) FROM checks)");
        if (!total.exec(totals) || !total.next()) {
            return server.failQuery(taking, total);
        }
        const qint64 runsBefore = total.value(0).toLongLong();
        const qint64 checksBefore = total.value(1).toLongLong();
        const qint64 centsBefore = total.value(2).toLongLong();
        total.finish();

        // Rows are given the server's own ids; what refers to them follows.
        QHash<qint64, qint64> runIds, checkIds, exportIds;
        const auto insert = [&](const QString &table, const TableRows &rows, bool newId, QHash<qint64, qint64> *ids,
                                const QString &tail, const std::function<bool(QVariantList &)> &mapRow) -> FileResult {
            const QStringList columns = newId ? rows.columns.mid(1) : rows.columns;
            QStringList marks;
            for (qsizetype i = 0; i < columns.size(); ++i) {
                marks << QStringLiteral("?");
            }
            QSqlQuery put(server.db_);
            put.prepare(QStringLiteral("INSERT INTO %1(%2) VALUES(%3)%4")
                            .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")), tail));
            for (QVariantList row : rows.rows) {
                if (mapRow && !mapRow(row)) {
                    continue;
                }
                const qint64 oldId = row.first().toLongLong();
                const QVariantList values = newId ? row.mid(1) : row;
                for (int value = 0; value < values.size(); ++value) {
                    put.bindValue(value, values[value]);
                }
                if (!put.exec()) {
                    return server.failQuery(taking, put);
                }
                if (ids != nullptr && put.next()) {
                    ids->insert(oldId, put.value(0).toLongLong());
                }
                if (table == QLatin1String("payees")) {
                    moved->payees += put.numRowsAffected();
                }
            }
            return FileResult::Ok();
        };
        const auto mapped = [](const QHash<qint64, qint64> &ids, QVariant &value) {
            if (!value.isNull()) {
                value = ids.value(value.toLongLong());
            }
            return true;
        };
        const QString returning = QStringLiteral(" RETURNING id");
        const QString keepTheirs = QStringLiteral(" ON CONFLICT DO NOTHING");
        FileResult result = insert(QStringLiteral("runs"), runs, true, &runIds, returning, {});
        if (result) {
            result = insert(QStringLiteral("checks"), checks, true, &checkIds, returning,
                            [&](QVariantList &row) { return mapped(runIds, row[1]); });
        }
        if (result) {
            result = insert(QStringLiteral("exports"), exports, true, &exportIds, returning, {});
        }
        if (result) {
            result = insert(QStringLiteral("export_rows"), exportRows, false, nullptr, QString(),
                            [&](QVariantList &row) { return mapped(exportIds, row[0]) && mapped(checkIds, row[1]); });
        }
        if (result) {
            result = insert(QStringLiteral("reprint_due"), reprints, false, nullptr, keepTheirs,
                            [&](QVariantList &row) { return mapped(checkIds, row[0]); });
        }
        for (const auto &[table, rows] :
             {std::pair{QStringLiteral("set_aside"), &setAside}, std::pair{QStringLiteral("payees"), &payees},
              std::pair{QStringLiteral("approval_limits"), &limits}}) {
            if (result) {
                result = insert(table, *rows, false, nullptr, keepTheirs, {});
            }
        }
        if (!result) {
            return result;
        }
        // The server must now hold exactly what the file holds, besides what it held before.
        if (!total.exec(totals) || !total.next()) {
            return server.failQuery(taking, total);
        }
        moved->runs = total.value(0).toLongLong() - runsBefore;
        moved->checks = total.value(1).toLongLong() - checksBefore;
        moved->cents = total.value(2).toLongLong() - centsBefore;
        if (moved->runs != fileRuns || moved->checks != fileChecks || moved->cents != fileCents) {
            return FileResult::Fail(
                QStringLiteral("Nothing was moved: the server would hold %1 runs and %2 checks for %3, but the "
                               "journal file holds %4 runs and %5 checks for %6.")
                    .arg(moved->runs)
                    .arg(moved->checks)
                    .arg(Dollars(moved->cents))
                    .arg(fileRuns)
                    .arg(fileChecks)
                    .arg(Dollars(fileCents)));
        }
        return FileResult::Ok();
    });
    if (!copied) {
        *moved = JournalMove();
        return copied;
    }
    // The file stays as it was, everything in its main file, and read-only: it is not the journal any more.
    QSqlQuery checkpoint(db_);
    checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
    checkpoint.finish();
    const QString file = QDir(folder_).filePath(kJournalFolder + QLatin1Char('/') + kJournalFile);
    Close();
    if (::chmod(QFile::encodeName(file).constData(), S_IRUSR) != 0) {
        return FileResult::Fail(QStringLiteral("The journal was moved to %1, but the file %2 could not be made "
                                               "read-only: %3. Do not use it as the journal any more.")
                                    .arg(server.Where(), Path(), errnoText()));
    }
    moved->keptFile = Path();
    return FileResult::Ok();
}
