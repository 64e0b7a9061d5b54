#pragma once

#include <QString>

enum class MsgButtons { OK, OKCancel, YesNo };
enum class MsgResult { OK, Cancel, Yes, No };

// Modal message boxes: text, buttons, default button, title, no icon.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box and returns the button pressed (closing the box counts as Cancel or No).
    virtual MsgResult MsgBox(const QString &text, MsgButtons buttons, const QString &title,
                             MsgResult defaultButton) = 0;
    // The common case: the first button is the default.
    MsgResult MsgBox(const QString &text, MsgButtons buttons, const QString &title) {
        return MsgBox(text, buttons, title, buttons == MsgButtons::YesNo ? MsgResult::Yes : MsgResult::OK);
    }
};

// The real boxes, QMessageBox with no icon, over the program's active window.
class QtMessageBoxes final : public MessageBoxes {
public:
    using MessageBoxes::MsgBox;
    MsgResult MsgBox(const QString &text, MsgButtons buttons, const QString &title, MsgResult defaultButton) override;
};
