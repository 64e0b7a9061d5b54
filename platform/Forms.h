#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class Forms;

// Unload reasons handed to Form_QueryUnload.
enum UnloadMode { vbFormControlMenu = 0, vbFormCode = 1 };

// A window of the program, with the load / activate / unload life the windows are written for.
class Form : public QWidget {
    Q_OBJECT

public:
    explicit Form(Forms &forms);

    // Runs once, when the window is loaded.
    virtual void Form_Load() {}
    // Runs each time the window becomes the program's active window.
    virtual void Form_Activate() {}
    // Runs before the window unloads; setting Cancel keeps it.
    virtual void Form_QueryUnload(bool &Cancel, int UnloadMode) {
        Q_UNUSED(Cancel);
        Q_UNUSED(UnloadMode);
    }

protected:
    Forms &forms() const { return forms_; }
    void closeEvent(QCloseEvent *event) override;
    bool event(QEvent *event) override;

private:
    Forms &forms_;
};

// The loaded windows, in load order, and the operations on them.
//
// Activation is the program's own: showing one of its windows activates it, and so does the person
// moving from one of its windows to another. Coming back from a message box, a dialog or another
// application is not an activation.
class Forms {
public:
    // Adds the window to the loaded windows and runs its Form_Load; does nothing if already loaded.
    void Load(Form *form);
    // Loads the window if needed, shows it modeless and activates it.
    void Show(Form *form);
    void Hide(Form *form);
    // Repaints the window at once.
    void Refresh(Form *form);
    // Runs Form_QueryUnload with the reason; unless cancelled, hides the window, removes it from the
    // loaded windows and destroys it once control is back in the event loop. True when unloaded.
    bool Unload(Form *form, int unloadMode);

    int Count() const { return static_cast<int>(loaded_.size()); }
    Form *at(int index) const { return loaded_.value(index); }
    bool IsLoaded(const Form *form) const;
    Form *Active() const { return active_; }

    // Called by a window when the system makes it the active window.
    void WindowActivated(Form *form);

private:
    void activate(Form *form);

    QList<QPointer<Form>> loaded_;
    QPointer<Form> active_;
};
