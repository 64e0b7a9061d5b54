#include "windows/Program.h"

#include "checkbook/Checkbooks.h"
#include "datafiles/DataFiles.h"
#include "platform/QtFiles.h"
#include "windows/Controls.h"
#include "windows/frmMain.h"
#include "windows/frmPrintedChecks.h"
#include "windows/frmSplash.h"
#include "windows/frmStartup.h"

// The pictures and help pages are compiled into this static library; the reference here makes sure
// the linker keeps them.
static void initWindowResources() {
    Q_INIT_RESOURCE(windows);
}

Program::Program(Platform &platform_) : QObject(nullptr), platform(platform_) {
    initWindowResources();
    ReviewPrintedChecks = [this](const QList<JournalCheck> &checks) {
        return ::ReviewPrintedChecks(checks, platform.messages, Main());
    };
}

CheckJournal &Program::Journal() {
    if (!journal_) {
        journal_ = std::make_unique<CheckJournal>(platform.files.Root());
        // Only the place file is read here: the server is reached when the journal is first used.
        JournalPlace place;
        if (const FileResult read = LoadJournalPlace(platform.files, &place); !read) {
            platform.messages.MsgBox(read.error, MsgButtons::OK, QStringLiteral("Check Journal"));
        }
        journal_->SetPlace(place);
        journal_->SetWho(Who());
        journal_->SetClock(&platform.clock);
    }
    return *journal_;
}

JournalWho Program::Who() const {
    return {platform.App.UserName, platform.App.HostName};
}

Checkbooks &Program::CheckbookList() {
    if (!checkbooks_) {
        checkbooks_ = std::make_unique<Checkbooks>(platform.files);
        // A list that cannot be read opens the first checkbook; the menu says why when it is opened.
        checkbooks_->Load();
    }
    return *checkbooks_;
}

Files &Program::Book() {
    Checkbooks &list = CheckbookList();
    if (list.List().open == 0) {
        return platform.files;
    }
    if (!book_ || book_->Root() != list.FolderOf(list.List().open)) {
        book_ = std::make_unique<QtFiles>(list.FolderOf(list.List().open));
        // Only this copy of the program uses the folder: what an interrupted save left goes.
        book_->RemoveStrayTemporaries();
    }
    return *book_;
}

FileResult Program::OpenCheckbook(int index) {
    const FileResult opened = CheckbookList().Open(index);
    if (opened) {
        CheckbooksChanged();
    }
    return opened;
}

void Program::CheckbooksChanged() {
    if (book_) {
        book_->CloseAll();
    }
    Book();
    emit CheckbookChanged();
}

Program::~Program() {
    // Windows unloaded last in the run may still wait for their deferred deletion.
    delete splash_.data();
    delete main_.data();
    delete startup_.data();
}

frmStartup *Program::Startup() {
    if (!startup_) {
        startup_ = new frmStartup(*this);
    }
    return startup_;
}

frmMain *Program::Main() {
    if (!main_) {
        main_ = new frmMain(*this);
    }
    return main_;
}

frmSplash *Program::Splash() {
    // An unloaded splash window is on its way to deletion; the next one is a new window.
    if (splash_ && splash_->WasLoaded() && !platform.forms.IsLoaded(splash_)) {
        splash_ = nullptr;
    }
    if (!splash_) {
        splash_ = new frmSplash(*this);
    }
    return splash_;
}

void Program::EndProgram() {
    ::EndProgram(platform.forms, platform.ender);
}
