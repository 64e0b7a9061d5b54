// Takes the single-instance guard at a lock path, as another copy of the program would.
//   lock_holder <lock path> hold   prints "locked" and keeps the guard until killed (or a minute),
//                                  or prints "refused" and exits with 1
//   lock_holder <lock path> try    prints "locked" (exit 0) or "refused" (exit 1)
#include "platform/AppObject.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>
#include <unistd.h>

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: lock_holder <lock path> hold|try\n", stderr);
        return 2;
    }
    LockFileGuard guard(QString::fromLocal8Bit(argv[1]));
    const bool refused = guard.PrevInstance();
    std::fputs(refused ? "refused\n" : "locked\n", stdout);
    std::fflush(stdout);
    if (refused) {
        return 1;
    }
    if (std::strcmp(argv[2], "hold") == 0) {
        ::sleep(60);
    }
    return 0;
}
