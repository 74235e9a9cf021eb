#include "File/File.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

#include "Error/Error.h"

namespace {

QByteArray Encoded(const QString& path) {
  return QFile::encodeName(path);
}

QChar Fold(QChar c) {
  const char16_t u = c.unicode();
  if (u < 128) return (u >= 'A' && u <= 'Z') ? QChar(u + 32) : c;
  return c.toCaseFolded();
}

QString Folded(const QString& text) {
  QString result = text;
  for (QChar& c : result) c = Fold(c);
  return result;
}

// "*" any run of characters, "?" one character; the pattern is already folded.
bool WildcardMatch(const QString& pattern, const QString& name) {
  qsizetype p = 0, n = 0, star = -1, mark = 0;
  const qsizetype plen = pattern.size(), nlen = name.size();
  while (n < nlen) {
    if (p < plen && pattern[p] == QLatin1Char('*')) {
      star = p++;
      mark = n;
    } else if (p < plen && (pattern[p] == QLatin1Char('?') || pattern[p] == Fold(name[n]))) {
      ++p;
      ++n;
    } else if (star >= 0) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < plen && pattern[p] == QLatin1Char('*')) ++p;
  return p == plen;
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

bool WriteAll(int fd, const QByteArray& bytes) {
  const char* data = bytes.constData();
  qsizetype left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    left -= n;
  }
  return true;
}

}  // namespace

// ---- Plain helpers ----

QString PathWithDelimiter(const QString& path) {
  if (path.isEmpty() || path.endsWith(QLatin1Char('/'))) return path;
  return path + QLatin1Char('/');
}

bool IsDriveName(const QString& path) {
  return path.size() >= 2 && path.endsWith(QLatin1Char(':')) && !path.contains(QLatin1Char('/'));
}

