// Copying and deleting whole directory trees.
#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Error/Error.h"
#include "File/File.h"

namespace {

struct TDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

struct TFd {
  int Fd;
  explicit TFd(int fd) : Fd(fd) {}
  ~TFd() {
    if (Fd >= 0) ::close(Fd);
  }
};

// Entries as they are, symbolic links not followed.
mode_t TypeOf(DIR* dir, const dirent* entry) {
  switch (entry->d_type) {
    case DT_REG:
      return S_IFREG;
    case DT_DIR:
      return S_IFDIR;
    case DT_LNK:
      return S_IFLNK;
    default:
      break;
  }
  struct stat st {};
  if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return 0;
  return st.st_mode & S_IFMT;
}

// Content, mode and modification time; the destination is overwritten.
bool CopyFileContent(const QByteArray& from, const QByteArray& to) {
  TFd in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (in.Fd < 0 || ::fstat(in.Fd, &st) != 0) return false;
  TFd out(::open(to.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, st.st_mode & 07777));
  if (out.Fd < 0 || ::fchmod(out.Fd, st.st_mode & 07777) != 0) return false;
  off_t left = st.st_size;
  while (left > 0) {
    const ssize_t n = ::sendfile(out.Fd, in.Fd, nullptr, static_cast<size_t>(left));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    left -= n;
  }
  const timespec times[2] = {st.st_atim, st.st_mtim};
  ::futimens(out.Fd, times);
  return true;
}

bool CopyLink(const QByteArray& from, const QByteArray& to) {
  QByteArray target(4096, '\0');
  const ssize_t n = ::readlink(from.constData(), target.data(), target.size());
  if (n < 0 || n >= target.size()) return false;
  target.truncate(n);
  ::unlink(to.constData());
  return ::symlink(target.constData(), to.constData()) == 0;
}

void CopyTree(const QString& source, const QString& destination, bool copy,
              const QString& outermostDestination) {
  TStatusFrame frame(__FILE__, "CopyDeleteDirectory", __LINE__);
  frame.Run([&] {
    if (destination.isEmpty())
      frame.Raise(__LINE__, fsError, QStringLiteral("Empty destination name."), source);
    const QByteArray from = QFile::encodeName(source), to = QFile::encodeName(destination);
    struct stat st {};
    errno = 0;
    const mode_t mode = ::stat(from.constData(), &st) == 0 ? (st.st_mode & 07777) | S_IRWXU : 0777;
    if (::mkdir(to.constData(), mode) != 0 && errno != EEXIST)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to create directory."), source,
                  destination, static_cast<uint32_t>(errno));
    errno = 0;
    std::unique_ptr<DIR, TDirCloser> dir(::opendir(from.constData()));
    if (!dir)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to find first file."), source,
                  destination, static_cast<uint32_t>(errno));
    const QString sourcePrefix = PathWithDelimiter(source);
    const QString destinationPrefix = PathWithDelimiter(destination);
    while (const dirent* entry = ::readdir(dir.get())) {
      if (entry->d_name[0] == '.') continue;  // hidden, "." and ".."
      const QString name = QFile::decodeName(entry->d_name);
      const QString sourcePath = sourcePrefix + name, destinationPath = destinationPrefix + name;
      // A destination inside the source is not copied into itself again.
      if (IsSamePath(sourcePath, outermostDestination)) continue;
      const QByteArray sourceBytes = QFile::encodeName(sourcePath);
      const QByteArray destinationBytes = QFile::encodeName(destinationPath);
      switch (TypeOf(dir.get(), entry)) {
        case S_IFDIR:
          CopyTree(sourcePath, destinationPath, copy, outermostDestination);
          if (!copy) ::rmdir(sourceBytes.constData());
          break;
        case S_IFLNK:
          if (CopyLink(sourceBytes, destinationBytes) && !copy) ::unlink(sourceBytes.constData());
          break;
        case S_IFREG:
          ClearReadOnly(destinationPath);
          if (CopyFileContent(sourceBytes, destinationBytes) && !copy)
            ::unlink(sourceBytes.constData());
          break;
        default:
          break;
      }
    }
  });
  if (frame.Failed())
    ShowErrorBox(QStringLiteral("Failed to process directory."), TErrorBoxButtons::OkCancel);
}

}  // namespace

void CopyDeleteDirectory(const QString& source, const QString& destination, bool copy) {
  CopyTree(source, destination, copy, FullPathOf(destination));
  if (!copy) ::rmdir(QFile::encodeName(source).constData());
}

void DeleteDirectoryNoErrors(const QString& directory) {
  TStatusFrame frame(__FILE__, "DeleteDirectoryNoErrors", __LINE__);
  const QByteArray path = QFile::encodeName(directory);
  frame.Run([&] {
    // Entries can only be removed from a folder the owner may write.
    ClearReadOnly(directory);
    errno = 0;
    std::unique_ptr<DIR, TDirCloser> dir(::opendir(path.constData()));
    if (!dir)
      frame.Raise(__LINE__, fsError, QStringLiteral("Can not find directory."), directory, {},
                  static_cast<uint32_t>(errno));
    const QString prefix = PathWithDelimiter(directory);
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir.get());
      if (!entry) {
        if (errno != 0)
          frame.Raise(__LINE__, fsError, QStringLiteral("Failed to delete directory content."),
                      directory, {}, static_cast<uint32_t>(errno));
        break;
      }
      const QByteArray name(entry->d_name);
      if (name == "." || name == "..") continue;
      const QString fullName = prefix + QFile::decodeName(name);
      // A symbolic link is removed itself; what it points to is left alone.
      const mode_t type = TypeOf(dir.get(), entry);
      if (type == S_IFDIR) {
        DeleteDirectoryNoErrors(fullName);
        continue;
      }
      if (type == S_IFREG) ClearReadOnly(fullName);
      ::unlinkat(::dirfd(dir.get()), entry->d_name, 0);
    }
  });
  // Fails quietly while something undeletable is left inside.
  ::rmdir(path.constData());
}
