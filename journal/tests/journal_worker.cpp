// One program on a server journal, for the race and killed-connection tests:
//   journal_worker race <host> <port> <user> <database> <folder> <runs> <seed>
//     runs of 1..5 checks on one account from max(the journal's next number, its own next); a
//     number another took is retried at the next free one. Prints "run <id> <first> <count>" per
//     run ended, fails on anything else.
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
    return 0;
}

// What the person does at the next start: due file work finished, unfinished runs reviewed as
// every form printed well.
bool Settle(CheckJournal &journal, Files &files) {
    bool changed = false;
    if (!FinishDueWork(journal, files, &changed)) {
        return false;
    }
    QList<UnresolvedRun> unresolved;
    if (!journal.LoadUnresolved(unresolved)) {
        return false;
    }
    for (const UnresolvedRun &run : std::as_const(unresolved)) {
        int requeued = 0;
        if (!ResolveRun(journal, files, run, QList<PrintMark>(run.checks.size(), PrintMark::Good), QDate(2026, 12, 9),
                        &requeued, &changed)) {
            return false;
        }
    }
    return true;
}

// One run of the register's checks (1..5 written first when it has none) from the setup's number.
bool Road(CheckJournal &journal, Files &files, QRandomGenerator &random) {
    if (!Settle(journal, files)) {
        return false;
    }
    const SettingsLoad setup = LoadSettings(files);
    const qint64 next = setup.settings.CheckNo.toLongLong();
    QList<RegisterRecord> pending;
    if (!ReadAllRecords(files, pending)) {
        return false;
    }
    if (pending.isEmpty()) {
        for (int k = 0, count = 1 + static_cast<int>(random.bounded(5)); k < count; ++k) {
            pending.append(NumberedCheck(next + k));
        }
        if (!AppendRegisterRecords(files, pending)) {
            return false;
        }
    }
    FinishedRun run;
    run.run = JournalRunOf(setup.settings);
    run.printed = pending;
    run.firstCheckNo = next;
    run.today = QDate(2026, 12, 8);
    run.settingsAfter = JournalSetup(next + pending.size());
    if (!RecordPrintIntent(journal, files, run, &run.intentId)) {
        return false;
    }
    const FinishResult finished = FinishRun(journal, files, run);
    return finished.journal && finished.settings && finished.registerTrim;
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
        (Road(journal, files, random) ? ended : failed) += 1;
    }
    std::printf("stopped\n");
    std::fflush(stdout);
    char line[16];
    if (std::fgets(line, sizeof line, stdin) == nullptr) {
        return 4;
    }
    // The server is left alone now: the next run works.
    if (!Road(journal, files, random) || !Settle(journal, files)) {
        std::fprintf(stderr, "the run after the kills failed\n");
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
