#pragma once

#include <QFont>
#include <QString>

// Maps the faces the windows and checks are designed for ("MS Sans Serif", "Arial", and the printer
// face "Ariel") onto an installed Arial-compatible face (Liberation Sans) or else the system's sans
// face. Safe to call more than once; needs a QGuiApplication.
void InstallFontSubstitutions();
// The face that InstallFontSubstitutions maps those names to.
QString ArialCompatibleFace();

class QPaintDevice;
// A surface of 1440 dots per inch, so that font metrics taken on it come out in twips.
const QPaintDevice &TwipsSurface();
