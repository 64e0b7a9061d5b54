#include "platform/MessageBoxes.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

MsgResult QtMessageBoxes::MsgBox(const QString &text, MsgButtons buttons, const QString &title,
                                 MsgResult defaultButton) {
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, QApplication::activeWindow());
    QMessageBox::StandardButton first = QMessageBox::Ok;
    QMessageBox::StandardButton second = QMessageBox::NoButton;
    switch (buttons) {
    case MsgButtons::OK:
        break;
    case MsgButtons::OKCancel:
        second = QMessageBox::Cancel;
        break;
    case MsgButtons::YesNo:
        first = QMessageBox::Yes;
        second = QMessageBox::No;
        break;
    }
    box.setStandardButtons(second == QMessageBox::NoButton ? first : (first | second));
    const bool secondIsDefault = defaultButton == MsgResult::Cancel || defaultButton == MsgResult::No;
    box.setDefaultButton(secondIsDefault && second != QMessageBox::NoButton ? second : first);
    if (second != QMessageBox::NoButton) {
        box.setEscapeButton(second);
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgResult::Yes;
    case QMessageBox::No:
        return MsgResult::No;
    case QMessageBox::Cancel:
        return MsgResult::Cancel;
    default:
        break;
    }
    return buttons == MsgButtons::YesNo ? MsgResult::No : (buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Cancel);
}
