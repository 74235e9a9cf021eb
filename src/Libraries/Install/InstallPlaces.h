// What an installation puts where, the menu group's files, and the checks that keep the
// installer from copying a folder onto itself or deleting a folder that is not an installation.
#pragma once

#include <QString>

// The last component of a folder path, trailing delimiters ignored; empty for "/" and "".
QString FolderNameOf(const QString& folder);

// The files of one installation of program `Program` in folder `Target` (with "/").
struct TInstallPlaces {
  QString Program;      // the program's name, which is also its file's name
  QString Folder;       // the installation folder's name, which is also the group's
  QString Target;       // the installation folder, with a trailing "/"
  QString ProgramFile;  // Target + Program
  QString ReadmeFile;   // Target + "Readme.txt"
  QString IconFile;     // Target + Program + ".png"
  QString DesktopLink;  // the desktop shortcut
  QString Group;        // the menu group's folder, with a trailing "/"
  QString GroupProgramLink;
  QString GroupUninstallLink;
  QString GroupReadmeLink;
  QString GroupDirectoryFile;  // the group's name and icon for the menu
  QString GroupMenuFile;       // the submenu merged into the applications menu
  QString AutostartLink;       // written by the program while automatic start is on

  // Empty places (Folder empty) when `target` names no folder below the root.
  static TInstallPlaces Of(const QString& program, const QString& target);
  bool Valid() const { return !Folder.isEmpty(); }
  // The desktop-file id the menu knows a link in the group by.
  QString GroupEntryId(const QString& link) const;
};

// Writes the group's .directory file and its submenu; false with errno set on failure.
bool WriteMenuGroupFiles(const TInstallPlaces& places);
// Removes the group's links and menu files that belong to this installation, then the group
// folder once it is empty; what others put there stays.
void RemoveMenuGroup(const TInstallPlaces& places);
// Removes the shortcut `link` when it starts `target`.
void RemoveLinkTo(const QString& link, const QString& target);

// `path` is `folder` or lies inside it once symbolic links are resolved; `path` need not exist.
bool IsSameOrInside(const QString& path, const QString& folder);
// Why `folder` is no place to install into, or empty when it is: it must be the user's own and
// not writable by others (a sticky folder, where nobody else may replace what is ours, aside).
QString UnsafeBaseFolderReason(const QString& folder);
// `folder` is the home folder or a folder above it.
bool IsHomeOrAbove(const QString& folder);
// `folder` holds files (hidden ones aside) but not the program file `program`: another
// program's folder, which an installation must not mix itself into.
bool HoldsAnotherProgram(const QString& folder, const QString& program);
// The shortcut `link` starts `programFile` (its target, symbolic links resolved).
bool LinkStarts(const QString& link, const QString& programFile);
// The program file named by an uninstall command ("<file> /Uninstall").
QString ProgramOfUninstallCommand(const QString& command);
