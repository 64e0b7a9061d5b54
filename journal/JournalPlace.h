#pragma once

#include "platform/Files.h"

#include <QString>

// Where the check journal is kept: the embedded file in the program's folder (the default, no
// set-up), or a PostgreSQL database, named by libpq's own conventions. No password is ever kept
// here: libpq reads it from ~/.pgpass or from the service file.
struct JournalPlace {
    bool server = false;
    QString service;  // a service of pg_service.conf; when set, it alone names the server
    QString host;     // a host name, an address, or the folder of a Unix socket; empty: libpq's default
    int port = 0;     // 0: libpq's default
    QString database; // empty: libpq's default (the user's name)
    QString user;     // empty: libpq's default (the login name)
    QString sslMode;  // libpq's sslmode; empty: libpq's default

    bool operator==(const JournalPlace &) const = default;

    // The server in words for messages: "the server of service office" or "database checks on
    // db.example, port 5433, as anna"; the embedded journal says so.
    QString Describe() const;
    // What keeps the description from being used, in words, or empty when it can be used.
    QString Fault() const;
    // libpq's connection options beyond host, port, database and user (service, sslmode and the
    // program's own), separated by ';' as Qt's PostgreSQL driver takes them.
    QString ConnectOptions() const;
};

// The file of the program's folder that names the journal's place; without it, the embedded
// journal is used.
inline const QString kJournalPlaceFile = QStringLiteral("Journal.ini");

// Reads the place; a missing file is the embedded journal. A damaged file fails, naming the fault,
// and leaves *place the embedded journal.
FileResult LoadJournalPlace(Files &files, JournalPlace *place);
// Writes the place owner-only, all at once.
FileResult SaveJournalPlace(Files &files, const JournalPlace &place);
