// Listing picture folders: opendir/readdir on the encoded path, QStrings only for kept names.
#include <QFile>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

#include "Error/Error.h"
#include "File/File.h"

namespace {

struct TDirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

enum class TEntryKind { Other, File, Directory };

// Symbolic links count as what they point to, except that a link to a folder is not followed:
// a link back up the tree would list it again and again.
TEntryKind KindOf(DIR* dir, const dirent* entry) {
  struct stat st {};
  switch (entry->d_type) {
    case DT_REG:
      return TEntryKind::File;
    case DT_DIR:
      return TEntryKind::Directory;
    case DT_LNK:
      return ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode)
                 ? TEntryKind::File
                 : TEntryKind::Other;
    case DT_UNKNOWN:  // file systems that do not fill d_type
      if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return TEntryKind::Other;
      if (S_ISDIR(st.st_mode)) return TEntryKind::Directory;
      if (S_ISLNK(st.st_mode) && ::fstatat(::dirfd(dir), entry->d_name, &st, 0) != 0)
        return TEntryKind::Other;
      return S_ISREG(st.st_mode) ? TEntryKind::File : TEntryKind::Other;
    default:
      return TEntryKind::Other;  // devices, pipes, sockets
  }
}

void LoadDirectory(const QString& directory, const TFileSpec& spec, QStringList& list,
                   bool recursive) {
  TStatusFrame frame(__FILE__, "LoadFilesList", __LINE__);
  frame.Run([&] {
    if (directory.isEmpty() || PathOfFile(directory).isEmpty()) return;
    const QString prefix = PathWithDelimiter(directory);
    errno = 0;
    std::unique_ptr<DIR, TDirCloser> dir(::opendir(QFile::encodeName(prefix).constData()));
    if (!dir)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to load directory."), directory, {},
                  static_cast<uint32_t>(errno));
    for (;;) {
      errno = 0;
      const dirent* entry = ::readdir(dir.get());
      if (!entry) {
        if (errno != 0)
          frame.Raise(__LINE__, fsError, QStringLiteral("Failed to load directory."), directory, {},
                      static_cast<uint32_t>(errno));
        break;
      }
      // Hidden entries, "." and ".." among them.
      if (entry->d_name[0] == '.') continue;
      const TEntryKind kind = KindOf(dir.get(), entry);
      if (kind == TEntryKind::Directory) {
        if (recursive) LoadDirectory(prefix + QFile::decodeName(entry->d_name), spec, list, true);
      } else if (kind == TEntryKind::File) {
        const QString name = QFile::decodeName(entry->d_name);
        if (spec.Matches(name)) list.append(prefix + name);
      }
    }
  });
}

}  // namespace

void LoadFilesList(const QString& directory, const QString& spec, QStringList& list,
                   bool recursive) {
  LoadDirectory(directory, TFileSpec(spec), list, recursive);
}
