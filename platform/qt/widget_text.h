// Stored text is Windows-1252 bytes; widgets hold QString. Text crosses
// between them only here, so that every screen refuses the same characters.
#pragma once

#include <QString>

#include <string>

// Every byte comes through, NUL included.
QString WidgetText(const std::string& stored);
// Raises EConvertError when the text holds a character Windows-1252 cannot
// hold: nothing is replaced silently.
std::string StoredText(const QString& shown);

// The length a memo's text has as the program keeps it: each line break
// the widget holds as one character is stored as CR LF, two.
int StoredMemoLength(const QString& shown);