QString PathOfFile(const QString& path) {
  if (IsDriveName(path)) return {};
  return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString NameOfFile(const QString& path) {
  if (IsDriveName(path)) return path;
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

bool HasExtensionIn(const QString& path, const QStringList& extensions, Qt::CaseSensitivity cs) {
  const QString name = NameOfFile(path);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot >= 0 && extensions.contains(name.mid(dot), cs);
}

QString FullPathOf(const QString& path) {
  if (path.isEmpty()) return {};
  if (IsDriveName(path)) return path;
  const QString absolute =
      path.startsWith(QLatin1Char('/')) ? path : QDir::currentPath() + QLatin1Char('/') + path;
  QStringList parts;
  for (const QString& part : absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
    if (part == QLatin1String(".")) continue;
    if (part == QLatin1String("..")) {
      if (!parts.isEmpty()) parts.removeLast();
      continue;
    }
    parts << part;
  }
  return QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

bool IsSamePath(const QString& a, const QString& b) {
  static const QString forbidden = QStringLiteral("*?\"<>|");
  for (const QChar c : forbidden)
    if (a.contains(c) || b.contains(c)) return false;
  if (a.isEmpty() || b.isEmpty()) return false;
  return FullPathOf(a) == FullPathOf(b);
}

TFileSpec::TFileSpec(const QString& spec) {
  for (const QString& piece : spec.split(QLatin1Char(';'))) {
    const QString pattern = piece.trimmed();
    if (pattern.isEmpty()) continue;
    // "*.*" also matches names without a dot, as on the platforms it comes from.
    if (pattern == QLatin1String("*.*") || pattern == QLatin1String("*")) {
      All = true;
      continue;
    }
    Patterns << Folded(pattern);
  }
  if (Patterns.isEmpty()) All = true;
}

bool TFileSpec::Matches(const QString& name) const {
  if (All) return true;
  for (const QString& pattern : Patterns)
    if (WildcardMatch(pattern, name)) return true;
  return false;
}

bool MatchesFileSpec(const QString& name, const QString& spec) {
  return TFileSpec(spec).Matches(name);
}

bool FileExistsAt(const QString& path) {
  struct stat st {};
  return !path.isEmpty() && ::stat(Encoded(path).constData(), &st) == 0;
}

bool IsDirectoryPath(const QString& path) {
  if (IsDriveName(path)) return true;
  struct stat st {};
  return !path.isEmpty() && ::stat(Encoded(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsLinkFileName(const QString& path) {
  return NameOfFile(path).endsWith(QStringLiteral(".desktop"), Qt::CaseInsensitive);
}

void ClearReadOnly(const QString& path) {
  const QByteArray bytes = Encoded(path);
  struct stat st {};
  if (::stat(bytes.constData(), &st) == 0 && (st.st_mode & S_IWUSR) == 0)
    ::chmod(bytes.constData(), (st.st_mode & 07777) | S_IWUSR);
}

QString GetLinkExtension(const QString&) {
  return QStringLiteral(".desktop");
}

bool WriteFileAtomically(const QString& path, const QByteArray& bytes, bool executable) {
  return WriteFileAtomically(
      path, [&](int fd) { return WriteAll(fd, bytes); }, executable, true);
}

bool WriteFileAtomically(const QString& path, const std::function<bool(int fd)>& write,
                         bool executable, bool durable) {
  QByteArray target = Encoded(path);
  // Through a symbolic link, replace the file it names and keep the link.
  struct stat st {};
  if (::lstat(target.constData(), &st) == 0 && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(target.constData(), nullptr)) {
      target = real;
      std::free(real);
    }
  }
  const bool exists = ::stat(target.constData(), &st) == 0;
  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (executable) mode |= (mode & 0444) >> 2;
  const qsizetype slash = target.lastIndexOf('/');
  const QByteArray directory = slash < 0 ? QByteArray(".") : target.left(slash + 1);
  const int dirFd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd < 0) return false;
  const bool replaced = ReplaceFileAt(dirFd, target.mid(slash + 1), write, mode, durable);
  const int error = errno;
  ::close(dirFd);
  errno = error;
  return replaced;
}

bool ReplaceFileAt(int dirFd, const QByteArray& name, const std::function<bool(int fd)>& write,
                   mode_t mode, bool durable) {
  // Hidden, so a listing of the folder never picks a half-written file up.
  const QByteArray prefix = '.' + name.left(200) + ".tmp-";
  QByteArray temp;
  int fd = -1;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temp = prefix + QByteArray::number(QRandomGenerator::global()->generate(), 36);
    fd = ::openat(dirFd, temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                  0600);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;

  const bool written = ::fchmod(fd, mode) == 0 && write(fd) && (!durable || ::fsync(fd) == 0);
  int error = errno;
  const bool closed = ::close(fd) == 0;
  if (written && !closed) error = errno;
  // renameat replaces whatever has the name, a symbolic link included, and never follows it.
  if (written && closed && ::renameat(dirFd, temp.constData(), dirFd, name.constData()) == 0) {
    // Make the rename itself durable; a failure here loses nothing.
    if (durable) ::fsync(dirFd);
    return true;
  }
  if (written && closed) error = errno;
  ::unlinkat(dirFd, temp.constData(), 0);
  errno = error;
  return false;
}

double FileTimeToDateTime(const timespec& time) {
  struct tm local {};
  const time_t seconds = time.tv_sec;
  if (!::localtime_r(&seconds, &local)) return 0.0;
  const QDate date(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  const double days = static_cast<double>(date.toJulianDay() - QDate(1899, 12, 30).toJulianDay());
  const long milliseconds = time.tv_nsec / 1000000;
  const double secondOfDay =
      local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + milliseconds / 1000.0;
  return days + secondOfDay / 86400.0;
}

// ---- Status-framed operations ----

double ConvertFileTime(const timespec& time) {
  double result = 0.0;
  TStatusFrame frame(__FILE__, "ConvertFileTime", __LINE__);
  frame.Run([&] {
    struct tm local {};
    const time_t seconds = time.tv_sec;
    errno = 0;
    if (!::localtime_r(&seconds, &local) || local.tm_year + 1900 > 9999)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to convert time."), {}, {},
                  static_cast<uint32_t>(errno ? errno : EOVERFLOW));
    result = FileTimeToDateTime(time);
  });
  return frame.Failed() ? 0.0 : result;
}

int64_t GetFileSize(const QString& path) {
  int64_t size = 0;
  TStatusFrame frame(__FILE__, "GetFileSize", __LINE__);
  frame.Run([&] {
    struct stat st {};
    errno = 0;
    if (::stat(Encoded(path).constData(), &st) != 0)
      frame.Raise(__LINE__, fsWarning, QStringLiteral("Failed to get file size."), path, {},
                  static_cast<uint32_t>(errno));
    size = st.st_size;
  });
  return frame.Failed() || frame.Local.Status == fsWarning ? 0 : size;
}

bool MyRenameFile(const QString& oldName, const QString& newName, bool replace) {
  TStatusFrame frame(__FILE__, "MyRenameFile", __LINE__);
  frame.Run([&] {
    const QByteArray from = Encoded(oldName), to = Encoded(newName);
    errno = 0;
    int result;
    if (replace) {
      // rename() replaces the destination atomically, read-only or not, so the old file is
      // never deleted before the new one is in place; renaming a file onto itself is a no-op.
      result = ::rename(from.constData(), to.constData());
    } else {
      result = ::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE);
      if (result != 0 && (errno == EINVAL || errno == ENOSYS)) {
        // A file system without the no-replace flag.
        struct stat st {};
        if (::lstat(to.constData(), &st) == 0)
          errno = EEXIST;
        else
          result = ::rename(from.constData(), to.constData());
      }
    }
    if (result != 0)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to rename."), oldName, newName,
                  static_cast<uint32_t>(errno));
  });
  return !frame.Failed();
}
