#pragma once

#include "platform/Forms.h"

#include <QList>
#include <QPointer>
#include <QStringList>

#include <functional>

// A window for tests of the window layer: writes its events to a shared log ("A:Load",
// "A:Activate", "A:QueryUnload 1"), and can cancel an unload or run code inside it.
class RecordingForm final : public Form {
public:
    RecordingForm(Forms &forms, QStringList &log, QString name) : Form(forms), log_(log), name_(std::move(name)) {}

    void Form_Load() override { log_.append(name_ + QStringLiteral(":Load")); }
    void Form_Activate() override { log_.append(name_ + QStringLiteral(":Activate")); }
    void Form_QueryUnload(bool &Cancel, int UnloadMode) override {
        log_.append(name_ + QStringLiteral(":QueryUnload %1").arg(UnloadMode));
        Cancel = cancelUnload;
        if (onQueryUnload) {
            onQueryUnload(UnloadMode);
        }
    }

    bool cancelUnload = false;
    std::function<void(int unloadMode)> onQueryUnload;

private:
    QStringList &log_;
    QString name_;
};

// Recording windows on one window layer, sharing one log; deleted with the set.
class RecordingForms {
public:
    RecordingForms() = default;
    RecordingForms(const RecordingForms &) = delete;
    RecordingForms &operator=(const RecordingForms &) = delete;
    ~RecordingForms() {
        for (RecordingForm *form : made) {
            delete form;
        }
    }

    // A new window, not loaded.
    RecordingForm *make(const char *name) {
        auto *form = new RecordingForm(forms, log, QString::fromUtf8(name));
        made.append(form);
        return form;
    }

    Forms forms;
    QStringList log;
    QList<QPointer<RecordingForm>> made;
};
