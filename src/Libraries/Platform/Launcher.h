// Starting a file or address with the user's associated program.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace Platform {

class ILauncher {
 public:
  virtual ~ILauncher() = default;
  // Opens a file or URL with its associated program, detached; false when it cannot start.
  virtual bool Open(const QString& target) = 0;
  // Starts a program with exactly these arguments, detached, without a shell.
  virtual bool Start(const QString& program, const QStringList& arguments,
                     const QString& workingDirectory = {}) = 0;
};

ILauncher& Launcher();
// Tests observe launches through a recording launcher; null restores the real one.
void SetLauncher(std::unique_ptr<ILauncher> launcher);

}  // namespace Platform
