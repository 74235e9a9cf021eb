// The process guards: one running copy through a lock file, the abort handler, and crash signals
// that end the program at once with a line in the log.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Platform/Signals.h"
#include "Program.h"
#include "TestEnvironment.h"

namespace {

QString ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Points XDG_RUNTIME_DIR elsewhere for one test; empty: the session has none.
class TRuntimeDir {
 public:
  explicit TRuntimeDir(const QByteArray& dir) : Saved(qgetenv("XDG_RUNTIME_DIR")) {
    if (dir.isEmpty())
      qunsetenv("XDG_RUNTIME_DIR");
    else
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

// Without a runtime directory the lock lives in /tmp, where anybody may put the name first.
class FallbackLock : public ::testing::Test {
 protected:
  FallbackLock()
      : Name(QStringLiteral("Guarded%1").arg(::getpid())),  // parallel runs never meet
        Path(QStringLiteral("/tmp/Mutex_ProgramInstance_%1-%2").arg(Name).arg(::getuid())),
        NoRuntime(QByteArray()) {}
  ~FallbackLock() override {
    ReleaseProgramInstance();
    Remove();
  }
  void Remove() {
    if (!QFile::remove(Path)) QDir().rmdir(Path);
  }
  QByteArray Native() const { return QFile::encodeName(Path); }
  // True when the program would not run; `refusal` tells the user why.
  bool Check(QString& refusal) {
    refusal.clear();
    const bool stop = CheckProgramInstance(Name, &refusal);
    ReleaseProgramInstance();
    return stop;
  }

  const QString Name;
  const QString Path;
  TRuntimeDir NoRuntime;
  QTemporaryDir Elsewhere;
};

TEST_F(FallbackLock, MadeAsAPrivateFileOfTheUser) {
  QString refusal;
  ASSERT_FALSE(QFile::exists(Path));
  EXPECT_FALSE(CheckProgramInstance(Name, &refusal));
  EXPECT_EQ(refusal, "");
  struct stat st {};
  ASSERT_EQ(::lstat(Native().constData(), &st), 0);
  EXPECT_TRUE(S_ISREG(st.st_mode));
  EXPECT_EQ(st.st_mode & 07777, 0600u);
  EXPECT_EQ(st.st_uid, ::geteuid());
  const int other = ::open(Native().constData(), O_RDWR);
  EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0) << "the lock is held";
  ReleaseProgramInstance();
  // A file left by an earlier run of the user is simply taken again.
  EXPECT_FALSE(Check(refusal));
  ::close(other);
}

TEST_F(FallbackLock, ASymbolicLinkIsNeitherFollowedNorTrusted) {
  const QString target = Elsewhere.filePath("target");
  QString refusal;

  // Dangling: following it would create the file it names.
  ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), Native().constData()), 0);
  EXPECT_TRUE(Check(refusal));
  EXPECT_FALSE(QFile::exists(target)) << "the link was followed";
  EXPECT_TRUE(refusal.contains("\"" + Path + "\"")) << refusal.toStdString();
  EXPECT_TRUE(refusal.startsWith(Name + " cannot start")) << refusal.toStdString();

  // To a file of the user: it is neither locked nor changed.
  {
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("precious");
  }
  EXPECT_TRUE(CheckProgramInstance(Name, &refusal));
  const int probe = ::open(QFile::encodeName(target).constData(), O_RDWR);
  EXPECT_EQ(::flock(probe, LOCK_EX | LOCK_NB), 0) << "the target was locked";
  ::close(probe);
  ReleaseProgramInstance();
  EXPECT_EQ(ReadAll(target), "precious");
}

