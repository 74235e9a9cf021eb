// Running a short command to completion, for desktop settings that only a tool can change.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

namespace Platform {

struct TCommandResult {
  bool Started = false;
  int ExitCode = -1;  // -1 when it did not start, crashed or timed out
  QString Output;     // standard output
  QString Errors;     // standard error

  bool Succeeded() const { return Started && ExitCode == 0; }
};

class ICommandRunner {
 public:
  virtual ~ICommandRunner() = default;
  // Runs `program` with exactly these arguments, without a shell, and waits for it.
  virtual TCommandResult Run(const QString& program, const QStringList& arguments) = 0;
};

// Desktop tools answer at once; a hung one must not freeze the program for long.
inline constexpr int CommandTimeoutMs = 20000;

ICommandRunner& CommandRunner();
// The real runner: a command still running after `timeoutMs` is killed and fails "Timed out.".
std::unique_ptr<ICommandRunner> MakeProcessRunner(int timeoutMs = CommandTimeoutMs);
// Tests observe commands through a recording runner; null restores the real one.
void SetCommandRunner(std::unique_ptr<ICommandRunner> runner);

}  // namespace Platform
