#include "platform/AppObject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTemporaryFile>

#include <pwd.h>
#include <unistd.h>

bool IsInstalledExecutableFolder(const QString &executableFolder) {
    const QDir folder(QDir::cleanPath(executableFolder));
    return folder.dirName() == QLatin1String("bin") &&
           QFileInfo(folder.filePath(QStringLiteral("../share/quillane"))).isDir();
}

QString ChooseProgramFolder(const QString &executableFolder, const QString &perUserFolder) {
    if (!IsInstalledExecutableFolder(executableFolder)) {
        QTemporaryFile probe(executableFolder + QStringLiteral("/.quillane-write-test-XXXXXX"));
        if (probe.open()) {
            return QDir::cleanPath(executableFolder);
        }
    }
    // The per-user folder holds account numbers and payees: a new one is for its owner's eyes only.
    const QString folder = QDir::cleanPath(perUserFolder);
    const QFileInfo info(folder);
    if (!info.exists() && QDir().mkpath(info.absolutePath())) {
        QDir().mkdir(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder;
}

AppObject MakeAppObject() {
    AppObject app;
    app.Path = ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                                   QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    // The login of the effective user, not $USER, which anyone may set to another person's name.
    if (const passwd *entry = ::getpwuid(::geteuid()); entry != nullptr && entry->pw_name != nullptr) {
        app.UserName = QString::fromLocal8Bit(entry->pw_name);
    } else {
        app.UserName = QString::number(::geteuid());
    }
    app.HostName = QSysInfo::machineHostName();
    return app;
}

struct LockFileGuard::Impl {
    QLockFile lock;
    explicit Impl(const QString &path) : lock(path) {}
};

LockFileGuard::LockFileGuard(QString lockPath) : d(std::make_unique<Impl>(lockPath)) {
    // A lock is stale only when its owner process is gone, never because of its age alone.
    d->lock.setStaleLockTime(0);
}

LockFileGuard::~LockFileGuard() = default;

bool LockFileGuard::PrevInstance() {
    if (d->lock.isLocked()) {
        return false;
    }
    if (d->lock.tryLock(0)) {
        return false;
    }
    return d->lock.error() == QLockFile::LockFailedError;
}

QString LockFileGuard::DefaultLockPath() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) {
        dir = QDir::tempPath();
    }
    // The user id keeps users apart even where the folder is shared and $USER is not set.
    return dir + QStringLiteral("/quillane-") + QString::number(::getuid()) + QStringLiteral(".lock");
}
