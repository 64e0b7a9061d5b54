#pragma once

#include "platform/Files.h"

#include <QString>

class Forms;
class Ender;
class UrlOpener;
class MessageBoxes;

// Data files live in the program's folder and are named "/Name" or "\Name".

// Restores a missing data file from its copy in the "Backup" sub-folder (the copy stays).
// `restored` is true only when the copy was made by this call; a copy that fails says why in
// `result`. A file already there, or one with no copy, is left alone.
struct BackupRestore {
    bool restored = false;
    FileResult result;
};
BackupRestore RestoreFromBackup(Files &files, const QString &name);
// True when the data file exists; a missing file with a copy in the "Backup" sub-folder is first
// restored from it (the copy stays). A restore that fails answers false and, when restoreFailure is
// given, says why there (it is left Ok otherwise), so that a caller can tell it from a missing file.
bool DataFileExists(Files &files, const QString &name, FileResult *restoreFailure = nullptr);

// Each takes the next free number into `number` (left alone when none is free) and opens the file
// under it: for records of recordLength bytes, for reading, or for writing its new contents.
FileResult OpenRandomFile(Files &files, const QString &name, int recordLength, int &number);
FileResult OpenInputFile(Files &files, const QString &name, int &number);
FileResult OpenOutputFile(Files &files, const QString &name, int &number);
// Closes every open file, then deletes the data file (restoring it from Backup first, so that
// afterwards it is absent whatever was there).
FileResult DeleteDataFile(Files &files, const QString &name);

// Unloads every loaded window, last loaded first, as closed from code, then ends the program.
void EndProgram(Forms &forms, Ender &ender);

// Opens one URL in the browser through the shortcut file "\Temp.url" in the program's folder:
// written, read back and handed to the opener, then deleted. If the file cannot be written, a
// message box gives the URL so that it can be opened by hand.
void OpenWebPage(Files &files, UrlOpener &opener, MessageBoxes &messages, const QString &url);
