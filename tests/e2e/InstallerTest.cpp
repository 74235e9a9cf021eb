// The real program under Xvfb as a downloaded "Install": it installs into ~/.local/opt of a
// private home with valid menu and desktop entries and starts the installed copy, whose
// "/Uninstall" then leaves nothing of the installation behind and the download untouched.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QXmlStreamReader>
#include <csignal>
#include <unistd.h>

#include "E2eSession.h"
#include "QtPrinters.h"

namespace {

// Every file below `dir` with the hash of its content.
QMap<QString, QByteArray> Snapshot(const QString& dir) {
  QMap<QString, QByteArray> files;
  QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha1);
    if (file.open(QIODevice::ReadOnly)) hash.addData(&file);
    files.insert(path.mid(dir.size()), hash.result().toHex());
  }
  return files;
}

// The process whose program file is `program`, once there is one; 0 on a time-out.
pid_t WaitForProcessOf(const QString& program, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  do {
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
      bool number = false;
      const pid_t pid = entry.toInt(&number);
      if (number && QFileInfo(QStringLiteral("/proc/%1/exe").arg(pid)).symLinkTarget() == program)
        return pid;
    }
    QThread::msleep(100);
  } while (!deadline.hasExpired());
  return 0;
}

bool WaitForEnd(pid_t pid, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (::kill(pid, 0) == 0) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(100);
  }
  return true;
}

// Presses `key` in the window titled `title` until that window is gone or one titled `next`
// opened.
bool Press(TE2eSession& session, const QString& title, const QString& key,
           const QString& next = {}) {
  if (!session.WaitForWindow(title, 20000)) return false;
  const QString window = session.FindWindows(title).value(0);
  return window.isEmpty() || session.PressUntilGone(window, key, [&] {
    return !next.isEmpty() && !session.FindWindows(next).isEmpty();
  });
}

QString Validate(TE2eSession& session, const QString& file) {
  QString out;
  const int code = session.Run(QStringLiteral("desktop-file-validate"), {file}, &out);
  return code == 0 && !out.contains(QStringLiteral("error:")) ? QString() : out + file;
}

TEST(Installer, InstallsFromADownloadStartsTheCopyAndUninstallLeavesNothing) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString env = session.Root() + QLatin1Char('/');
  const QString home = env + QStringLiteral("home/");
  const QString download = env + QStringLiteral("Downloads/Backdropper-1.1.9/");
  ASSERT_TRUE(QDir().mkpath(download));
  QDirIterator it(session.ProgramDir(), QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString from = it.next();
    QString to = download + from.mid(session.ProgramDir().size() + 1);
    if (from == session.ProgramPath()) to = download + QStringLiteral("Install");
    QDir().mkpath(QFileInfo(to).path());
    ASSERT_TRUE(::link(QFile::encodeName(from), QFile::encodeName(to)) == 0 ||
                QFile::copy(from, to));
  }
  const QMap<QString, QByteArray> downloaded = Snapshot(download);

  QProcess* installer = session.StartProcess(download + QStringLiteral("Install"), {});
  ASSERT_TRUE(session.WaitForWindow(QStringLiteral("^Install Backdropper$"), 20000));
  QThread::msleep(500);
  const QImage screen = session.Screenshot();
  const QString shots =
      QFileInfo(QStringLiteral(BACKDROPPER_BINARY)).absolutePath() + QStringLiteral("/screenshots");
  QDir().mkpath(shots);
  screen.save(shots + QStringLiteral("/installer.png"));

  ASSERT_TRUE(Press(session, QStringLiteral("^Install Backdropper$"), QStringLiteral("alt+i"),
                    QStringLiteral("^Query$")));
  ASSERT_TRUE(Press(session, QStringLiteral("^Query$"), QStringLiteral("alt+y")));
  EXPECT_EQ(TE2eSession::WaitForExit(installer, 20000), 0);

  const QString target = home + QStringLiteral(".local/opt/Backdropper-1.1.9/");
  const pid_t installed = WaitForProcessOf(target + QStringLiteral("Backdropper"), 20000);
  ASSERT_NE(installed, 0) << "the installed copy did not start";
  EXPECT_FALSE(QFileInfo::exists(target + QStringLiteral("Install")));
  // Its first run asks for a picture folder; ended, it writes its options and autostart entry.
  EXPECT_TRUE(session.WaitForWindow(QStringLiteral("^Choose a directory with picture files$")));
  ::kill(installed, SIGTERM);
  ASSERT_TRUE(WaitForEnd(installed, 10000));

  const QString data = env + QStringLiteral("xdg_data_home/");
  const QString config = env + QStringLiteral("xdg_config_home/");
  const QString group = data + QStringLiteral("applications/Backdropper-1.1.9/");
  const QStringList entries = {
      home + QStringLiteral("Desktop/Backdropper.desktop"),
      group + QStringLiteral("Backdropper.desktop"),
      group + QStringLiteral("Uninstall.desktop"),
      group + QStringLiteral("Readme.desktop"),
      data + QStringLiteral("desktop-directories/backdropper-Backdropper-1.1.9.directory"),
      config + QStringLiteral("autostart/Backdropper.desktop"),
  };
  for (const QString& entry : entries) {
    EXPECT_TRUE(QFileInfo::exists(entry)) << qPrintable(entry);
    EXPECT_EQ(Validate(session, entry), QString());
  }
  QFile menu(config +
             QStringLiteral("menus/applications-merged/backdropper-Backdropper-1.1.9.menu"));
  ASSERT_TRUE(menu.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&menu);
  while (!xml.atEnd()) xml.readNext();
  EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
  menu.close();
  QFile hive(config + QStringLiteral("backdropper/registry/HKEY_LOCAL_MACHINE.ini"));
  ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
  EXPECT_TRUE(hive.readAll().contains("UninstallString=" + QFile::encodeName(target) +
                                      "Backdropper /Uninstall\r\n"));
  hive.close();

  QProcess* uninstaller =
      session.StartProcess(target + QStringLiteral("Backdropper"), {QStringLiteral("/Uninstall")});
  ASSERT_TRUE(Press(session, QStringLiteral("^Uninstall Backdropper$"), QStringLiteral("alt+i"),
                    QStringLiteral("^Query$")));
  ASSERT_TRUE(Press(session, QStringLiteral("^Query$"), QStringLiteral("alt+y")));
  ASSERT_TRUE(Press(session, QStringLiteral("^Message$"), QStringLiteral("Return")));
  EXPECT_EQ(TE2eSession::WaitForExit(uninstaller, 20000), 0);

  EXPECT_FALSE(QFileInfo::exists(target));
  // Nothing outside the download and the test's own program copy names the installation.
  const QByteArray mark = QFile::encodeName(target.chopped(1));
  QDirIterator left(env, QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
  while (left.hasNext()) {
    const QString path = left.next();
    if (path.startsWith(env + QStringLiteral("Downloads/")) ||
        path.startsWith(session.ProgramDir()))
      continue;
    EXPECT_FALSE(path.contains(QStringLiteral("Backdropper-1.1.9"))) << qPrintable(path);
    QFile file(path);
    if (QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly)) {
      EXPECT_FALSE(file.readAll().contains(mark)) << qPrintable(path);
    }
  }
  EXPECT_FALSE(QFileInfo::exists(config + QStringLiteral("autostart/Backdropper.desktop")));
  EXPECT_EQ(Snapshot(download), downloaded);
}

}  // namespace
