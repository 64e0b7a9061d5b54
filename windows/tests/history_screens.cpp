// Draws the history window and its void dialog as a person sees them, into PNG files for looking at:
//   quillane_history_screens <folder>  writes history.png, history-filtered.png and history-void.png
// The journal is a small one written into a temporary program folder.
#include "history/tests/JournalFixture.h"
#include "platform/Fonts.h"
#include "platform/testing/FakePlatform.h"
#include "windows/frmHistory.h"

#include <QApplication>
#include <QLineEdit>
#include <QTableView>
#include <QTimer>

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
    JournalFile journal(kJournalVersion, test.dir.path());
    journal.add(SampleChecks());
    QList<TestCheck> more;
    for (int i = 0; i < 40; ++i) {
        more.append({2000 + i, "2026-12-03", i % 2 ? "Northside Utilities" : "Ann Example", 1999 + 250 * i, "Rent"});
    }
    journal.add(more);
    journal.release();

    CheckJournal checks(test.dir.path());
    frmHistory *window = ShowHistoryWindow(test.platform, checks, nullptr);
    if (window == nullptr) {
        return 1;
    }
    Save(window, out, "history.png");
    window->txtPayee->setText(QString::fromUtf8("\xc3\xa9lodie"));
    Save(window, out, "history-filtered.png");
    window->txtPayee->clear();
    window->grdChecks->selectRow(1);
    QTimer::singleShot(300, [&] {
        if (auto *dialog = qobject_cast<frmVoidCheck *>(QApplication::activeModalWidget())) {
            dialog->txtReason->setText(QStringLiteral("wrong amount"));
            Save(dialog, out, "history-void.png");
            dialog->reject();
        }
    });
    window->cmdVoid_Click();
    delete window;
    return 0;
}
