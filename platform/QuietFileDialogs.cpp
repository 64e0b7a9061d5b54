#include "platform/QuietFileDialogs.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>

namespace {

class QuietIconProvider final : public QFileIconProvider {
public:
    // Made on the thread that shows the dialogs; the file lists read them from a thread of their own.
    QuietIconProvider() : folder_(QFileIconProvider::icon(Folder)), file_(QFileIconProvider::icon(File)) {}

    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo &info) const override { return info.isDir() ? folder_ : file_; }
    QString type(const QFileInfo &info) const override {
        if (info.isDir()) {
            return QStringLiteral("Folder");
        }
        const QString suffix = info.suffix();
        return suffix.isEmpty() ? QStringLiteral("File") : suffix.toUpper() + QStringLiteral(" File");
    }

private:
    QIcon folder_;
    QIcon file_;
};

// The print dialog's "..." button: a save dialog on the output-file box's folder.
void BrowseQuietly(QLineEdit *name) {
    QFileDialog dialog(name->window(), QStringLiteral("Print To File"), name->text());
    dialog.setObjectName(QStringLiteral("dlgPrintToFile"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setIconProvider(QuietFileIcons());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        name->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
    }
}

} // namespace

QAbstractFileIconProvider *QuietFileIcons() {
    // Lives as long as the program: a file list may still ask it while its dialog is torn down.
    static auto *const provider = new QuietIconProvider;
    return provider;
}

void QuietFileDialogs(QWidget *dialog) {
    if (auto *files = qobject_cast<QFileDialog *>(dialog)) {
        files->setIconProvider(QuietFileIcons());
    }
    for (QFileSystemModel *model : dialog->findChildren<QFileSystemModel *>()) {
        model->setIconProvider(QuietFileIcons());
    }
    auto *browse = dialog->findChild<QAbstractButton *>(QStringLiteral("fileBrowser"));
    auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("filename"));
    if (browse != nullptr && name != nullptr) {
        QObject::disconnect(browse, &QAbstractButton::clicked, nullptr, nullptr);
        QObject::connect(browse, &QAbstractButton::clicked, name, [name] { BrowseQuietly(name); });
    }
}
