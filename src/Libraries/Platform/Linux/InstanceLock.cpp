#include "Platform/InstanceLock.h"

#include <QFile>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace Platform {
namespace {
int LockFd = -1;
}

LockResult AcquireInstanceLock(const QString& name) {
  ReleaseInstanceLock();
  const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
  const QString path = runtime.isEmpty()
                           ? QStringLiteral("/tmp/%1-%2").arg(name).arg(::getuid())
                           : QFile::decodeName(runtime) + QLatin1Char('/') + name;
  const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return LockResult::Unavailable;
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
