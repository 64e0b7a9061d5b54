#pragma once

#include "journal/CheckJournal.h"
#include "journal/testing/TestServer.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

// One check as a test puts it into the journal.
struct TestCheck {
    qint64 checkNo;
    const char *date;  // "YYYY-MM-DD"
    const char *payee; // UTF-8
    qint64 cents;
    const char *memo = "";
    const char *status = "issued";
    const char *voidReason = nullptr;
    const char *voidDate = nullptr;
    qint64 reprintedAs = 0;
    const char *account = "1234567";
    // Who printed it (its run); who marked or voided it, asked for it and approved it.
    const char *user = "anna";
    const char *host = "office-pc";
    const char *markedBy = "";
    const char *markedHost = "";
    const char *requestedBy = "";
    const char *requestedHost = "";
    const char *approvedBy = "";
    const char *approvedHost = "";
};

// One column of one check, read through the named connection.
inline QVariant CheckColumn(const QString &connection, qint64 id, const QString &column) {
    QSqlQuery query(QSqlDatabase::database(connection));
    query.prepare(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM checks WHERE id = ?"));
    query.addBindValue(id);
    return query.exec() && query.next() ? query.value(0) : QVariant();
}

// A journal file written with the tables of an older program, independent of the code under test,
// in the journal's folder of a temporary program folder (or the given one); `connection` is an open
// connection to it: its own until the program's journal takes the file over (openJournal, attach).
class JournalFile {
public:
    // version 1: the tables of the first program, written here; otherwise the journal makes the
    // file with the tables of today.
    explicit JournalFile(int version = kJournalVersion, const QString &folder = QString()) {
        programFolder = folder.isEmpty() ? dir.path() : folder;
        EXPECT_TRUE(QDir(programFolder).mkpath(kJournalFolder));
        path = QDir(programFolder).filePath(kJournalFolder + QLatin1Char('/') + kJournalFile);
        if (version > 1) {
            CheckJournal made(programFolder);
            const FileResult opened = made.Open();
            EXPECT_TRUE(opened.ok) << opened.error.toStdString();
        }
        connection = QStringLiteral("test-journal-") + QString::number(++serial());
        own_ = connection;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        const QStringList firstTables = {
            QStringLiteral("CREATE TABLE runs(id INTEGER PRIMARY KEY, printed_at TEXT NOT NULL, printer TEXT NOT NULL, "
                           "style TEXT NOT NULL, account_no TEXT NOT NULL, bank_name TEXT NOT NULL, "
                           "checks_on_first_sheet INTEGER NOT NULL)"),
            QStringLiteral("CREATE TABLE checks(id INTEGER PRIMARY KEY, run_id INTEGER NOT NULL REFERENCES runs(id), "
                           "account_no TEXT NOT NULL, check_no INTEGER NOT NULL, date_printed TEXT NOT NULL, "
                           "payee TEXT NOT NULL, amount_cents INTEGER NOT NULL, memo TEXT NOT NULL, "
                           "status TEXT NOT NULL CHECK(status IN ('issued','voided','reprinted')), "
                           "void_reason TEXT, void_date TEXT, reprinted_as INTEGER)"),
            QStringLiteral(
                "CREATE UNIQUE INDEX checks_issued_number ON checks(account_no, check_no) WHERE status = 'issued'"),
            QStringLiteral("PRAGMA user_version = 1"),
        };
        QStringList statements = {QStringLiteral("PRAGMA journal_mode = WAL")};
        if (version == 1) {
            statements += firstTables;
        }
        statements << QStringLiteral("INSERT INTO runs(id, printed_at, printer, style, account_no, bank_name, "
                                     "checks_on_first_sheet) VALUES(1, '2026-12-01T10:00:00', 'PDF', "
                                     "'Deluxe 3-On-A-Page', '1234567', 'First Bank', 3)");
        for (const QString &statement : statements) {
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        }
        version_ = version;
    }
    ~JournalFile() {
        release();
        checkJournal.reset();
    }

    // Lets the file go, so that the program's journal can lock it.
    void release() {
        if (!own_.isEmpty()) {
            QSqlDatabase::database(own_, false).close();
            QSqlDatabase::removeDatabase(own_);
            own_.clear();
        }
    }
    // Reads and writes from here on through the program's journal, which has the file open.
    void attach(const CheckJournal &journal) {
        release();
        connection = journal.ConnectionName();
        version_ = kJournalVersion;
    }
    // Opens the file through a journal of its own (bringing it up to date) and attaches to it.
    CheckJournal &openJournal() {
        release();
        checkJournal = std::make_unique<CheckJournal>(programFolder);
        const FileResult opened = checkJournal->Open();
        EXPECT_TRUE(opened.ok) << opened.error.toStdString();
        attach(*checkJournal);
        return *checkJournal;
    }
    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

    // Adds the checks in one transaction; returns the id of the first.
    qint64 add(const QList<TestCheck> &checks) {
        QSqlDatabase db = QSqlDatabase::database(connection);
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(version_ >= 3
                           ? QStringLiteral("INSERT INTO checks(run_id, account_no, check_no, date_printed, payee, "
                                            "amount_cents, memo, sheet, slot, status, void_reason, void_date, "
                                            "reprinted_as, account_digits) "
                                            "VALUES(1, ?, ?, ?, ?, ?, ?, 1, 1, ?, ?, ?, ?, ?)")
                           : QStringLiteral("INSERT INTO checks(run_id, account_no, check_no, date_printed, payee, "
                                            "amount_cents, memo, status, void_reason, void_date, reprinted_as) "
                                            "VALUES(1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        qint64 first = -1;
        for (const TestCheck &check : checks) {
            insert.addBindValue(QString::fromUtf8(check.account));
            insert.addBindValue(check.checkNo);
            insert.addBindValue(QString::fromUtf8(check.date));
            insert.addBindValue(QString::fromUtf8(check.payee));
            insert.addBindValue(check.cents);
            insert.addBindValue(QString::fromUtf8(check.memo));
            insert.addBindValue(QString::fromUtf8(check.status));
            insert.addBindValue(check.voidReason ? QVariant(QString::fromUtf8(check.voidReason)) : QVariant());
            insert.addBindValue(check.voidDate ? QVariant(QString::fromUtf8(check.voidDate)) : QVariant());
            insert.addBindValue(check.reprintedAs ? QVariant(check.reprintedAs) : QVariant());
            if (version_ >= 3) {
                insert.addBindValue(AccountDigits(QString::fromUtf8(check.account)));
            }
            EXPECT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
            if (first < 0) {
                first = insert.lastInsertId().toLongLong();
            }
        }
        EXPECT_TRUE(db.commit());
        return first;
    }

    // One column of one check, read straight from the file.
    QVariant value(qint64 id, const QString &column) const { return CheckColumn(connection, id, column); }

    QTemporaryDir dir;
    QString programFolder;
    QString path;
    QString connection;
    std::unique_ptr<CheckJournal> checkJournal;

private:
    static int &serial() {
        static int n = 0;
        return n;
    }
    int version_ = kJournalVersion;
    QString own_;
};

// The checks most tests look at: payees that need quoting, non-ASCII letters, every status.
inline QList<TestCheck> SampleChecks() {
    return {
        {1001, "2026-11-02", "Acme, Inc.", 123450, "Invoice 7"},
        {1002, "2026-11-02", "The \"Best\" Plumbing", 9999, "Pipes, valves"},
        {1003, "2026-11-15", "M\xc3\xbcller & S\xc3\xb6hne", 50, "", "voided", "lost in the mail", "2026-11-20"},
        {1004, "2026-11-30", "line one\r\nline two", 100000000, "note\nsecond"},
        {1005, "2026-12-01",
         "\xc3\x89lodie Fran\xc3\xa7"
         "aise",
         70001, "caf\xc3\xa9", "reprinted", "spoiled", "2026-12-01", 1006},
        {1006, "2026-12-01",
         "\xc3\x89lodie Fran\xc3\xa7"
         "aise",
         70001, "caf\xc3\xa9"},
        {1007, "2026-12-05", "zeta [star*] ?", 1, "", "issued", nullptr, nullptr, 0, "7654321"},
        {998, "2026-10-31", "MULLER hardware", 25000, "m\xc3\xbcller"},
    };
}

// The journal's two engines, for tests that run one body against both.
enum class Engine { File, Server };

inline void PrintTo(Engine engine, std::ostream *out) {
    *out << (engine == Engine::File ? "File" : "Server");
}

inline std::string EngineName(const ::testing::TestParamInfo<Engine> &info) {
    return info.param == Engine::File ? "File" : "Server";
}

// An open journal of today's schema on either engine: a file in a temporary program folder, or a
// new database on the tests' server. Checks are put in through the journal's own connection, the
// printed ones in a run of their account, person and computer.
class EngineJournal {
public:
    explicit EngineJournal(Engine engine) : engine_(engine) {
        journal_ = std::make_unique<CheckJournal>(dir.path());
        if (engine == Engine::Server) {
            QString error;
            place = FreshServerDatabase(&error);
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
            journal_->SetPlace(place);
        }
        journal_->SetWho({QStringLiteral("anna"), QStringLiteral("office-pc")});
        const FileResult opened = journal_->Open();
        EXPECT_TRUE(opened.ok) << opened.error.toStdString();
        connection = journal_->ConnectionName();
    }
    EngineJournal(const EngineJournal &) = delete;
    EngineJournal &operator=(const EngineJournal &) = delete;

    CheckJournal &checks() { return *journal_; }
    Engine engine() const { return engine_; }

    // A second journal object on the same place, as another person on another computer would
    // have; for the file, the first lets it go (the file is locked by whoever has it open).
    std::unique_ptr<CheckJournal> another(const JournalWho &who) {
        if (engine_ == Engine::File) {
            journal_->Close();
        }
        auto other = std::make_unique<CheckJournal>(dir.path());
        if (engine_ == Engine::Server) {
            other->SetPlace(place);
        }
        other->SetWho(who);
        const FileResult opened = other->Open();
        EXPECT_TRUE(opened.ok) << opened.error.toStdString();
        return other;
    }

    // Adds the checks in one transaction; returns the id of the first.
    qint64 add(const QList<TestCheck> &checks) {
        QSqlDatabase db = QSqlDatabase::database(connection);
        EXPECT_TRUE(db.transaction());
        QSqlQuery run(db);
        run.prepare(QStringLiteral("INSERT INTO runs(printed_at, printer, style, account_no, bank_name, "
                                   "checks_on_first_sheet, os_user, host, station) VALUES('2026-12-01T10:00:00', "
                                   "'PDF', 'Deluxe 3-On-A-Page', ?, 'First Bank', 3, ?, ?, '') RETURNING id"));
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral(
            "INSERT INTO checks(run_id, account_no, check_no, date_printed, payee, amount_cents, memo, sheet, slot, "
            "status, void_reason, void_date, reprinted_as, account_digits, marked_by, marked_host, requested_by, "
            "requested_host, requested_at, approved_by, approved_host, approved_at) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, 1, 1, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"));
        qint64 first = -1;
        const auto text = [](const char *utf8) { return utf8 ? QVariant(QString::fromUtf8(utf8)) : QVariant(); };
        QHash<QString, QVariant> runs; // by account, person and computer
        for (const TestCheck &check : checks) {
            const bool waiting = qstrcmp(check.status, "awaiting") == 0 || qstrcmp(check.status, "approved") == 0;
            QVariant runId;
            const QString runKey = QString::fromUtf8(check.account) + QLatin1Char('/') + QString::fromUtf8(check.user) +
                                   QLatin1Char('@') + QString::fromUtf8(check.host);
            if (!waiting && runs.contains(runKey)) {
                runId = runs.value(runKey);
            } else if (!waiting) {
                run.addBindValue(text(check.account));
                run.addBindValue(text(check.user));
                run.addBindValue(text(check.host));
                EXPECT_TRUE(run.exec() && run.next()) << run.lastError().text().toStdString();
                runId = run.value(0);
                runs.insert(runKey, runId);
                run.finish();
            }
            insert.addBindValue(runId);
            insert.addBindValue(text(check.account));
            insert.addBindValue(waiting ? QVariant() : QVariant(check.checkNo));
            insert.addBindValue(text(check.date));
            insert.addBindValue(text(check.payee));
            insert.addBindValue(check.cents);
            insert.addBindValue(text(check.memo));
            insert.addBindValue(text(check.status));
            insert.addBindValue(text(check.voidReason));
            insert.addBindValue(text(check.voidDate));
            insert.addBindValue(check.reprintedAs ? QVariant(check.reprintedAs) : QVariant());
            insert.addBindValue(AccountDigits(QString::fromUtf8(check.account)));
            for (const char *who : {check.markedBy, check.markedHost, check.requestedBy, check.requestedHost}) {
                insert.addBindValue(text(who));
            }
            insert.addBindValue(text(*check.requestedBy ? check.date : ""));
            insert.addBindValue(text(check.approvedBy));
            insert.addBindValue(text(check.approvedHost));
            insert.addBindValue(text(*check.approvedBy ? check.date : ""));
            EXPECT_TRUE(insert.exec() && insert.next()) << insert.lastError().text().toStdString();
            if (first < 0) {
                first = insert.value(0).toLongLong();
            }
            insert.finish();
        }
        EXPECT_TRUE(db.commit()) << db.lastError().text().toStdString();
        return first;
    }

    // One column of one check, read through the journal's connection.
    QVariant value(qint64 id, const QString &column) const { return CheckColumn(connection, id, column); }

    QTemporaryDir dir;
    JournalPlace place;
    QString connection;

private:
    Engine engine_;
    std::unique_ptr<CheckJournal> journal_;
};

// Who did what: checks printed, voided, asked for and approved by three people on three computers.
inline QList<TestCheck> WhoChecks() {
    // clang-format off
    return {
        {4001, "2026-12-02", "Printed by anna", 1000},
        {4002, "2026-12-02", "Voided by anna", 2000, "", "voided", "wrong amount", "2026-12-03", 0, "1234567",
         "bob", "desk-2", "anna", "office-pc"},
        {0, "2026-12-04", "Waiting for carol", 500000, "", "awaiting", nullptr, nullptr, 0, "1234567",
         "", "", "", "", "bob", "desk-2"},
        {0, "2026-12-04", "Approved by carol", 600000, "", "approved", nullptr, nullptr, 0, "1234567",
         "", "", "", "", "bob", "desk-2", "carol", "laptop"},
    };
    // clang-format on
}
