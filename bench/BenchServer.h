#pragma once

// A PostgreSQL server of the benchmark's own, started with the tests' script (initdb into a folder
// of /tmp, a Unix socket there and no TCP) and stopped when the benchmark ends, with one new
// database for the journal.
#include "journal/testing/TestServer.h"

#include <QCoreApplication>
#include <QProcess>

#include <cstdio>

class BenchServer {
public:
    BenchServer()
        : folder_(QStringLiteral("/tmp/quillane-bench-pg-%1").arg(QCoreApplication::applicationPid())),
          port_(55000 + static_cast<int>(QCoreApplication::applicationPid() % 1000)) {
        if (QProcess::execute(QStringLiteral("sh"), {QStringLiteral(QUILLANE_PG_SCRIPT), QStringLiteral("start"),
                                                     folder_, QString::number(port_)}) != 0) {
            std::fprintf(stderr, "the benchmark's PostgreSQL server did not start\n");
            return;
        }
        place.server = true;
        place.host = folder_;
        place.port = port_;
        place.user = QStringLiteral("quillane");
        place.database = QStringLiteral("bench");
        error = RunOnServer(with(QStringLiteral("postgres")), QStringLiteral("CREATE DATABASE bench"));
    }
    ~BenchServer() {
        QProcess::execute(QStringLiteral("sh"), {QStringLiteral(QUILLANE_PG_SCRIPT), QStringLiteral("stop"), folder_});
    }
    BenchServer(const BenchServer &) = delete;
    BenchServer &operator=(const BenchServer &) = delete;

    bool ok() const { return place.server && error.isEmpty(); }

    JournalPlace place;
    QString error;

private:
    JournalPlace with(const QString &database) const {
        JournalPlace other = place;
        other.database = database;
        return other;
    }
    QString folder_;
    int port_;
};
