// Checks from a spreadsheet, 10,000 rows: the preview (read, parse, columns, every row judged against
// 2,000 printed checks), the import (one atomic rewrite of the register on this machine's disk), and
// the whole window: the file read and its rows drawn in the table.
#include "import/CheckImport.h"
#include "import/Csv.h"
#include "journal/CheckJournal.h"
#include "platform/QtFiles.h"
#include "platform/testing/FakePlatform.h"
#include "register/Register.h"
#include "windows/frmImport.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10000;

// A spreadsheet's export: a header, then amounts in the three shapes, some quoted fields, a few bad rows.
QByteArray TenThousandRows() {
    QByteArray csv = "\xEF\xBB\xBFPayee,Amount,Memo\r\n";
    const char *shapes[] = {"%1.%2", "\"%1,234.%2\"", "\"$%1,000.%2\""};
    for (int i = 0; i < kRows; ++i) {
        const QString amount = QString::fromLatin1(shapes[i % 3]).arg(1 + i % 97).arg(i % 100, 2, 10, QLatin1Char('0'));
        const QString memo =
            i % 50 == 0 ? QStringLiteral("\"Invoice %1, \"\"late\"\"\"").arg(i) : QStringLiteral("Invoice %1").arg(i);
        csv += QStringLiteral("Payee number %1,%2,%3\r\n").arg(i % 700).arg(amount, memo).toUtf8();
    }
    return csv;
}

QSet<QString> Printed() {
    QSet<QString> printed;
    for (int i = 0; i < 2000; ++i) {
        printed.insert(PrintedContentKey(QStringLiteral("Payee number %1").arg(i), 100 + i, QStringLiteral("Memo")));
    }
    return printed;
}

void BM_PreviewTenThousandRows(benchmark::State &state) {
    QTemporaryDir dir;
    QtFiles files(dir.path());
    files.ReplaceContents(QStringLiteral("/checks.csv"), TenThousandRows());
    const QSet<QString> printed = Printed();
    for (auto _ : state) {
        QList<QStringList> rows;
        ReadCsvFile(files, QStringLiteral("/checks.csv"), rows);
        const QList<ImportRow> judged = PreviewImport(rows, ChooseColumns(rows, {}), printed);
        benchmark::DoNotOptimize(judged.size());
    }
}
BENCHMARK(BM_PreviewTenThousandRows)->Unit(benchmark::kMillisecond);

void BM_ImportTenThousandRows(benchmark::State &state) {
    QTemporaryDir dir;
    QtFiles files(dir.path());
    QList<QStringList> rows;
    ParseCsv(TenThousandRows(), QStringLiteral("bench"), rows);
    const QList<RegisterRecord> records =
        KeptRecords(PreviewImport(rows, ChooseColumns(rows, {}), {}), 1001, QStringLiteral("12/08/2026"));
    for (auto _ : state) {
        state.PauseTiming();
        files.Kill(kRegisterFile);
        state.ResumeTiming();
        if (!AppendRegisterRecords(files, records)) {
            state.SkipWithError("the register was not written");
        }
    }
}
BENCHMARK(BM_ImportTenThousandRows)->Unit(benchmark::kMillisecond);

void BM_ImportWindowShowsTenThousandRows(benchmark::State &state) {
    TestPlatform test;
    const QString path = test.dir.filePath(QStringLiteral("checks.csv"));
    test.files.ReplaceContents(QStringLiteral("/checks.csv"), TenThousandRows());
    frmImport window(test.platform, Printed());
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        window.txtFile->setText(path);
        window.LoadFile();
        window.grdRows->viewport()->repaint();
        window.txtFile->clear();
    }
}
BENCHMARK(BM_ImportWindowShowsTenThousandRows)->Unit(benchmark::kMillisecond);

} // namespace
