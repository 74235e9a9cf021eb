// Text values under the per-user and machine hives, kept in files of the settings format.
#pragma once

#include <QString>

enum class TRegistryRoot { CurrentUser, LocalMachine };

QString GetRegistryText(TRegistryRoot root, const QString& key, const QString& valueName);
void SetRegistryText(TRegistryRoot root, const QString& key, const QString& valueName,
                     const QString& text);
QString GetProgramRegistryText(const QString& program, const QString& subKey,
                               const QString& valueName);
void SetProgramRegistryText(const QString& program, const QString& subKey, const QString& valueName,
                            const QString& text);
void SetUninstallRegistry(const QString& keyName, const QString& displayName,
                          const QString& uninstallCommand);
void DeleteUninstallerRegistry(const QString& keyName);
// The machine-hive key of the uninstall entry `keyName`.
QString UninstallRegistryKey(const QString& keyName);

// The per-program key: "Software\" + program + "\" + sub-key.
QString ProgramRegistryKey(const QString& program, const QString& subKey);
