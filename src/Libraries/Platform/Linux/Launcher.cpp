#include "Platform/Launcher.h"

#include <QProcess>

namespace Platform {
namespace {

class TXdgLauncher : public ILauncher {
 public:
  bool Open(const QString& target) override {
    return Start(QStringLiteral("xdg-open"), {target}, {});
  }
  bool Start(const QString& program, const QStringList& arguments,
             const QString& workingDirectory) override {
    return QProcess::startDetached(program, arguments, workingDirectory);
  }
};

std::unique_ptr<ILauncher>& Current() {
  static std::unique_ptr<ILauncher> launcher = std::make_unique<TXdgLauncher>();
  return launcher;
}

}  // namespace

ILauncher& Launcher() {
  return *Current();
}

void SetLauncher(std::unique_ptr<ILauncher> launcher) {
  Current() = launcher ? std::move(launcher) : std::make_unique<TXdgLauncher>();
}

}  // namespace Platform
