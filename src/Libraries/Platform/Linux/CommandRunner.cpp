#include "Platform/CommandRunner.h"

#include <QProcess>

namespace Platform {
namespace {

// Desktop tools answer at once; a hung one must not freeze the program for long.
constexpr int CommandTimeoutMs = 20000;

class TProcessRunner : public ICommandRunner {
 public:
  TCommandResult Run(const QString& program, const QStringList& arguments) override {
    TCommandResult result;
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForStarted()) {
      result.Errors = process.errorString();
      return result;
    }
    result.Started = true;
    process.closeWriteChannel();
    if (!process.waitForFinished(CommandTimeoutMs)) {
      process.kill();
      process.waitForFinished();
      result.Errors = QStringLiteral("Timed out.");
      return result;
    }
    result.Output = QString::fromLocal8Bit(process.readAllStandardOutput());
    result.Errors = QString::fromLocal8Bit(process.readAllStandardError());
    if (process.exitStatus() == QProcess::NormalExit) result.ExitCode = process.exitCode();
    return result;
  }
};

std::unique_ptr<ICommandRunner>& Current() {
  static std::unique_ptr<ICommandRunner> runner = std::make_unique<TProcessRunner>();
  return runner;
}

}  // namespace

ICommandRunner& CommandRunner() {
  return *Current();
}

void SetCommandRunner(std::unique_ptr<ICommandRunner> runner) {
  Current() = runner ? std::move(runner) : std::make_unique<TProcessRunner>();
}

}  // namespace Platform
