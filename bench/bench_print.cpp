// Print runs of many checks through the real printer into a PDF file.
//
//   bench_print [benchmark options]      timed runs of 300 and 1,000 checks in three forms
//   bench_print --once N STYLE [--protected] [PDF]
//                                        one run of N checks ("three", "wallet" or "voucher":
//                                        check on top), with check
//                                        protection when asked, for timing or counting the whole
//                                        process from outside; keeps the PDF when named
#include "forms/BuiltInForms.h"
#include "platform/Fonts.h"
#include "platform/QtFiles.h"
#include "platform/QtPrinter.h"
#include "platform/testing/FakePlatform.h"
#include "print/PrintRun.h"
#include "register/Register.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>

namespace {

// A program folder holding a register of `count` varied checks.
struct BenchFolder : TestPlatform {
    QString pdf;

    BenchFolder(int count, QString pdfPath) : pdf(std::move(pdfPath)) {
        app.Path = dir.path();
        if (pdf.isEmpty()) {
            pdf = dir.filePath(QStringLiteral("checks.pdf"));
        }
        QByteArray bytes;
        bytes.reserve(qsizetype{count} * kRecordLength);
        for (int i = 0; i < count; ++i) {
            RegisterRecord record;
            record.CheckNo = QString::number(1001 + i);
            record.CheckDate = QStringLiteral("12/07/2026");
            record.PayTo = QStringLiteral("Payee number %1 Ltd").arg(i);
            // Amounts from a few cents to hundreds of thousands, so the words lines vary in length.
            record.Amount = QString::number((i * 7919 % 100000) * 3.37 + 0.05, 'f', 2);
            record.Memo = QStringLiteral("Invoice %1 for services").arg(i * 13);
            record.Status = kStatusPrinted;
            bytes += EncodeRecord(record);
        }
        files.ReplaceContents(kRegisterFile, bytes);
        printerDialog.makePrinter = [this] { return MakePdfPrinter(pdf); };
    }

    PrintResult Print(const QString &style, bool protect = false) {
        PrintRequest request;
        if (protect) {
            request.Adjustment = [](const QString &, const QString &) { return PrintAdjustment{0, 0, true}; };
        }
        request.CheckStyle = style;
        request.AcctNo = QStringLiteral("0042-778100");
        request.ChecksOnFirstSheet = BuiltInForm(style)->ChecksPerSheet();
        // Numbered from 1001, where the form prints the check number.
        request.FirstCheckNo = 1001;
        return PrintPendingChecks(platform, request);
    }
};

void BM_PrintRunToPdf(benchmark::State &state, const QString &style) {
    const int count = static_cast<int>(state.range(0));
    BenchFolder folder(count, QString());
    for (auto _ : state) {
        const PrintResult result = folder.Print(style);
        if (result.outcome != PrintOutcome::Printed || result.printed != count) {
            state.SkipWithError("the print run failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["pdf_kB"] = static_cast<double>(QFileInfo(folder.pdf).size()) / 1024.0;
}

BENCHMARK_CAPTURE(BM_PrintRunToPdf, ThreeOnAPage, kFormThreeOnAPage)
    ->Arg(300)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrintRunToPdf, WalletSize, kFormWalletSize)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PrintRunToPdf, VoucherOnTop, kFormVoucherTop)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

int printOnce(int count, const QString &style, bool protect, const QString &pdf) {
    BenchFolder folder(count, pdf);
    // The program has its fonts long before it prints.
    InstallFontSubstitutions();
    const PrintResult result = folder.Print(style, protect);
    if (result.outcome != PrintOutcome::Printed || result.printed != count) {
        std::fprintf(stderr, "print run failed: %s\n", qPrintable(result.error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QGuiApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    if (argc >= 4 && std::strcmp(argv[1], "--once") == 0) {
        const QString style = std::strcmp(argv[3], "wallet") == 0    ? kFormWalletSize
                              : std::strcmp(argv[3], "voucher") == 0 ? kFormVoucherTop
                                                                     : kFormThreeOnAPage;
        const bool protect = argc >= 5 && std::strcmp(argv[4], "--protected") == 0;
        const int pdfArg = protect ? 5 : 4;
        return printOnce(std::atoi(argv[2]), style, protect,
                         argc > pdfArg ? QString::fromLocal8Bit(argv[pdfArg]) : QString());
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
