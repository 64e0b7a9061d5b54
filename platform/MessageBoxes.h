#pragma once

#include <QString>

enum class MsgButtons { OK, OKCancel, YesNo, SaveDiscardCancel };
enum class MsgResult { OK, Cancel, Yes, No, Save, Discard };

// Modal message boxes: text, buttons, default button, title, no icon.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box and returns the button pressed. Escape or the close control answer OK on an OK box
    // and Cancel on an OK/Cancel or Save/Discard/Cancel box; a Yes/No box stays open until Yes or No
    // is pressed.
    virtual MsgResult MsgBox(const QString &text, MsgButtons buttons, const QString &title,
                             MsgResult defaultButton) = 0;
    // The common case: the first button is the default.
    MsgResult MsgBox(const QString &text, MsgButtons buttons, const QString &title) {
        return MsgBox(text, buttons, title, buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK);
    }
};

// The real boxes, QMessageBox with no icon, over the program's active window. Return presses the
// focused button (the default one at first); each button also answers to its access key.
class QtMessageBoxes final : public MessageBoxes {
public:
    using MessageBoxes::MsgBox;
    MsgResult MsgBox(const QString &text, MsgButtons buttons, const QString &title, MsgResult defaultButton) override;
};
