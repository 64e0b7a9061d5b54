// The check entry window's two steps a person waits for: Enter until the verify panel is drawn, and
// Accept until the record is flushed to disk and the entry panel is drawn again. Real files in a
// temporary folder on this machine's disk; the other services are test doubles.
#include "checkbook/CheckbookSettings.h"
#include "platform/testing/FakePlatform.h"
#include "register/Register.h"
#include "windows/Program.h"
#include "windows/frmMain.h"
#include "windows/frmStartup.h"

#include "journal/CheckJournal.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The program's windows over a temporary folder, the entry window open.
struct EntryBench : TestPlatform {
    EntryBench() {
        SaveSettings(files, {QStringLiteral("First Example Bank"), QStringLiteral("0012-345678"),
                             QStringLiteral("1001"), QStringLiteral("3"), kStyle3OnAPage});
        program = std::make_unique<Program>(platform);
        main = program->Main();
        forms.Show(program->Startup());
        forms.Show(main);
        forms.Hide(program->Startup());
        QCoreApplication::processEvents();
    }
    ~EntryBench() {
        program.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    void Fill() {
        main->txtPayto->setText(QStringLiteral("Ann Example"));
        main->txtCost->setText(QStringLiteral("1234.56"));
        main->txtCategory->setText(QStringLiteral("Rent"));
    }

    std::unique_ptr<Program> program;
    frmMain *main = nullptr;
};

void Report(benchmark::State &state, std::vector<double> &micros) {
    std::sort(micros.begin(), micros.end());
    state.counters["median_us"] = micros[micros.size() / 2];
    state.counters["p90_us"] = micros[micros.size() * 9 / 10];
    state.counters["max_us"] = micros.back();
}

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void BM_EnterToVerifyPanelShown(benchmark::State &state) {
    EntryBench bench;
    std::vector<double> micros;
    for (auto _ : state) {
        bench.Fill();
        const Clock::time_point start = Clock::now();
        bench.main->cmdExpense_Click(1);
        bench.forms.Refresh(bench.main);
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
        if (!bench.messages.shown.isEmpty()) {
            state.SkipWithError("Enter showed a message");
            return;
        }
        bench.main->cmdCancel_Click();
    }
    Report(state, micros);
}
BENCHMARK(BM_EnterToVerifyPanelShown)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_AcceptFlushedAndEntryPanelShown(benchmark::State &state) {
    EntryBench bench;
    std::vector<double> micros;
    int stored = 0;
    for (auto _ : state) {
        bench.Fill();
        bench.main->cmdExpense_Click(1);
        const Clock::time_point start = Clock::now();
        bench.main->cmdPrint_Click();
        bench.forms.Refresh(bench.main);
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
        if (!bench.messages.shown.isEmpty()) {
            state.SkipWithError("Accept showed a message");
            return;
        }
        // Keep the register at a realistic size: a few dozen pending checks.
        if (++stored == 50) {
            DeleteRegister(bench.files);
            stored = 0;
        }
    }
    Report(state, micros);
}
BENCHMARK(BM_AcceptFlushedAndEntryPanelShown)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The register's part of Accept alone, for comparison: one record appended and flushed.
void BM_RegisterAppendAlone(benchmark::State &state) {
    EntryBench bench;
    const RegisterRecord record{QStringLiteral("1001"),    QStringLiteral("12/07/2026"), QStringLiteral("Ann Example"),
                                QStringLiteral("1234.56"), QStringLiteral("Rent"),       kStatusPrinted};
    std::vector<double> micros;
    int stored = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const FileResult appended = AppendRegisterRecord(bench.files, record);
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
        if (!appended) {
            state.SkipWithError("append failed");
            return;
        }
        if (++stored == 50) {
            DeleteRegister(bench.files);
            stored = 0;
        }
    }
    Report(state, micros);
}
BENCHMARK(BM_RegisterAppendAlone)->UseManualTime()->Unit(benchmark::kMicrosecond);

// A payee book of `count` names, read when the entry window is activated.
struct BookBench : EntryBench {
    explicit BookBench(int count = 10000) {
        QList<Payee> book;
        for (int i = 1; i <= count; ++i) {
            Payee payee;
            payee.name = QStringLiteral("Payee %1").arg(i, 5, 10, QLatin1Char('0'));
            payee.address = {QStringLiteral("%1 Main Street").arg(i), QStringLiteral("Springfield")};
            book.append(payee);
        }
        int added = 0;
        int changed = 0;
        if (!program->Journal().ImportPayees(book, &added, &changed)) {
            std::abort();
        }
    }
};

// Activation with an empty book and with 10,000 payees: the difference is the book's part.
void BM_EntryActivatedWithPayees(benchmark::State &state) {
    BookBench bench(static_cast<int>(state.range(0)));
    std::vector<double> micros;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        bench.main->Form_Activate();
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
    }
    Report(state, micros);
}
BENCHMARK(BM_EntryActivatedWithPayees)->Arg(0)->Arg(10000)->UseManualTime()->Unit(benchmark::kMicrosecond);

// One typed letter that all 10,000 names start with, until the completion's popup is shown.
void BM_KeystrokeToCompletionPopup10k(benchmark::State &state) {
    BookBench bench;
    bench.main->Form_Activate();
    QAbstractItemView *popup = bench.main->cmpPayto->popup();
    std::vector<double> micros;
    for (auto _ : state) {
        popup->hide();
        bench.main->txtPayto->clear();
        bench.main->txtPayto->setFocus();
        QCoreApplication::processEvents();
        const Clock::time_point start = Clock::now();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_P, Qt::NoModifier, QStringLiteral("p"));
        QApplication::sendEvent(bench.main->txtPayto, &press);
        while (!popup->isVisible()) {
            QCoreApplication::processEvents();
        }
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
        if (bench.main->cmpPayto->completionCount() != 10000) {
            state.SkipWithError("the popup does not offer every payee");
            return;
        }
    }
    Report(state, micros);
}
BENCHMARK(BM_KeystrokeToCompletionPopup10k)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace
