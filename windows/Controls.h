#pragma once

#include <QFont>
#include <QList>
#include <QString>

#include <functional>

class QGroupBox;
class QLabel;
class QMenuBar;
class QWidget;

// Building blocks shared by the windows: the client area under a menu bar, pictures, tab indexes,
// and the Click / DblClick / GotFocus events that Qt's widgets do not signal themselves.

// Registers the pictures and help pages compiled into the windows library (safe to call again).
void InitWindowResources();

// The window's client area of the given size in twips, below its menu bar (if any). Controls are
// placed on the returned widget.
QWidget *MakeClientArea(QWidget *window, QMenuBar *menuBar, int width, int height);

// Centres a top-level window on its screen.
void CentreOnScreen(QWidget *window);

// An image control: the picture of an SVG resource drawn to the control's size.
QLabel *MakeImage(QWidget *parent, const QString &objectName, const QString &svgResource, int left, int top, int width,
                  int height);

// A panel (frame) with a bold caption on its top line; the controls on it keep their twips positions.
QGroupBox *MakeFrame(QWidget *parent, const QString &objectName, const QString &caption);

// The windows' usual font, MS Sans Serif 8.25 pt.
QFont FormFont(bool bold = false);

// A control's tab index, kept as the "TabIndex" property.
void SetTabIndex(QWidget *control, int index);
// Chains the focus order through the controls, in the order given.
void ChainTabOrder(const QList<QWidget *> &controls);

// Keys on the window's controls, as on the desktop the windows are designed for:
// - Return (or Enter) on a focused command button presses it, as Space does; a held key presses it once;
// - Return in a text box does nothing;
// - an Alt+letter that no enabled, visible control answers to does nothing: it never types into a box;
// - a text box entered with Tab, Shift+Tab or an access key shows the caret where it was, selecting nothing.
// Call once the window's controls and their event hooks are made; controls added later are covered too.
void UseWindowKeys(QWidget *window);

// Runs the handler when the control is clicked with the left button (pressed and released on it). The
// second press of a double click is no click: it may come from a quick second click that landed on a
// control that a first click has just brought up.
void OnClick(QWidget *control, std::function<void()> handler);
// Runs the handler when the control is double-clicked with the left button.
void OnDblClick(QWidget *control, std::function<void()> handler);
// Runs the handler when the control gets the focus by the keyboard, a click or the program, but not
// when its window is merely reactivated (after a message box or another application).
void OnGotFocus(QWidget *control, std::function<void()> handler);
