#include "Program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdlib>
#include <unistd.h>

#include "Error/Error.h"
#include "Platform/InstanceLock.h"
#include "Platform/ProcessInfo.h"

#ifndef BACKDROPPER_DATA_DIR
#define BACKDROPPER_DATA_DIR "/usr/local/share/backdropper"
#endif

QString GetProgramFilePath() {
  return Platform::ExecutablePath();
}

QString GetProgramDirectory() {
  const QString path = GetProgramFilePath();
  return path.left(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString GetProgramFileName() {
  const QString path = GetProgramFilePath();
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString GetProgramParameter(int index) {
  const QStringList args = Platform::CommandLineArguments();
  return index >= 0 && index < args.size() ? args.at(index) : QString();
}

namespace {

// A copy that carries its data files beside itself: portable or self-installed.
bool HasDataBesideItself() {
  return QFileInfo::exists(GetProgramDirectory() + QStringLiteral("Help.html"));
}

}  // namespace

QString GetProgramWriteDirectory() {
  // An installed copy never writes beside itself, even when it could (run as root).
  const QString dir = GetProgramDirectory();
  if (HasDataBesideItself() && ::access(QFile::encodeName(dir).constData(), W_OK) == 0) return dir;
  QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  const QString own = config + QStringLiteral("/backdropper/");
  QDir().mkpath(own);
  return own;
}

QString GetProgramDataDirectory() {
  if (HasDataBesideItself()) return GetProgramDirectory();
  // Installed under a prefix: <prefix>/bin/Backdropper reads <prefix>/share/backdropper, wherever
  // the prefix was moved to; the configured prefix is the last resort.
  const QString installed =
      QDir::cleanPath(GetProgramDirectory() + QStringLiteral("../share/backdropper")) +
      QLatin1Char('/');
  if (QFileInfo::exists(installed + QStringLiteral("Help.html"))) return installed;
  return QStringLiteral(BACKDROPPER_DATA_DIR "/");
}

void PrepareSkinDirectory() {
  const QString own = GetProgramWriteDirectory() + QStringLiteral("CalendarSkins");
  if (QFileInfo::exists(own)) return;
  // A failure leaves the skin commands to report any problem later.
  if (!QDir().mkpath(own)) return;
  // The first time, the skins that ship are put where the user keeps theirs; the folder is new,
  // so no file of the user's is written over.
  const QDir shipped(GetProgramDataDirectory() + QStringLiteral("CalendarSkins"));
  if (shipped.absolutePath() == QDir(own).absolutePath()) return;
  for (const QString& name : shipped.entryList({QStringLiteral("*.wps")}, QDir::Files))
    QFile::copy(shipped.filePath(name), own + QLatin1Char('/') + name);
}

bool CheckProgramInstance(const QString& name, QString* refusal) {
  const QString lockName = QStringLiteral("Mutex_ProgramInstance_") + name;
  switch (Platform::AcquireInstanceLock(lockName)) {
    case Platform::LockResult::HeldElsewhere:
      return true;
    case Platform::LockResult::Refused:
      // Running anyway could make a second copy; quitting without a word would look like a
      // program that does not start.
      if (refusal)
        *refusal = QStringLiteral(
                       "%1 cannot start: the file \"%2\", which keeps it from running twice, "
                       "was not made by you (it belongs to another user, or is a link or not a "
                       "plain file).\nRemove that file (ask the administrator if you cannot) and "
                       "start %1 again.")
                       .arg(name, Platform::InstanceLockPath(lockName));
      return true;
    case Platform::LockResult::Acquired:
    case Platform::LockResult::Unavailable:
      break;
  }
  return false;
}

void ReleaseProgramInstance() {
  Platform::ReleaseInstanceLock();
}

bool IsInstallerFileName(const QString& fileName) {
  return fileName.compare(QStringLiteral("Install"), Qt::CaseInsensitive) == 0 ||
         fileName.compare(QStringLiteral("Install.exe"), Qt::CaseInsensitive) == 0;
}

bool IsInstallMode() {
  if (IsInstallerFileName(GetProgramFileName())) return true;
  return GetProgramParameter(1).compare(QStringLiteral("/Uninstall"), Qt::CaseInsensitive) == 0;
}

void TerminateProgramFun() {
  const QString description = QStringLiteral("Abort intercepted.\r\nProgram must be terminated.");
  FunStatContext.SetRaise(QStringLiteral(__FILE__), QStringLiteral("TerminateProgramFun"), __LINE__,
                          fsError, description, {}, {}, 0);
  FunStatContext.SetShow(QStringLiteral(__FILE__), QStringLiteral("TerminateProgramFun"), __LINE__);
  if (HasReportSink()) FunStatContext.Show(description);
  FunStatContext.Reset(fsPerfect);
  std::_Exit(1);
}
