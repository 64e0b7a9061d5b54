#include "platform/Forms.h"

#include <QCloseEvent>
#include <QEvent>

Form::Form(Forms &forms) : forms_(forms) {}

void Form::closeEvent(QCloseEvent *event) {
    // The window layer decides what closing means; Qt must not hide the window by itself.
    event->ignore();
    // A close request from the window system that reaches a window the program has put away (delivered
    // late, after the window was hidden) is not the person closing it.
    if (event->spontaneous() && !isVisible()) {
        return;
    }
    forms_.Unload(this, vbFormControlMenu);
}

bool Form::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate) {
        forms_.WindowActivated(this);
    }
    return QWidget::event(event);
}

void Forms::Load(Form *form) {
    if (IsLoaded(form)) {
        return;
    }
    loaded_.append(form);
    form->Form_Load();
}

void Forms::Show(Form *form) {
    Load(form);
    form->show();
    form->raise();
    form->activateWindow();
    if (active_ != form) {
        activate(form);
    }
}

void Forms::Hide(Form *form) {
    form->hide();
    if (active_ == form) {
        active_ = nullptr;
    }
}

void Forms::Refresh(Form *form) {
    form->repaint();
}

bool Forms::Unload(Form *form, int unloadMode) {
    if (!IsLoaded(form)) {
        return true;
    }
    bool cancel = false;
    form->Form_QueryUnload(cancel, unloadMode);
    if (cancel) {
        return false;
    }
    // The handler may itself have unloaded every window (ending the program).
    if (!IsLoaded(form)) {
        return true;
    }
    loaded_.removeAll(QPointer<Form>(form));
    Hide(form);
    form->deleteLater();
    return true;
}

bool Forms::IsLoaded(const Form *form) const {
    // A window destroyed behind the layer's back leaves a null entry; it is not loaded.
    if (form == nullptr) {
        return false;
    }
    for (const QPointer<Form> &entry : loaded_) {
        if (entry == form) {
            return true;
        }
    }
    return false;
}

void Forms::WindowActivated(Form *form) {
    if (form != active_ && form->isVisible() && IsLoaded(form)) {
        activate(form);
    }
}

void Forms::activate(Form *form) {
    active_ = form;
    form->Form_Activate();
}
