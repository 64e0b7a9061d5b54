#include "checkbook/Checkbooks.h"

#include "platform/QtFiles.h"
#include "register/Register.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

const QString kRemovingMark = QStringLiteral(".removing");

QByteArray encoded(const QString &path) {
    return QFile::encodeName(path);
}

QString reason(int error = errno) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// A folder made for its owner alone, or one already there that is a real folder.
FileResult makeFolder(const QString &path) {
    if (::mkdir(encoded(path).constData(), 0700) == 0 || errno == EEXIST) {
        const QFileInfo info(path);
        if (info.isSymLink() || !info.isDir()) {
            return FileResult::Fail(QDir::toNativeSeparators(path) +
                                    QStringLiteral(" is not a folder (a link or a file stands there)."));
        }
        return FileResult::Ok();
    }
    return FileResult::Fail(
        QStringLiteral("The folder %1 could not be made: %2").arg(QDir::toNativeSeparators(path), reason()));
}

// Renames a folder, never over one that is there already.
FileResult renameFolder(const QString &from, const QString &to) {
    if (::renameat2(AT_FDCWD, encoded(from).constData(), AT_FDCWD, encoded(to).constData(), RENAME_NOREPLACE) == 0) {
        return FileResult::Ok();
    }
    return FileResult::Fail(QStringLiteral("The folder %1 could not be renamed to %2: %3")
                                .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), reason()));
}

bool sameName(const QString &a, const QString &b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QByteArray encodeList(const CheckbookList &list) {
    QByteArray bytes;
    for (const QString &name : QStringList{list.names.value(list.open)} + list.names) {
        bytes += '"' + name.toUtf8() + "\"\r\n";
    }
    return bytes;
}

} // namespace

QString AccountNumberDigits(const QString &accountNo) {
    QString digits;
    for (const QChar c : accountNo) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits.append(c);
        }
    }
    return digits;
}

QString CheckbookNameProblem(const QString &name) {
    if (name.trimmed().isEmpty()) {
        return QStringLiteral("Type a name for the checkbook.");
    }
    if (name.size() > kCheckbookNameMaxLength) {
        return QStringLiteral("A checkbook's name may be %1 characters long at most.").arg(kCheckbookNameMaxLength);
    }
    static const QRegularExpression forbidden(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f\\x7f]"));
    if (const QRegularExpressionMatch bad = forbidden.match(name); bad.hasMatch()) {
        return QStringLiteral("A checkbook's name may not hold the characters / \\ : * ? \" < > | or control "
                              "characters.");
    }
    if (name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char(' ')) || name.endsWith(QLatin1Char(' '))) {
        return QStringLiteral("A checkbook's name may not begin with a point, nor begin or end with a blank.");
    }
    return {};
}

Checkbooks::Checkbooks(Files &programFiles) : files_(programFiles) {
    list_.names = {kFirstCheckbookName};
}

QString Checkbooks::FolderOf(int index) const {
    if (index <= 0) {
        return files_.Root();
    }
    return files_.Root() + QLatin1Char('/') + kCheckbooksFolder + QLatin1Char('/') + list_.names.value(index);
}

FileResult Checkbooks::Load() {
    list_ = CheckbookList{{kFirstCheckbookName}, 0};
    if (!files_.Dir(kCheckbookListFile)) {
        return FileResult::Ok();
    }
    QByteArray bytes;
    if (FileResult read = files_.ReadWhole(kCheckbookListFile, bytes); !read) {
        return read;
    }
    static const QRegularExpression quoted(QStringLiteral("\"([^\"\\r\\n]*)\""));
    QStringList names;
    for (auto match = quoted.globalMatch(QString::fromUtf8(bytes)); match.hasNext();) {
        names += match.next().captured(1);
    }
    if (names.size() < 2) {
        return FileResult::Fail(QStringLiteral("The list of checkbooks %1 is damaged; the first checkbook is open.")
                                    .arg(QDir::toNativeSeparators(files_.FullPath(kCheckbookListFile))));
    }
    const QString open = names.takeFirst();
    list_.names[0] = CheckbookNameProblem(names[0]).isEmpty() ? names[0] : kFirstCheckbookName;
    for (const QString &name : names.mid(1)) {
        if (CheckbookNameProblem(name).isEmpty() && nameProblem(name, -1).isEmpty()) {
            list_.names += name;
        }
    }
    const qsizetype index = list_.names.indexOf(open);
    list_.open = index > 0 && CheckFolder(static_cast<int>(index)) ? static_cast<int>(index) : 0;
    return FileResult::Ok();
}

