// Draws the start-up windows as a person sees them, into PNG files for looking at:
//   quillane_screens <folder>  writes splash.png, menu-type.png, menu-info.png, menu-main.png,
//                              order-forms.png, help.png, entry.png, entry-verify.png,
//                              entry-summary.png, print-progress.png, checks.pdf (the print run
//                              of three checks), printed-checks.png (its review); alignment.png and test-sheet.pdf (the
//                              alignment window with offsets typed, and its test sheet), preview.png
// It runs the real start (Main) on a temporary program folder; message boxes are the real ones,
// grabbed and closed as soon as they are up.
#include "main/Main.h"
#include "platform/Fonts.h"
#include "platform/QtPrinter.h"
#include "platform/QtProgress.h"
#include "platform/testing/FakePlatform.h"
#include "platform/testing/WhenUp.h"
#include "windows/HelpWindow.h"
#include "windows/Program.h"
#include "windows/frmAlignment.h"
#include "windows/frmMain.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <cstdio>

namespace {

QString outFolder;

void save(QWidget *window, const char *name) {
    QCoreApplication::processEvents();
    window->grab().save(outFolder + QLatin1Char('/') + QString::fromLatin1(name));
}

// Grabs the next message box to appear, then closes it with its default button.
void grabNextBox(const char *name) {
    WhenUp<QMessageBox>([name](QMessageBox &box) {
        save(&box, name);
        box.defaultButton()->click();
    });
}

} // namespace

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    InstallFontSubstitutions();
    if (argc != 2) {
        std::fputs("usage: quillane_screens <folder>\n", stderr);
        return 2;
    }
    outFolder = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    AppObject app;
    app.Path = dir.path();
    QtFiles files(app.Path);
    QtMessageBoxes messages;
    FakePrinterDialog printerDialog;
    FakeUrlOpener urls;
    HelpWindow help;
    SystemClock clock;
    FakeEnder ender;
    Forms forms;
    FakeProgress progress;
    QtSaveFileDialog saveDialog;
    FakePrinterList printers;
    QtPrintPreview preview;
    printers.names = QStringList{QStringLiteral("Office Laser")};
    printers.defaultName = QStringLiteral("Office Laser");
    printerDialog.makePrinter = [] { return MakePdfPrinter(outFolder + QStringLiteral("/test-sheet.pdf")); };
    FakeGuard guard;
    Platform platform{app,   files, messages, printerDialog, urls,     help,   clock,
                      ender, forms, progress, saveDialog,    printers, preview};

    std::unique_ptr<Program> program = Main(platform, guard);
    save(program->Splash(), "splash.png");
    grabNextBox("order-forms.png");
    program->Splash()->mnuForms_Click();

    program->Splash()->cmdContinue->click();
    frmStartup *menu = program->Startup();
    save(menu, "menu-type.png");
    menu->cmdBookInfo->click();
    menu->txtBankName->setText(QStringLiteral("First Example Bank"));
    menu->txtAcctNo->setText(QStringLiteral("0012-345678"));
    menu->txtCheckNo->setText(QStringLiteral("1001"));
    menu->txtBankName->setFocus();
    save(menu, "menu-info.png");
    menu->cmdAccept->click();
    save(menu, "menu-main.png");

    grabNextBox("help-notice.png");
    menu->mnuHelp->trigger();
    if (help.window()) {
        save(help.window(), "help.png");
        help.window()->hide();
    }

    // The alignment window with offsets typed, and its test sheet printed to a PDF file.
    WhenUp<frmAlignment>([](frmAlignment &window) {
        // The test sheet goes to the PDF file, which is aligned here like a printer.
        window.cboPrinter->setCurrentIndex(window.cboPrinter->findText(kPdfPrinterName));
        window.txtHorizontal->setText(QStringLiteral("0.10"));
        window.txtVertical->setText(QStringLiteral("-0.05"));
        save(&window, "alignment.png");
        window.cmdTestSheet_Click();
        window.cmdSave_Click();
        window.reject();
    });
    menu->mnuAlignment->trigger();

    // The check entry window: a check typed, verified and accepted, then the print summary.
    menu->optMainMenuSub_DblClick(0);
    frmMain *entry = program->Main();
    entry->txtPayto->setText(QStringLiteral("Ann Example"));
    entry->txtCost->setText(QStringLiteral("1234.56"));
    entry->txtCategory->setText(QStringLiteral("Rent for December"));
    save(entry, "entry.png");
    entry->cmdExpense_Click(1);
    save(entry, "entry-verify.png");
    entry->cmdPrint_Click();
    const std::pair<const char *, const char *> more[] = {{"Bea Sample", "87.05"}, {"Carl Instance", "1500"}};
    for (const auto &[payee, amount] : more) {
        entry->txtPayto->setText(QString::fromLatin1(payee));
        entry->txtCost->setText(QString::fromLatin1(amount));
        entry->cmdExpense_Click(1);
        entry->cmdPrint_Click();
    }
    entry->cmdExpense_Click(6);
    save(entry, "entry-summary.png");
    WhenUp<QWidget>([](QWidget &dialog) {
        save(&dialog, "preview.png");
        dialog.close();
    });
    entry->cmPrintSummary_Click(2);

    // The progress window of a long print run, part way through, over the summary.
    QtProgress shownProgress(0);
    shownProgress.Open(QStringLiteral("Printing Checks"), QStringLiteral("Drawing the checks for the printer."), 10000,
                       true);
    shownProgress.Advance(1);
    QThread::msleep(60);
    shownProgress.Advance(3742);
    if (shownProgress.dialog()) {
        save(shownProgress.dialog(), "print-progress.png");
    }
    shownProgress.Close();
    // Print Checks, into a PDF file; the questions after the run are answered with their defaults.
    printerDialog.makePrinter = [] { return MakePdfPrinter(outFolder + QStringLiteral("/checks.pdf")); };
    QTimer answerer;
    QObject::connect(&answerer, &QTimer::timeout, [] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *box = qobject_cast<QMessageBox *>(modal);
        if (box && box->defaultButton()) {
            box->defaultButton()->click();
            return;
        }
        // The review of the printed forms: pictured, then accepted as all printed well.
        auto *review = qobject_cast<QDialog *>(modal);
        if (review && review->objectName() == QStringLiteral("frmPrintedChecks")) {
            save(review, "printed-checks.png");
            review->accept();
        }
    });
    answerer.start(200);
    entry->cmPrintSummary_Click(0);
    answerer.stop();
    program.reset();
    return 0;
}
