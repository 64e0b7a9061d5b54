#include "platform/AppObject.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <unistd.h>

QString ChooseProgramFolder(const QString &executableFolder, const QString &perUserFolder) {
    QTemporaryFile probe(executableFolder + QStringLiteral("/.quillane-write-test-XXXXXX"));
    if (probe.open()) {
        return QDir::cleanPath(executableFolder);
    }
    QDir().mkpath(perUserFolder);
    return QDir::cleanPath(perUserFolder);
}

AppObject MakeAppObject() {
    AppObject app;
    app.Path = ChooseProgramFolder(QCoreApplication::applicationDirPath(),
                                   QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
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
