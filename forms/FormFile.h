#pragma once

#include "forms/CheckForm.h"
#include "platform/Files.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

// The person's own forms: one JSON file per form in the Forms folder of the data folder, readable by
// its owner alone. docs/forms.md describes the format.

// The Forms folder of a data folder.
QString FormsFolder(const QString &dataFolder);
// The file a form of that name is saved in, inside the Forms folder.
QString FormFileName(const QString &name);

// A form as the text of its file, and back. Reading fails, with the field and the reason, on
// anything but a whole valid form: not JSON, a key it does not know, a value of the wrong kind, and
// every fault FindFormFault finds.
QByteArray FormToJson(const CheckForm &form);
bool FormFromJson(const QByteArray &json, CheckForm &form, FormFault &fault);

// A form file that could not be used, and why.
struct FormFileFault {
    QString Path;
    FormFault Fault;
    // "The check form file <file> cannot be used: <field>: <reason> It is left out of the list."
    QString Message() const;
};

struct LoadedForms {
    QList<CheckForm> Forms; // the built-in forms, then the person's own by name
    QList<FormFileFault> Faults;
};

// Reads every *.json file of the Forms folder (a missing folder holds none). A file that is a link,
// too large, unreadable or not a valid form, or whose form's name is a built-in's or an earlier
// file's, is left out with its fault; nothing else is refused.
LoadedForms LoadForms(const QString &formsFolder);

// Writes the form whole into its file in the Forms folder (created for its owner alone when missing):
// a new file beside it, flushed to disk, renamed over the old one, readable by its owner alone. A
// link in the file's place is replaced, never written through. Refuses a form with a fault, a
// built-in's name, and a Forms folder that is a link or not a folder.
FileResult SaveForm(const QString &formsFolder, const CheckForm &form);
// Removes the file of the person's form of that name.
FileResult RemoveForm(const QString &formsFolder, const QString &name);

// The forms as they are needed: the folder is read on each call, never at start-up, and a file's
// fault is handed out once for as long as the file stays as it is, so that it is reported once.
class FormCatalog {
public:
    explicit FormCatalog(QString formsFolder) : folder_(std::move(formsFolder)) {}

    // Every usable form, built-ins first; the faults not handed out before go to `newFaults`.
    QList<CheckForm> Forms(QList<FormFileFault> *newFaults = nullptr);
    // The form of that name (letter case ignored) as the folder holds it now, or none.
    std::optional<CheckForm> Find(const QString &name, QList<FormFileFault> *newFaults = nullptr);
    const QString &Folder() const { return folder_; }

private:
    QString folder_;
    // Faults already handed out, by file and its last change.
    QHash<QString, QDateTime> reported_;
};
