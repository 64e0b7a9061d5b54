#pragma once

#include <QDir>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <gtest/gtest.h>

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
};

// A journal file written with the agreed tables, independent of the code under test, in a
// temporary folder (or the given one); `connection` is an open connection to it.
class JournalFile {
public:
    explicit JournalFile(int version = 2, const QString &folder = QString()) {
        path = QDir(folder.isEmpty() ? dir.path() : folder).filePath(QStringLiteral("CheckJournal.db"));
        connection = QStringLiteral("test-journal-") + QString::number(++serial());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open()) << db.lastError().text().toStdString();
        const QString slotColumns =
            version >= 2 ? QStringLiteral("sheet INTEGER NOT NULL, slot INTEGER NOT NULL, ") : QString();
        const QStringList ddl = {
            QStringLiteral("PRAGMA journal_mode = WAL"),
            QStringLiteral("CREATE TABLE runs(id INTEGER PRIMARY KEY, printed_at TEXT NOT NULL, printer TEXT NOT NULL, "
                           "style TEXT NOT NULL, account_no TEXT NOT NULL, bank_name TEXT NOT NULL, "
                           "checks_on_first_sheet INTEGER NOT NULL)"),
            QStringLiteral("CREATE TABLE checks(id INTEGER PRIMARY KEY, run_id INTEGER NOT NULL REFERENCES runs(id), "
                           "account_no TEXT NOT NULL, check_no INTEGER NOT NULL, date_printed TEXT NOT NULL, "
                           "payee TEXT NOT NULL, amount_cents INTEGER NOT NULL, memo TEXT NOT NULL, ") +
                slotColumns +
                QStringLiteral("status TEXT NOT NULL CHECK(status IN ('issued','voided','reprinted')), "
                               "void_reason TEXT, void_date TEXT, reprinted_as INTEGER)"),
            QStringLiteral(
                "CREATE UNIQUE INDEX checks_issued_number ON checks(account_no, check_no) WHERE status = 'issued'"),
            QStringLiteral("CREATE INDEX checks_check_no ON checks(check_no)"),
            QStringLiteral("CREATE INDEX checks_date ON checks(date_printed)"),
            QStringLiteral("CREATE INDEX checks_payee ON checks(payee COLLATE NOCASE)"),
            QStringLiteral("PRAGMA user_version = ") + QString::number(version),
            QStringLiteral("INSERT INTO runs VALUES(1, '2026-12-01T10:00:00', 'PDF', 'Deluxe 3-On-A-Page', '1234567', "
                           "'First Bank', 3)"),
        };
        for (const QString &statement : ddl) {
            QSqlQuery query(db);
            EXPECT_TRUE(query.exec(statement)) << query.lastError().text().toStdString();
        }
        version_ = version;
    }
    ~JournalFile() {
        QSqlDatabase::database(connection, false).close();
        QSqlDatabase::removeDatabase(connection);
    }
    JournalFile(const JournalFile &) = delete;
    JournalFile &operator=(const JournalFile &) = delete;

    // Adds the checks in one transaction; returns the id of the first.
    qint64 add(const QList<TestCheck> &checks) {
        QSqlDatabase db = QSqlDatabase::database(connection);
        db.transaction();
        QSqlQuery insert(db);
        insert.prepare(version_ >= 2
                           ? QStringLiteral("INSERT INTO checks(run_id, account_no, check_no, date_printed, payee, "
                                            "amount_cents, memo, sheet, slot, status, void_reason, void_date, "
                                            "reprinted_as) VALUES(1, ?, ?, ?, ?, ?, ?, 1, 1, ?, ?, ?, ?)")
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
            EXPECT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
            if (first < 0) {
                first = insert.lastInsertId().toLongLong();
            }
        }
        EXPECT_TRUE(db.commit());
        return first;
    }

    // One column of one check, read straight from the file.
    QVariant value(qint64 id, const QString &column) const {
        QSqlQuery query(QSqlDatabase::database(connection));
        query.prepare(QStringLiteral("SELECT ") + column + QStringLiteral(" FROM checks WHERE id = ?"));
        query.addBindValue(id);
        return query.exec() && query.next() ? query.value(0) : QVariant();
    }

    QTemporaryDir dir;
    QString path;
    QString connection;

private:
    static int &serial() {
        static int n = 0;
        return n;
    }
    int version_ = 2;
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
