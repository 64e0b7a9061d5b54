// The data files on a real disk: register appends (each one flushed to disk) and counts, and the
// settings file saved and loaded.
#include "checkbook/CheckbookSettings.h"
#include "platform/testing/KilledChild.h"
#include "platform/testing/TempFolder.h"
#include "register/Register.h"

#include <benchmark/benchmark.h>

#include <memory>

#include <sys/resource.h>

namespace {

RegisterRecord Numbered(int n) {
    const QString number = QString::number(n);
    return {number,
            QStringLiteral("12/07/2026"),
            QStringLiteral("Payee number ") + number,
            number + QStringLiteral(".25"),
            QStringLiteral("Memo for check ") + number,
            kStatusPrinted};
}

// A register of `count` records, written directly.
void WriteRegister(const TempFolder &folder, int count) {
    QByteArray bytes;
    for (int n = 1; n <= count; ++n) {
        bytes += EncodeRecord(Numbered(n));
    }
    folder.write(QStringLiteral("TempRegister.txt"), bytes);
}

const CheckbookSettings kSettings{QStringLiteral("First Example Bank, Springfield"), QStringLiteral("0012-345678"),
                                  QStringLiteral("1041"), QStringLiteral("3"), QStringLiteral("Deluxe Wallet-Size")};

// 1,000 checks accepted one after another into a new register, then counted.
template <class FileLayer> void RegisterAppend1000ThenCount(benchmark::State &state) {
    constexpr int kChecks = 1000;
    for (auto _ : state) {
        state.PauseTiming();
        auto folder = std::make_unique<TempFolder>();
        auto files = std::make_unique<FileLayer>(folder->path());
        state.ResumeTiming();
        for (int n = 1; n <= kChecks; ++n) {
            if (!AppendRegisterRecord(*files, Numbered(n))) {
                state.SkipWithError("append failed");
                return;
            }
        }
        if (RegisterRecordCount(*files) != kChecks) {
            state.SkipWithError("wrong count");
            return;
        }
        state.PauseTiming();
        files.reset();
        folder.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kChecks);
}

void BM_RegisterAppend1000ThenCount(benchmark::State &state) {
    RegisterAppend1000ThenCount<QtFiles>(state);
}
BENCHMARK(BM_RegisterAppend1000ThenCount)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same without the flushes to disk: what the program itself spends.
void BM_RegisterAppend1000ThenCount_Unflushed(benchmark::State &state) {
    RegisterAppend1000ThenCount<UnflushedFiles>(state);
}
BENCHMARK(BM_RegisterAppend1000ThenCount_Unflushed)->Unit(benchmark::kMillisecond)->Iterations(5);

// Minor page faults of the process so far.
double PageFaults() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_minflt);
}

// One append to a register that already holds state.range(0) records; "faults" is the page faults
// of one append, most of them from the buffers the register is read into.
template <class FileLayer> void RegisterAppendTo(benchmark::State &state) {
    TempFolder folder;
    WriteRegister(folder, static_cast<int>(state.range(0)));
    FileLayer files(folder.path());
    int n = static_cast<int>(state.range(0));
    const double faultsBefore = PageFaults();
    for (auto _ : state) {
        if (!AppendRegisterRecord(files, Numbered(++n))) {
            state.SkipWithError("append failed");
            return;
        }
    }
    state.counters["faults"] = benchmark::Counter((PageFaults() - faultsBefore) / double(state.iterations()));
}

void BM_RegisterAppendTo(benchmark::State &state) {
    RegisterAppendTo<QtFiles>(state);
}
BENCHMARK(BM_RegisterAppendTo)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

// The same without the flushes to disk: the reading and the copying alone.
void BM_RegisterAppendTo_Unflushed(benchmark::State &state) {
    RegisterAppendTo<UnflushedFiles>(state);
}
BENCHMARK(BM_RegisterAppendTo_Unflushed)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(50);

void BM_RegisterCount1000(benchmark::State &state) {
    TempFolder folder;
    WriteRegister(folder, 1000);
    QtFiles files(folder.path());
    for (auto _ : state) {
        benchmark::DoNotOptimize(RegisterRecordCount(files));
    }
}
BENCHMARK(BM_RegisterCount1000)->Unit(benchmark::kMicrosecond);

void BM_RegisterReadAll1000(benchmark::State &state) {
    TempFolder folder;
    WriteRegister(folder, 1000);
    QtFiles files(folder.path());
    QList<RegisterRecord> records;
    for (auto _ : state) {
        if (!ReadAllRecords(files, records) || records.size() != 1000) {
            state.SkipWithError("read failed");
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_RegisterReadAll1000)->Unit(benchmark::kMicrosecond);

void BM_SettingsSaveThenLoad(benchmark::State &state) {
    TempFolder folder;
    QtFiles files(folder.path());
    for (auto _ : state) {
        if (!SaveSettings(files, kSettings) || LoadSettings(files).state != SettingsState::Loaded) {
            state.SkipWithError("save or load failed");
            return;
        }
    }
}
BENCHMARK(BM_SettingsSaveThenLoad)->Unit(benchmark::kMillisecond)->MinTime(1.0);

void BM_SettingsLoad(benchmark::State &state) {
    TempFolder folder;
    QtFiles files(folder.path());
    SaveSettings(files, kSettings);
    for (auto _ : state) {
        benchmark::DoNotOptimize(LoadSettings(files));
    }
}
BENCHMARK(BM_SettingsLoad)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
