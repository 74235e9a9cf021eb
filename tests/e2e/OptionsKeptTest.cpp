// Nothing lost: the options reach the file within seconds of a change, so a program killed or
// left without its display keeps them; an options file that cannot be read is told once and
// never written over; a copy started as another closes gets the bus name and the hot keys; a
// command given with no copy running starts one that carries it out.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <csignal>
#include <unistd.h>

#include "E2eSession.h"
#include "ProgramWindow.h"

namespace {

QString CurrentPicture(const TE2eSession& session) {
  return session.Options().ReadString("Wallpaper", "LastFileTitle", {});
}

bool CallNext(TE2eSession& session) {
  return session.Run("dbus-send",
                     {"--session", "--print-reply", "--dest=org.backdropper.Backdropper",
                      "/org/backdropper/Control", "org.backdropper.Control.Next"}) == 0;
}

}  // namespace

TEST(OptionsKept, AChangeOutlivesAKillAndTheLossOfTheDisplay) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions(session.PicturesDir());
  QProcess* program = session.StartProgram();
  ASSERT_FALSE(session.WaitForWallpaper().isNull());
  QString first;
  ASSERT_TRUE(WaitUntil([&] { return !(first = CurrentPicture(session)).isEmpty(); }, 6000))
      << "the first picture is written without a close";

  ASSERT_TRUE(CallNext(session));
  ASSERT_TRUE(WaitUntil([&] { return CurrentPicture(session) != first; }, 6000));
  ::kill(static_cast<pid_t>(program->processId()), SIGKILL);
  TE2eSession::WaitForExit(program, 10000);
  const QString next = CurrentPicture(session);
  EXPECT_TRUE(next.startsWith(session.PicturesDir())) << next.toStdString();

  // A setting changed in the window, then the X server goes away before the writer's turn.
  const bool random = session.Options().ReadString("Wallpaper", "IsRandomWallpaper", {}) == "TRUE";
  program = session.StartProgram({"ShowOnStart"});
  TProgramWindow window(session);
  ASSERT_TRUE(window.Find());
  window.Click(&TMainForm::RandomWallpaperCheckBox);
  // The click is on its way to the program well before the writer's two seconds are up; the
  // program takes the events the server sent before it notices the server is gone.
  QThread::msleep(300);
  session.StopDisplay();
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 1) << "Qt ends a program without display";
  EXPECT_EQ(session.Options().ReadString("Wallpaper", "IsRandomWallpaper", {}),
            random ? "FALSE" : "TRUE");
  EXPECT_EQ(CurrentPicture(session), next);
}

TEST(OptionsKept, AnOptionsFileNobodyMayReadIsToldOnceAndNeverWrittenOver) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions(session.PicturesDir());
  const QString path = session.ProgramDir() + "/Backdropper.ini";
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  const QByteArray original = file.readAll();
  file.close();
  ASSERT_TRUE(file.setPermissions({}));
  // Root reads any file: the program runs without that power, as a user's copy would.
  QProcess* program =
      ::geteuid() == 0
          ? session.StartProcess(
                "setpriv", {"--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search",
                            "--", session.ProgramPath()})
          : session.StartProgram();
  ASSERT_TRUE(session.WaitForWindow("^Error", 20000));
  QThread::msleep(3000);
  EXPECT_EQ(session.FindWindows("^Error").size(), 1) << "told once";
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);

  ASSERT_TRUE(file.setPermissions(QFile::ReadOwner | QFile::WriteOwner));
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.readAll(), original);
  EXPECT_FALSE(QFileInfo::exists(path + ".bad"));
}

TEST(OptionsKept, ACopyStartedAsAnotherClosesAnswersOnTheBusAndTheHotKeys) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions(session.PicturesDir());
  QProcess* program = session.StartProgram();
  for (int pair = 0; pair < 20; ++pair) {
    SCOPED_TRACE(pair);
    ASSERT_TRUE(WaitUntil([&] { return CallNext(session); }, 20000)) << "the copy answers";
    ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
    // Started again and again while the old copy closes: a start that still finds it running
    // passes on nothing and ends at once; the first one after it is the new copy.
    QProcess* next = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
          next = session.StartProgram();
          return TE2eSession::WaitForExit(next, 1500) == -1;
        },
        20000));
    EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
    program = next;
  }
  ASSERT_TRUE(WaitUntil([&] { return CallNext(session); }, 20000));
  const QImage shown = session.WaitForWallpaper();
  ASSERT_FALSE(shown.isNull());
  session.Run("xdotool", {"key", "ctrl+shift+w"});
  EXPECT_FALSE(session.WaitForWallpaper(shown).isNull()) << "the hot key is this copy's";
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
}

TEST(OptionsKept, ACommandWithNoCopyRunningStartsOneThatCarriesItOut) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString first = session.PicturesDir() + "/Meadow.jpg";
  WriteQuietOptions(session, first, session.PicturesDir());
  QProcess* program = session.StartProgram({"Next"});
  EXPECT_TRUE(WaitUntil(
      [&] {
        const QString now = CurrentPicture(session);
        return !now.isEmpty() && now != first;
      },
      10000))
      << "the step was taken";
  EXPECT_EQ(program->state(), QProcess::Running) << "and the copy stays";
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
}
