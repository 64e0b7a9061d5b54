// One program on a server journal, for the race and killed-connection tests:
//   journal_worker race <host> <port> <user> <database> <folder> <runs> <seed>
//     runs of 1..5 checks on one account from max(the journal's next number, its own next); a
//     number another took is retried at the next free one. Prints "run <id> <first> <count>" per
//     run ended and "taken <refusals>" at the end, fails on anything else.
//   journal_worker road <host> <port> <user> <database> <folder>
//     the whole run road (intent, end, review at the next start) over and over on the folder's
//     register and settings until the folder holds a file "stop", letting the journal fail as it
//     may meanwhile; then prints "stopped" and waits for a line on its input (the test looks at
//     what the kills left), then the next start's review and the road once more, which must work.
//     Prints "runs <ended> <failed>".
#include "JournalTestData.h"
#include "journal/RunEnd.h"
#include "platform/QtFiles.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>

namespace {

const QString kAccount = QStringLiteral("0012-345678");

int Race(CheckJournal &journal, int runs, quint32 seed) {
    QRandomGenerator random(seed);
    qint64 own = 1;
    int refusals = 0;
    for (int i = 0; i < runs; ++i) {
        const int count = 1 + static_cast<int>(random.bounded(5));
        qint64 next = 0;
        if (!journal.NextNumber(kAccount, &next)) {
            std::fprintf(stderr, "next number: %s\n", qPrintable(journal.NextNumber(kAccount, &next).error));
            return 2;
        }
        qint64 first = qMax(next, own);
        qint64 runId = 0;
        for (int attempt = 0;; ++attempt) {
            QList<JournalCheck> checks;
            for (int k = 0; k < count; ++k) {
                checks.append({first + k, QDate(2026, 12, 8), QStringLiteral("Payee %1").arg(first + k), 100 + k,
                               QString(), 1, 1 + k % 3});
            }
            const FileResult intent = journal.RecordIntent(JournalRunOf(JournalSetup(first)), checks, {}, {}, &runId);
            if (intent) {
                break;
            }
            bool taken = false;
            qint64 nextFree = 0;
            const FileResult free = journal.CheckNumbersFree(kAccount, first, count, &taken, &nextFree);
            if (attempt > 1000 || (!taken && !free)) {
                std::fprintf(stderr, "run %d refused: %s / %s\n", i, qPrintable(intent.error), qPrintable(free.error));
                return 3;
            }
            if (taken) {
                first = nextFree;
                ++refusals;
            }
        }
        qint64 dueId = 0;
        const FileResult end =
            journal.EndRun(runId, QList<PrintMark>(count, PrintMark::Good), QDate(2026, 12, 8), {}, &dueId);
        if (!end) {
            std::fprintf(stderr, "end of run %d: %s\n", i, qPrintable(end.error));
            return 4;
        }
        own = first + count;
        std::printf("run %lld %lld %d\n", runId, first, count);
    }
    std::printf("taken %d\n", refusals);
    return 0;
}

// What the person does at the next start: due file work finished, unfinished runs reviewed as
// every form printed well.
FileResult Settle(CheckJournal &journal, Files &files) {
    bool changed = false;
    if (const FileResult done = FinishDueWork(journal, files, &changed); !done) {
        return done;
    }
    QList<UnresolvedRun> unresolved;
    if (const FileResult loaded = journal.LoadUnresolved(unresolved); !loaded) {
        return loaded;
    }
    for (const UnresolvedRun &run : std::as_const(unresolved)) {
        int requeued = 0;
        const FileResult resolved =
            ResolveRun(journal, files, run, QList<PrintMark>(run.checks.size(), PrintMark::Good), QDate(2026, 12, 9),
                       &requeued, &changed);
        if (!resolved) {
            return resolved;
        }
    }
    return FileResult::Ok();
}

// One run of the register's checks (1..5 written first when it has none) from the setup's number.
FileResult Road(CheckJournal &journal, Files &files, QRandomGenerator &random) {
    if (const FileResult settled = Settle(journal, files); !settled) {
        return settled;
    }
    const SettingsLoad setup = LoadSettings(files);
    const qint64 next = setup.settings.CheckNo.toLongLong();
    QList<RegisterRecord> pending;
    if (const FileResult read = ReadAllRecords(files, pending); !read) {
        return read;
    }
    if (pending.isEmpty()) {
        for (int k = 0, count = 1 + static_cast<int>(random.bounded(5)); k < count; ++k) {
            pending.append(NumberedCheck(next + k));
        }
        if (const FileResult written = AppendRegisterRecords(files, pending); !written) {
            return written;
        }
    }
    FinishedRun run;
    run.run = JournalRunOf(setup.settings);
    run.printed = pending;
    run.firstCheckNo = next;
    run.today = QDate(2026, 12, 8);
    run.settingsAfter = JournalSetup(next + pending.size());
    if (const FileResult intent = RecordPrintIntent(journal, files, run, &run.intentId); !intent) {
        return intent;
    }
    const FinishResult finished = FinishRun(journal, files, run);
    for (const FileResult &step : {finished.journal, finished.settings, finished.registerTrim}) {
        if (!step) {
            return step;
        }
    }
    return FileResult::Ok();
}

int KeepDriving(CheckJournal &journal, const QString &folder) {
    QtFiles files(folder);
    if (!SaveSettings(files, JournalSetup(1001))) {
        return 2;
    }
    QRandomGenerator random(7);
    int ended = 0;
    int failed = 0;
    while (!QFileInfo::exists(folder + QStringLiteral("/stop"))) {
        const FileResult road = Road(journal, files, random);
        (road ? ended : failed) += 1;
        if (!road && qEnvironmentVariableIsSet("QUILLANE_WORKER_SAYS")) {
            std::fprintf(stderr, "%s\n", qPrintable(road.error));
        }
    }
    std::printf("stopped\n");
    std::fflush(stdout);
    char line[16];
    if (std::fgets(line, sizeof line, stdin) == nullptr) {
        return 4;
    }
    // The server is left alone now: the next run works.
    const FileResult last = Road(journal, files, random);
    const FileResult settled = last ? Settle(journal, files) : last;
    if (!settled) {
        std::fprintf(stderr, "the run after the kills failed: %s\n", qPrintable(settled.error));
        return 3;
    }
    std::printf("runs %d %d\n", ended + 1, failed);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 7) {
        std::fprintf(stderr, "usage: journal_worker race|road host port user database folder [runs seed]\n");
        return 1;
    }
    JournalPlace place;
    place.server = true;
    place.host = args[2];
    place.port = args[3].toInt();
    place.user = args[4];
    place.database = args[5];
    CheckJournal journal(args[6]);
    journal.SetPlace(place);
    journal.SetWho({QStringLiteral("worker%1").arg(QCoreApplication::applicationPid()), QStringLiteral("bench")});
    if (args[1] == QLatin1String("race") && args.size() == 9) {
        return Race(journal, args[7].toInt(), args[8].toUInt());
    }
    return KeepDriving(journal, args[6]);
}
