// The history window on a journal of 100,000 checks: opened until its first rows are drawn, a payee
// filter typed until the list and total are drawn again, and both exports of every row to a file on
// this machine's disk. The other services are test doubles. The window's first rows and the filter
// also on a PostgreSQL server of this machine (its own, started for the benchmark).
#include "BenchServer.h"
#include "history/HistoryExport.h"
#include "journal/CheckJournal.h"
#include "platform/testing/FakePlatform.h"
#include "windows/frmHistory.h"

#include <QLineEdit>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kChecks = 100000;

double MicrosSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

void Report(benchmark::State &state, std::vector<double> &micros) {
    std::sort(micros.begin(), micros.end());
    state.counters["median_ms"] = micros[micros.size() / 2] / 1000;
    state.counters["max_ms"] = micros.back() / 1000;
}

// A journal of 100,000 checks in a temporary program folder, written once for every benchmark:
// a few hundred payees, three years of dates, one check in twenty void.
struct Journal : TestPlatform {
    explicit Journal(const JournalPlace &place = {}) {
        // The journal makes its own tables; the checks go in straight through its connection.
        journal.SetPlace(place);
        error = journal.Open().error;
        path = journal.Path();
        {
            QSqlDatabase db = QSqlDatabase::database(journal.ConnectionName());
            QSqlQuery runs(db);
            runs.exec(QStringLiteral("INSERT INTO runs(printed_at, printer, style, account_no, bank_name, "
                                     "checks_on_first_sheet, account_digits) VALUES('2026-01-01T09:00:00', "
                                     "'PDF', 'Deluxe 3-On-A-Page', '0012-345678', 'First Example Bank', 3, "
                                     "'0012345678')"));
            QSqlQuery run(db);
            run.exec(QStringLiteral("SELECT MAX(id) FROM runs"));
            run.next();
            const qint64 runId = run.value(0).toLongLong();
            const QStringList first = {QStringLiteral("Ann"),    QStringLiteral("Bob"),    QStringLiteral("Carla"),
                                       QStringLiteral("Dmitri"), QStringLiteral("Élodie"), QStringLiteral("Farid"),
                                       QStringLiteral("Grace"),  QStringLiteral("Hiro"),   QStringLiteral("Ines"),
                                       QStringLiteral("Jonas"),  QStringLiteral("Kemal"),  QStringLiteral("Lena")};
            const QStringList last = {QStringLiteral("Smith"),    QStringLiteral("Müller"), QStringLiteral("Okafor"),
                                      QStringLiteral("Nguyen"),   QStringLiteral("García"), QStringLiteral("Rossi"),
                                      QStringLiteral("Kowalski"), QStringLiteral("Tanaka"), QStringLiteral("Brown"),
                                      QStringLiteral("Dubois"),   QStringLiteral("Jensen"), QStringLiteral("Silva"),
                                      QStringLiteral("Hughes"),   QStringLiteral("Novak"),  QStringLiteral("Ali"),
                                      QStringLiteral("Costa"),    QStringLiteral("Lee"),    QStringLiteral("Walsh"),
                                      QStringLiteral("Fischer"),  QStringLiteral("Moreau"), QStringLiteral("Berg"),
                                      QStringLiteral("Park"),     QStringLiteral("Quinn"),  QStringLiteral("Ortiz"),
                                      QStringLiteral("Keller")};
            QRandomGenerator random(20261208);
            db.transaction();
            QSqlQuery insert(db);
            insert.prepare(QStringLiteral(
                "INSERT INTO checks(run_id, account_no, account_digits, check_no, date_printed, payee, amount_cents, "
                "memo, sheet, slot, status, void_reason, void_date) "
                "VALUES(?, '0012-345678', '0012345678', ?, ?, ?, ?, ?, 1, 1, ?, ?, ?)"));
            const QDate start(2024, 1, 1);
            for (int i = 0; i < kChecks; ++i) {
                const QString date = start.addDays(i / 90).toString(Qt::ISODate);
                const bool voided = random.bounded(20) == 0;
                insert.addBindValue(runId);
                insert.addBindValue(qint64(1001 + i));
                insert.addBindValue(date);
                insert.addBindValue(first[random.bounded(first.size())] + QLatin1Char(' ') +
                                    last[random.bounded(last.size())] +
                                    (i % 7 == 0 ? QStringLiteral(", Inc.") : QString()));
                insert.addBindValue(qint64(random.bounded(100, 500000)));
                insert.addBindValue(QStringLiteral("Invoice ") + QString::number(random.bounded(1, 99999)));
                insert.addBindValue(voided ? QStringLiteral("voided") : QStringLiteral("issued"));
                insert.addBindValue(voided ? QVariant(QStringLiteral("lost in the mail")) : QVariant());
                insert.addBindValue(voided ? QVariant(date) : QVariant());
                if (!insert.exec() && error.isEmpty()) {
                    error = insert.lastError().text();
                }
            }
            db.commit();
            // The server's statistics, as its autovacuum gathers them soon after so many rows.
            if (place.server) {
                QSqlQuery(db).exec(QStringLiteral("ANALYZE"));
            }
            if (!runs.lastError().text().isEmpty()) {
                error = runs.lastError().text();
            }
        }
    }
    CheckJournal journal{files.Root()};
    QString path;
    QString error; // why the journal holds no checks
};

