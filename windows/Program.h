#pragma once

#include "journal/CheckJournal.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class frmSplash;
class frmStartup;
class frmMain;

// The program's three windows and the services they share. frmStartup and frmMain live until the
// program ends; the splash window is created anew whenever it is wanted after being unloaded.
class Program : public QObject {
    Q_OBJECT

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

    // The check journal in the program's folder, opened on first use.
    CheckJournal &Journal();
    // Tells whoever shows the journal (the history window) that a run, a review or a void changed it.
    void NotifyJournalChanged() { emit JournalChanged(); }
    // Shows the "Printed Checks" review of a run's forms and gives the person's marks; the real
    // dialog unless replaced.
    std::function<QList<PrintMark>(const QList<JournalCheck> &)> ReviewPrintedChecks;

signals:
    void JournalChanged();

private:
    class RegisterRestored;
    std::unique_ptr<CheckJournal> journal_;
    std::unique_ptr<RegisterRestored> restored_;

    QPointer<frmSplash> splash_;
    QPointer<frmStartup> startup_;
    QPointer<frmMain> main_;
};
