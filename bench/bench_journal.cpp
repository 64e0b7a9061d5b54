// The journal's commits of a whole run of 1,000 checks on a real file with full synchronous commits:
// the run, its checks and the due file work in one transaction (as a run was recorded before the
// intent), against the intent before printing plus the end after it (two commits, as a run is
// recorded now). The difference is what printing waits for the intent. The same on a PostgreSQL
// server of this machine (its own, started for the benchmark): the intent and end, and the whole
// road's journal and file commits (RecordPrintIntent, then FinishRun on a real register).
#include "BenchServer.h"
#include "journal/CheckJournal.h"
#include "journal/RunEnd.h"
#include "platform/QtFiles.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

BenchServer &Server() {
    static BenchServer server;
    return server;
}

void commitRuns(benchmark::State &state, bool intentFirst, bool onServer = false) {
    const int count = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    CheckJournal journal(dir.path());
    if (onServer) {
        if (!Server().ok()) {
            state.SkipWithError("no server");
            return;
        }
        journal.SetPlace(Server().place);
    }
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
    // The server's journal outlives the benchmark's repeated calls: its numbers go on from there.
    static qint64 serverFirst = 1;
    qint64 local = 1;
    qint64 &first = onServer ? serverFirst : local;
    double intentMillis = 0; // of the intent alone: what printing waits for
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
            const auto start = std::chrono::steady_clock::now();
            recorded = journal.RecordIntent(run, checks, due, QByteArray(count * 115, 'r'), &runId).ok;
            intentMillis += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
            recorded = recorded &&
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
    if (intentFirst) {
        state.counters["intent_ms"] = benchmark::Counter(intentMillis, benchmark::Counter::kAvgIterations);
    }
}

void BM_JournalCommitOfARun(benchmark::State &state) {
    commitRuns(state, false);
}
void BM_JournalIntentThenEndOfARun(benchmark::State &state) {
    commitRuns(state, true);
}
BENCHMARK(BM_JournalCommitOfARun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_JournalIntentThenEndOfARun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ServerIntentThenEndOfARun(benchmark::State &state) {
    commitRuns(state, true, true);
}
BENCHMARK(BM_ServerIntentThenEndOfARun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// The run road on the server: the intent with the file work it will owe, then the end (journal,
// settings, register trimmed, due work cleared), over a register of `count` checks.
void BM_ServerRoadOfARun(benchmark::State &state) {
    const int count = static_cast<int>(state.range(0));
    if (!Server().ok()) {
        state.SkipWithError("no server");
        return;
    }
    QTemporaryDir dir;
    QtFiles files(dir.path());
    CheckJournal journal(dir.path());
    journal.SetPlace(Server().place);
    CheckbookSettings setup{QStringLiteral("First Example Bank"), QStringLiteral("0012-345678"), QString(),
                            QStringLiteral("3"), kStyle3OnAPage};
    static qint64 first = 2000000;
    for (auto _ : state) {
        state.PauseTiming();
        QList<RegisterRecord> records;
        for (int i = 0; i < count; ++i) {
            records.append({QString::number(first + i), QStringLiteral("12/08/2026"),
                            QStringLiteral("Payee number %1").arg(i), QStringLiteral("123.45"),
                            QStringLiteral("Memo of the benchmark run"), kStatusPrinted});
        }
        setup.CheckNo = QString::number(first);
        if (!SaveSettings(files, setup) || !AppendRegisterRecords(files, records)) {
            state.SkipWithError("the register could not be written");
            return;
        }
        FinishedRun run;
        run.run = {QDateTime(QDate(2026, 12, 8), QTime(10, 15)),
                   QStringLiteral("Office Printer"),
                   setup.CheckStyle,
                   setup.AcctNo,
                   setup.BankName,
                   3};
        run.printed = records;
        run.firstCheckNo = first;
        run.today = QDate(2026, 12, 8);
        run.settingsAfter = setup;
        run.settingsAfter.CheckNo = QString::number(first + count);
        first += count;
        state.ResumeTiming();
        const FileResult intent = RecordPrintIntent(journal, files, run, &run.intentId);
        const FinishResult end = FinishRun(journal, files, run);
        if (!intent || !end.journal || !end.settings || !end.registerTrim) {
            state.SkipWithError("the run could not be recorded");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ServerRoadOfARun)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
