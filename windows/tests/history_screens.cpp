// Draws the history window, its void dialog, its export dialog and the review of printed checks as a
// person sees them, into PNG files for looking at:
//   quillane_history_screens <folder>  writes history.png, history-filtered.png, history-void.png,
//                                      history-export.png and printed-checks.png
// The journal is a small one written into a temporary program folder, with checks of three people.
#include "history/tests/JournalFixture.h"
#include "platform/Fonts.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/WhenUp.h"
#include "windows/frmHistory.h"
#include "windows/frmHistoryExport.h"
#include "windows/frmPrintedChecks.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

#include <cstdio>

namespace {

void Save(QWidget *window, const QString &folder, const char *name) {
    QCoreApplication::processEvents();
    window->grab().save(folder + QLatin1Char('/') + QString::fromLatin1(name));
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    InstallFontSubstitutions();
    if (argc != 2) {
        std::fputs("usage: quillane_history_screens <folder>\n", stderr);
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    TestPlatform test;
    EngineJournal journal(Engine::File);
    journal.add(SampleChecks());
    journal.add(WhoChecks());
    QList<TestCheck> more;
    for (int i = 0; i < 40; ++i) {
        more.append({2000 + i, "2026-12-03", i % 2 ? "Northside Utilities" : "Ann Example", 1999 + 250 * i, "Rent"});
    }
    journal.add(more);

    frmHistory *window = ShowHistoryWindow(test.platform, journal.checks(), nullptr);
    if (window == nullptr) {
        return 1;
    }
    Save(window, out, "history.png");
    window->txtPayee->setText(QString::fromUtf8("\xc3\xa9lodie"));
    Save(window, out, "history-filtered.png");
    window->txtPayee->clear();
    window->grdChecks->selectRow(1);
    WhenUp<frmVoidCheck>([&](frmVoidCheck &dialog) {
        dialog.txtReason->setText(QStringLiteral("wrong amount"));
        Save(&dialog, out, "history-void.png");
        dialog.reject();
    });
    window->cmdVoid_Click();
    WhenUp<frmExport>([&](frmExport &dialog) {
        dialog.cboLayout->setCurrentIndex(dialog.cboLayout->count() - 1);
        Save(&dialog, out, "history-export.png");
        dialog.reject();
    });
    window->cmdExportPositivePay_Click();
    delete window;

    QList<JournalCheck> printed;
    for (int i = 0; i < 9; ++i) {
        printed.append({3001 + i, QDate(2026, 12, 8), QStringLiteral("Payee number %1").arg(i + 1), 12345 * (i + 1),
                        QStringLiteral("Memo"), i / 3 + 1, i % 3 + 1});
    }
    frmPrintedChecks review(printed, test.messages);
    review.show();
    review.Model().setMark(1, PrintMark::Spoiled);
    review.Model().setMark(4, PrintMark::Void);
    Save(&review, out, "printed-checks.png");
    return 0;
}
