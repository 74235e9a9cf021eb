#include "Platform/CommandRunner.h"

#include <QProcess>

namespace Platform {
namespace {

class TProcessRunner : public ICommandRunner {
 public:
  explicit TProcessRunner(int timeoutMs) : TimeoutMs(timeoutMs) {}
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
    if (!process.waitForFinished(TimeoutMs)) {
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

 private:
  int TimeoutMs;
};

std::unique_ptr<ICommandRunner>& Current() {
  static std::unique_ptr<ICommandRunner> runner = MakeProcessRunner();
  return runner;
}

}  // namespace

ICommandRunner& CommandRunner() {
  return *Current();
}

std::unique_ptr<ICommandRunner> MakeProcessRunner(int timeoutMs) {
  return std::make_unique<TProcessRunner>(timeoutMs);
}

void SetCommandRunner(std::unique_ptr<ICommandRunner> runner) {
  Current() = runner ? std::move(runner) : MakeProcessRunner();
}

}  // namespace Platform
