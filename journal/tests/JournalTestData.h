#pragma once

#include "checkbook/CheckbookSettings.h"
#include "journal/CheckJournal.h"
#include "register/Register.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <initializer_list>

// The journal file under the program's folder.
inline const QString kJournalPath = kJournalFolder + QLatin1Char('/') + kJournalFile;

// Check n of the journal tests: payee, amount and memo all tell the number.
inline RegisterRecord NumberedCheck(qint64 n) {
    const QString number = QString::number(n);
    return {number,
            QStringLiteral("12/08/2026"),
            QStringLiteral("Payee ") + number,
            number + QStringLiteral(".25"),
            QStringLiteral("Memo ") + number,
            kStatusPrinted};
}

inline CheckbookSettings JournalSetup(qint64 nextCheckNo, int left = 3) {
    return {QStringLiteral("First Example Bank"), QStringLiteral("0012-345678"), QString::number(nextCheckNo),
            QString::number(left), kStyle3OnAPage};
}

inline JournalRun JournalRunOf(const CheckbookSettings &settings) {
    return {QDateTime(QDate(2026, 12, 8), QTime(10, 15)),
            QStringLiteral("Office Printer"),
            settings.CheckStyle,
            settings.AcctNo,
            settings.BankName,
            settings.ChecksOnForm.toInt()};
}

// Records the intent of a run of `count` checks from `first`: the journal's first write of a run.
inline FileResult IntentOf(CheckJournal &journal, qint64 first, int count = 1, qint64 *runId = nullptr) {
    QList<JournalCheck> checks;
    for (int i = 0; i < count; ++i) {
        checks.append({first + i, QDate(2026, 12, 8), QStringLiteral("A payee with a long name"), 100,
                       QStringLiteral("memo"), 1, 1});
    }
    return journal.RecordIntent(JournalRunOf(JournalSetup(first)), checks, {}, {}, runId);
}

// Takes a journal of schema 5 back to what schema 4 held (its columns may hold NULL where 4 did not).
inline const std::initializer_list<const char *> kUndoVersion5 = {
    "DROP TABLE approval_limits",
    "DROP INDEX checks_approval",
    "ALTER TABLE runs DROP COLUMN os_user",
    "ALTER TABLE runs DROP COLUMN host",
    "ALTER TABLE runs DROP COLUMN station",
    "ALTER TABLE exports DROP COLUMN os_user",
    "ALTER TABLE exports DROP COLUMN host",
    "ALTER TABLE due_work DROP COLUMN station",
    "ALTER TABLE checks DROP COLUMN marked_by",
    "ALTER TABLE checks DROP COLUMN marked_host",
    "ALTER TABLE checks DROP COLUMN requested_by",
    "ALTER TABLE checks DROP COLUMN requested_host",
    "ALTER TABLE checks DROP COLUMN requested_at",
    "ALTER TABLE checks DROP COLUMN approved_by",
    "ALTER TABLE checks DROP COLUMN approved_host",
    "ALTER TABLE checks DROP COLUMN approved_at",
    "PRAGMA user_version = 4",
};

// Runs statements on a connection of its own to a journal file, outside the journal under test.
class RawJournal {
public:
    explicit RawJournal(const QString &path, const QString &name = QStringLiteral("raw")) : name_(name) {
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db_.setDatabaseName(path);
        db_.open();
    }
    ~RawJournal() {
        db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(name_);
    }
    bool exec(const QString &statement) {
        QSqlQuery query(db_);
        return query.exec(statement);
    }
    // Runs the statements in order and answers the first that fails, or nullptr when all ran.
    const char *execAll(std::initializer_list<const char *> statements) {
        for (const char *statement : statements) {
            if (!exec(QLatin1String(statement))) {
                return statement;
            }
        }
        return nullptr;
    }
    // The first column of every row.
    QStringList column(const QString &statement) {
        QSqlQuery query(db_);
        QStringList values;
        if (query.exec(statement)) {
            while (query.next()) {
                values << query.value(0).toString();
            }
        }
        return values;
    }

private:
    QString name_;
    QSqlDatabase db_;
};
