#pragma once

#include "platform/Files.h"
#include "register/RegisterRecord.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The pending-check register: fixed records of 115 bytes, no line ends.
constexpr int kRecordLength = 115;
// The two spellings the program uses for the register; both reach the same file.
inline const QString kRegisterFile = QStringLiteral("\\TempRegister.txt");
inline const QString kRegisterFileSlash = QStringLiteral("/TempRegister.txt");
// The word every record carries in its Status field.
inline const QString kStatusPrinted = QStringLiteral("Printed");

// Field widths, in file order: CheckNo, CheckDate, PayTo, Amount, Memo, Status.
constexpr int kCheckNoWidth = 20;
constexpr int kCheckDateWidth = 10;
constexpr int kPayToWidth = 25;
constexpr int kAmountWidth = 15;
constexpr int kMemoWidth = 35;
constexpr int kStatusWidth = 10;

// The record's 115 bytes: each field left-aligned, padded with blanks or cut to its width,
// in Windows-1252.
QByteArray EncodeRecord(const RegisterRecord &record);
// The fields of 115 bytes, trailing blanks kept.
RegisterRecord DecodeRecord(const QByteArray &bytes);

// Whether a register found only in the Backup folder is restored first, or taken as no register
// (for a caller that has restored it and set aside its checks already).
enum class FromBackup { Restore, Ignore };
// Appends the record as the next record; a register only in the
// Backup folder is restored first unless told to ignore it. The register is replaced atomically (written whole to a
// temporary file, flushed, renamed over the old one), so a crash leaves either the old records or
// the old ones and the new one. Refused, the file left as it was, when the register is damaged or
// holds an amount the print run refuses (see CheckRegister), when it already holds 32767 records,
// or when the restore fails.
FileResult AppendRegisterRecord(Files &files, const RegisterRecord &record, FromBackup backup = FromBackup::Restore);
// Appends the records in one atomic replacement, with the same refusals: a crash leaves the old
// records alone or followed by every new one. Refused whole when they would pass 32767 records.
FileResult AppendRegisterRecords(Files &files, const QList<RegisterRecord> &records,
                                 FromBackup backup = FromBackup::Restore);
// Number of whole records in the register (restored from Backup when only a copy is there); 0 when
// it is missing.
qint64 RegisterRecordCount(Files &files);
// Reads record n (1-based) into `record`; fails, leaving the record alone, when the
// register has no whole record n.
FileResult ReadRegisterRecord(Files &files, qint64 n, RegisterRecord &record);

// Every record of the register, checked: a length that is not a whole number of records, or a
// record holding NUL bytes, fails with a message naming the record number; the records before the
// damaged one are then in `records`. A missing register gives no records.
FileResult ReadAllRecords(Files &files, QList<RegisterRecord> &records);
// The records a print run is handed, read after the caller restored the register from the Backup
// folder (`restored`, its outcome) and set aside the checks printed before: a register gone after
// a good restore had every check set aside, and is not restored again from its copy (which stays):
// `gone`, no records. Otherwise as ReadAllRecords.
FileResult ReadRecordsToPrint(Files &files, const FileResult &restored, QList<RegisterRecord> &records, bool &gone);
// Whether the register is whole and printable: fails, naming the file and the damage, when its
// length is not a whole number of records (1 to 114 bytes included), a record holds NUL bytes, or a
// record's amount is one the entry window does not take (naming the check and its payee). A
// missing register is whole.
FileResult CheckRegister(Files &files);
// Removes the first n records, rewriting the rest atomically (on failure the register is unchanged);
// removing all deletes the register.
FileResult RemoveFirstRecords(Files &files, qint64 n);
// Deletes the register (closing every open file first).
FileResult DeleteRegister(Files &files);
