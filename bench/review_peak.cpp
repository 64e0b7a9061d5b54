// The "Printed Checks" review of one long run as its own process, for its peak memory:
//
//   /usr/bin/time -v review_peak [N]    N printed checks (100,000 by default), the review shown on
//                                       the offscreen display, scrolled through and marked, then OK
#include "platform/testing/FakePlatform.h"
#include "windows/frmPrintedChecks.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocale>
#include <QTableView>
#include <QTest>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    const int count = argc >= 2 ? std::atoi(argv[1]) : 100000;

    // The checks as the print run hands them over: the same payees and memos as print_peak's.
    QList<JournalCheck> checks;
    checks.reserve(count);
    for (int i = 0; i < count; ++i) {
        checks.append({1001 + i, QDate(2026, 12, 7), QStringLiteral("Payee number %1 Ltd").arg(i),
                       static_cast<qint64>(i) * 7919 % 100000 * 337 + 5,
                       QStringLiteral("Invoice %1 for services").arg(i * 13), i / 3 + 1, i % 3 + 1});
    }
    FakeMessageBoxes messages;
    messages.setNextAnswer(MsgResult::Yes);
    QElapsedTimer timer;
    timer.start();
    frmPrintedChecks dialog(checks, messages);
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        std::fprintf(stderr, "the review did not come up\n");
        return 1;
    }
    const qint64 shown = timer.elapsed();
    // The list run through from top to bottom, one form in forty marked, redrawn every 4,000 rows.
    QTableView *grid = dialog.grdPrintedChecks;
    grid->setFocus();
    for (int row = 0; row < count; row += 40) {
        grid->setCurrentIndex(grid->model()->index(row, PrintedChecksModel::ColMark));
        QTest::keyClick(grid, Qt::Key_S);
        if (row % 4000 == 0) {
            QApplication::processEvents();
        }
    }
    QTest::keyClick(&dialog, Qt::Key_Return);
    const QList<PrintMark> marks = dialog.Marks();
    if (marks.size() != count || marks.first() != PrintMark::Spoiled) {
        std::fprintf(stderr, "the marks were not kept\n");
        return 1;
    }
    std::printf("%d checks: review shown in %lld ms, marked and confirmed in %lld ms\n", count,
                static_cast<long long>(shown), static_cast<long long>(timer.elapsed()));
    return 0;
}
