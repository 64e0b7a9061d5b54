#pragma once

#include <QByteArray>
#include <QString>

// The outcome of a file operation; on failure, a reason fit to show a person.
struct FileResult {
    bool ok = true;
    QString error;

    static FileResult Ok() { return {}; }
    static FileResult Fail(QString reason) { return {false, std::move(reason)}; }
    explicit operator bool() const { return ok; }
};

// The program's files, in the numbered-file model: a file is opened under a number from 1 to 255
// and read, written and closed through that number.
//
// Names that begin with "/" or "\" are taken relative to the program's folder; both separators mean
// the same, and letter case is ignored: an existing file whose name differs only in case is the one
// used (and rewritten), never a second file beside it.
class Files {
public:
    enum class Mode { Random, Input, Output };

    virtual ~Files() = default;

    // The program's folder (App.Path).
    virtual QString Root() const = 0;
    // The full path a data-file name stands for, matched case-insensitively against what exists.
    virtual QString FullPath(const QString &name) const = 0;

    // The lowest file number not in use, 1 to 255; 0 when all are taken.
    virtual int FreeFile() const = 0;
    // Random: read/write records of recordLength bytes, created when missing.
    // Input: sequential reading; the file must exist.
    // Output: sequential writing of a new file that replaces the old one only when closed
    // successfully (written to a temporary file, flushed to disk, then renamed over the old one).
    virtual FileResult Open(int number, const QString &name, Mode mode, int recordLength = 0) = 0;
    // Closes one file; for an Output file this commits the new contents, reporting any failure.
    virtual FileResult Close(int number) = 0;
    // Closes every open file; an Output file not yet committed is committed.
    virtual FileResult CloseAll() = 0;
    virtual bool IsOpen(int number) const = 0;

    // Output: appends bytes to the file's new contents.
    virtual FileResult Write(int number, const QByteArray &bytes) = 0;
    // Input: the whole file.
    virtual FileResult ReadAll(int number, QByteArray &bytes) = 0;
    // The whole of an existing file, opened under a free number and closed again.
    virtual FileResult ReadWhole(const QString &name, QByteArray &bytes) = 0;
    // Random: reads record `record` (1-based); a record past the end reads short.
    virtual FileResult Get(int number, qint64 record, QByteArray &bytes) = 0;
    // Random: writes record `record` (1-based) in one write call and flushes it to disk.
    virtual FileResult Put(int number, qint64 record, const QByteArray &bytes) = 0;

    // True when an ordinary file (not a folder, not hidden) of that name exists.
    virtual bool Dir(const QString &name) const = 0;
    // Copies a file, overwriting the destination.
    virtual FileResult FileCopy(const QString &from, const QString &to) = 0;
    virtual FileResult Kill(const QString &name) = 0;
    // Length in bytes, -1 when missing.
    virtual qint64 FileLen(const QString &name) const = 0;
    // Replaces a file's whole contents atomically (temporary file, flush, rename, folder flush).
    virtual FileResult ReplaceContents(const QString &name, const QByteArray &bytes) = 0;
    // Removes temporary files left in the program's folder by an interrupted save.
    virtual void RemoveStrayTemporaries() = 0;
};
