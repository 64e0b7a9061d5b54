// The journal's commit of a whole run of 1,000 checks: one transaction with the run, the checks
// and the due file work, on a real file with full synchronous commits.
#include "journal/CheckJournal.h"
#include "journal/RunEnd.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void BM_JournalCommitOfARun(benchmark::State &state) {
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
        if (!journal.RecordRun(run, checks, due, &runId, &dueId)) {
            state.SkipWithError("the run could not be recorded");
            return;
        }
        benchmark::DoNotOptimize(runId);
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_JournalCommitOfARun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
