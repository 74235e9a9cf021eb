#include "Platform/Signals.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace Platform {
namespace {

int StopPipe[2] = {-1, -1};
std::function<void()> StopHandler;
char CrashLogPath[4096];

void OnStopSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] ssize_t n = ::write(StopPipe[1], &byte, 1);
  errno = saved;
}

void WriteAll(int fd, const char* text) {
  [[maybe_unused]] ssize_t n = ::write(fd, text, std::strlen(text));
}

void OnCrashSignal(int signal) {
  // A link put in the log's place must not have a crash append to the file it names.
  const int fd = ::open(CrashLogPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd >= 0) {
    char number[16];
    int i = sizeof number - 1;
    number[i] = '\0';
    int value = signal;
    do {
      number[--i] = static_cast<char>('0' + value % 10);
      value /= 10;
    } while (value > 0 && i > 0);
    WriteAll(fd, "**********Crash: the program received signal ");
    WriteAll(fd, number + i);
    WriteAll(fd, " and was terminated.\r\n**********\r\n");
    ::close(fd);
  }
  ::_exit(1);
}

}  // namespace

void InstallStopSignals(std::function<void()> onStop) {
  StopHandler = std::move(onStop);
  if (StopPipe[0] < 0) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, StopPipe) != 0) return;
    // Owned by the application, so it goes with it.
    auto* notifier = new QSocketNotifier(StopPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
      char buffer[16];
      [[maybe_unused]] ssize_t n = ::read(StopPipe[0], buffer, sizeof buffer);
      if (StopHandler) StopHandler();
    });
  }
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int s : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(s, &action, nullptr);
}

void InstallCrashHandler(const QString& logPath) {
  const QByteArray path = QFile::encodeName(logPath);
  const size_t n = std::min(sizeof CrashLogPath - 1, static_cast<size_t>(path.size()));
  std::memcpy(CrashLogPath, path.constData(), n);
  CrashLogPath[n] = '\0';
  struct sigaction action {};
  action.sa_handler = OnCrashSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESETHAND;
  for (int s : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) ::sigaction(s, &action, nullptr);
}

}  // namespace Platform
