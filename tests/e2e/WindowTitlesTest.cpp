// The real program under Xvfb: every window reaches the window manager with exactly the title
// the program gives it, nothing appended.
#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>

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

// Presses a key in a window until it is gone; keys sent before it has the focus are lost on a busy
// machine.
bool Dismiss(TE2eSession& session, const QString& window, const QString& key) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    session.Run(QStringLiteral("xdotool"),
                {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    QThread::msleep(300);
    session.Run(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
    QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired()) {
      QString out;
      session.Run(QStringLiteral("xdotool"),
                  {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                   QStringLiteral("--name"), QStringLiteral(".")},
                  &out);
      if (!out.split(QLatin1Char('\n')).contains(window)) return true;
      QThread::msleep(100);
    }
  }
  return false;
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

  ASSERT_TRUE(Dismiss(session, error, QStringLiteral("Return")));
  const QString chooser = WaitForTitled(session, QStringLiteral("Choose a directory"));
  ASSERT_FALSE(chooser.isEmpty()) << "no folder chooser";
  EXPECT_EQ(session.WindowTitle(chooser), QStringLiteral("Choose a directory with picture files"));
}

}  // namespace
