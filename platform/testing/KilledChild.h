#pragma once

#include "platform/QtFiles.h"

#include <QElapsedTimer>
#include <QString>

#include <csignal>
#include <functional>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

// Crash tests: runs some file work over and over in a child process and kills the child with
// SIGKILL at a random moment, as a crash or a killed program would stop it.
class KilledChild {
public:
    // `work` runs once per turn in the child; it calls _exit() with a non-zero code on a failure.
    explicit KilledChild(std::function<void()> work, unsigned seed) : work_(std::move(work)), random_(seed) {}

    // Times a few turns here, so that the kills spread over whole turns whatever the machine.
    void calibrate(int turns) {
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < turns; ++i) {
            work_();
        }
        const qint64 turnMicros = timer.nsecsElapsed() / 1000 / turns;
        // A child's start is measured too: under sanitizers a fork alone can take milliseconds.
        timer.restart();
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::_exit(0);
        }
        if (pid > 0) {
            int status = 0;
            ::waitpid(pid, &status, 0);
        }
        const qint64 startMicros = timer.nsecsElapsed() / 1000;
        // Up to three turns, plus twice the time a child takes to start and end.
        maxDelayMicros_ = static_cast<int>(3 * turnMicros + 2 * startMicros) + 1000;
    }

    // One round: fork, let the child work for a random time, kill it. False, with the reason, when
    // the child ended in any other way.
    bool round(QString *why) {
        const pid_t pid = ::fork();
        if (pid < 0) {
            *why = QStringLiteral("fork failed");
            return false;
        }
        if (pid == 0) {
            for (;;) {
                work_();
            }
        }
        std::uniform_int_distribution<int> delay(0, maxDelayMicros_);
        ::usleep(static_cast<useconds_t>(delay(random_)));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
            *why = QStringLiteral("the child ended by itself with status %1").arg(status);
            return false;
        }
        return true;
    }

    int maxDelayMicros() const { return maxDelayMicros_; }

private:
    std::function<void()> work_;
    std::mt19937 random_;
    int maxDelayMicros_ = 5000;
};

// The real file layer without its flushes to disk. A killed process loses nothing that reached the
// system's cache, so for kill tests the flush changes nothing a kill can see; leaving it out lets
// the kills land among the write calls instead of almost always inside a flush.
class UnflushedFiles final : public QtFiles {
public:
    using QtFiles::QtFiles;

protected:
    bool sysSync(int fd) override {
        (void)fd;
        return true;
    }
};
