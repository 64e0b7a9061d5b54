#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of the data files: Windows-1252.

// Encodes text; a character the code page cannot hold is written as "?".
QByteArray ToAnsi(const QString &text);
QString FromAnsi(const QByteArray &bytes);
// True when every character of the text can be stored in the code page.
bool FitsAnsi(const QString &text);
// The first character of the text that the code page cannot hold, or a null QChar.
QChar FirstNonAnsi(const QString &text);
