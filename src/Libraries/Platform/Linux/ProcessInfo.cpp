#include "Platform/ProcessInfo.h"

#include <QFile>
#include <QFileInfo>
#include <climits>
#include <unistd.h>

#include "Platform/Linux/ProcFs.h"

namespace Platform {

QString ProcessExecutablePath(const QString& processDirectory) {
  char buffer[PATH_MAX + 1];
  const QByteArray link = QFile::encodeName(processDirectory + QStringLiteral("/exe"));
  const ssize_t n = ::readlink(link.constData(), buffer, PATH_MAX);
  if (n <= 0) return {};
  QString path = QString::fromLocal8Bit(buffer, n);
  // A program file replaced while running (an update) still names its new file.
  const QString deleted = QStringLiteral(" (deleted)");
  if (path.endsWith(deleted) && !QFileInfo::exists(path)) path.chop(deleted.size());
  return path;
}

QStringList ProcessArguments(const QString& processDirectory) {
  QFile file(processDirectory + QStringLiteral("/cmdline"));
  QStringList args;
  if (!file.open(QIODevice::ReadOnly)) return args;
  const QByteArray all = file.readAll();
  if (all.isEmpty()) return args;
  for (const QByteArray& arg : all.split('\0')) args << QString::fromLocal8Bit(arg);
  // Every argument ends with a NUL, so the split leaves one empty piece behind the last.
  if (!args.isEmpty() && all.endsWith('\0')) args.removeLast();
  return args;
}

QString ExecutablePath() {
  return ProcessExecutablePath(QStringLiteral("/proc/self"));
}

QStringList CommandLineArguments() {
  return ProcessArguments(QStringLiteral("/proc/self"));
}

}  // namespace Platform
