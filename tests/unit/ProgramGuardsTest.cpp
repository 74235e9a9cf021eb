// The process guards: one running copy through a lock file, the abort handler, and crash signals
// that end the program at once with a line in the log.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "Platform/Signals.h"
#include "Program.h"
#include "TestEnvironment.h"

namespace {

QString ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Points XDG_RUNTIME_DIR elsewhere for one test.
class TRuntimeDir {
 public:
  explicit TRuntimeDir(const QByteArray& dir) : Saved(qgetenv("XDG_RUNTIME_DIR")) {
    qputenv("XDG_RUNTIME_DIR", dir);
  }
  ~TRuntimeDir() {
    ReleaseProgramInstance();
    qputenv("XDG_RUNTIME_DIR", Saved);
  }

 private:
  QByteArray Saved;
};

}  // namespace

TEST(ProgramInstance, AnotherHolderOfTheLockIsAnotherCopy) {
  QTemporaryDir runtime;
  TRuntimeDir dir(runtime.path().toLocal8Bit());
  const QByteArray lockPath = (runtime.path() + "/Mutex_ProgramInstance_Guarded").toLocal8Bit();

  // What another process holding the lock looks like: its own open file, locked.
  const int other = ::open(lockPath.constData(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(other, 0);
  ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(CheckProgramInstance("Guarded"));
  ::close(other);

  EXPECT_FALSE(CheckProgramInstance("Guarded")) << "the lock was given up";
  const int later = ::open(lockPath.constData(), O_RDWR);
  EXPECT_NE(::flock(later, LOCK_EX | LOCK_NB), 0) << "this copy holds it now";
  ReleaseProgramInstance();
  EXPECT_EQ(::flock(later, LOCK_EX | LOCK_NB), 0) << "released";
  ::close(later);
}

TEST(ProgramInstance, ALockFileThatCannotBeMadeLetsTheCopyRun) {
  TRuntimeDir dir(QDir(TestRoot()).filePath("no/such/folder").toLocal8Bit());
  EXPECT_FALSE(CheckProgramInstance("Guarded"));
}

TEST(ProgramGuards, AbortEndsWithCodeOneWithoutCleanUp) {
  const QString marker = QDir(TestRoot()).filePath("cleaned-up");
  static QByteArray markerPath;
  markerPath = marker.toLocal8Bit();
  EXPECT_EXIT(
      {
        std::atexit([] { ::close(::open(markerPath.constData(), O_WRONLY | O_CREAT, 0600)); });
        std::set_terminate(TerminateProgramFun);
        std::terminate();
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_FALSE(QFile::exists(marker)) << "exit handlers ran";
}

TEST(ProgramGuards, CrashSignalsAppendALineAndEndWithCodeOne) {
  const QString log = QDir(TestRoot()).filePath("Errors.log");
  QFile::remove(log);
  {
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("earlier entry\r\n");
  }
  for (int signal : {SIGSEGV, SIGABRT, SIGFPE}) {
    EXPECT_EXIT(
        {
          Platform::InstallCrashHandler(log);
          std::raise(signal);
        },
        ::testing::ExitedWithCode(1), "")
        << signal;
  }
  EXPECT_EQ(ReadAll(log),
            "earlier entry\r\n"
            "**********Crash: the program received signal 11 and was terminated.\r\n**********\r\n"
            "**********Crash: the program received signal 6 and was terminated.\r\n**********\r\n"
            "**********Crash: the program received signal 8 and was terminated.\r\n**********\r\n");

  // A log that cannot be written does not stop the ending.
  EXPECT_EXIT(
      {
        Platform::InstallCrashHandler(QDir(TestRoot()).filePath("no/such/Errors.log"));
        std::raise(SIGSEGV);
      },
      ::testing::ExitedWithCode(1), "");
}
