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

std::unique_ptr<Printer> FakePrintPreview::ShowPreview(const QString &title, const QString &printerName,
                                                       PrinterDialog &chooser, const Job &job) {
    ++shown;
    lastTitle = title;
    std::unique_ptr<Printer> chosen;
    QString name = printerName;
    for (int choice = 0;; ++choice) {
        printerNames.append(name);
        descriptions.append(job.describe(name));
        log.calls.clear();
        RecordingPrinter printer(log);
        printer.printerName = name;
        printer.paperCorner = paperCorner;
        job.draw(printer, name);
        if (choice == chooseTimes) {
            break;
        }
        if (std::unique_ptr<Printer> picked = chooser.ShowPrinter()) {
            chosen = std::move(picked);
            name = chosen->PrinterName();
        }
    }
    if (answer == Answer::Close) {
        return nullptr;
    }
    if (!chosen) {
        auto recording = std::make_unique<RecordingPrinter>(printed);
        recording->printerName = name;
        chosen = std::move(recording);
    }
    return chosen;
}

TestPlatform::TestPlatform()
    : files(dir.path()), platform{app,   files, messages, printerDialog, urls,     help,   clock,
                                  ender, forms, progress, saveDialog,    printers, preview} {
    app.Path = dir.path();
}
