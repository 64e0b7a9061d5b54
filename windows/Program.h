#pragma once

#include "platform/Platform.h"

#include <QPointer>

class frmSplash;
class frmStartup;
class frmMain;

// The program's three windows and the services they share. frmStartup and frmMain live until the
// program ends; the splash window is created anew whenever it is wanted after being unloaded.
class Program {
public:
    explicit Program(Platform &platform);
    ~Program();

    Platform &platform;

    frmStartup *Startup();
    frmMain *Main();
    // The splash window, created (not yet loaded) when there is none.
    frmSplash *Splash();

    // Unloads every window, last loaded first, and ends the program.
    void EndProgram();

private:
    QPointer<frmSplash> splash_;
    QPointer<frmStartup> startup_;
    QPointer<frmMain> main_;
};
