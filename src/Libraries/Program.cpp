#include "Program.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <cstdio>
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

namespace {

QString WriteDirectory(bool create) {
  // An installed copy never writes beside itself, even when it could (run as root).
  const QString dir = GetProgramDirectory();
  if (HasDataBesideItself() && ::access(QFile::encodeName(dir).constData(), W_OK) == 0) return dir;
  QString config = QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"));
  if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
  const QString own = config + QStringLiteral("/backdropper/");
  if (create) QDir().mkpath(own);
  return own;
}

const char* const Usage =
    "Usage: %1 [COMMAND]\n"
    "       %1 --help | --version\n"
    "\n"
    "Changes the desktop wallpaper from your picture folders, fitted to the screen, with a month\n"
    "calendar painted on it. It lives in the tray; only one copy runs at a time.\n"
    "\n"
    "Commands (any letter case):\n"
    "  (none)       start hidden in the tray; to a running copy: nothing\n"
    "  ShowOnStart  start with the window shown; to a running copy: show its window\n"
    "  Next         show the next picture\n"
    "  Previous     show the previous picture\n"
    "  Random       show a random picture\n"
    "               (passed to the running copy; with none running, it starts and takes the\n"
    "               step once its pictures are listed)\n"
    "  /Uninstall   remove this installed copy, its menu entries and links\n"
    "A copy of the program named Install installs the folder it is in (asks where).\n"
    "\n"
    "Options:\n"
    "  --help       print this text and exit\n"
    "  --version    print the version and exit\n"
    "\n"
    "Settings, error log and calendar skins of this copy: %2\n"
    "  (Backdropper.ini, Errors.log, CalendarSkins/)\n"
    "The composed wallpaper: $XDG_DATA_HOME/backdropper/\n"
    "\n"
    "Exit status: 0, also for a command the running copy took; 1 when a command could not be\n"
    "passed on or an error ended the program; 2 for an unknown option.\n";

}  // namespace

QString GetProgramWriteDirectory() {
  return WriteDirectory(true);
}

std::optional<int> AnswerInformationOption(int argc, char** argv) {
  if (argc < 2) return std::nullopt;
  const QString option = QString::fromLocal8Bit(argv[1]);
  if (!option.startsWith(QLatin1Char('-'))) return std::nullopt;
  if (option == QLatin1String("--version")) {
    std::printf("%s %s\n", ProgramName, BACKDROPPER_VERSION);
    return 0;
  }
  const bool help = option == QLatin1String("--help") || option == QLatin1String("-h");
  const QByteArray text = QString::fromLatin1(Usage)
                              .arg(QLatin1String(ProgramName), WriteDirectory(false))
                              .toLocal8Bit();
  if (!help) std::fprintf(stderr, "%s: unknown option \"%s\"\n", ProgramName, argv[1]);
  std::fputs(text.constData(), help ? stdout : stderr);
  return help ? 0 : 2;
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