FileResult Checkbooks::Refresh() {
    FileResult result = Load();
    const QString folder = files_.Root() + QLatin1Char('/') + kCheckbooksFolder;
    const QFileInfo info(folder);
    if (!info.exists() || info.isSymLink() || !info.isDir()) {
        // Only the first checkbook is left when the folder of the others is gone or not a folder.
        const CheckbookList first{{list_.names[0]}, 0};
        return list_.names.size() > 1 ? save(first) : result;
    }
    CheckbookList found{{list_.names[0]}, 0};
    const QStringList folders =
        QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks, QDir::Name);
    for (const QString &name : folders) {
        if (name.startsWith(QLatin1Char('.')) && name.contains(kRemovingMark)) {
            QDir(folder + QLatin1Char('/') + name).removeRecursively();
        }
    }
    // The list's order first, then folders it does not name yet.
    QStringList ordered = list_.names.mid(1);
    for (const QString &name : folders) {
        if (!ordered.contains(name)) {
            ordered += name;
        }
    }
    for (const QString &name : ordered) {
        const bool usable = folders.contains(name) && CheckbookNameProblem(name).isEmpty();
        const bool clashes = std::any_of(found.names.cbegin(), found.names.cend(),
                                         [&name](const QString &other) { return sameName(name, other); });
        if (usable && !clashes) {
            found.names += name;
        }
    }
    found.open = std::max<int>(0, static_cast<int>(found.names.indexOf(OpenName())));
    if (found.names != list_.names || found.open != list_.open) {
        return save(found);
    }
    return result;
}

FileResult Checkbooks::save(const CheckbookList &list) {
    const FileResult saved = files_.ReplaceContents(kCheckbookListFile, encodeList(list));
    if (saved) {
        list_ = list;
    }
    return saved;
}

QString Checkbooks::nameProblem(const QString &name, int except) const {
    if (QString problem = CheckbookNameProblem(name); !problem.isEmpty()) {
        return problem;
    }
    for (int i = 0; i < list_.names.size(); ++i) {
        if (i != except && sameName(list_.names[i], name)) {
            return QStringLiteral("There is a checkbook \"%1\" already.").arg(list_.names[i]);
        }
    }
    return {};
}

FileResult Checkbooks::Open(int index) {
    if (index < 0 || index >= list_.names.size()) {
        return FileResult::Fail(QStringLiteral("There is no such checkbook."));
    }
    if (FileResult folder = CheckFolder(index); !folder) {
        return folder;
    }
    CheckbookList list = list_;
    list.open = index;
    return save(list);
}

FileResult Checkbooks::Add(const QString &name) {
    if (FileResult refreshed = Refresh(); !refreshed) {
        return refreshed;
    }
    if (const QString problem = nameProblem(name, -1); !problem.isEmpty()) {
        return FileResult::Fail(problem);
    }
    if (FileResult made = makeFolder(files_.Root() + QLatin1Char('/') + kCheckbooksFolder); !made) {
        return made;
    }
    const QString folder = files_.Root() + QLatin1Char('/') + kCheckbooksFolder + QLatin1Char('/') + name;
    if (::mkdir(encoded(folder).constData(), 0700) != 0) {
        return FileResult::Fail(
            QStringLiteral("The folder %1 could not be made: %2").arg(QDir::toNativeSeparators(folder), reason()));
    }
    CheckbookList list = list_;
    list.names += name;
    list.open = static_cast<int>(list.names.size() - 1);
    const FileResult saved = save(list);
    if (!saved) {
        QDir().rmdir(folder);
    }
    return saved;
}