Journal &SharedJournal() {
    static Journal journal;
    return journal;
}

// The same checks on the server; nullptr when it did not start.
Journal *ServerJournal() {
    static BenchServer server;
    static Journal *journal = server.ok() ? new Journal(server.place) : nullptr;
    return journal;
}

void OpenedFirstRowsDrawn(benchmark::State &state, Journal &journal) {
    std::vector<double> micros;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        frmHistory *window = ShowHistoryWindow(journal.platform, journal.journal, nullptr);
        if (window == nullptr || window->Model().rowCount() == 0) {
            const QString why = journal.error + (window != nullptr ? window->Model().lastError() : QString());
            state.SkipWithError(("no rows: " + why.toStdString()).c_str());
            return;
        }
        window->grdChecks->viewport()->repaint();
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
        delete window;
    }
    Report(state, micros);
}

void BM_HistoryOpenedFirstRowsDrawn(benchmark::State &state) {
    OpenedFirstRowsDrawn(state, SharedJournal());
}
BENCHMARK(BM_HistoryOpenedFirstRowsDrawn)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ServerHistoryOpenedFirstRowsDrawn(benchmark::State &state) {
    if (ServerJournal() == nullptr) {
        state.SkipWithError("no server");
        return;
    }
    OpenedFirstRowsDrawn(state, *ServerJournal());
}
BENCHMARK(BM_ServerHistoryOpenedFirstRowsDrawn)->UseManualTime()->Unit(benchmark::kMillisecond);

// One payee typed into the filter (the list and total follow each change); the clock runs from the
// change to the list drawn again.
void PayeeFilter(benchmark::State &state, int sortColumn, Journal &journal) {
    frmHistory *window = ShowHistoryWindow(journal.platform, journal.journal, nullptr);
    window->grdChecks->sortByColumn(sortColumn, Qt::AscendingOrder);
    const QStringList payees = {QStringLiteral("müller"), QStringLiteral("smith"), QStringLiteral("zzz"),
                                QStringLiteral("élodie gar"), QString()};
    std::vector<double> micros;
    int next = 0;
    for (auto _ : state) {
        const QString payee = payees[next++ % payees.size()];
        const Clock::time_point start = Clock::now();
        window->txtPayee->setText(payee);
        window->grdChecks->viewport()->repaint();
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
    }
    delete window;
    Report(state, micros);
}

void BM_PayeeFilterByCheckNumber(benchmark::State &state) {
    PayeeFilter(state, ColCheckNo, SharedJournal());
}
BENCHMARK(BM_PayeeFilterByCheckNumber)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ServerPayeeFilterByCheckNumber(benchmark::State &state) {
    if (ServerJournal() == nullptr) {
        state.SkipWithError("no server");
        return;
    }
    PayeeFilter(state, ColCheckNo, *ServerJournal());
}
BENCHMARK(BM_ServerPayeeFilterByCheckNumber)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PayeeFilterByPayee(benchmark::State &state) {
    PayeeFilter(state, ColPayee, SharedJournal());
}
BENCHMARK(BM_PayeeFilterByPayee)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_PayeeFilterByAmount(benchmark::State &state) {
    PayeeFilter(state, ColAmount, SharedJournal());
}
BENCHMARK(BM_PayeeFilterByAmount)->UseManualTime()->Unit(benchmark::kMillisecond);

void Export(benchmark::State &state, ExportFormat format) {
    Journal &journal = SharedJournal();
    // Positive pay: every check of the one account, in the first bank layout.
    ExportRequest request;
    request.format = format;
    request.layout = BuiltInLayouts().constFirst();
    request.accountDigits = QStringLiteral("0012345678");
    const QString target = journal.dir.filePath(QStringLiteral("export.csv"));
    std::vector<double> micros;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        const ExportOutcome outcome = ExportToFile(journal.journal.ConnectionName(), {}, {}, request, target);
        const double took = MicrosSince(start);
        state.SetIterationTime(took / 1e6);
        micros.push_back(took);
        if (!outcome.ok || outcome.rows != kChecks) {
            state.SkipWithError("export failed");
            break;
        }
    }
    Report(state, micros);
}

void BM_ExportCsvOfAllChecks(benchmark::State &state) {
    Export(state, ExportFormat::Csv);
}
BENCHMARK(BM_ExportCsvOfAllChecks)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_ExportPositivePayOfAllChecks(benchmark::State &state) {
    Export(state, ExportFormat::PositivePay);
}
BENCHMARK(BM_ExportPositivePayOfAllChecks)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
