// The real program's main window under Xvfb: the options it was started with are written back
// when it really closes, the whole skin included.
#include <gtest/gtest.h>

#include <QFile>
#include <csignal>

#include "E2eSession.h"

namespace {

QString ReadText(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList SectionLines(const QString& text, const QString& section) {
  QStringList lines;
  bool inside = false;
  for (QString line : text.split(QLatin1Char('\n'))) {
    line.remove(QLatin1Char('\r'));
    if (line.startsWith(QLatin1Char('['))) {
      inside = line == QLatin1Char('[') + section + QLatin1Char(']');
    } else if (inside && line.contains(QLatin1Char('='))) {
      lines << line;
    }
  }
  return lines;
}

TEST(MainWindow, OptionsAreWrittenBackAtARealClose) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString options = session.ProgramDir() + QStringLiteral("/Backdropper.ini");
  {
    QFile file(options);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        "[Main]\r\nHotkey=Q\r\nHideOnClose=FALSE\r\n"
        "[CalendarSkin]\r\nTextEffect=Shadow\r\nYearTextColor=255\r\n"
        "[DirectoryList]\r\nCount=1\r\nTitle0=" +
        QFile::encodeName(session.Root()) + "\r\nActive0=TRUE\r\nRecurs0=FALSE\r\n");
  }
  QProcess* program = session.StartProgram({QStringLiteral("ShowOnStart")});
  ASSERT_TRUE(session.WaitForWindow(QStringLiteral("^Backdropper$"), 20000));
  // The end of the session takes the same path as the Close label.
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  ASSERT_EQ(TE2eSession::WaitForExit(program, 10000), 0);

  const QString text = ReadText(options);
  const QStringList main = SectionLines(text, QStringLiteral("Main"));
  EXPECT_TRUE(main.contains(QStringLiteral("Hotkey=Q"))) << text.toStdString();
  EXPECT_TRUE(main.contains(QStringLiteral("HideOnClose=FALSE")));
  const QStringList skin = SectionLines(text, QStringLiteral("CalendarSkin"));
  EXPECT_EQ(skin.size(), 91);
  EXPECT_TRUE(skin.contains(QStringLiteral("TextEffect=Shadow")));
  EXPECT_TRUE(skin.contains(QStringLiteral("YearTextColor=255")));
  EXPECT_TRUE(skin.contains(QStringLiteral("MonthTextColor=1666745")));
}

TEST(MainWindow, HiddenAtStartAndShownByAClickOnTheTrayIcon) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  session.StartTrayHost();
  session.WriteDirectoryListOptions();
  QProcess* program = session.StartProgram();
  const QStringList icons = session.WaitForTrayIcons();
  ASSERT_EQ(icons.size(), 1) << "no tray icon appeared";
  EXPECT_TRUE(session.FindWindows(QStringLiteral("^Backdropper$")).isEmpty())
      << "without ShowOnStart the window starts hidden";

  session.Run(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QStringLiteral("--window"),
                                          icons.first(), QStringLiteral("8"), QStringLiteral("8"),
                                          QStringLiteral("click"), QStringLiteral("1")});
  EXPECT_TRUE(session.WaitForWindow(QStringLiteral("^Backdropper$"), 10000))
      << "a click on the icon shows the window";
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 10000), 0);
}

}  // namespace
