// Where the desktop keeps the user's special folders.
#pragma once

#include <QString>

namespace Platform {

enum class TSpecialFolder {
  Desktop,          // the user's desktop directory
  ProgramsMenu,     // where menu entries of the user's programs live
  ProgramFiles,     // where the user's own programs are installed
  Startup,          // entries started when the user logs in
  Operator,         // the program's own per-user data (the wallpaper file)
  MenuDirectories,  // descriptions (.directory files) of the user's menu folders
  MenuMerge,        // the user's menu files merged into the applications menu
};

// The folder's path without a trailing "/", not created; empty when the system gives none.
QString SpecialFolderPath(TSpecialFolder folder);

}  // namespace Platform
