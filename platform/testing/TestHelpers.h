#pragma once

#include "platform/testing/FakePlatform.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <ostream>

// Small helpers shared by the tests of every folder.

// Text from a UTF-8 literal.
inline QString S(const char *utf8) {
    return QString::fromUtf8(utf8);
}

inline QStringList Strings(std::initializer_list<const char *> utf8) {
    QStringList list;
    for (const char *text : utf8) {
        list.append(S(text));
    }
    return list;
}

// True while any file number is open.
inline bool AnyFileOpen(const Files &files) {
    for (int number = 1; number <= 255; ++number) {
        if (files.IsOpen(number)) {
            return true;
        }
    }
    return false;
}

// A failure injected into the file layer, one row of a table-driven fault test.
struct InjectedFault {
    const char *label;
    qint64 bytesBeforeFull; // -1: no limit
    bool failSync;
    bool failRename;

    void applyTo(FaultyFiles &files) const {
        files.bytesBeforeFull = bytesBeforeFull;
        files.failSync = failSync;
        files.failRename = failRename;
    }
};

inline void PrintTo(const InjectedFault &fault, std::ostream *out) {
    *out << fault.label;
}
