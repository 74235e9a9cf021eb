// The folder chooser: the one part of the file unit that is a dialog.
#pragma once

#include <QString>

// Folders only, kept below `root` when one is given. On OK stores the choice in `directory` and
// returns true; on cancel returns false and leaves `directory` alone.
bool BrowseForDirectory(QString& directory, const QString& root, const QString& caption);
