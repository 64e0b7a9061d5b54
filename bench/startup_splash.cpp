// Start-up to the splash window painted, through the program's own start (RunProgram, then Main) on
// a fresh program folder. The process ends as soon as the painting is done.
//
// The single-instance lock goes where the program puts it, in the per-user runtime folder; that
// folder is made fresh on a memory file system, as a desktop session has it (XDG_RUNTIME_DIR).
#include "app/main/Main.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

namespace {

// Ends the process once the watched window has been painted: at the first event after its first
// paint that is not part of painting it, or when control is back in the event loop.
class PaintedExit final : public QObject {
public:
    explicit PaintedExit(QString windowName) : windowName_(std::move(windowName)) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        const auto *widget = watched->isWidgetType() ? static_cast<QWidget *>(watched) : nullptr;
        const bool inWindow = widget && widget->window()->objectName() == windowName_;
        if (!painted_ && inWindow && event->type() == QEvent::Paint && widget->isWindow()) {
            painted_ = true;
            QTimer::singleShot(0, [] { ::_exit(0); });
        } else if (painted_ && !(inWindow && event->type() == QEvent::Paint)) {
            ::_exit(0);
        }
        return false;
    }

private:
    QString windowName_;
    bool painted_ = false;
};

} // namespace

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
