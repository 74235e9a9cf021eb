// The real program under Xvfb: every window reaches the window manager with exactly the title
// the program gives it, nothing appended; and a lock file planted by somebody else stops the
// start with a clear error instead of letting a second copy run.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <unistd.h>

#include "E2eSession.h"
#include "QtPrinters.h"

namespace {

// The one window whose title starts with `prefix` (a title with something appended must still be
// found, so that the comparison fails rather than the search).
QString WaitForTitled(TE2eSession& session, const QString& prefix, int timeoutMs = 20000) {
  const QString regex = QLatin1Char('^') + QRegularExpression::escape(prefix);
  QDeadlineTimer deadline(timeoutMs);
  do {
    const QStringList found = session.FindWindows(regex);
    if (!found.isEmpty()) return found.first();
    QThread::msleep(100);
  } while (!deadline.hasExpired());
  return {};
}

TEST(WindowTitles, MainWindowErrorReportAndChooserKeepTheirOwnTitles) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  // An options "file" that is a folder cannot be loaded: the error report opens at start, and
  // with no picture folder read the chooser follows it.
  ASSERT_TRUE(QDir().mkpath(session.ProgramDir() + QStringLiteral("/Backdropper.ini")));
  session.StartProgram({QStringLiteral("ShowOnStart")});

  const QString error = WaitForTitled(session, QStringLiteral("Error"));
  ASSERT_FALSE(error.isEmpty()) << "no error report";
  EXPECT_EQ(session.WindowTitle(error), QStringLiteral("Error"));
  const QString main = WaitForTitled(session, QStringLiteral("Backdropper"));
  ASSERT_FALSE(main.isEmpty());
  EXPECT_EQ(session.WindowTitle(main), QStringLiteral("Backdropper"));

  ASSERT_TRUE(session.PressUntilGone(error, QStringLiteral("Return")));
  const QString chooser = WaitForTitled(session, QStringLiteral("Choose a directory"));
  ASSERT_FALSE(chooser.isEmpty()) << "no folder chooser";
  EXPECT_EQ(session.WindowTitle(chooser), QStringLiteral("Choose a directory with picture files"));
}

// Removes a planted file when the test ends, however it ends.
class TPlanted {
 public:
  explicit TPlanted(QString path) : Path(std::move(path)) {}
  ~TPlanted() { QFile::remove(Path); }
  const QString Path;
};

TEST(WindowTitles, ARefusedLockFileIsAnErrorBoxAndNoSecondCopy) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.WriteDirectoryListOptions();
  // A session without a runtime directory: the lock falls back to /tmp, where anybody may have
  // put a link under its name.
  session.SetVariable(QStringLiteral("XDG_RUNTIME_DIR"), {});
  const QString lock = QStringLiteral("/tmp/Mutex_ProgramInstance_Backdropper-%1").arg(::getuid());
  if (QFileInfo(lock).exists() || QFileInfo(lock).isSymLink())
    GTEST_SKIP() << lock.toStdString() << " is in use here";
  const QString target = session.Root() + QStringLiteral("/planted-target");
  ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(lock).constData()),
            0);
  TPlanted planted(lock);

  const QString errors = session.Root() + QStringLiteral("/stderr.txt");
  QProcess* program = session.StartProcess(
      QStringLiteral("/bin/sh"),
      {QStringLiteral("-c"), QStringLiteral("exec \"$0\" ShowOnStart 2>\"$1\""),
       session.ProgramPath(), errors});
  const QString box = WaitForTitled(session, QStringLiteral("Error"));
  const auto said = [&] {
    QFile text(errors);
    return text.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(text.readAll()) : QString();
  };
  ASSERT_FALSE(box.isEmpty()) << "no error box; running: " << (program->state() != 0)
                              << ", said: " << said().toStdString();
  EXPECT_EQ(session.WindowTitle(box), QStringLiteral("Error"));
  EXPECT_TRUE(session.FindWindows(QStringLiteral("^Backdropper")).isEmpty())
      << "the program started anyway";

  ASSERT_TRUE(session.PressUntilGone(box, QStringLiteral("Return")));
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 1);
  EXPECT_FALSE(QFileInfo::exists(target)) << "the planted link was followed";
  EXPECT_TRUE(said().contains(QStringLiteral("Backdropper cannot start: the file \"") + lock + '"'))
      << said().toStdString();
}

}  // namespace
