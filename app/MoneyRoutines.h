#pragma once

#include "platform/Files.h"

#include <QString>

class Forms;
class Ender;
class UrlOpener;
class MessageBoxes;

// Data files live in the program's folder and are named "/Name" or "\Name".

// True when the data file exists; a missing file with a copy in the "Backup" sub-folder is first
// restored from it (the copy stays). A restore that fails answers false and, when restoreFailure is
// given, says why there (it is left Ok otherwise), so that a caller can tell it from a missing file.
bool DataFileExists(Files &files, const QString &name, FileResult *restoreFailure = nullptr);
// Told of every data file restored from the Backup folder, right after the copy; it may change or
// remove the restored file. The program installs one for as long as it runs.
class RestoreListener {
public:
    virtual ~RestoreListener() = default;
    virtual void Restored(Files &files, const QString &name) = 0;
};
// Installs the listener (nullptr removes it). Restores made while it is being told are not told again.
void SetRestoreListener(RestoreListener *listener);

// Takes the next free number into FileNum and opens the file for records of recordLength bytes.
FileResult OpenRandomFile(Files &files, const QString &name, int recordLength);
// Takes the next free number into FileNum and opens the file for reading.
FileResult OpenInputFile(Files &files, const QString &name);
// Takes the next free number into FileNum and opens the file for writing its new contents.
FileResult OpenOutputFile(Files &files, const QString &name);
// Closes every open file, then deletes the data file (restoring it from Backup first, so that
// afterwards it is absent whatever was there).
FileResult DeleteDataFile(Files &files, const QString &name);

// Unloads every loaded window, last loaded first, as closed from code, then ends the program.
void EndProgram(Forms &forms, Ender &ender);

// Opens one URL in the browser through the shortcut file "\Temp.url" in the program's folder:
// written, read back and handed to the opener, then deleted. If the file cannot be written, a
// message box gives the URL so that it can be opened by hand.
void OpenWebPage(Files &files, UrlOpener &opener, MessageBoxes &messages, const QString &url);
