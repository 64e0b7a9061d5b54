#pragma once

#include <QString>
#include <QtGlobal>

// One pending check, as six fixed-width text fields (115 bytes on disk).
struct RegisterRecord {
    QString CheckNo;   // 20
    QString CheckDate; // 10
    QString PayTo;     // 25
    QString Amount;    // 15
    QString Memo;      // 35
    QString Status;    // 10
};

// The file number most recently taken by a data-file open routine.
extern qint16 FileNum;
// The one register record buffer: Accept fills it and appends it, the print run reads into it.
extern RegisterRecord RegisterBuffer;
