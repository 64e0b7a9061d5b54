// One whole print run as its own process, for the peak memory and the time of a long run:
//
//   /usr/bin/time -v print_peak [N [PDF]]    N pending checks (10,000 by default), 3-on-a-page,
//                                            into a PDF (kept when named), with the real progress
//                                            window on the offscreen display
#include "platform/QtPrinter.h"
#include "platform/QtProgress.h"
#include "platform/testing/FakePlatform.h"
#include "print/PrintRun.h"
#include "register/Register.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLocale>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int count = argc >= 2 ? std::atoi(argv[1]) : 10000;

    TestPlatform doubles;
    const QString pdf =
        argc >= 3 ? QString::fromLocal8Bit(argv[2]) : doubles.dir.filePath(QStringLiteral("checks.pdf"));
    QByteArray bytes;
    bytes.reserve(qsizetype{count} * kRecordLength);
    for (int i = 0; i < count; ++i) {
        RegisterRecord record;
        record.CheckNo = QString::number(1001 + i);
        record.CheckDate = QStringLiteral("12/07/2026");
        record.PayTo = QStringLiteral("Payee number %1 Ltd").arg(i);
        record.Amount = QString::number((i * 7919 % 100000) * 3.37 + 0.05, 'f', 2);
        record.Memo = QStringLiteral("Invoice %1 for services").arg(i * 13);
        record.Status = kStatusPrinted;
        bytes += EncodeRecord(record);
    }
    if (!doubles.files.ReplaceContents(kRegisterFile, bytes)) {
        std::fprintf(stderr, "the register could not be written\n");
        return 1;
    }
    bytes = QByteArray();
    doubles.printerDialog.makePrinter = [&pdf] { return MakePdfPrinter(pdf); };

    QtProgress progress;
    Platform platform = doubles.platform.With(progress);
    PrintRequest request;
    request.CheckStyle = QStringLiteral("Deluxe 3-On-A-Page");
    request.AcctNo = QStringLiteral("0042-778100");
    request.ChecksOnFirstSheet = 3;

    QElapsedTimer timer;
    timer.start();
    const PrintResult result = PrintPendingChecks(platform, request);
    const qint64 ms = timer.elapsed();
    if (result.outcome != PrintOutcome::Printed || result.printed != count) {
        std::fprintf(stderr, "print run failed: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("%d checks in %lld ms, PDF %lld kB\n", count, static_cast<long long>(ms),
                static_cast<long long>(QFileInfo(pdf).size() / 1024));
    return 0;
}
