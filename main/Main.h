#pragma once

#include "platform/AppObject.h"
#include "platform/Platform.h"

#include <functional>
#include <memory>

class Program;

// The start of the program. A second running copy is refused: the message "Quillane is already
// Running!", then End, and no program (nullptr); the running copy's files are not touched.
// Otherwise: stray temporaries of an interrupted save are removed, the splash window is shown and
// painted, frmMain and frmStartup are loaded hidden, and the running program is returned.
std::unique_ptr<Program> Main(Platform &platform, InstanceGuard &guard);

// The real services of the program running on this desktop, for the given application object.
class DesktopPlatform {
public:
    DesktopPlatform(AppObject app, const QString &lockPath);
    ~DesktopPlatform();

    Platform &platform() { return platform_; }
    InstanceGuard &guard() { return guard_; }

private:
    struct Services;
    std::unique_ptr<Services> services_;
    LockFileGuard guard_;
    Platform platform_;
};

// Where a run keeps its files, and a hook for tools that watch the start (a benchmark).
struct RunOptions {
    QString programFolder;         // empty: the folder MakeAppObject chooses
    QString lockPath;              // empty: LockFileGuard::DefaultLockPath()
    std::function<void()> started; // runs once the application is set up, before Main
};

// Names the application, sets its style and maps the windows' fonts; needs the QApplication.
void SetUpApplication();
// The whole program: the command line (only --help and --version, answered without a window),
// then the QApplication, SetUpApplication, Main on the desktop services, and the event loop until
// the program ends. The process's exit code.
int RunProgram(int argc, char **argv, const RunOptions &options = {});
