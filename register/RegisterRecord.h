#pragma once

#include <QString>

// One pending check, as six fixed-width text fields (115 bytes on disk).
struct RegisterRecord {
    QString CheckNo;   // 20
    QString CheckDate; // 10
    QString PayTo;     // 25
    QString Amount;    // 15
    QString Memo;      // 35
    QString Status;    // 10
};
