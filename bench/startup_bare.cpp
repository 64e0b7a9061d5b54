// The yardstick for start-up: a bare Qt window, the process ending as soon as it has been painted
// (the same rule as startup_splash).
#include "PaintedExit.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char **argv) {
    QApplication application(argc, argv);
    PaintedExit exit(QStringLiteral("bare"));
    application.installEventFilter(&exit);
    QWidget window;
    window.setObjectName(QStringLiteral("bare"));
    window.resize(366, 285);
    window.show();
    return QApplication::exec();
}
