#pragma once

#include "platform/Files.h"

#include <array>

// The real file layer, on POSIX file descriptors so that every write and flush can be checked.
class QtFiles : public Files {
public:
    explicit QtFiles(QString root);
    ~QtFiles() override;

    QString Root() const override { return root_; }
    QString FullPath(const QString &name) const override;
    int FreeFile() const override;
    FileResult Open(int number, const QString &name, Mode mode, int recordLength = 0) override;
    FileResult Close(int number) override;
    FileResult CloseAll() override;
    bool IsOpen(int number) const override;
    FileResult Write(int number, const QByteArray &bytes) override;
    FileResult ReadAll(int number, QByteArray &bytes) override;
    FileResult Get(int number, qint64 record, QByteArray &bytes) override;
    FileResult Put(int number, qint64 record, const QByteArray &bytes) override;
    bool Dir(const QString &name) const override;
    FileResult FileCopy(const QString &from, const QString &to) override;
    FileResult Kill(const QString &name) override;
    qint64 FileLen(const QString &name) const override;
    FileResult ReplaceContents(const QString &name, const QByteArray &bytes) override;
    void RemoveStrayTemporaries() override;

    // True for a name made by an atomic save of this program (".<name>.quillane-XXXXXX.tmp").
    static bool IsTemporaryName(const QString &fileName);

protected:
    // The system calls that can fail on a full disk or a broken folder; tests override them.
    // Each sets errno on failure like the call it stands for.
    virtual qint64 sysWrite(int fd, const char *data, qint64 size, qint64 offset);
    virtual bool sysSync(int fd);
    virtual bool sysRename(const QString &from, const QString &to);

private:
    struct OpenFile {
        int fd = -1;
        Mode mode = Mode::Input;
        int recordLength = 0;
        QString path;         // the file the caller named
        QString tempPath;     // Output: the new contents until committed
        QString failure;      // Output: the first failed write; the file is then never committed
        bool created = false; // Random: the file did not exist before
        bool folderSynced = false;
    };

    FileResult writeAll(int fd, const QByteArray &bytes, qint64 offset, const QString &path);
    FileResult commit(OpenFile &file);
    bool syncFolderOf(const QString &path);
    static QString reason(int err);
    // ELOOP for a symbolic link, EISDIR for a folder or other non-file in place of a data file; 0
    // for a file or nothing.
    static int plantedError(const QString &path);

    QString root_;
    std::array<OpenFile, 256> open_{};
};
