#include "platform/SaveFileDialog.h"

#include "platform/QuietFileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

QString QtSaveFileDialog::GetSaveFileName(const QString &title, const QString &suggested, const QString &filter,
                                          const QString &suffix) {
    // A bare file name is offered in the person's documents folder.
    QString start = suggested;
    if (!suggested.isEmpty() && QFileInfo(suggested).isRelative()) {
        start = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(suggested);
    }
    QFileDialog dialog(QApplication::activeWindow(), title, start, filter);
    dialog.setObjectName(QStringLiteral("dlgSaveFile"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);
    QuietFileDialogs(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}

QString QtSaveFileDialog::GetOpenFileName(const QString &title, const QString &folder, const QString &filter) {
    const QString start = !folder.isEmpty() && QFileInfo(folder).isDir()
                              ? folder
                              : QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(QApplication::activeWindow(), title, start, filter);
    dialog.setObjectName(QStringLiteral("dlgOpenFile"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    QuietFileDialogs(&dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return QString();
    }
    return dialog.selectedFiles().constFirst();
}
