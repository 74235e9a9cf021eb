// Limits shared by every reader of files in the settings format.
#pragma once

#include <QtGlobal>

// A settings file larger than this is not one.
inline constexpr qint64 MaxSettingsFileSize = 64 * 1024 * 1024;
