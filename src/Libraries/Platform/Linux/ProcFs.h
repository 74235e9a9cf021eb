// A process as /proc describes it; `processDirectory` is "/proc/self" or "/proc/<pid>".
#pragma once

#include <QString>
#include <QStringList>

namespace Platform {

QString ProcessExecutablePath(const QString& processDirectory);
QStringList ProcessArguments(const QString& processDirectory);

}  // namespace Platform
