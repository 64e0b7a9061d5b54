#pragma once

#include "journal/CheckJournal.h"
#include "journal/testing/TestServer.h"

#include <gtest/gtest.h>

#include <string>

// The one journal interface has two engines; the tests of its behaviour run on both.
enum class Engine { File, Server };

inline std::string EngineName(const ::testing::TestParamInfo<Engine> &info) {
    return info.param == Engine::File ? "File" : "Server";
}
inline void PrintTo(Engine engine, std::ostream *out) {
    *out << (engine == Engine::File ? "File" : "Server");
}

// Where a new journal of the engine is: the embedded file of its folder, or a new empty database
// on the tests' server (none there fails the test).
inline JournalPlace NewPlace(Engine engine) {
    if (engine == Engine::File) {
        return {};
    }
    QString error;
    const JournalPlace place = FreshServerDatabase(&error);
    if (!error.isEmpty()) {
        ADD_FAILURE() << error.toStdString();
    }
    return place;
}

// The people of the tests, each at a computer of their own.
inline const JournalWho kAnna{QStringLiteral("anna"), QStringLiteral("desk-1")};
inline const JournalWho kBen{QStringLiteral("ben"), QStringLiteral("desk-2")};
inline const JournalWho kCarl{QStringLiteral("carl"), QStringLiteral("desk-3")};

inline void PrintTo(const JournalWho &who, std::ostream *out) {
    *out << who.user.toStdString() << '@' << who.host.toStdString();
}
