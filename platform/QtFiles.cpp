#include "platform/QtFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kTempMarker = QStringLiteral(".quillane-");

// Data files hold account numbers and payees: a file the program creates is its owner's alone.
constexpr mode_t kNewFileMode = S_IRUSR | S_IWUSR;
constexpr mode_t kPermissionBits = 07777;

QString nativeName(const QString &path) {
    return QDir::toNativeSeparators(path);
}

QByteArray encodedPath(const QString &path) {
    return QFile::encodeName(path);
}

// The permission bits a save of the file must end with: those of the file it replaces, or the
// owner-only mode of a new file.
mode_t modeForSaving(const QString &path) {
    struct stat info {};
    if (::lstat(encodedPath(path).constData(), &info) == 0 && S_ISREG(info.st_mode)) {
        return info.st_mode & kPermissionBits;
    }
    return kNewFileMode;
}

// Gives a file this program made or is saving exactly these permission bits. A file system that
// keeps no modes of its own (FAT, some network shares) refuses the change: its files have whatever
// mode it is mounted with, and refusing to write there would help nobody.
bool setMode(int fd, mode_t mode) {
    return ::fchmod(fd, mode) == 0 || errno == EPERM || errno == EOPNOTSUPP;
}

} // namespace

QtFiles::QtFiles(QString root) : root_(QDir::cleanPath(std::move(root))) {}

QtFiles::~QtFiles() {
    CloseAll();
}

QString QtFiles::reason(int err) {
    // A data file is never opened through a symbolic link or as a folder planted in its place.
    if (err == ELOOP) {
        return QStringLiteral("it is a symbolic link, which Quillane never follows; remove the link and try again");
    }
    if (err == EISDIR) {
        return QStringLiteral("it is a folder, not a file; move the folder elsewhere and try again");
    }
    return QString::fromLocal8Bit(std::strerror(err));
}

int QtFiles::plantedError(const QString &path) {
    struct stat info {};
    if (::lstat(encodedPath(path).constData(), &info) != 0) {
        return 0;
    }
    if (S_ISLNK(info.st_mode)) {
        return ELOOP;
    }
    return S_ISREG(info.st_mode) ? 0 : EISDIR;
}

QString QtFiles::FullPath(const QString &name) const {
    QString relative = name;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    const QStringList parts = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = root_;
    for (const QString &part : parts) {
        const QString exact = path + QLatin1Char('/') + part;
        if (part == QLatin1String(".") || part == QLatin1String("..") || QFileInfo::exists(exact)) {
            path = exact;
            continue;
        }
        // Letter case is ignored: take the entry whose name differs only in case, if there is one.
        QString match = part;
        const QStringList entries =
            QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &entry : entries) {
            if (entry.compare(part, Qt::CaseInsensitive) == 0) {
                match = entry;
                break;
            }
        }
        path += QLatin1Char('/') + match;
    }
    return path;
}

int QtFiles::FreeFile() const {
    for (int number = 1; number <= 255; ++number) {
        if (open_[number].fd < 0) {
            return number;
        }
    }
    return 0;
}

bool QtFiles::IsOpen(int number) const {
    return number >= 1 && number <= 255 && open_[number].fd >= 0;
}