FileResult Checkbooks::Rename(int index, const QString &name) {
    if (index < 0 || index >= list_.names.size()) {
        return FileResult::Fail(QStringLiteral("There is no such checkbook."));
    }
    if (const QString problem = nameProblem(name, index); !problem.isEmpty()) {
        return FileResult::Fail(problem);
    }
    CheckbookList list = list_;
    list.names[index] = name;
    if (index == 0) {
        return save(list);
    }
    if (FileResult folder = CheckFolder(index); !folder) {
        return folder;
    }
    const QString from = FolderOf(index);
    const QString to = files_.Root() + QLatin1Char('/') + kCheckbooksFolder + QLatin1Char('/') + name;
    if (FileResult renamed = renameFolder(from, to); !renamed) {
        return renamed;
    }
    const FileResult saved = save(list);
    if (!saved) {
        renameFolder(to, from);
    }
    return saved;
}

FileResult Checkbooks::Remove(int index) {
    if (index <= 0 || index >= list_.names.size()) {
        return FileResult::Fail(QStringLiteral("The first checkbook, \"%1\", keeps its files in the program's "
                                               "folder and is not removed.")
                                    .arg(list_.names[0]));
    }
    if (index == list_.open) {
        return FileResult::Fail(QStringLiteral("The open checkbook is not removed: open another one first."));
    }
    if (FileResult folder = CheckFolder(index); !folder) {
        return folder;
    }
    QtFiles book(FolderOf(index));
    const qint64 pending = std::max<qint64>(0, book.FileLen(kRegisterFile)) +
                           std::max<qint64>(0, book.FileLen(QStringLiteral("\\Backup") + kRegisterFile));
    if (pending > 0) {
        return FileResult::Fail(QStringLiteral("The checkbook \"%1\" has checks waiting to be printed; it is not "
                                               "removed. Print them or cancel them first.")
                                    .arg(list_.names[index]));
    }
    const QString from = FolderOf(index);
    const QString aside = files_.Root() + QLatin1Char('/') + kCheckbooksFolder + QStringLiteral("/.") +
                          list_.names[index] + kRemovingMark;
    QDir(aside).removeRecursively();
    if (FileResult renamed = renameFolder(from, aside); !renamed) {
        return renamed;
    }
    CheckbookList list = list_;
    list.names.removeAt(index);
    list.open = list_.open > index ? list_.open - 1 : list_.open;
    const FileResult saved = save(list);
    if (!saved) {
        renameFolder(aside, from);
        return saved;
    }
    QDir(aside).removeRecursively();
    return saved;
}

FileResult Checkbooks::CheckFolder(int index) const {
    if (index == 0) {
        return FileResult::Ok();
    }
    for (const QString &path : {files_.Root() + QLatin1Char('/') + kCheckbooksFolder, FolderOf(index)}) {
        const QFileInfo info(path);
        if (info.isSymLink() || !info.isDir()) {
            return FileResult::Fail(QStringLiteral("The checkbook \"%1\" cannot be opened: %2 is %3.")
                                        .arg(list_.names.value(index), QDir::toNativeSeparators(path),
                                             info.isSymLink() ? QStringLiteral("a link, not a folder")
                                             : info.exists()  ? QStringLiteral("not a folder")
                                                              : QStringLiteral("missing")));
        }
    }
    return FileResult::Ok();
}

SettingsLoad Checkbooks::Settings(int index) const {
    if (index == 0) {
        return LoadSettings(files_);
    }
    if (!CheckFolder(index)) {
        return {};
    }
    QtFiles book(FolderOf(index));
    return LoadSettings(book);
}

QString Checkbooks::AccountClash(int index, const QString &accountNo) const {
    const QString digits = AccountNumberDigits(accountNo);
    if (digits.isEmpty()) {
        return {};
    }
    for (int i = 0; i < list_.names.size(); ++i) {
        if (i == index) {
            continue;
        }
        const SettingsLoad load = Settings(i);
        if (load.state == SettingsState::Loaded && AccountNumberDigits(load.settings.AcctNo) == digits) {
            return list_.names[i];
        }
    }
    return {};
}
