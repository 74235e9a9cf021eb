// Copying and deleting whole directory trees. Both work through folder descriptors, so a
// symbolic link met inside a tree is copied or removed as a link and never followed, and a
// folder renamed or swapped for a link meanwhile cannot send them elsewhere.
#include <QFile>
#include <cerrno>
#include <cstring>
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
using TDir = std::unique_ptr<DIR, TDirCloser>;

struct TFd {
  int Fd;
  explicit TFd(int fd) : Fd(fd) {}
  ~TFd() {
    if (Fd >= 0) ::close(Fd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
};

// The folder open as `fd` as a directory stream, which then owns the descriptor.
TDir StreamOf(int fd) {
  if (fd < 0) return nullptr;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    const int error = errno;
    ::close(fd);
    errno = error;
  }
  return TDir(dir);
}

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

bool IsDotOrDotDot(const char* name) {
  return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

bool IsSameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool SendAll(int from, int to, off_t size) {
  while (size > 0) {
    const ssize_t n = ::sendfile(to, from, nullptr, static_cast<size_t>(size));
    if (n < 0 && errno == EINTR) continue;
    if (n == 0) errno = EIO;  // the file shrank while it was copied
    if (n <= 0) return false;
    size -= n;
  }
  return true;
}

// Content, mode and modification time of `name` in `from`, replacing `name` in `to`.
bool CopyFileAt(int from, int to, const char* name) {
  TFd in(::openat(from, name, O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (in.Fd < 0 || ::fstat(in.Fd, &st) != 0) return false;
  const auto write = [&](int out) {
    if (!SendAll(in.Fd, out, st.st_size)) return false;
    const timespec times[2] = {st.st_atim, st.st_mtim};
    ::futimens(out, times);
    return true;
  };
  return ReplaceFileAt(to, name, write, st.st_mode & 07777, false);
}

bool CopyLinkAt(int from, int to, const char* name) {
  QByteArray target(4096, '\0');
  const ssize_t n = ::readlinkat(from, name, target.data(), target.size());
  if (n < 0 || n >= target.size()) return false;
  target.truncate(n);
  ::unlinkat(to, name, 0);
  return ::symlinkat(target.constData(), to, name) == 0;
}

// A folder of a copy: `Name` in the folder open as `Parent`. The outermost folders are the
// caller's paths, symbolic links and all; below them a link is never followed.
struct TPlace {
  int Parent;
  QByteArray Name;
  QString Path;  // for reports

  bool Outermost() const { return Parent == AT_FDCWD; }
  int NoFollow() const { return Outermost() ? 0 : O_NOFOLLOW; }
  TPlace Child(int fd, const char* name) const {
    return {fd, name, PathWithDelimiter(Path) + QFile::decodeName(name)};
  }
};

struct TTreeCopy {
  bool Copy;            // false moves: what was copied is removed from the source
  struct stat Root {};  // the outermost destination, never copied into itself
};

// The destination folder, made when missing; a symbolic link in its place gives way to it.
int OpenDestination(const TPlace& place, mode_t mode) {
  const char* name = place.Name.constData();
  struct stat st {};
  if (!place.Outermost() && ::fstatat(place.Parent, name, &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISLNK(st.st_mode))
    ::unlinkat(place.Parent, name, 0);
  if (::mkdirat(place.Parent, name, mode) != 0 && errno != EEXIST) return -1;
  return ::openat(place.Parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC | place.NoFollow());
}

void CopyFolder(TTreeCopy& tree, const TPlace& source, const TPlace& destination);

// The entries of one folder; a failed file is noted and the others are still copied.
void CopyEntries(TTreeCopy& tree, DIR* from, int to, const TPlace& source,
                 const TPlace& destination, TStatusFrame& frame) {
  const int fromFd = ::dirfd(from);
  while (const dirent* entry = ::readdir(from)) {
    const char* name = entry->d_name;
    if (name[0] == '.') continue;  // hidden, "." and ".."
    const mode_t type = TypeOf(from, entry);
    if (type == S_IFDIR) {
      // A destination inside the source is not copied into itself again.
      struct stat st {};
      if (::fstatat(fromFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && IsSameFile(st, tree.Root))
        continue;
      CopyFolder(tree, source.Child(fromFd, name), destination.Child(to, name));
      if (!tree.Copy) ::unlinkat(fromFd, name, AT_REMOVEDIR);
    } else if (type == S_IFLNK || type == S_IFREG) {
      errno = 0;
      if (type == S_IFLNK ? CopyLinkAt(fromFd, to, name) : CopyFileAt(fromFd, to, name)) {
        if (!tree.Copy) ::unlinkat(fromFd, name, 0);
        continue;
      }
      frame.Note(__LINE__, fsError, QStringLiteral("Failed to copy file."),
                 source.Child(fromFd, name).Path, destination.Child(to, name).Path,
                 static_cast<uint32_t>(errno));
    }
  }
}

// One folder in its own frame, so each folder that fails shows its box once.
void CopyFolder(TTreeCopy& tree, const TPlace& source, const TPlace& destination) {
  TStatusFrame frame(__FILE__, "CopyDeleteDirectory", __LINE__);
  frame.Run([&] {
    if (destination.Path.isEmpty())
      frame.Raise(__LINE__, fsError, QStringLiteral("Empty destination name."), source.Path);
    struct stat st {};
    const int follow = source.Outermost() ? 0 : AT_SYMLINK_NOFOLLOW;
    const mode_t mode = ::fstatat(source.Parent, source.Name.constData(), &st, follow) == 0
                            ? (st.st_mode & 07777) | S_IRWXU
                            : 0777;
    errno = 0;
    const TFd to(OpenDestination(destination, mode));
    if (to.Fd < 0)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to create directory."), source.Path,
                  destination.Path, static_cast<uint32_t>(errno));
    errno = 0;
    const TDir from(StreamOf(::openat(source.Parent, source.Name.constData(),
                                      O_RDONLY | O_DIRECTORY | O_CLOEXEC | source.NoFollow())));
    if (!from)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to find first file."), source.Path,
                  destination.Path, static_cast<uint32_t>(errno));
    if (source.Outermost()) {
      // Compared as files, not paths: a link can lead the destination back into the source.
      ::fstat(to.Fd, &tree.Root);
      if (::fstat(::dirfd(from.get()), &st) == 0 && IsSameFile(st, tree.Root))
        frame.Raise(__LINE__, fsError, QStringLiteral("A folder can not be copied onto itself."),
                    source.Path, destination.Path);
    }
    CopyEntries(tree, from.get(), to.Fd, source, destination, frame);
  });
  if (frame.Failed())
    ShowErrorBox(QStringLiteral("Failed to process directory."), TErrorBoxButtons::OkCancel);
}

// Deletes what it can inside the folder open as `fd` (closed here; -1 when opening it failed
// with `openError`), each folder in its own frame.
void DeleteContent(int fd, int openError, const QString& directory) {
  TStatusFrame frame(__FILE__, "DeleteDirectoryNoErrors", __LINE__);
  frame.Run([&] {
    errno = openError;
    const TDir dir(StreamOf(fd));
    if (!dir)
      frame.Raise(__LINE__, fsError, QStringLiteral("Can not find directory."), directory, {},
                  static_cast<uint32_t>(errno));
    const int dirFd = ::dirfd(dir.get());
    // Entries can only be removed from a folder the owner may write.
    struct stat st {};
    if (::fstat(dirFd, &st) == 0 && (st.st_mode & S_IWUSR) == 0)
      ::fchmod(dirFd, (st.st_mode & 07777) | S_IWUSR);
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir.get());
      if (!entry) {
        if (errno != 0)
          frame.Raise(__LINE__, fsError, QStringLiteral("Failed to delete directory content."),
                      directory, {}, static_cast<uint32_t>(errno));
        break;
      }
      const char* name = entry->d_name;
      if (IsDotOrDotDot(name)) continue;
      // A symbolic link is removed itself; what it points to is left alone.
      if (TypeOf(dir.get(), entry) == S_IFDIR) {
        errno = 0;
        const int sub = ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        DeleteContent(sub, errno, PathWithDelimiter(directory) + QFile::decodeName(name));
        ::unlinkat(dirFd, name, AT_REMOVEDIR);
      } else {
        ::unlinkat(dirFd, name, 0);
      }
    }
  });
}

}  // namespace

void CopyDeleteDirectory(const QString& source, const QString& destination, bool copy) {
  TTreeCopy tree{copy};
  CopyFolder(tree, {AT_FDCWD, QFile::encodeName(source), source},
             {AT_FDCWD, QFile::encodeName(destination), destination});
  if (!copy) ::rmdir(QFile::encodeName(source).constData());
}

TOpenFolder::TOpenFolder(const QString& path) : Path(path) {
  // No trailing "/": it would have a link in the last component followed.
  const QString full = FullPathOf(path);
  const qsizetype slash = full.lastIndexOf(QLatin1Char('/'));
  Name = QFile::encodeName(full.mid(slash + 1));
  errno = path.isEmpty() ? ENOENT : EINVAL;  // no path, or the root, which has no name
  if (!Name.isEmpty())
    Parent = ::open(slash == 0 ? "/" : QFile::encodeName(full.left(slash)).constData(),
                    O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (Parent >= 0)
    Fd = ::openat(Parent, Name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (Fd < 0) Error = errno;
}

TOpenFolder::~TOpenFolder() {
  if (Fd >= 0) ::close(Fd);
  if (Parent >= 0) ::close(Parent);
}

bool TOpenFolder::HoldsFile(const QString& name) const {
  struct stat st {};
  return IsOpen() && !name.contains(QLatin1Char('/')) &&
         ::fstatat(Fd, QFile::encodeName(name).constData(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISREG(st.st_mode);
}

void DeleteDirectoryNoErrors(const TOpenFolder& folder) {
  // A descriptor of its own, so this listing starts at the beginning.
  errno = folder.Error;
  const int fd =
      folder.IsOpen() ? ::openat(folder.Fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
  DeleteContent(fd, errno, folder.Path);
  // Fails quietly while something undeletable is left inside; whatever has taken the old name
  // since is not this folder and stays.
  struct stat opened {};
  struct stat named {};
  if (folder.IsOpen() && ::fstat(folder.Fd, &opened) == 0 &&
      ::fstatat(folder.Parent, folder.Name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
      IsSameFile(opened, named))
    ::unlinkat(folder.Parent, folder.Name.constData(), AT_REMOVEDIR);
}

void DeleteDirectoryNoErrors(const QString& directory) {
  DeleteDirectoryNoErrors(TOpenFolder(directory));
}
