// A command runner that records commands instead of running them: the user's own desktop
// settings have no safe real target. The wallpaper tests use it with a chosen desktop name, and
// with no X display, so nothing reaches a real desktop.
#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "Platform/CommandRunner.h"
#include "Platform/WallpaperSetter.h"

class TRecordingRunner : public Platform::ICommandRunner {
 public:
  // Program followed by its arguments, one entry per command, in order.
  QList<QStringList> Commands;
  // The answer to each command; success with no output when unset.
  std::function<Platform::TCommandResult(const QString&, const QStringList&)> Answer;

  Platform::TCommandResult Run(const QString& program, const QStringList& arguments) override {
    Commands << (QStringList{program} + arguments);
    if (Answer) return Answer(program, arguments);
    Platform::TCommandResult result;
    result.Started = true;
    result.ExitCode = 0;
    return result;
  }
};

// Installs a recording runner for the session's desktop `desktop` for the life of the object.
class TRecordedDesktop {
 public:
  explicit TRecordedDesktop(const QByteArray& desktop) {
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    auto runner = std::make_unique<TRecordingRunner>();
    Runner = runner.get();
    Platform::SetCommandRunner(std::move(runner));
  }
  ~TRecordedDesktop() {
    Platform::SetCommandRunner(nullptr);
    qunsetenv("XDG_CURRENT_DESKTOP");
  }
  TRecordedDesktop(const TRecordedDesktop&) = delete;
  TRecordedDesktop& operator=(const TRecordedDesktop&) = delete;

  TRecordingRunner* Runner;
};
