#include "Platform/InstanceLock.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {
namespace {
int LockFd = -1;
}

QString InstanceLockPath(const QString& name) {
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  return runtime.isEmpty() ? QStringLiteral("/tmp/%1-%2").arg(name).arg(::getuid())
                           : QFile::decodeName(runtime) + QLatin1Char('/') + name;
}

LockResult AcquireInstanceLock(const QString& name) {
  ReleaseInstanceLock();
  // In /tmp anybody may put a file of that name first: a link must not be followed (it could
  // make us create or lock a file elsewhere), and a file of somebody else could be locked by
  // them to keep us from starting, or left unlocked to let two copies run.
  const QByteArray path = QFile::encodeName(InstanceLockPath(name));
  const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    // Something we cannot open is in the way; only a file that cannot be made at all (no such
    // folder, say) leaves the program to run unguarded.
    struct stat there {};
    return ::lstat(path.constData(), &there) == 0 ? LockResult::Refused : LockResult::Unavailable;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
      st.st_nlink != 1) {
    ::close(fd);
    return LockResult::Refused;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const bool busy = errno == EWOULDBLOCK;
    ::close(fd);
    return busy ? LockResult::HeldElsewhere : LockResult::Unavailable;
  }
  LockFd = fd;
  return LockResult::Acquired;
}

void ReleaseInstanceLock() {
  if (LockFd >= 0) ::close(LockFd);
  LockFd = -1;
}

}  // namespace Platform
