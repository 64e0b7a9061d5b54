// Start-up to the splash window painted, through the program's own start (RunProgram, then Main) on
// a fresh program folder. The process ends as soon as the painting is done.
//
// The single-instance lock goes where the program puts it, in the per-user runtime folder; that
// folder is made fresh on a memory file system, as a desktop session has it (XDG_RUNTIME_DIR).
#include "PaintedExit.h"
#include "main/Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

int main(int argc, char **argv) {
    const QString memory = QStringLiteral("/dev/shm");
    QTemporaryDir runtime((QDir(memory).exists() ? memory : QDir::tempPath()) + QStringLiteral("/quillane-run-XXXXXX"));
    QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QTemporaryDir folder;
    PaintedExit exit(QStringLiteral("frmSplash"));
    RunOptions options;
    options.programFolder = folder.path();
    options.started = [&exit] { qApp->installEventFilter(&exit); };
    return RunProgram(argc, argv, options);
}
