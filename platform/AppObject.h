#pragma once

#include <QString>

#include <memory>

// The application object: fixed facts about this program and its folder.
struct AppObject {
    QString Title = QStringLiteral("Quillane");
    int Major = 2;
    int Minor = 0;
    int Revision = 0;
    QString HelpFile = QStringLiteral("C:\\Tarnwick Software\\Help Files\\Checkbook\\CHECKBOOK.HLP");
    // The program's folder, without a trailing separator; every data file lives here.
    QString Path;
    // Who runs the program and on which computer: the operating-system user's login name and the
    // machine's host name, recorded with every run, review mark, void, export and approval.
    QString UserName;
    QString HostName;
};

// True for an executable installed in <prefix>/bin beside its <prefix>/share/quillane folder: a
// folder of programs, never of data, even where this user may write there (root, ~/.local).
bool IsInstalledExecutableFolder(const QString &executableFolder);

// Chooses the program's folder: the executable's folder when the program may write there and was
// not installed (a portable copy keeps its files beside itself), else the per-user application
// data folder, created for its owner alone when missing.
QString ChooseProgramFolder(const QString &executableFolder, const QString &perUserFolder);

// Builds the application object of the running program (needs a QCoreApplication).
AppObject MakeAppObject();

// Tells whether another copy of this program already runs for the same user.
class InstanceGuard {
public:
    virtual ~InstanceGuard() = default;
    // True when another copy holds the guard; otherwise this copy takes it until it ends.
    virtual bool PrevInstance() = 0;
};

// A per-user lock file; a copy that died without releasing it does not block the next start.
class LockFileGuard final : public InstanceGuard {
public:
    explicit LockFileGuard(QString lockPath);
    ~LockFileGuard() override;
    bool PrevInstance() override;
    // The per-user lock path used by the real program.
    static QString DefaultLockPath();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
