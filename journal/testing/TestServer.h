#pragma once

#include "journal/JournalPlace.h"

#include <QString>

// The PostgreSQL server CTest starts for the tests, named by QUILLANE_TEST_SERVER in libpq's
// "key=value" form. Each call creates a new, empty database there and returns its place; *error
// says why there is none (no server is a failure of the test, never a reason to skip it).
JournalPlace FreshServerDatabase(QString *error);

// Runs one statement on the server's database of the place, outside any journal: for tests that
// look at or break what the journal wrote (pg_terminate_backend, counts). Empty when it worked.
QString RunOnServer(const JournalPlace &place, const QString &statement, QString *firstValue = nullptr);
