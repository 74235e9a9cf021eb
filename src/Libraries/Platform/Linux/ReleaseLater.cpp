#include "Platform/ReleaseLater.h"

#include <QFile>
#include <fcntl.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace Platform {

void CloseLater(int fd) {
  try {
    std::thread([fd] { ::close(fd); }).detach();
  } catch (const std::system_error&) {
    ::close(fd);
  }
}

bool RemoveFreeingLater(const QString& path) {
  const QByteArray name = QFile::encodeName(path);
  // Held open across the removal, the file's pages outlive its name until the helper closes it.
  const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW);
  const bool removed = ::unlink(name.constData()) == 0;
  if (fd >= 0) CloseLater(fd);
  return removed;
}

}  // namespace Platform
