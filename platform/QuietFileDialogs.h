#pragma once

class QAbstractFileIconProvider;
class QWidget;

// File lists that never read a file's contents. Qt's own icons and type names look inside a file
// to tell its kind; opening and closing one of the journal's files that way drops the locks SQLite
// holds on it for this process. These go by whether it is a folder and by its name alone.
QAbstractFileIconProvider *QuietFileIcons();

// Gives every file list of `dialog` the quiet icons: a QFileDialog itself, and any file-name box
// completing from the file system (the print dialog's output file). The print dialog's "..." button
// then opens a quiet file dialog in place of Qt's own. Call it before the dialog runs.
void QuietFileDialogs(QWidget *dialog);