FileResult QtFiles::Open(int number, const QString &name, Mode mode, int recordLength) {
    if (number < 1 || number > 255) {
        return FileResult::Fail(QStringLiteral("Bad file number %1.").arg(number));
    }
    if (open_[number].fd >= 0) {
        return FileResult::Fail(QStringLiteral("File number %1 is already open.").arg(number));
    }
    if (mode == Mode::Random && recordLength <= 0) {
        return FileResult::Fail(QStringLiteral("Bad record length %1.").arg(recordLength));
    }
    OpenFile file;
    file.mode = mode;
    file.recordLength = recordLength;
    file.path = FullPath(name);
    const QByteArray path = encodedPath(file.path);
    switch (mode) {
    case Mode::Input:
        file.fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (file.fd >= 0 && plantedError(file.path) != 0) {
            ::close(file.fd);
            file.fd = -1;
            errno = EISDIR;
        }
        break;
    case Mode::Random:
        // Created here, the file gets the owner-only mode whatever the umask; an existing file keeps its own.
        file.fd = ::open(path.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (file.fd >= 0) {
            file.created = true;
            if (!setMode(file.fd, kNewFileMode)) {
                const int err = errno;
                ::close(file.fd);
                ::unlink(path.constData());
                errno = err;
                file.fd = -1;
            }
        } else if (errno == EEXIST) {
            file.fd = ::open(path.constData(), O_RDWR | O_NOFOLLOW | O_CLOEXEC);
        }
        break;
    case Mode::Output: {
        // The rename at the end would replace a link or fail on a folder; either is refused now.
        if (const int planted = plantedError(file.path); planted != 0) {
            errno = planted;
            break;
        }
        const QFileInfo info(file.path);
        QByteArray pattern = encodedPath(info.absolutePath() + QLatin1String("/.") + info.fileName() + kTempMarker +
                                         QLatin1String("XXXXXX.tmp"));
        file.fd = ::mkstemps(pattern.data(), 4);
        if (file.fd >= 0) {
            file.tempPath = QFile::decodeName(pattern);
            // The new contents are never readable by more people than the finished file will be.
            if (!setMode(file.fd, modeForSaving(file.path) & kNewFileMode)) {
                const int err = errno;
                ::close(file.fd);
                ::unlink(pattern.constData());
                errno = err;
                file.fd = -1;
            }
        }
        break;
    }
    }
    if (file.fd < 0) {
        return FileResult::Fail(QStringLiteral("Cannot open %1: %2").arg(nativeName(file.path), reason(errno)));
    }
    open_[number] = file;
    return FileResult::Ok();
}

FileResult QtFiles::commit(OpenFile &file) {
    if (!file.failure.isEmpty()) {
        ::close(file.fd);
        ::unlink(encodedPath(file.tempPath).constData());
        return FileResult::Fail(file.failure);
    }
    // The finished file keeps the mode of the file it replaces; a new one is its owner's alone.
    if (!setMode(file.fd, modeForSaving(file.path)) || !sysSync(file.fd)) {
        const int err = errno;
        ::close(file.fd);
        ::unlink(encodedPath(file.tempPath).constData());
        return FileResult::Fail(QStringLiteral("Cannot write %1: %2").arg(nativeName(file.path), reason(err)));
    }
    ::close(file.fd);
    if (!sysRename(file.tempPath, file.path)) {
        const int err = errno;
        ::unlink(encodedPath(file.tempPath).constData());
        return FileResult::Fail(QStringLiteral("Cannot replace %1: %2").arg(nativeName(file.path), reason(err)));
    }
    syncFolderOf(file.path);
    return FileResult::Ok();
}

FileResult QtFiles::Close(int number) {
    if (!IsOpen(number)) {
        return FileResult::Ok();
    }
    OpenFile file = open_[number];
    open_[number] = OpenFile{};
    if (file.mode == Mode::Output) {
        return commit(file);
    }
    if (::close(file.fd) != 0) {
        return FileResult::Fail(QStringLiteral("Cannot close %1: %2").arg(nativeName(file.path), reason(errno)));
    }
    return FileResult::Ok();
}

FileResult QtFiles::CloseAll() {
    FileResult result;
    for (int number = 1; number <= 255; ++number) {
        FileResult one = Close(number);
        if (!one && result) {
            result = one;
        }
    }
    return result;
}

FileResult QtFiles::writeAll(int fd, const QByteArray &bytes, qint64 offset, const QString &path) {
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = sysWrite(fd, bytes.constData() + done, bytes.size() - done, offset < 0 ? -1 : offset + done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int err = n == 0 ? ENOSPC : errno;
            return FileResult::Fail(QStringLiteral("Cannot write %1: %2").arg(nativeName(path), reason(err)));
        }
        done += n;
    }
    return FileResult::Ok();
}

FileResult QtFiles::Write(int number, const QByteArray &bytes) {
    if (!IsOpen(number) || open_[number].mode != Mode::Output) {
        return FileResult::Fail(QStringLiteral("File number %1 is not open for output.").arg(number));
    }
    OpenFile &file = open_[number];
    if (!file.failure.isEmpty()) {
        return FileResult::Fail(file.failure);
    }
    FileResult result = writeAll(file.fd, bytes, -1, file.path);
    if (!result) {
        file.failure = result.error;
    }
    return result;
}

FileResult QtFiles::ReadAll(int number, QByteArray &bytes) {
    bytes.clear();
    if (!IsOpen(number) || open_[number].mode != Mode::Input) {
        return FileResult::Fail(QStringLiteral("File number %1 is not open for input.").arg(number));
    }
    const OpenFile &file = open_[number];
    // One buffer of the file's length, read into in place: no growing, no copying. The file may
    // still grow while it is read; what comes after the length read first is appended.
    struct stat info {};
    const qint64 length = ::fstat(file.fd, &info) == 0 && S_ISREG(info.st_mode) ? qint64(info.st_size) : 0;
    bytes.resize(length + 1);
    qint64 done = 0;
    for (;;) {
        if (done == bytes.size()) {
            bytes.resize(done + std::max<qint64>(16384, done));
        }
        const ssize_t n = ::read(file.fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            bytes.clear();
            return FileResult::Fail(QStringLiteral("Cannot read %1: %2").arg(nativeName(file.path), reason(errno)));
        }
        if (n == 0) {
            bytes.resize(done);
            return FileResult::Ok();
        }
        done += n;
    }
}

FileResult QtFiles::Get(int number, qint64 record, QByteArray &bytes) {
    bytes.clear();
    if (!IsOpen(number) || open_[number].mode != Mode::Random || record < 1) {
        return FileResult::Fail(QStringLiteral("File number %1 is not open for records.").arg(number));
    }
    const OpenFile &file = open_[number];
    bytes.resize(file.recordLength);
    qint64 done = 0;
    const qint64 offset = (record - 1) * file.recordLength;
    while (done < file.recordLength) {
        const ssize_t n = ::pread(file.fd, bytes.data() + done, file.recordLength - done, offset + done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return FileResult::Fail(QStringLiteral("Cannot read %1: %2").arg(nativeName(file.path), reason(errno)));
        }
        if (n == 0) {
            break;
        }
        done += n;
    }
    bytes.truncate(done);
    return FileResult::Ok();
}

