// Process signals: a polite stop request, and crashes that must never hang the process.
#pragma once

#include <QString>
#include <functional>

namespace Platform {

// SIGTERM, SIGHUP and SIGINT call `onStop` from the event loop (not from the signal handler).
void InstallStopSignals(std::function<void()> onStop);

// SIGSEGV, SIGBUS, SIGILL, SIGFPE and SIGABRT append one line to `logPath` with
// async-signal-safe calls and end the process with exit code 1.
void InstallCrashHandler(const QString& logPath);

}  // namespace Platform
