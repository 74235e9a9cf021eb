// The freedesktop Desktop Entry format: value escapes, the Exec quoting rules and the keys of
// the [Desktop Entry] group.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

// A string value as it is written after "Key=": backslash, newline, tab and carriage return
// escaped, and a leading blank kept as "\s".
QString EscapeDesktopValue(const QString& value);
QString UnescapeDesktopValue(const QString& text);

// The Exec value (before EscapeDesktopValue) that starts `arguments[0]` with the others.
QString JoinExec(const QStringList& arguments);
// The program and its arguments; field codes ("%f", "%U", ...) are dropped. False when a quote
// is not closed.
bool SplitExec(const QString& exec, QStringList& arguments);

// Control characters other than tab, newline and carriage return cannot be stored in a value.
bool IsStorableDesktopValue(const QString& value);

// The unescaped values of the [Desktop Entry] group (the first value of a repeated key wins);
// false when the text has no such group.
bool ParseDesktopEntry(const QByteArray& text, QHash<QString, QString>& keys);
