// The real program under Xvfb: showing on start, a single copy, a clean stop on SIGTERM, an
// immediate end on a crash signal, an options file with a bad value.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
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
  QStringList windows = session.FindWindows(QStringLiteral("."), false);
  windows.sort();

  // It only asks the running copy to show its window, which may restack.
  QProcess* second = session.StartProgram({QStringLiteral("ShowOnStart")});
  EXPECT_EQ(TE2eSession::WaitForExit(second, 15000), 0);
  QStringList after = session.FindWindows(QStringLiteral("."), false);
  after.sort();
  EXPECT_EQ(after, windows) << "the second copy created a window";

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

// A hand-edited colour the program cannot read costs that colour only: stopped while its report
// is still open, the program writes back both folders, their flags and the other settings. The
// editor saved a byte-order mark, which must not cost the first section.
TEST(Startup, ABadValueInTheOptionsLosesNoFolder) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QByteArray one = QFile::encodeName(session.Root() + "/One");
  const QByteArray two = QFile::encodeName(session.Root() + "/Two");
  ASSERT_TRUE(QDir().mkpath(QString::fromUtf8(one)) && QDir().mkpath(QString::fromUtf8(two)));
  const QString path = session.ProgramDir() + "/Backdropper.ini";
  QByteArray original =
      "\xEF\xBB\xBF[Wallpaper]\r\nFillingPictureColor=reddish\r\nGammaPicture=250\r\n"
      "[DirectoryList]\r\nCount=2\r\nTitle0=" +
      one + "\r\nActive0=FALSE\r\nRecurs0=TRUE\r\nTitle1=" + two +
      "\r\nActive1=TRUE\r\nRecurs1=FALSE\r\n";
  {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
  }
  QProcess* program = session.StartProgram();
  ASSERT_TRUE(session.WaitForWindow(QStringLiteral("^Error"), 20000));
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  ASSERT_EQ(TE2eSession::WaitForExit(program, 10000), 0);

  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray saved = file.readAll();
  for (const QByteArray& line : QList<QByteArray>{
           "GammaPicture=250", "FillingPictureColor=0", "Count=2", "Title0=" + one, "Active0=FALSE",
           "Recurs0=TRUE", "Title1=" + two, "Active1=TRUE", "Recurs1=FALSE"})
    EXPECT_TRUE(saved.contains("\r\n" + line + "\r\n")) << line.constData();
  QFile copy(path + ".bad");
  ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
  EXPECT_EQ(copy.readAll(), original);
}