FileResult QtFiles::Put(int number, qint64 record, const QByteArray &bytes) {
    if (!IsOpen(number) || open_[number].mode != Mode::Random || record < 1) {
        return FileResult::Fail(QStringLiteral("File number %1 is not open for records.").arg(number));
    }
    OpenFile &file = open_[number];
    if (bytes.size() != file.recordLength) {
        return FileResult::Fail(QStringLiteral("A record of %1 bytes does not fit records of %2.")
                                    .arg(bytes.size())
                                    .arg(file.recordLength));
    }
    const qint64 offset = (record - 1) * file.recordLength;
    struct stat before {};
    const bool sized = ::fstat(file.fd, &before) == 0;
    // One write call, so that no crash falls between parts of a record. (A process killed inside the
    // call can still keep the part before a page boundary; a file that must never show a torn
    // record is replaced whole instead.)
    const qint64 n = sysWrite(file.fd, bytes.constData(), bytes.size(), offset);
    int err = 0;
    if (n != bytes.size()) {
        err = n < 0 ? errno : ENOSPC;
    } else if (!sysSync(file.fd)) {
        err = errno;
    }
    if (err != 0) {
        // Take back whatever this write added past the old end: the file keeps its old records
        // whole, and a failed append leaves no record that the caller believes was refused.
        struct stat after {};
        if (sized && ::fstat(file.fd, &after) == 0 && after.st_size > before.st_size) {
            (void)::ftruncate(file.fd, before.st_size);
        }
        return FileResult::Fail(QStringLiteral("Cannot write %1: %2").arg(nativeName(file.path), reason(err)));
    }
    if (file.created && !file.folderSynced) {
        file.folderSynced = syncFolderOf(file.path);
    }
    return FileResult::Ok();
}

bool QtFiles::Dir(const QString &name) const {
    const QFileInfo info(FullPath(name));
    return info.exists() && info.isFile() && !info.isHidden();
}

FileResult QtFiles::FileCopy(const QString &from, const QString &to) {
    const QString source = FullPath(from);
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        return FileResult::Fail(QStringLiteral("Cannot read %1: %2").arg(nativeName(source), in.errorString()));
    }
    const QByteArray bytes = in.readAll();
    if (in.error() != QFileDevice::NoError) {
        return FileResult::Fail(QStringLiteral("Cannot read %1: %2").arg(nativeName(source), in.errorString()));
    }
    return ReplaceContents(to, bytes);
}

FileResult QtFiles::Kill(const QString &name) {
    const QString path = FullPath(name);
    if (::unlink(encodedPath(path).constData()) != 0) {
        return FileResult::Fail(QStringLiteral("Cannot delete %1: %2").arg(nativeName(path), reason(errno)));
    }
    syncFolderOf(path);
    return FileResult::Ok();
}

qint64 QtFiles::FileLen(const QString &name) const {
    const QFileInfo info(FullPath(name));
    return info.exists() ? info.size() : -1;
}

FileResult QtFiles::ReplaceContents(const QString &name, const QByteArray &bytes) {
    const int number = FreeFile();
    if (number == 0) {
        return FileResult::Fail(QStringLiteral("Too many files are open."));
    }
    FileResult result = Open(number, name, Mode::Output);
    if (!result) {
        return result;
    }
    // A failed write leaves the file uncommitted: Close then drops the temporary file and the old
    // contents stay as they were.
    result = Write(number, bytes);
    FileResult closed = Close(number);
    return result ? closed : result;
}

bool QtFiles::IsTemporaryName(const QString &fileName) {
    static const QRegularExpression pattern(QStringLiteral("^\\..+\\.quillane-[A-Za-z0-9]{6}\\.tmp$"));
    return pattern.match(fileName).hasMatch();
}

void QtFiles::RemoveStrayTemporaries() {
    const QDir dir(root_);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString &entry : entries) {
        if (IsTemporaryName(entry)) {
            QFile::remove(dir.filePath(entry));
        }
    }
}

qint64 QtFiles::sysWrite(int fd, const char *data, qint64 size, qint64 offset) {
    return offset < 0 ? ::write(fd, data, size) : ::pwrite(fd, data, size, offset);
}

bool QtFiles::sysSync(int fd) {
    return ::fsync(fd) == 0;
}

bool QtFiles::sysRename(const QString &from, const QString &to) {
    return ::rename(encodedPath(from).constData(), encodedPath(to).constData()) == 0;
}

bool QtFiles::syncFolderOf(const QString &path) {
    const int fd = ::open(encodedPath(QFileInfo(path).absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = sysSync(fd);
    ::close(fd);
    return ok;
}
