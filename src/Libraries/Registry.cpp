#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>

#include "Error/Error.h"
#include "File/File.h"
#include "StoredTextList/MemIniFile.h"
#include "Platform/RegistryStore.h"
#include "SettingsLimits.h"

namespace {

QString HivePath(TRegistryRoot root) {
  return Platform::RegistryHivePath(root == TRegistryRoot::LocalMachine);
}

// Key paths are compared without a trailing delimiter: "Software\P\" and "Software\P" are one key.
QString SectionOf(const QString& key) {
  QString section = key;
  while (section.endsWith(QLatin1Char('\\'))) section.chop(1);
  return section;
}

// A hive that cannot be read whole is an error: written back from a part, it would lose the rest.
TMemIniFile ReadHive(TRegistryRoot root) {
  TMemIniFile hive(HivePath(root));
  QFile file(hive.FileName);
  if (!file.exists()) return hive;
  if (!file.open(QIODevice::ReadOnly))
    THROW_ERROR(QStringLiteral("Cannot open registry file \"%1\": %2")
                    .arg(hive.FileName, file.errorString()));
  const QByteArray content = file.read(MaxSettingsFileSize + 1);
  if (file.error() != QFileDevice::NoError)
    THROW_ERROR(QStringLiteral("Cannot read registry file \"%1\": %2")
                    .arg(hive.FileName, file.errorString()));
  if (content.size() > MaxSettingsFileSize)
    THROW_ERROR(QStringLiteral("Registry file \"%1\" is larger than %2 MiB.")
                    .arg(hive.FileName)
                    .arg(MaxSettingsFileSize / (1024 * 1024)));
  hive.Parse(content);
  return hive;
}

void WriteHive(const TMemIniFile& hive) {
  QDir().mkpath(QFileInfo(hive.FileName).path());
  if (!WriteFileAtomically(hive.FileName, hive.Serialize()))
    THROW_ERROR(QStringLiteral("Cannot write registry file: ") + SystemErrorText(errno));
}

const QString UninstallKey =
    QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\");

}  // namespace

QString UninstallRegistryKey(const QString& keyName) {
  return UninstallKey + keyName;
}

QString ProgramRegistryKey(const QString& program, const QString& subKey) {
  return QStringLiteral("Software\\") + program + QLatin1Char('\\') + subKey;
}

QString GetRegistryText(TRegistryRoot root, const QString& key, const QString& valueName) {
  QString text;
  TStatusFrame frame(__FILE__, "GetRegistryText", __LINE__);
  frame.Run([&] { text = ReadHive(root).ReadString(SectionOf(key), valueName, QString()); });
  return text;
}

void SetRegistryText(TRegistryRoot root, const QString& key, const QString& valueName,
                     const QString& text) {
  TStatusFrame frame(__FILE__, "SetRegistryText", __LINE__);
  frame.Run([&] {
    TMemIniFile hive = ReadHive(root);
    hive.WriteString(SectionOf(key), valueName, text);
    WriteHive(hive);
  });
}

QString GetProgramRegistryText(const QString& program, const QString& subKey,
                               const QString& valueName) {
  return GetRegistryText(TRegistryRoot::CurrentUser, ProgramRegistryKey(program, subKey),
                         valueName);
}

void SetProgramRegistryText(const QString& program, const QString& subKey, const QString& valueName,
                            const QString& text) {
  SetRegistryText(TRegistryRoot::CurrentUser, ProgramRegistryKey(program, subKey), valueName, text);
}

void SetUninstallRegistry(const QString& keyName, const QString& displayName,
                          const QString& uninstallCommand) {
  TStatusFrame frame(__FILE__, "SetUninstallRegistry", __LINE__);
  frame.Run([&] {
    TMemIniFile hive = ReadHive(TRegistryRoot::LocalMachine);
    hive.WriteString(UninstallKey + keyName, QStringLiteral("DisplayName"), displayName);
    hive.WriteString(UninstallKey + keyName, QStringLiteral("UninstallString"), uninstallCommand);
    WriteHive(hive);
  });
}

void DeleteUninstallerRegistry(const QString& keyName) {
  TStatusFrame frame(__FILE__, "DeleteUninstallerRegistry", __LINE__);
  frame.Run([&] {
    TMemIniFile hive = ReadHive(TRegistryRoot::LocalMachine);
    hive.EraseSection(UninstallKey + keyName);
    WriteHive(hive);
  });
}
