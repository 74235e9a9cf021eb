// File and directory helpers: path texts, listing, copying, renaming, special folders, starting
// files. Shortcut files (TLinkFile) are in LinkFile.h, the folder chooser in DirectoryChooser.h.
#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <QStringList>
#include <cstdint>
#include <ctime>
#include <sys/types.h>

#include "Platform/SpecialFolders.h"

// ---- Plain helpers (no status frame) ----

QString PathWithDelimiter(const QString& path);
// A Windows drive name such as "C:"; never an absolute Linux path.
bool IsDriveName(const QString& path);
QString PathOfFile(const QString& path);  // with its trailing "/"; empty for a bare name
QString NameOfFile(const QString& path);
// The file's extension (from the last "." of its name on) is one of `extensions`.
bool HasExtensionIn(const QString& path, const QStringList& extensions,
                    Qt::CaseSensitivity cs = Qt::CaseInsensitive);
// Absolute and normal ("." and ".." resolved, no doubled or trailing "/"); the path need not
// exist and symbolic links are not followed.
QString FullPathOf(const QString& path);
// Both name the same path once made absolute and normal; exact, as the file system compares.
bool IsSamePath(const QString& a, const QString& b);
bool MatchesFileSpec(const QString& name, const QString& spec);
bool FileExistsAt(const QString& path);
bool IsDirectoryPath(const QString& path);
bool IsLinkFileName(const QString& path);
// Read-only here means the owner may not write; gives the owner write permission back.
void ClearReadOnly(const QString& path);
QString GetLinkExtension(const QString& target);

// A ";"-separated list of wildcard patterns ("*", "?"), matched ignoring case; compiled once
// so that listing a large tree does not parse it per file.
class TFileSpec {
 public:
  explicit TFileSpec(const QString& spec);
  bool Matches(const QString& name) const;

 private:
  QStringList Patterns;  // case-folded
  bool All = false;
};

// Writes `bytes` to a temporary file beside `path` and renames it over `path`, so a crash or a
// full disk never leaves a half-written file. Keeps the mode of an existing file and writes
// through a symbolic link to its target. On failure returns false with errno set and leaves
// the original untouched.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes, bool executable = false);
// The same, streaming the content through `write` on the open temporary file. Without
// `durable` nothing is synced: for files that are rebuilt anyway, like the wallpaper.
bool WriteFileAtomically(const QString& path, const std::function<bool(int fd)>& write,
                         bool executable, bool durable);
// The same in the folder open as `dirFd`, with mode `mode`: whatever is called `name` there is
// replaced, and a symbolic link of that name is replaced itself, never written through.
bool ReplaceFileAt(int dirFd, const QByteArray& name, const std::function<bool(int fd)>& write,
                   mode_t mode, bool durable);

// A folder held open, so that what is checked in it and what is later deleted from it stay the
// same folder whatever its path comes to name meanwhile. The path's last component is never
// followed when it is a symbolic link.
class TOpenFolder {
 public:
  explicit TOpenFolder(const QString& path);
  ~TOpenFolder();
  TOpenFolder(const TOpenFolder&) = delete;
  TOpenFolder& operator=(const TOpenFolder&) = delete;

  bool IsOpen() const { return Fd >= 0; }
  // A regular file of that name is in the folder itself.
  bool HoldsFile(const QString& name) const;

  QString Path;     // as given
  int Fd = -1;      // the folder
  int Parent = -1;  // the folder that held it when it was opened
  QByteArray Name;  // its name there
  int Error = 0;    // why it could not be opened
};

// The date-time (days since 30 December 1899, local time) of a file time; no status frame.
double FileTimeToDateTime(const timespec& time);

// ---- Status-framed operations ----

double ConvertFileTime(const timespec& time);
int64_t GetFileSize(const QString& path);
QString GetOperatorPath();
bool MyRenameFile(const QString& oldName, const QString& newName, bool replace);
void DeleteDirectoryNoErrors(const QString& directory);
// Deletes what it can inside `folder` (a symbolic link is removed, never descended), then the
// folder itself while its old name still names it.
void DeleteDirectoryNoErrors(const TOpenFolder& folder);
void CopyDeleteDirectory(const QString& source, const QString& destination, bool copy = true);
// Appends the full paths of matching files to `list`; hidden entries are skipped and symbolic
// links to folders are not followed.
void LoadFilesList(const QString& directory, const QString& spec, QStringList& list,
                   bool recursive);
void RunFile(const QString& file, const QString& parameters = {}, const QString& directory = {},
             bool quoteParameters = false, bool minimized = false);
void OpenSite(const QString& address,
              const QString& errorText = QStringLiteral("Failed to open site."));

// Special folders, each with a trailing "/" and created when missing; empty when none.
QString GetSystemDirectoryPath(Platform::TSpecialFolder folder);
QString GetDesktopPath();
QString GetProgramsMenuPath();
QString GetProgramFilesPath();
QString GetStartupPath();
