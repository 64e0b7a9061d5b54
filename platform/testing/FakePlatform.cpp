#include "platform/testing/FakePlatform.h"

#include <cerrno>

MsgResult FakeMessageBoxes::MsgBox(const QString &text, MsgButtons buttons, const QString &title,
                                   MsgResult defaultButton) {
    const ShownMessage message{text, buttons, title, defaultButton};
    shown.append(message);
    if (onShow) {
        onShow(message);
    }
    return answers_.isEmpty() ? defaultButton : answers_.takeFirst();
}

qint64 FaultyFiles::sysWrite(int fd, const char *data, qint64 size, qint64 offset) {
    ++writeCalls;
    if (bytesBeforeFull >= 0) {
        if (bytesBeforeFull == 0) {
            errno = ENOSPC;
            return -1;
        }
        const qint64 allowed = std::min(size, bytesBeforeFull);
        const qint64 n = QtFiles::sysWrite(fd, data, allowed, offset);
        if (n > 0) {
            bytesBeforeFull -= n;
        }
        return n;
    }
    return QtFiles::sysWrite(fd, data, size, offset);
}

bool FaultyFiles::sysSync(int fd) {
    if (failSync) {
        errno = EIO;
        return false;
    }
    return QtFiles::sysSync(fd);
}

bool FaultyFiles::sysRename(const QString &from, const QString &to) {
    if (failRename) {
        errno = EACCES;
        return false;
    }
    return QtFiles::sysRename(from, to);
}

std::unique_ptr<Printer> FakePrinterDialog::ShowPrinter(const QString &preselect) {
    ++shown;
    preselected = preselect;
    if (cancel || !makePrinter) {
        return nullptr;
    }
    return makePrinter();
}

PrintPreview::Answer FakePrintPreview::ShowPreview(const QString &title, const QString &printerName,
                                                   const std::function<void(Printer &)> &draw) {
    ++shown;
    lastTitle = title;
    lastPrinterName = printerName;
    RecordingPrinter printer(log);
    printer.printerName = printerName;
    draw(printer);
    return answer;
}

TestPlatform::TestPlatform()
    : files(dir.path()), platform{app,   files, messages, printerDialog, urls,     help,   clock,
                                  ender, forms, progress, saveDialog,    printers, preview} {
    app.Path = dir.path();
}
