// Starts the program through Main on the test doubles, with the real single-instance guard.
//   quillane_guard_helper <program folder> <lock path>
// Prints every message box as "message|<title>|<text>|<buttons>", then "visible <n>" (windows shown)
// and "ended <0|1>". A copy that runs prints "running" and stays until it is killed.
#include "main/Main.h"
#include "platform/Fonts.h"
#include "platform/testing/FakePlatform.h"
#include "windows/Program.h"

#include <QApplication>
#include <QWidget>

#include <cstdio>

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InstallFontSubstitutions();
    if (argc != 3) {
        std::fputs("usage: quillane_guard_helper <program folder> <lock path>\n", stderr);
        return 2;
    }
    AppObject app;
    app.Path = QString::fromLocal8Bit(argv[1]);
    QtFiles files(app.Path);
    FakeMessageBoxes messages;
    FakePrinterDialog printerDialog;
    FakeUrlOpener urls;
    FakeHelpViewer help;
    SystemClock clock;
    QtEnder ender;
    Forms forms;
    FakeProgress progress;
    FakeSaveFileDialog saveDialog;
    FakePrinterList printers;
    FakePrintPreview preview;
    Platform platform{app,   files, messages, printerDialog, urls,     help,   clock,
                      ender, forms, progress, saveDialog,    printers, preview};
    LockFileGuard guard(QString::fromLocal8Bit(argv[2]));

    std::unique_ptr<Program> program = Main(platform, guard);
    QCoreApplication::processEvents();
    int visible = 0;
    for (const QWidget *window : QApplication::topLevelWidgets()) {
        visible += window->isVisible() ? 1 : 0;
    }
    for (const ShownMessage &box : messages.shown) {
        std::printf("message|%s|%s|%d\n", qPrintable(box.title), qPrintable(box.text), static_cast<int>(box.buttons));
    }
    std::printf("visible %d\nended %d\n", visible, ender.Ended() ? 1 : 0);
    if (!program) {
        return 3;
    }
    std::printf("running\n");
    std::fflush(stdout);
    return QApplication::exec();
}
