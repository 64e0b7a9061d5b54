#include "main/Main.h"

#include "forms/FormFile.h"
#include "main/CommandLine.h"
#include "main/Version.h"
#include "platform/Fonts.h"
#include "platform/QtFiles.h"
#include "platform/QtPrinter.h"
#include "platform/QtProgress.h"
#include "windows/HelpWindow.h"
#include "windows/Program.h"
#include "windows/frmMain.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QProxyStyle>
#include <QWindow>

#include <thread>

#ifdef Q_OS_UNIX
#include <dlfcn.h>
#endif

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

// The platform's style, with the menu bars' overflow arrow drawn here: the style would load it from
// a picture file, which brings in every image plugin before the splash window can be shown.
class ProgramStyle final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option, const QWidget *widget) const override {
        if (standardIcon != SP_ToolBarHorizontalExtensionButton) {
            return QProxyStyle::standardIcon(standardIcon, option, widget);
        }
        QPixmap arrow(16, 16);
        arrow.fill(Qt::transparent);
        QPainter painter(&arrow);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QGuiApplication::palette().color(QPalette::ButtonText), 1.5));
        for (const int x : {4, 9}) {
            painter.drawPolyline(QPolygonF({QPointF(x, 4), QPointF(x + 3.5, 8), QPointF(x, 12)}));
        }
        painter.end();
        return QIcon(arrow);
    }
};

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
    HelpWindow help{FormsFolder(app.Path)};
    SystemClock clock;
    QtEnder ender;
    Forms forms;
    QtProgress progress;
    QtSaveFileDialog saveDialog;
    QtPrinterList printers;
    QtPrintPreview preview;
};

DesktopPlatform::DesktopPlatform(AppObject app, const QString &lockPath)
    : services_(std::make_unique<Services>(std::move(app))),
      guard_(lockPath), platform_{services_->app,           services_->files,      services_->messages,
                                  services_->printerDialog, services_->urls,       services_->help,
                                  services_->clock,         services_->ender,      services_->forms,
                                  services_->progress,      services_->saveDialog, services_->printers,
                                  services_->preview} {}

DesktopPlatform::~DesktopPlatform() = default;

void SetUpApplication() {
    // The menus belong to their windows, as the windows are designed; no global menu bar service
    // is looked for.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QApplication::setStyle(new ProgramStyle);
    QCoreApplication::setOrganizationName(QStringLiteral("Orvantis"));
    QCoreApplication::setApplicationName(QStringLiteral("Quillane"));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(DesktopFileName));
    InstallFontSubstitutions();
}

int RunProgram(int argc, char **argv, const RunOptions &options) {
    // The command line is read before anything of the desktop is touched: --help and --version
    // answer without a display, and no argument ever reaches the toolkit as configuration.
    if (const CommandLineRequest request = ReadCommandLine(argc, argv); request != CommandLineRequest::Run) {
        return AnswerCommandLine(request, stdout, stderr);
    }
    // Reading the system's font configuration takes about as long as connecting to the display;
    // the two overlap, and the fonts are ready when the splash window needs them.
    std::thread fontConfiguration;
#ifdef Q_OS_UNIX
    if (const auto fcInit = reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "FcInit"))) {
        fontConfiguration = std::thread(fcInit);
    }
#endif
    QApplication application(argc, argv);
    if (fontConfiguration.joinable()) {
        fontConfiguration.join();
    }
    SetUpApplication();
    if (options.started) {
        options.started();
    }

    AppObject app = MakeAppObject();
    if (!options.programFolder.isEmpty()) {
        app.Path = options.programFolder;
    }
    DesktopPlatform desktop(std::move(app),
                            options.lockPath.isEmpty() ? LockFileGuard::DefaultLockPath() : options.lockPath);
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
