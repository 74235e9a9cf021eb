#include "File.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>

#include "Error.h"

int64_t GetFileSize(const QString& path) {
  int64_t size = 0;
  TStatusFrame frame(__FILE__, "GetFileSize", __LINE__);
  frame.Run([&] {
    struct stat st {};
    errno = 0;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
      frame.Raise(__LINE__, fsWarning, QStringLiteral("Failed to get file size."), path, {},
                  static_cast<uint32_t>(errno));
    size = st.st_size;
  });
  return frame.Failed() || frame.Local.Status == fsWarning ? 0 : size;
}
