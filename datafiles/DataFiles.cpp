#include "datafiles/DataFiles.h"

#include "platform/Ansi.h"
#include "platform/Forms.h"
#include "platform/MessageBoxes.h"
#include "platform/Services.h"

namespace {

const QString kBackup = QStringLiteral("\\Backup");
const QString kShortcut = QStringLiteral("\\Temp.url");

FileResult openNumbered(Files &files, const QString &name, Files::Mode mode, int recordLength, int &number) {
    const int free = files.FreeFile();
    if (free == 0) {
        return FileResult::Fail(QStringLiteral("Too many files are open."));
    }
    number = free;
    return files.Open(number, name, mode, recordLength);
}

} // namespace

BackupRestore RestoreFromBackup(Files &files, const QString &name) {
    BackupRestore out;
    const QString backup = kBackup + name;
    if (files.Dir(name) || !files.Dir(backup)) {
        return out;
    }
    out.result = files.FileCopy(backup, name);
    out.restored = out.result.ok;
    return out;
}

bool DataFileExists(Files &files, const QString &name, FileResult *restoreFailure) {
    if (files.Dir(name)) {
        return true;
    }
    const BackupRestore restore = RestoreFromBackup(files, name);
    if (!restore.result && restoreFailure != nullptr) {
        *restoreFailure = restore.result;
    }
    return restore.restored;
}

FileResult OpenRandomFile(Files &files, const QString &name, int recordLength, int &number) {
    return openNumbered(files, name, Files::Mode::Random, recordLength, number);
}

FileResult OpenInputFile(Files &files, const QString &name, int &number) {
    return openNumbered(files, name, Files::Mode::Input, 0, number);
}

FileResult OpenOutputFile(Files &files, const QString &name, int &number) {
    return openNumbered(files, name, Files::Mode::Output, 0, number);
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
