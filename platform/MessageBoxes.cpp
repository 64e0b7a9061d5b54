#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace {

// A message box that, when it has no cancel meaning (Yes/No), stays open on Escape and on its close
// control: only a button answers it.
class AnswerBox final : public QMessageBox {
public:
    AnswerBox(const QString &title, const QString &text, bool mustAnswer, QWidget *parent)
        : QMessageBox(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent), mustAnswer_(mustAnswer) {}

protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (mustAnswer_ && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }

    void closeEvent(QCloseEvent *event) override {
        if (mustAnswer_ && clickedButton() == nullptr) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

private:
    bool mustAnswer_;
};

struct ButtonSpec {
    MsgResult result;
    QMessageBox::StandardButton standard;
    const char *caption;
};

QList<ButtonSpec> buttonsOf(MsgButtons buttons) {
    // Every button carries its access key, whatever the desktop theme would caption it.
    const ButtonSpec ok{MsgResult::OK, QMessageBox::Ok, "&OK"};
    const ButtonSpec cancel{MsgResult::Cancel, QMessageBox::Cancel, "&Cancel"};
    const ButtonSpec yes{MsgResult::Yes, QMessageBox::Yes, "&Yes"};
    const ButtonSpec no{MsgResult::No, QMessageBox::No, "&No"};
    const ButtonSpec save{MsgResult::Save, QMessageBox::Save, "&Save"};
    const ButtonSpec discard{MsgResult::Discard, QMessageBox::Discard, "&Discard"};
    switch (buttons) {
    case MsgButtons::OK:
        return {ok};
    case MsgButtons::OKCancel:
        return {ok, cancel};
    case MsgButtons::YesNo:
        return {yes, no};
    case MsgButtons::SaveDiscardCancel:
        return {save, discard, cancel};
    }
    return {ok};
}

} // namespace

MsgResult QtMessageBoxes::MsgBox(const QString &text, MsgButtons buttons, const QString &title,
                                 MsgResult defaultButton) {
    const QList<ButtonSpec> specs = buttonsOf(buttons);
    AnswerBox box(title, text, buttons == MsgButtons::YesNo, QApplication::activeWindow());
    QList<QPair<QAbstractButton *, MsgResult>> answers;
    QPushButton *initial = nullptr;
    for (const ButtonSpec &spec : specs) {
        QPushButton *button = box.addButton(spec.standard);
        button->setText(QString::fromLatin1(spec.caption));
        answers.append({button, spec.result});
        if (initial == nullptr || spec.result == defaultButton) {
            initial = button;
        }
    }
    box.setDefaultButton(initial);
    // OK alone: Escape and the close control mean OK; OK/Cancel and Save/Discard/Cancel: Cancel; Yes/No:
    // nothing (see AnswerBox).
    if (buttons != MsgButtons::YesNo) {
        box.setEscapeButton(answers.last().first);
    }
    box.exec();
    for (const auto &[button, result] : answers) {
        if (box.clickedButton() == button) {
            return result;
        }
    }
    // Only a box torn down without an answer (the program ending) gets here.
    return buttons == MsgButtons::OKCancel || buttons == MsgButtons::SaveDiscardCancel ? MsgResult::Cancel
                                                                                       : defaultButton;
}
