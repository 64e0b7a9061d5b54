#pragma once

#include "journal/CheckJournal.h"
#include "platform/Platform.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class Checkbooks;
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

    // The open checkbook's files: its settings file and pending register, with their Backup copies.
    // The list of checkbooks is read on first use; no other checkbook is read until opened.
    Files &Book();
    Checkbooks &CheckbookList();
    // Opens another checkbook: its files become Book() and the windows are told.
    FileResult OpenCheckbook(int index);
    // The same after adding, renaming or removing one (the open checkbook's folder may have moved).
    void CheckbooksChanged();

    // The check journal, in the place Journal.ini names (the file in the program's folder when
    // there is none), recording this user and computer; it is opened on first use.
    CheckJournal &Journal();
    // This user and computer, as the journal records them.
    JournalWho Who() const;
    // Tells whoever shows the journal (the history window) that a run, a review or a void changed it.
    void NotifyJournalChanged() { emit JournalChanged(); }
    // Shows the "Printed Checks" review of a run's forms and gives the person's marks; the real
    // dialog unless replaced.
    std::function<QList<PrintMark>(const QList<JournalCheck> &)> ReviewPrintedChecks;
    // Asks for a checkbook's name (title, name shown first); empty when cancelled. The real dialog
    // unless set.
    std::function<QString(const QString &, const QString &)> AskCheckbookName;

signals:
    void JournalChanged();
    // Another checkbook was opened, or the open one renamed.
    void CheckbookChanged();

private:
    std::unique_ptr<CheckJournal> journal_;
    std::unique_ptr<Checkbooks> checkbooks_;
    // The open checkbook's files when it is not the first, whose files are the program's.
    std::unique_ptr<Files> book_;

    QPointer<frmSplash> splash_;
    QPointer<frmStartup> startup_;
    QPointer<frmMain> main_;
};
