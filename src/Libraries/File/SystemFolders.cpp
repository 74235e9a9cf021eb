// The program's own folder and the desktop's special folders, created when missing.
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

#include "Error/Error.h"
#include "File/File.h"

namespace {

// mkdir -p that leaves errno set on failure; `mode` is narrowed by the umask.
bool MakeDirectories(const QString& path, mode_t mode = 0777) {
  const QByteArray bytes = QFile::encodeName(path);
  for (qsizetype i = 1; i <= bytes.size(); ++i) {
    if (i < bytes.size() && bytes[i] != '/') continue;
    const QByteArray part = bytes.left(i);
    if (::mkdir(part.constData(), mode) == 0 || errno == EEXIST) continue;
    return false;
  }
  struct stat st {};
  if (::stat(bytes.constData(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

}  // namespace

QString GetOperatorPath() {
  QString path;
  TStatusFrame frame(__FILE__, "GetOperatorPath", __LINE__);
  frame.Run([&] {
    path = Platform::SpecialFolderPath(Platform::TSpecialFolder::Operator);
    errno = 0;
    if (path.isEmpty()) errno = ENOENT;
    if (path.isEmpty() || !MakeDirectories(path))
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to get path."), path, {},
                  static_cast<uint32_t>(errno));
    path = PathWithDelimiter(path);
  });
  return frame.Failed() ? QString() : path;
}

QString GetSystemDirectoryPath(Platform::TSpecialFolder folder) {
  QString path;
  TStatusFrame frame(__FILE__, "GetSystemDirectoryPath", __LINE__);
  frame.Run([&] {
    const QString found = Platform::SpecialFolderPath(folder);
    // The installer refuses a programs' folder others may write in, whatever the umask allows.
    const mode_t mode = folder == Platform::TSpecialFolder::ProgramFiles ? 0755 : 0777;
    // A folder that cannot be created counts as one the system does not give.
    if (!found.isEmpty() && MakeDirectories(found, mode)) path = PathWithDelimiter(found);
  });
  return frame.Failed() ? QString() : path;
}

QString GetDesktopPath() {
  return GetSystemDirectoryPath(Platform::TSpecialFolder::Desktop);
}
QString GetProgramsMenuPath() {
  return GetSystemDirectoryPath(Platform::TSpecialFolder::ProgramsMenu);
}
QString GetProgramFilesPath() {
  return GetSystemDirectoryPath(Platform::TSpecialFolder::ProgramFiles);
}
QString GetStartupPath() {
  return GetSystemDirectoryPath(Platform::TSpecialFolder::Startup);
}
