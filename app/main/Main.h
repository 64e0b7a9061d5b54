#pragma once

#include "platform/AppObject.h"
#include "platform/Platform.h"

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

// Names the application and maps the windows' fonts; needs the QApplication.
void SetUpApplication();
// Starts the program on the desktop services (Main) and runs it until it ends; the exit code.
int RunDesktop(AppObject app, const QString &lockPath);
// The whole program: the QApplication, SetUpApplication, then RunDesktop with the program's folder
// and the per-user lock.
int RunProgram(int argc, char **argv);
