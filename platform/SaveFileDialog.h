#pragma once

#include <QString>

// Asks the person where to save a file, or which file to open.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // The chosen file's full path, or an empty string when the person cancels. `suggested` is the
    // folder and file name offered first (a bare name: in the documents folder); `filter` names the
    // kind of file ("CSV files (*.csv)"); `suffix` is added to a name typed without one. Replacing
    // an existing file is confirmed first.
    virtual QString GetSaveFileName(const QString &title, const QString &suggested, const QString &filter,
                                    const QString &suffix) = 0;
    // An existing file's full path, or an empty string when the person cancels; the dialog opens
    // on `folder` (the documents folder when empty or gone).
    virtual QString GetOpenFileName(const QString &title, const QString &folder, const QString &filter) = 0;
};

// Qt's own file dialog (the same on every desktop), over the program's active window.
class QtSaveFileDialog final : public SaveFileDialog {
public:
    QString GetSaveFileName(const QString &title, const QString &suggested, const QString &filter,
                            const QString &suffix) override;
    QString GetOpenFileName(const QString &title, const QString &folder, const QString &filter) override;
};
