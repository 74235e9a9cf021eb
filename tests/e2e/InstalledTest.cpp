// The program installed under a prefix, as a system package lays it out: every file where
// desktops and software centres look, valid by their own validators, and a copy run from there
// (as root too, with the prefix writable) that reads its data there and writes only under
// $XDG_CONFIG_HOME and $XDG_DATA_HOME.
#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <csignal>

#include "E2eSession.h"

namespace {

// Every entry under `root` with its size and modification time.
QStringList Tree(const QString& root) {
  QStringList entries;
  QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QFileInfo info(it.next());
    entries << info.filePath() + " " + QString::number(info.size()) + " " +
                   info.lastModified().toString(Qt::ISODateWithMs);
  }
  entries.sort();
  return entries;
}

QStringList SkinNames(const QString& dir) {
  return QDir(dir).entryList({"*.wps"}, QDir::Files, QDir::Name);
}

}  // namespace

TEST(Installed, ThePrefixHoldsValidEntriesAndTheProgramNeverWritesThere) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  const QString prefix = session.Root() + "/prefix";
  QString output;
  ASSERT_EQ(session.Run("cmake", {"--install", BACKDROPPER_BUILD_DIR, "--prefix", prefix}, &output,
                        120000),
            0)
      << output.toStdString();

  const QString share = prefix + "/share/";
  QStringList expected = {"bin/Backdropper",
                          "share/backdropper/Help.html",
                          "share/backdropper/Backdropper.png",
                          "share/backdropper/Pictures/Dusk.jpg",
                          "share/man/man1/Backdropper.1.gz",
                          "share/icons/hicolor/scalable/apps/org.backdropper.Backdropper.svg"};
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
    expected << QString("share/icons/hicolor/%1x%1/apps/org.backdropper.Backdropper.png").arg(size);
  for (const QString& skin : SkinNames(QString(BACKDROPPER_SOURCE_DIR) + "/data/CalendarSkins"))
    expected << "share/backdropper/CalendarSkins/" + skin;
  for (const QString& file : expected)
    EXPECT_TRUE(QFileInfo(prefix + "/" + file).isFile()) << file.toStdString();

  const QString desktopFile = share + "applications/org.backdropper.Backdropper.desktop";
  EXPECT_EQ(session.Run("desktop-file-validate", {desktopFile}, &output), 0)
      << output.toStdString();
  EXPECT_TRUE(output.isEmpty()) << output.toStdString();
  EXPECT_EQ(session.Run("appstreamcli",
                        {"validate", "--no-net",
                         share + "metainfo/org.backdropper.Backdropper.metainfo.xml"},
                        &output),
            0)
      << output.toStdString();

  // The first run: options of its own, the pictures that came with it.
  const QString config = session.Environment().value("XDG_CONFIG_HOME") + "/backdropper";
  ASSERT_TRUE(QDir().mkpath(config));
  {
    QFile options(config + "/Backdropper.ini");
    ASSERT_TRUE(options.open(QIODevice::WriteOnly));
    options.write("[DirectoryList]\r\nCount=1\r\nTitle0=" +
                  QFile::encodeName(share + "backdropper/Pictures") +
                  "\r\nActive0=TRUE\r\nRecurs0=FALSE\r\n");
  }
  const QStringList before = Tree(prefix);
  QProcess* program = session.StartProcess(prefix + "/bin/Backdropper", {});
  EXPECT_FALSE(session.WaitForWallpaper().isNull()) << "a picture of the prefix on the desktop";
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 15000), 0);

  EXPECT_EQ(Tree(prefix), before) << "nothing written under the prefix";
  QFile written(config + "/Backdropper.ini");
  ASSERT_TRUE(written.open(QIODevice::ReadOnly));
  EXPECT_TRUE(written.readAll().contains("Hotkey=W")) << "the options were written";
  EXPECT_EQ(SkinNames(config + "/CalendarSkins"), SkinNames(share + "backdropper/CalendarSkins"))
      << "the shipped skins were put where the user keeps theirs";

  // Later runs leave the user's skin folder as the user left it.
  ASSERT_TRUE(QFile::remove(config + "/CalendarSkins/Corner.wps"));
  {
    QFile mine(config + "/CalendarSkins/Paper.wps");
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly | QIODevice::Truncate));
    mine.write("[CalendarSkin]\r\nTextEffect=Outline\r\n");
  }
  program = session.StartProcess(prefix + "/bin/Backdropper", {"ShowOnStart"});
  EXPECT_TRUE(session.WaitForWindow("^Backdropper$", 20000));
  ::kill(static_cast<pid_t>(program->processId()), SIGTERM);
  EXPECT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
  EXPECT_FALSE(QFile::exists(config + "/CalendarSkins/Corner.wps"));
  QFile paper(config + "/CalendarSkins/Paper.wps");
  ASSERT_TRUE(paper.open(QIODevice::ReadOnly));
  EXPECT_EQ(paper.readAll(), "[CalendarSkin]\r\nTextEffect=Outline\r\n");
  EXPECT_EQ(Tree(prefix), before);
}
