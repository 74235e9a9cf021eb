// Registry values kept in the per-user and machine hive files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "Error/Error.h"
#include "Platform/RegistryStore.h"
#include "QtPrinters.h"
#include "Registry.h"
#include "SettingsLimits.h"

TEST(Registry, ProgramValueRoundTripsThroughTheHiveFile) {
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange"), "");
  EXPECT_EQ(FunStatContext.Status, fsPerfect) << "a missing key records nothing";

  SetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange", "/p/a b.jpg");
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "BroadcastWallpaperChange"), "/p/a b.jpg");
  EXPECT_EQ(GetRegistryText(TRegistryRoot::CurrentUser, "software\\backdropper",
                            "broadcastwallpaperchange"),
            "/p/a b.jpg");

  QFile hive(Platform::RegistryHivePath(false));
  ASSERT_TRUE(hive.open(QIODevice::ReadOnly));
  EXPECT_EQ(hive.readAll(),
            QByteArray("[Software\\Backdropper]\r\nBroadcastWallpaperChange=/p/a b.jpg\r\n\r\n"));
}

TEST(Registry, UninstallEntryIsWrittenToTheMachineHiveAndDeleted) {
  SetUninstallRegistry("Backdropper", "Backdropper", "/opt/Backdropper /Uninstall");
  const QString key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Backdropper";
  EXPECT_EQ(GetRegistryText(TRegistryRoot::LocalMachine, key, "DisplayName"), "Backdropper");
  EXPECT_EQ(GetRegistryText(TRegistryRoot::LocalMachine, key, "UninstallString"),
            "/opt/Backdropper /Uninstall");
  EXPECT_EQ(GetRegistryText(TRegistryRoot::CurrentUser, key, "DisplayName"), "");
  DeleteUninstallerRegistry("Backdropper");
  EXPECT_EQ(GetRegistryText(TRegistryRoot::LocalMachine, key, "DisplayName"), "");
}

TEST(Registry, AnUnwritableHiveRecordsAnErrorAndKeepsTheOldValue) {
  SetProgramRegistryText("Backdropper", "", "V", "old");
  const QString path = Platform::RegistryHivePath(false);
  // A folder standing where the new file must go makes the replace fail, for root too.
  QFile::rename(path, path + ".keep");
  QDir().mkpath(path + "/x");
  SetProgramRegistryText("Backdropper", "", "V", "new");
  EXPECT_EQ(FunStatContext.Status, fsError);
  QDir(path).removeRecursively();
  QFile::rename(path + ".keep", path);
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "V"), "old");
}

TEST(Registry, AHiveOverTheSizeCapIsAnErrorAndIsLeftWhole) {
  const QString path = Platform::RegistryHivePath(false);
  QDir().mkpath(QFileInfo(path).path());
  const QByteArray head = "[Software\\Backdropper]\r\nV=kept\r\n";
  auto writeHive = [&](qint64 size) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(head);
    ASSERT_TRUE(file.resize(size));  // sparse: the rest reads as zero bytes
  };

  writeHive(MaxSettingsFileSize);
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "V"), "kept");
  EXPECT_EQ(FunStatContext.Status, fsPerfect) << "a hive of exactly the cap is still read";

  writeHive(MaxSettingsFileSize + 1);
  EXPECT_EQ(GetProgramRegistryText("Backdropper", "", "V"), "");
  EXPECT_EQ(FunStatContext.Status, fsError);
  EXPECT_TRUE(FunStatContext.Description.contains("is larger than 64 MiB"))
      << FunStatContext.Description.toStdString();
  SetProgramRegistryText("Backdropper", "", "V", "new");
  EXPECT_EQ(FunStatContext.Status, fsError);
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  EXPECT_EQ(file.size(), MaxSettingsFileSize + 1) << "written back from a part";
  EXPECT_EQ(file.read(head.size()), head);
  file.close();
  QFile::remove(path);
}
