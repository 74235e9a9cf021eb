// Shortcut files: freedesktop ".desktop" launchers.
#pragma once

#include <QString>
#include <cstdint>

// One shortcut. The target and its arguments live in "Exec" (a target that is not a program
// opens through xdg-open), the working directory in "Path", the description in "Comment",
// the icon in "Icon"; the show command, hot key and icon index in keys of our own.
class TLinkFile {
 public:
  TLinkFile();

  bool Loaded = false;
  uint32_t Attributes = 0;  // st_mode of the target
  double CreationTime = 0.0;
  double LastAccessTime = 0.0;
  double LastWriteTime = 0.0;
  uint64_t Size = 0;
  QString Path;
  QString WorkingDirectory;
  QString Arguments;  // command-line text (see CommandLine.h)
  QString Description;
  QString IconLocation;
  int32_t IconIndex = 0;
  uint16_t HotKey = 0;
  int32_t ShowCmd = 0;  // 1 normal, 7 minimized

  void Clear();
  bool Load(const QString& linkFile, bool resolve = false);
  // True when the file was written.
  bool Save(const QString& linkFile, bool replace = true);
};

void CopyFileAsLink(const QString& target, const QString& linkFile, bool replace = true,
                    const QString& arguments = {}, bool workingDirectoryFromTarget = true,
                    bool minimized = false);
void CopyFileAsLinkWithParam(const QString& target, const QString& linkFile,
                             const QString& arguments, bool replace = true);
// Keeps the shortcut to `target` in `directory` in line with an on/off option.
void MakeLinkByStatus(const QString& directory, const QString& target, const QString& arguments,
                      const QString& description, bool minimized, bool present);
