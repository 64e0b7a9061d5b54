#include "windows/Program.h"

#include "app/MoneyRoutines.h"
#include "register/Register.h"
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

// A register restored from the Backup folder may bring back checks printed since the copy was made;
// they are set aside before anything counts or prints them.
class Program::RegisterRestored final : public RestoreListener {
public:
    explicit RegisterRestored(Program &program) : program_(program) { SetRestoreListener(this); }
    ~RegisterRestored() override { SetRestoreListener(nullptr); }
    void Restored(Files &files, const QString &name) override {
        Q_UNUSED(files);
        if (name.mid(1).compare(kRegisterFileSlash.mid(1), Qt::CaseInsensitive) == 0) {
            program_.Main()->SetAsidePrintedChecks();
        }
    }

private:
    Program &program_;
};

Program::Program(Platform &platform_) : QObject(nullptr), platform(platform_) {
    initWindowResources();
    restored_ = std::make_unique<RegisterRestored>(*this);
    ReviewPrintedChecks = [this](const QList<JournalCheck> &checks) {
        return ::ReviewPrintedChecks(checks, platform.messages, Main());
    };
}

CheckJournal &Program::Journal() {
    if (!journal_) {
        journal_ = std::make_unique<CheckJournal>(platform.files.Root());
    }
    return *journal_;
}

Program::~Program() {
    restored_.reset();
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
