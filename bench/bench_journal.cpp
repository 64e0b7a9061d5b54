// The journal's commits of a whole run of 1,000 checks on a real file with full synchronous commits:
// the run, its checks and the due file work in one transaction (as a run was recorded before the
// intent), against the intent before printing plus the end after it (two commits, as a run is
// recorded now). The difference is what printing waits for the intent.
#include "journal/CheckJournal.h"
#include "journal/RunEnd.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void commitRuns(benchmark::State &state, bool intentFirst) {
    const int count = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    CheckJournal journal(dir.path());
    if (!journal.Open()) {
        state.SkipWithError("the journal cannot be opened");
        return;
    }
    const JournalRun run{QDateTime(QDate(2026, 12, 8), QTime(10, 15)), QStringLiteral("Office Printer"),
                         QStringLiteral("Deluxe 3-On-A-Page"),         QStringLiteral("0012-345678"),
                         QStringLiteral("First Example Bank"),         3};
    DueWork due;
    due.settingsBefore = QByteArray(120, 's');
    due.settingsAfter = QByteArray(120, 't');
    due.registerBefore = QByteArray(32, 'h');
    qint64 first = 1;
    for (auto _ : state) {
        state.PauseTiming();
        QList<JournalCheck> checks;
        checks.reserve(count);
        for (int i = 0; i < count; ++i) {
            const SheetSlot place = SheetAndSlot(i, 3);
            checks.append({first + i, QDate(2026, 12, 8), QStringLiteral("Payee number %1").arg(first + i), 12345 + i,
                           QStringLiteral("Memo of the benchmark run"), place.sheet, place.slot});
        }
        first += count;
        state.ResumeTiming();
        qint64 runId = 0;
        qint64 dueId = 0;
        bool recorded = false;
        if (intentFirst) {
            recorded = journal.RecordIntent(run, checks, due, QByteArray(count * 115, 'r'), &runId) &&
                       journal.EndRun(runId, QList<PrintMark>(count, PrintMark::Good), QDate(2026, 12, 8), due, &dueId);
        } else {
            recorded = journal.RecordRun(run, checks, due, &runId, &dueId).ok;
        }
        if (!recorded) {
            state.SkipWithError("the run could not be recorded");
            return;
        }
        benchmark::DoNotOptimize(runId);
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BM_JournalCommitOfARun(benchmark::State &state) {
    commitRuns(state, false);
}
void BM_JournalIntentThenEndOfARun(benchmark::State &state) {
    commitRuns(state, true);
}
BENCHMARK(BM_JournalCommitOfARun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JournalIntentThenEndOfARun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
