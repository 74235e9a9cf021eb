// The real program's first run under Xvfb: with no picture folder it shows its window at once
// with the folder chooser open; the chosen folder is kept in the options, and the end of the
// session while the chooser is still open ends the program cleanly.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <csignal>

#include "E2eSession.h"

namespace {

const QString Chooser = QStringLiteral("^Choose a directory with picture files$");

QStringList DirectoryListLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  QStringList lines;
  bool inside = false;
  for (QString line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
    line.remove(QLatin1Char('\r'));
    if (line.startsWith(QLatin1Char('[')))
      inside = line == QStringLiteral("[DirectoryList]");
    else if (inside && !line.isEmpty())
      lines << line;
  }
  return lines;
}

bool WaitUntilGone(TE2eSession& session, const QString& title, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!session.FindWindows(title).isEmpty()) {
    if (deadline.hasExpired()) return false;
    QThread::msleep(100);
  }
  return true;
}

TEST(FirstRun, TheChooserOpensAndTheChosenFolderIsKept) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString pictures = session.Root() + QStringLiteral("/My Pictures");
  ASSERT_TRUE(QDir().mkpath(pictures));
  QProcess* program = session.StartProgram();  // no "ShowOnStart": shown all the same
  ASSERT_TRUE(session.WaitForWindow(Chooser, 20000));
  EXPECT_FALSE(session.FindWindows(QStringLiteral("^Backdropper$")).isEmpty());

  // Keys typed before the dialog takes the focus are lost on a busy machine: type again then.
  bool gone = false;
  for (int attempt = 0; attempt < 3 && !gone; ++attempt) {
    const QStringList choosers = session.FindWindows(Chooser);
    if (choosers.isEmpty()) break;
    session.Run(QStringLiteral("xdotool"),
                {QStringLiteral("windowfocus"), QStringLiteral("--sync"), choosers.first()});
    QThread::msleep(300);
    session.Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+a")});
    session.Run(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                            QStringLiteral("20"), pictures});
    session.Run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("Return")});
    gone = WaitUntilGone(session, Chooser, 5000);
  }
  EXPECT_TRUE(gone);

  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  ASSERT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
  EXPECT_EQ(DirectoryListLines(session.ProgramDir() + QStringLiteral("/Backdropper.ini")),
            (QStringList{"Count=1", "Title0=" + pictures, "Active0=TRUE", "Recurs0=FALSE"}));
}

TEST(FirstRun, TheEndOfTheSessionWhileTheChooserIsOpenEndsTheProgram) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  QProcess* program = session.StartProgram();
  ASSERT_TRUE(session.WaitForWindow(Chooser, 20000));
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  ASSERT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
  EXPECT_EQ(DirectoryListLines(session.ProgramDir() + QStringLiteral("/Backdropper.ini")),
            QStringList{"Count=0"})
      << "the options are written as at any real close";
}

}  // namespace
