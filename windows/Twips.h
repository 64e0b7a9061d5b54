#pragma once

#include <QFont>
#include <QString>

class QWidget;

// Window layouts are written in twips (1440 to the inch) and drawn at the screen's logical DPI.
int TwipsToPixels(int twips);
// Places a control at a twips rectangle within its parent. A control whose caption does not fit
// its box is widened to fit rather than cutting the caption.
void PlaceTwips(QWidget *control, int left, int top, int width, int height);
// The client area of a window, in twips.
void SizeClientTwips(QWidget *window, int width, int height);
// A font of the windows ("MS Sans Serif" or "Arial"), mapped to an installed face.
QFont DesignFont(const QString &face, double points, bool bold);
// The object name of a control-array element: "cmdGoto(1)".
QString ArrayName(const char *name, int index);
