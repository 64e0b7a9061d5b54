#pragma once

#include "checkbook/CheckbookSettings.h"
#include "platform/Files.h"

#include <QString>
#include <QStringList>

// Several checkbooks, each with its own settings file and pending register (and their Backup
// copies) in a folder of its own. The first checkbook is the program's folder itself, so that the
// files an installation already holds stay where they are; every other one is Checkbooks/<name>/.
inline const QString kCheckbooksFolder = QStringLiteral("Checkbooks");
// The names of the checkbooks, which one is open first: a quoted name a line, CR LF, UTF-8.
inline const QString kCheckbookListFile = QStringLiteral("/Checkbooks.txt");
inline const QString kFirstCheckbookName = QStringLiteral("Checkbook");
constexpr int kCheckbookNameMaxLength = 40;

// Why a name cannot name a checkbook, or "" when it can: blank, too long, a character a folder
// name cannot safely hold (/ \ : * ? " < > | and control characters), "." and "..", or a leading
// dot or blank.
QString CheckbookNameProblem(const QString &name);

struct CheckbookList {
    QStringList names; // names[0] is the first checkbook, in the program's folder
    int open = 0;
};

// The list in the program's folder; with no list file, the first checkbook alone.
class Checkbooks {
public:
    explicit Checkbooks(Files &programFiles);

    // Reads which checkbook is open; no other checkbook's folder is read. A list naming a folder
    // that is gone opens the first checkbook.
    FileResult Load();
    const CheckbookList &List() const { return list_; }
    QString OpenName() const { return list_.names.value(list_.open); }
    // The folder of a checkbook: the program's folder for the first.
    QString FolderOf(int index) const;
    // Reads the folders again: a checkbook folder the list does not name (an add or rename cut
    // short) is taken in, a named one that is gone is dropped, leftovers of a removal are deleted.
    FileResult Refresh();

    // Each saves the list atomically; on failure the checkbooks are as they were.
    FileResult Open(int index);
    // Makes an empty checkbook folder (owner-only) and opens it.
    FileResult Add(const QString &name);
    FileResult Rename(int index, const QString &name);
    // Deletes a checkbook's folder; the first checkbook and the open one are not removed.
    FileResult Remove(int index);

    // Whether a checkbook's folder may be used: a real folder, not a link, not a file.
    FileResult CheckFolder(int index) const;
    // The settings of a checkbook (Missing for one not set up yet).
    SettingsLoad Settings(int index) const;
    // The name of another checkbook whose account number has the same digits, or "".
    QString AccountClash(int index, const QString &accountNo) const;

private:
    FileResult save(const CheckbookList &list);
    QString nameProblem(const QString &name, int except) const;

    Files &files_;
    CheckbookList list_;
};

// The digits of an account number alone.
QString AccountNumberDigits(const QString &accountNo);
