#include "journal/testing/TestServer.h"

#include <QAtomicInteger>
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {

QAtomicInteger<int> counter;

JournalPlace serverOfEnvironment(QString *error) {
    JournalPlace place;
    const QString text = qEnvironmentVariable("QUILLANE_TEST_SERVER");
    if (text.isEmpty()) {
        *error = QStringLiteral("QUILLANE_TEST_SERVER is not set: run the test through CTest, which starts the "
                                "PostgreSQL server");
        return place;
    }
    place.server = true;
    for (const QString &pair : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        const QString value = pair.section(QLatin1Char('='), 1);
        if (key == QLatin1String("host")) {
            place.host = value;
        } else if (key == QLatin1String("port")) {
            place.port = value.toInt();
        } else if (key == QLatin1String("user")) {
            place.user = value;
        }
    }
    place.database = QStringLiteral("postgres");
    return place;
}

// A connection of its own for one statement, closed before returning.
QString runOn(const JournalPlace &place, const QString &statement, QString *firstValue) {
    const QString name = QStringLiteral("quillane-test-server-%1").arg(counter.fetchAndAddRelaxed(1));
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name);
        db.setHostName(place.host);
        db.setPort(place.port);
        db.setUserName(place.user);
        db.setDatabaseName(place.database);
        if (!db.open()) {
            error =
                QStringLiteral("the test server at %1 cannot be reached: %2").arg(place.host, db.lastError().text());
        } else {
            QSqlQuery query(db);
            if (!query.exec(statement)) {
                error = QStringLiteral("%1: %2").arg(statement, query.lastError().text());
            } else if (firstValue != nullptr && query.next()) {
                *firstValue = query.value(0).toString();
            }
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return error;
}

} // namespace

JournalPlace FreshServerDatabase(QString *error) {
    error->clear();
    JournalPlace place = serverOfEnvironment(error);
    if (!error->isEmpty()) {
        return {};
    }
    const QString database =
        QStringLiteral("journal_%1_%2").arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
    *error = runOn(place, QStringLiteral("CREATE DATABASE %1").arg(database), nullptr);
    if (!error->isEmpty()) {
        return {};
    }
    place.database = database;
    return place;
}

QString RunOnServer(const JournalPlace &place, const QString &statement, QString *firstValue) {
    return runOn(place, statement, firstValue);
}