TEST_F(FallbackLock, AFolderOrASecondNameOfAFileIsRefused) {
  QString refusal;
  ASSERT_TRUE(QDir().mkdir(Path));
  EXPECT_TRUE(Check(refusal));
  EXPECT_FALSE(refusal.isEmpty());
  Remove();

  // A hard link could make the lock an alias of any file of the user.
  const QString other = Path + ".other";
  ASSERT_TRUE(QFile(other).open(QIODevice::WriteOnly));
  ASSERT_EQ(::link(QFile::encodeName(other).constData(), Native().constData()), 0)
      << std::strerror(errno);
  EXPECT_TRUE(Check(refusal));
  EXPECT_FALSE(refusal.isEmpty());
  QFile::remove(other);
}

TEST_F(FallbackLock, AFileOfAnotherUserIsRefused) {
  if (::geteuid() != 0) GTEST_SKIP() << "making a file of another user needs root";
  const int fd = ::open(Native().constData(), O_RDWR | O_CREAT | O_EXCL, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::fchown(fd, 65534, 65534), 0);
  QString refusal;
  // Whether its owner holds it (we would stop without a word) or not (two copies could run).
  EXPECT_TRUE(Check(refusal));
  EXPECT_FALSE(refusal.isEmpty());
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(Check(refusal));
  EXPECT_FALSE(refusal.isEmpty()) << "a lock held by another user's file is no other copy of ours";
  ::close(fd);
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

  // A log that cannot be written does not stop the ending, nor does a link in the log's place
  // have the file it names written.
  const QString named = QDir(TestRoot()).filePath("named-by-link");
  {
    QFile file(named);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("untouched");
  }
  const QString link = QDir(TestRoot()).filePath("linked/Errors.log");
  QDir().mkpath(QFileInfo(link).path());
  ASSERT_TRUE(QFile::link(named, link));
  for (const QString& path : {QDir(TestRoot()).filePath("no/such/Errors.log"), link}) {
    EXPECT_EXIT(
        {
          Platform::InstallCrashHandler(path);
          std::raise(SIGSEGV);
        },
        ::testing::ExitedWithCode(1), "")
        << qPrintable(path);
  }
  EXPECT_EQ(ReadAll(named), "untouched");
}

// Asked for help or the version, the program answers as any Linux program does: no display
// needed, nothing started, no file made.
TEST(ProgramGuards, HelpAndVersionAnswerWithoutADisplayAndStartNothing) {
  QTemporaryDir home;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "DBUS_SESSION_BUS_ADDRESS"})
    env.remove(name);
  env.insert("HOME", home.path());
  env.insert("XDG_CONFIG_HOME", home.path() + "/config");
  env.insert("XDG_RUNTIME_DIR", home.path());
  const struct {
    const char* Option;
    int Exit;
    const char* Stdout;
    const char* Stderr;
  } cases[] = {
      {"--version", 0, "Backdropper ", ""},
      {"--help", 0, "Usage: Backdropper [COMMAND]", ""},
      {"-h", 0, "/Uninstall", ""},
      {"--bogus", 2, "", "unknown option \"--bogus\""},
  };
  for (const auto& c : cases) {
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(BACKDROPPER_BINARY, {c.Option});
    ASSERT_TRUE(program.waitForFinished(20000)) << c.Option;
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << c.Option;
    EXPECT_EQ(program.exitCode(), c.Exit) << c.Option;
    const QString out = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_TRUE(out.contains(c.Stdout)) << c.Option << ": " << out.toStdString();
    if (*c.Stderr) {
      EXPECT_TRUE(err.contains(c.Stderr)) << c.Option << ": " << err.toStdString();
      EXPECT_TRUE(err.contains("Usage:")) << c.Option;
    } else {
      EXPECT_EQ(err, "") << c.Option;
    }
    if (QString(c.Option) == "--version") {
      EXPECT_TRUE(QRegularExpression("^Backdropper \\d+\\.\\d+\\.\\d+\n$").match(out).hasMatch())
          << out.toStdString();
    }
    if (QString(c.Option) == "--help") {
      EXPECT_TRUE(out.contains(QFileInfo(BACKDROPPER_BINARY).absolutePath() + "/"))
          << "where this copy keeps its settings";
    }
  }
  EXPECT_EQ(QDir(home.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList())
      << "no lock, no settings folder";
}
