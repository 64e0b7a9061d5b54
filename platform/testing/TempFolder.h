#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <sys/stat.h>

// A temporary program folder for file tests, with plain ways to put bytes in and read them back
// that do not go through the file layer under test.
class TempFolder {
public:
    TempFolder() = default;

    bool isValid() const { return dir_.isValid(); }
    QString path() const { return dir_.path(); }
    QString file(const QString &relative) const { return dir_.filePath(relative); }

    // Writes the bytes to a file under the folder, creating its sub-folders.
    bool write(const QString &relative, const QByteArray &bytes) const {
        const QString target = file(relative);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile out(target);
        return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size();
    }
    // The file's bytes; empty when it cannot be read.
    QByteArray read(const QString &relative) const {
        QFile in(file(relative));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }
    bool exists(const QString &relative) const { return QFileInfo::exists(file(relative)); }
    // A file's permission bits as the system holds them; -1 when it cannot be read.
    int mode(const QString &relative) const {
        struct stat info {};
        return ::stat(QFile::encodeName(file(relative)).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    }
    bool setMode(const QString &relative, int mode) const {
        return ::chmod(QFile::encodeName(file(relative)).constData(), mode_t(mode)) == 0;
    }
    // Every entry of a folder under this one, hidden ones included, sorted by name.
    QStringList entries(const QString &relative = QString()) const {
        return QDir(file(relative))
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    }

private:
    QTemporaryDir dir_;
};

// The process's file-creation mask, set for one test and put back afterwards.
class ScopedUmask {
public:
    explicit ScopedUmask(int mask) : old_(::umask(mode_t(mask))) {}
    ~ScopedUmask() { ::umask(old_); }
    ScopedUmask(const ScopedUmask &) = delete;
    ScopedUmask &operator=(const ScopedUmask &) = delete;

private:
    mode_t old_;
};

// A small tmpfs mounted on a fresh temporary folder, so that a test can meet a real full disk.
// Mounting needs root and a system that allows it; reason() says why it did not happen.
class ScopedTmpfs {
public:
    explicit ScopedTmpfs(qint64 bytes) {
        if (!dir_.isValid()) {
            reason_ = QStringLiteral("no temporary folder to mount on");
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(bytes);
        if (::mount("tmpfs", QFile::encodeName(dir_.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    options.constData()) != 0) {
            reason_ = QStringLiteral("mount -t tmpfs failed: ") + QString::fromLocal8Bit(std::strerror(errno));
            return;
        }
        mounted_ = true;
    }
    ~ScopedTmpfs() {
        if (mounted_) {
            ::umount2(QFile::encodeName(dir_.path()).constData(), MNT_DETACH);
        }
    }
    ScopedTmpfs(const ScopedTmpfs &) = delete;
    ScopedTmpfs &operator=(const ScopedTmpfs &) = delete;

    // Fills the file system to the last byte with one file of that name.
    void fill(const QString &fileName) const {
        QFile filler(dir_.filePath(fileName));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            return;
        }
        const QByteArray block(4096, 'F');
        while (filler.write(block) == block.size()) {
        }
        while (filler.write(block.left(1)) == 1) {
        }
    }

    bool mounted() const { return mounted_; }
    QString reason() const { return reason_; }
    QString path() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString reason_;
};
