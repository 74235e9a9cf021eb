// Command-line texts: the arguments a program gets from a line of text, and back.
#pragma once

#include <QString>
#include <QStringList>

// Blanks separate arguments; double quotes group them and a doubled quote inside quotes is a
// literal quote. Backslashes are plain characters.
QStringList SplitCommandLine(const QString& text);
// The text SplitCommandLine turns back into exactly `arguments`.
QString JoinCommandLine(const QStringList& arguments);
