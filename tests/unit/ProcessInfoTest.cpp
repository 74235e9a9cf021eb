// The program file and command line of real processes, read from /proc.
#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "Platform/Linux/ProcFs.h"
#include "Platform/ProcessInfo.h"
#include "QtPrinters.h"
#include "TestEnvironment.h"

namespace {

// A shell started from its own copy of the shell's program file; it says it is up, then waits for
// a line on its input, so it runs until the test lets it go. Being started is not enough: in the
// middle of its exec a process already shows its new program file but no arguments yet.
class TWaitingShell {
 public:
  TWaitingShell(const QString& programFile, const QStringList& arguments) {
    if (!QFile::copy(QStringLiteral("/bin/sh"), programFile)) return;
    QFile::setPermissions(programFile, QFile::ReadOwner | QFile::ExeOwner);
    Process.start(programFile, arguments);
    Started = Process.waitForStarted() && Process.waitForReadyRead();
  }
  ~TWaitingShell() {
    Process.closeWriteChannel();
    Process.waitForFinished();
  }
  QString Directory() const {
    return QStringLiteral("/proc/") + QString::number(Process.processId());
  }

  QProcess Process;
  bool Started = false;
};

}  // namespace

TEST(ProcessInfo, ProgramFileAndArgumentsOfARunningProcess) {
  const struct {
    const char* fileName;
    bool removedWhileRunning;
  } cases[] = {
      {"my shell", false},
      {"my shell", true},        // the system adds " (deleted)" to the link, which is not the name
      {"old (deleted)", false},  // a name that really ends so keeps it
      {"gone (deleted)", true},
  };
  const QStringList arguments = {"-c", "echo up; read line", "name", "", "two words", "ünï"};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.fileName) + (c.removedWhileRunning ? ", removed" : ""));
    QTemporaryDir dir(TestRoot() + QStringLiteral("/process-XXXXXX"));
    const QString programFile = dir.filePath(QString::fromUtf8(c.fileName));
    TWaitingShell shell(programFile, arguments);
    ASSERT_TRUE(shell.Started);
    if (c.removedWhileRunning) {
      ASSERT_TRUE(QFile::remove(programFile));
    }
    EXPECT_EQ(Platform::ProcessExecutablePath(shell.Directory()), programFile);
    EXPECT_EQ(Platform::ProcessArguments(shell.Directory()), QStringList{programFile} + arguments);
  }
}

TEST(ProcessInfo, ThisProcessAndOneThatIsNotThere) {
  const QStringList arguments = Platform::CommandLineArguments();
  ASSERT_FALSE(arguments.isEmpty());
  EXPECT_EQ(Platform::ExecutablePath(), QFileInfo(arguments.first()).canonicalFilePath());

  const QString none = TestRoot() + QStringLiteral("/no-such-process");
  EXPECT_EQ(Platform::ProcessExecutablePath(none), QString());
  EXPECT_EQ(Platform::ProcessArguments(none), QStringList());
}
