// Any bytes in a ".desktop" file load, or fail with a recorded error, without crashing.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdint>
#include <unistd.h>

#include "LinkFile/LinkFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const QString path =
      QDir::tempPath() + QStringLiteral("/DesktopLinkFuzz-%1.desktop").arg(::getpid());
  {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  TLinkFile link;
  if (link.Load(path, size % 2 == 1)) {
    // What loads also saves and loads again.
    const QString copy = path + QStringLiteral(".copy.desktop");
    if (link.Save(copy, true)) link.Load(copy, false);
    QFile::remove(copy);
  }
  QFile::remove(path);
  return 0;
}
