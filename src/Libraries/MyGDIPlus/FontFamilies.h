// The font families text may be drawn in: those installed, plus the well-known names that the
// font configuration renders through an installed metric-compatible face ("Arial" stays "Arial").
#pragma once

#include <QString>
#include <QStringList>

// Without duplicates, sorted case-insensitively in the user's collation.
QStringList InstalledFontFamilies();
// Whether `name` (any letter case) is one of InstalledFontFamilies(). Anything else would be
// drawn in a substituted face, which the calendar never does.
bool IsInstalledFontFamily(const QString& name);
