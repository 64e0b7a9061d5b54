#include "platform/Services.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

void QtUrlOpener::OpenURL(const QString &url) {
    QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

void QtEnder::End() {
    ended_ = true;
    QCoreApplication::exit(0);
}
