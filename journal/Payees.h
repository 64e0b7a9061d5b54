#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

// The payee book: the people and firms checks are written to, kept in the check journal's file.

constexpr int kMostPayeeAddressLines = 4;
// An address line fits the lower window of a #10 double-window envelope at 10 points.
constexpr int kPayeeAddressWidth = 40;
constexpr int kPayeeNotesLength = 1000;

struct Payee {
    qint64 id = 0;       // 0: not in the book yet
    QString name;        // as the register stores it: at most 25 characters of the code page
    QStringList address; // up to kMostPayeeAddressLines lines
    QString memo;        // filled into an empty memo box when the payee is chosen
    QString notes;
    QDateTime lastUsed; // when a check to the payee last went to the printer; invalid: never

    friend bool operator==(const Payee &, const Payee &) = default;
};

// What makes two names one payee: letter case and surrounding blanks do not count.
QString PayeeKey(const QString &name);
// The name as the book keeps it: without surrounding blanks.
QString PayeeName(const QString &name);
// Why the payee cannot be kept, naming the field and what to do, or empty when it can: a blank
// name, a name longer than the register keeps, a character the code page cannot hold in a printed
// field, too many or too long address lines, a memo longer than the register keeps, long notes.
QString PayeeFault(const Payee &payee);
// The address without empty lines at its end.
QStringList TrimmedAddress(const QStringList &address);

// A name the payee box can complete: from the book or from an issued check, with its default memo.
struct PayeeChoice {
    QString name;
    QString memo;
    bool inBook = false;
};
