// The real program under Xvfb: showing on start, a single copy, a clean stop on SIGTERM, an
// immediate end on a crash signal.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <csignal>

#include "E2eSession.h"

TEST(Startup, ShowOnStartSingleInstanceAndCleanStop) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());

  session.WriteDirectoryListOptions();
  QProcess* first = session.StartProgram({QStringLiteral("showonstart")});
  ASSERT_TRUE(session.WaitForWindow(QStringLiteral("^Backdropper$"), 20000));
  const QStringList windows = session.FindWindows(QStringLiteral("."), false);

  QProcess* second = session.StartProgram({QStringLiteral("ShowOnStart")});
  EXPECT_EQ(TE2eSession::WaitForExit(second, 2000), 0);
  EXPECT_EQ(session.FindWindows(QStringLiteral("."), false), windows)
      << "the second copy created a window";

  EXPECT_EQ(first->state(), QProcess::Running);
  ::kill(static_cast<pid_t>(first->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(first, 10000), 0);
}

TEST(Startup, HiddenWithoutShowOnStartAndArgumentCountsOnlyFirst) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions();
  QProcess* program = session.StartProgram({QStringLiteral("x"), QStringLiteral("ShowOnStart")});
  QThread::msleep(3000);
  EXPECT_EQ(program->state(), QProcess::Running);
  EXPECT_TRUE(session.FindWindows(QStringLiteral("^Backdropper$")).isEmpty());
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
}

TEST(Startup, ACrashSignalEndsTheProgramAtOnceWithALineInTheLog) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions();
  QProcess* program = session.StartProgram({QStringLiteral("ShowOnStart")});
  ASSERT_TRUE(session.WaitForWindow(QStringLiteral("^Backdropper$"), 20000));
  ::kill(static_cast<pid_t>(program->processId()), SIGSEGV);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 5000), 1);
  QFile log(session.ProgramDir() + QStringLiteral("/Errors.log"));
  ASSERT_TRUE(log.open(QIODevice::ReadOnly));
  EXPECT_TRUE(log.readAll().contains("received signal 11"));
}
