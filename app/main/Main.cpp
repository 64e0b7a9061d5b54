#include "app/main/Main.h"

#include "platform/Fonts.h"
#include "platform/QtFiles.h"
#include "platform/QtPrinter.h"
#include "windows/HelpWindow.h"
#include "windows/Program.h"
#include "windows/frmMain.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

namespace {

// Lets the display system map the splash window, so that the repaint that follows draws it on the
// screen before the other windows are built. Input waits until the program is ready for it.
void waitUntilExposed(QWidget *window) {
    QElapsedTimer timer;
    timer.start();
    while (window->windowHandle() && !window->windowHandle()->isExposed() && timer.elapsed() < 500) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents, 20);
    }
}

} // namespace

std::unique_ptr<Program> Main(Platform &platform, InstanceGuard &guard) {
    if (guard.PrevInstance()) {
        platform.messages.MsgBox(platform.App.Title + QStringLiteral(" is already Running!"), MsgButtons::OK,
                                 platform.App.Title);
        platform.ender.End();
        return nullptr;
    }
    // Only the copy that holds the guard may clear what an interrupted save left behind.
    platform.files.RemoveStrayTemporaries();

    auto program = std::make_unique<Program>(platform);
    frmSplash *splash = program->Splash();
    platform.forms.Show(splash);
    waitUntilExposed(splash);
    platform.forms.Refresh(splash);
    platform.forms.Load(program->Main());
    platform.forms.Load(program->Startup());
    return program;
}

struct DesktopPlatform::Services {
    explicit Services(AppObject application) : app(std::move(application)), files(app.Path) {}
    AppObject app;
    QtFiles files;
    QtMessageBoxes messages;
    QtPrinterDialog printerDialog;
    QtUrlOpener urls;
    HelpWindow help;
    SystemClock clock;
    QtEnder ender;
    Forms forms;
};

DesktopPlatform::DesktopPlatform(AppObject app, const QString &lockPath)
    : services_(std::make_unique<Services>(std::move(app))),
      guard_(lockPath), platform_{services_->app,           services_->files, services_->messages,
                                  services_->printerDialog, services_->urls,  services_->help,
                                  services_->clock,         services_->ender, services_->forms} {}

DesktopPlatform::~DesktopPlatform() = default;

int RunProgram(int argc, char **argv) {
    QApplication application(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillane"));
    InstallFontSubstitutions();

    DesktopPlatform desktop(MakeAppObject(), LockFileGuard::DefaultLockPath());
    std::unique_ptr<Program> program = Main(desktop.platform(), desktop.guard());
    if (!program) {
        return 0;
    }
    // The program ends through End, which leaves this loop; closing a last window does not.
    QApplication::setQuitOnLastWindowClosed(false);
    const int code = QApplication::exec();
    program.reset();
    return code;
}
