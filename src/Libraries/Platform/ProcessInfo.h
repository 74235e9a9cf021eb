// The running process as the system sees it: its program file and its command line.
#pragma once

#include <QString>
#include <QStringList>

namespace Platform {

// The full path of the running program file; empty when the system does not say.
QString ExecutablePath();
// The arguments the process was started with, the program as started first; empty when the
// system does not say.
QStringList CommandLineArguments();

}  // namespace Platform
