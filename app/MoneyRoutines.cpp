#include "app/MoneyRoutines.h"

#include "app/MoneyVariables.h"
#include "platform/Ansi.h"
#include "platform/Forms.h"
#include "platform/MessageBoxes.h"
#include "platform/Services.h"

namespace {

const QString kBackup = QStringLiteral("\\Backup");
const QString kShortcut = QStringLiteral("\\Temp.url");

FileResult openNumbered(Files &files, const QString &name, Files::Mode mode, int recordLength) {
    const int number = files.FreeFile();
    if (number == 0) {
        return FileResult::Fail(QStringLiteral("Too many files are open."));
    }
    FileNum = static_cast<qint16>(number);
    return files.Open(number, name, mode, recordLength);
}

RestoreListener *restoreListener = nullptr;
bool tellingRestore = false;

} // namespace

void SetRestoreListener(RestoreListener *listener) {
    restoreListener = listener;
}

bool DataFileExists(Files &files, const QString &name, FileResult *restoreFailure) {
    if (files.Dir(name)) {
        return true;
    }
    const QString backup = kBackup + name;
    if (!files.Dir(backup)) {
        return false;
    }
    FileResult restored = files.FileCopy(backup, name);
    if (!restored) {
        if (restoreFailure != nullptr) {
            *restoreFailure = restored;
        }
        return false;
    }
    if (restoreListener != nullptr && !tellingRestore) {
        tellingRestore = true;
        restoreListener->Restored(files, name);
        tellingRestore = false;
        // The listener may have taken the restored file away again.
        return files.Dir(name);
    }
    return true;
}

FileResult OpenRandomFile(Files &files, const QString &name, int recordLength) {
    return openNumbered(files, name, Files::Mode::Random, recordLength);
}

FileResult OpenInputFile(Files &files, const QString &name) {
    return openNumbered(files, name, Files::Mode::Input, 0);
}

FileResult OpenOutputFile(Files &files, const QString &name) {
    return openNumbered(files, name, Files::Mode::Output, 0);
}

FileResult DeleteDataFile(Files &files, const QString &name) {
    FileResult closed = files.CloseAll();
    if (DataFileExists(files, name)) {
        FileResult killed = files.Kill(name);
        if (!killed) {
            return killed;
        }
    }
    return closed;
}

void EndProgram(Forms &forms, Ender &ender) {
    for (int index = forms.Count() - 1; index >= 0; --index) {
        forms.Unload(forms.at(index), vbFormCode);
    }
    ender.End();
}

void OpenWebPage(Files &files, UrlOpener &opener, MessageBoxes &messages, const QString &url) {
    // The shortcut file always uses file number 1.
    constexpr int kNumber = 1;
    files.Close(kNumber);
    const QByteArray contents = QByteArrayLiteral("[InternetShortcut]\r\n") + QByteArrayLiteral("URL = ") +
                                ToAnsi(url) + QByteArrayLiteral("\r\n");
    FileResult result = files.Open(kNumber, kShortcut, Files::Mode::Output);
    if (result) {
        result = files.Write(kNumber, contents);
        FileResult closed = files.Close(kNumber);
        if (result) {
            result = closed;
        }
    }
    QString target;
    if (result) {
        // Hand over what the file says, as the browser's shortcut handler would read it.
        result = files.Open(kNumber, kShortcut, Files::Mode::Input);
        QByteArray bytes;
        if (result) {
            result = files.ReadAll(kNumber, bytes);
            files.Close(kNumber);
        }
        const QList<QByteArray> lines = bytes.split('\n');
        const QByteArray prefix = QByteArrayLiteral("URL = ");
        if (result && lines.size() >= 2 && lines[1].startsWith(prefix)) {
            QByteArray line = lines[1].mid(prefix.size());
            if (line.endsWith('\r')) {
                line.chop(1);
            }
            target = FromAnsi(line);
        } else if (result) {
            result = FileResult::Fail(QStringLiteral("The shortcut file does not hold the address."));
        }
    }
    if (!result) {
        messages.MsgBox(QStringLiteral("The web page could not be opened (%1).\r\n"
                                       "You can open it in your browser yourself:\r\n%2")
                            .arg(result.error, url),
                        MsgButtons::OK, QStringLiteral("Quillane"));
        files.Kill(kShortcut);
        return;
    }
    opener.OpenURL(target);
    files.Kill(kShortcut);
}
