// The check entry window: checks imported from a spreadsheet.
#include "windows/frmMain.h"

#include "checkbook/CheckbookSettings.h"
#include "platform/Clock.h"
#include "register/Register.h"
#include "windows/Program.h"
#include "windows/frmImport.h"
#include "windows/frmMainRules.h"
#include "windows/frmStartup.h"
#include "words/Currency.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QSet<QString> frmMain::PrintedContents(const QString &accountNo) {
    QSet<QString> printed;
    CheckJournal &journal = program_.Journal();
    if (!journal.IsOpen() && !QFileInfo::exists(journal.Path())) {
        return printed;
    }
    if (const FileResult read = journal.LoadPrintedContents(accountNo, &printed); !read) {
        Message(read.error + QStringLiteral("\r\nChecks printed before cannot be told apart in the import: look "
                                            "through the rows before importing them."),
                QStringLiteral("Import Checks"));
    }
    return printed;
}

void frmMain::cmdImport_Click() {
    if (!fraMain->isVisible() || !fraMain->isEnabled()) {
        return;
    }
    const CheckbookSettings settings = program_.Startup()->Settings();
    frmImport dialog(program_.platform, PrintedContents(settings.AcctNo), this);
    if (dialog.exec() != QDialog::Accepted) {
        txtPayto->setFocus();
        return;
    }
    const QString date = ShortDateText(program_.platform.clock.Today(), ProgramLocale());
    const QList<RegisterRecord> records = KeptRecords(dialog.Rows(), CurrentCheckNo, date);
    const qint64 last = CurrentCheckNo + records.size() - 1;
    // As on Accept: the number after the last check must still be one the setup can keep.
    if (last >= kLastCheckNo) {
        Message(QStringLiteral("The %1 checks cannot be imported: their numbers would run to %2, and the next check "
                               "number would pass %3, the largest Quillane can keep.")
                    .arg(records.size())
                    .arg(last)
                    .arg(kLastCheckNo),
                QStringLiteral("Checks Not Stored"));
        return;
    }
    // All or nothing: one atomic rewrite of the register.
    FileResult appended = RestoreRegister();
    if (appended) {
        appended = AppendRegisterRecords(program_.Book(), records, FromBackup::Ignore);
    }
    if (!appended) {
        const QString path = QDir::toNativeSeparators(program_.Book().FullPath(kRegisterFile));
        Message(QStringLiteral("The imported checks could not be stored in the register of pending checks,\r\n") +
                    path + QStringLiteral(":\r\n") + appended.error +
                    QStringLiteral("\r\nNone of them was stored; the checks stored before are kept. Import the file "
                                   "again once the problem is solved."),
                QStringLiteral("Checks Not Stored"));
        txtPayto->setFocus();
        return;
    }
    const int count = static_cast<int>(records.size());
    ChecksCreated += count;
    CurrentCheckNo += count;
    ChecksLeftOnForm = ChecksLeftAfter(ChecksLeftOnForm, count);
    lblCheck->setText(QString::number(CurrentCheckNo));
    Message(count == 1 ? QStringLiteral("1 check was added to the register as Check No. %1.").arg(last)
                       : QStringLiteral("%1 checks were added to the register as Check Nos. %2 to %3.")
                             .arg(count)
                             .arg(last - count + 1)
                             .arg(last),
            QStringLiteral("Checks Imported"));
    cmdExpense[6]->setEnabled(ChecksPendingBefore + ChecksCreated >= 1);
    txtPayto->setFocus();
}
