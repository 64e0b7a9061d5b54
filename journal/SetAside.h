#pragma once

#include "journal/CheckJournal.h"

#include <QDateTime>
#include <QStringList>

#include <functional>

// Asked with the check numbers of pending records that were printed before: true keeps them to
// print again on purpose, false discards them.
using KeepQuestion = std::function<bool(const QStringList &checkNos)>;

struct SetAsideResult {
    FileResult result;
    int discarded = 0; // records taken off the register
    int kept = 0;      // records the journal holds as printed that stay pending by the person's choice
    QStringList asked; // check numbers of the question, when one was asked
};

// The identity of the register's copy in the Backup folder (SHA-256 of its bytes, in hex); empty
// when there is none.
QString BackupIdentity(Files &files);

// Sets aside every pending record of the register that the journal holds as printed for this
// account's digits: a record of the Backup copy when a check of the same payee, amount and memo was
// printed since the copy was made (or under its number), any other record when its own number was
// printed with that payee, amount and memo. Records decided about before, for the same
// Backup copy, are dropped or kept as decided then, silently; the others are asked about once, and
// the answer is remembered.
SetAsideResult SetAsidePrinted(CheckJournal &journal, Files &files, const QString &accountNo, const KeepQuestion &keep,
                               const QDateTime &now);
