// Renaming, crash-safe writing, tree copy and delete, times, special folders, starting files.
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "File/DirectoryChooser.h"
#include "File/File.h"
#include "ModalAnswerer.h"
#include "Platform/Launcher.h"

namespace {

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void Write(const QString& path, const QByteArray& bytes, int mode = 0644) {
  QDir().mkpath(PathOfFile(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
  file.close();
  ::chmod(QFile::encodeName(path).constData(), mode);
}

int ModeOf(const QString& path) {
  struct stat st {};
  return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : -1;
}

QStringList Entries(const QString& directory) {
  return QDir(directory).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                   QDir::Name);
}

class Files : public ::testing::Test {
 protected:
  QTemporaryDir Temp;
  QString At(const QString& relative) const { return Temp.path() + "/" + relative; }
};

}  // namespace

TEST_F(Files, RenameWithAndWithoutReplace) {
  Write(At("old"), "new content");
  Write(At("target"), "old content", 0444);
  EXPECT_FALSE(MyRenameFile(At("old"), At("target"), false));
  EXPECT_EQ(FunStatContext.Description, "Failed to rename.");
  EXPECT_EQ(FunStatContext.Parameter1, At("old"));
  EXPECT_EQ(FunStatContext.Parameter2, At("target"));
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(EEXIST));
  EXPECT_EQ(Read(At("target")), "old content");

  EXPECT_TRUE(MyRenameFile(At("old"), At("target"), true));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(Read(At("target")), "new content");
  EXPECT_FALSE(QFile::exists(At("old")));

  // Onto itself, also under another spelling of the same path: nothing is lost.
  EXPECT_TRUE(MyRenameFile(At("target"), At("./target"), true));
  EXPECT_TRUE(MyRenameFile(At("target"), At("target"), true));
  EXPECT_EQ(Read(At("target")), "new content");

  EXPECT_TRUE(MyRenameFile(At("target"), At("moved"), false));
  EXPECT_FALSE(MyRenameFile(At("target"), At("again"), true));
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOENT));
}

TEST_F(Files, AtomicWriteReplacesKeepingModeAndLinks) {
  EXPECT_TRUE(WriteFileAtomically(At("new.ini"), "a\r\nb\r\n"));
  EXPECT_EQ(Read(At("new.ini")), "a\r\nb\r\n");
  const mode_t mask = ::umask(0);
  ::umask(mask);
  EXPECT_EQ(ModeOf(At("new.ini")), 0666 & ~mask);

  Write(At("kept.ini"), "old", 0640);
  EXPECT_TRUE(WriteFileAtomically(At("kept.ini"), "fresh"));
  EXPECT_EQ(Read(At("kept.ini")), "fresh");
  EXPECT_EQ(ModeOf(At("kept.ini")), 0640);

  ASSERT_EQ(::symlink("kept.ini", QFile::encodeName(At("link.ini")).constData()), 0);
  EXPECT_TRUE(WriteFileAtomically(At("link.ini"), "through"));
  EXPECT_TRUE(QFileInfo(At("link.ini")).isSymLink());
  EXPECT_EQ(Read(At("kept.ini")), "through");

  EXPECT_TRUE(WriteFileAtomically(At("run.desktop"), "x", true));
  EXPECT_EQ(ModeOf(At("run.desktop")) & 0100, 0100);
  EXPECT_EQ(Entries(Temp.path()), (QStringList{"kept.ini", "link.ini", "new.ini", "run.desktop"}));
}

TEST_F(Files, AtomicWriteLeavesOriginalWhenRenameFails) {
  // A folder in the way: the temporary file is written in full, then the rename fails.
  Write(At("busy/inside"), "precious");
  errno = 0;
  EXPECT_FALSE(WriteFileAtomically(At("busy"), "replacement"));
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(Read(At("busy/inside")), "precious");
  EXPECT_EQ(Entries(Temp.path()), QStringList{"busy"});

  EXPECT_FALSE(WriteFileAtomically(At("no/such/dir/file"), "x"));
  EXPECT_EQ(errno, ENOENT);
}

TEST_F(Files, AtomicWriteLeavesOriginalWhenWriteFails) {
  // A file-size limit makes the write fail part-way, as a full disk would.
  Write(At("options.ini"), "original options");
  struct rlimit saved {};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  errno = 0;
  const bool written = WriteFileAtomically(At("options.ini"), QByteArray(4096, 'x'));
  const int error = errno;
  ::setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_EQ(error, EFBIG);
  EXPECT_EQ(Read(At("options.ini")), "original options");
  EXPECT_EQ(Entries(Temp.path()), QStringList{"options.ini"});
}

TEST_F(Files, CopyDirectoryTree) {
  Write(At("src/a.txt"), "a", 0755);
  Write(At("src/sub/b.txt"), "b");
  Write(At("src/.hidden"), "h");
  Write(At("src/.hiddendir/c"), "c");
  ASSERT_EQ(::symlink("..", QFile::encodeName(At("src/sub/up")).constData()), 0);
  Write(At("src/c.txt"), "c");
  Write(At("dst/a.txt"), "stale", 0444);
  // Links in the destination where a file or a folder goes give way; what they name stays.
  Write(At("outside/b.txt"), "outside b");
  Write(At("outside/c"), "outside c");
  ASSERT_EQ(::symlink("../outside", QFile::encodeName(At("dst/sub")).constData()), 0);
  ASSERT_EQ(::symlink("../outside/c", QFile::encodeName(At("dst/c.txt")).constData()), 0);

  CopyDeleteDirectory(At("src"), At("dst"));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(Read(At("dst/a.txt")), "a");
  EXPECT_EQ(ModeOf(At("dst/a.txt")), 0755);
  EXPECT_EQ(Read(At("dst/sub/b.txt")), "b");
  EXPECT_EQ(Read(At("dst/c.txt")), "c");
  EXPECT_FALSE(QFileInfo(At("dst/sub")).isSymLink());
  EXPECT_FALSE(QFileInfo(At("dst/c.txt")).isSymLink());
  EXPECT_EQ(Read(At("outside/b.txt")), "outside b");
  EXPECT_EQ(Read(At("outside/c")), "outside c");
  EXPECT_EQ(QFileInfo(At("dst/sub/up")).symLinkTarget(), QFileInfo(At("dst")).absoluteFilePath());
  EXPECT_EQ(Entries(At("dst")), (QStringList{"a.txt", "c.txt", "sub"}));
  EXPECT_EQ(Read(At("src/a.txt")), "a");

  // A destination inside the source is not copied into itself, also when a link leads there.
  CopyDeleteDirectory(At("src"), At("src/sub/copy"));
  EXPECT_EQ(Entries(At("src/sub/copy/sub")), (QStringList{"b.txt", "up"}));
  ASSERT_EQ(::symlink("src/sub", QFile::encodeName(At("via")).constData()), 0);
  CopyDeleteDirectory(At("src"), At("via/again"));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(Entries(At("src/sub/again/sub")), (QStringList{"b.txt", "copy", "up"}));
}

TEST_F(Files, CopyDirectoryFailuresShowTheirBox) {
  TModalAnswerer answerer([](QWidget* w) { TModalAnswerer::ClickButton(w, "OK"); });
  CopyDeleteDirectory(At("src"), "");
  EXPECT_EQ(FunStatContext.Description, "Empty destination name.");
  EXPECT_EQ(FunStatContext.Parameter1, At("src"));
  CopyDeleteDirectory(At("missing"), At("dst"));
  EXPECT_EQ(FunStatContext.Description, "Failed to find first file.");
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOENT));
  Write(At("file"), "x");
  CopyDeleteDirectory(At("missing"), At("file/dst"));
  EXPECT_EQ(FunStatContext.Description, "Failed to create directory.");
  EXPECT_EQ(FunStatContext.Parameter2, At("file/dst"));
  // The source under another name: its files would be emptied.
  Write(At("self/keep"), "keep");
  ASSERT_EQ(::symlink("self", QFile::encodeName(At("alias")).constData()), 0);
  CopyDeleteDirectory(At("self"), At("alias"));
  EXPECT_EQ(FunStatContext.Description, "A folder can not be copied onto itself.");
  EXPECT_EQ(Read(At("self/keep")), "keep");
  EXPECT_EQ(answerer.Titles, (QStringList{"Error", "Error", "Error", "Error"}));
  EXPECT_EQ(answerer.Texts.value(0), "Failed to process directory.");
}

TEST_F(Files, DeleteDirectoryKeepsWhatLinksPointTo) {
  Write(At("tree/a"), "a", 0444);
  Write(At("tree/.hidden/b"), "b");
  Write(At("outside/keep"), "keep", 0444);
  ASSERT_EQ(::symlink("../outside", QFile::encodeName(At("tree/link")).constData()), 0);
  ::chmod(QFile::encodeName(At("tree")).constData(), 0555);
  DeleteDirectoryNoErrors(At("tree"));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_FALSE(QFileInfo::exists(At("tree")));
  EXPECT_EQ(Read(At("outside/keep")), "keep");
  EXPECT_EQ(ModeOf(At("outside/keep")), 0444);

  DeleteDirectoryNoErrors(At("tree"));
  EXPECT_EQ(FunStatContext.Description, "Can not find directory.");
  EXPECT_EQ(FunStatContext.Parameter1, At("tree"));

  // Named through a link, a trailing "/" or not, the folder it leads to is not touched.
  ASSERT_EQ(::symlink("outside", QFile::encodeName(At("alias")).constData()), 0);
  for (const QString& alias : {At("alias"), At("alias/")}) {
    DeleteDirectoryNoErrors(alias);
    EXPECT_EQ(FunStatContext.Description, "Can not find directory.");
    EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOTDIR));
  }
  EXPECT_EQ(Entries(At("outside")), QStringList{"keep"});
}

TEST_F(Files, SizeAndTimes) {
  Write(At("five"), "12345");
  EXPECT_EQ(GetFileSize(At("five")), 5);
  EXPECT_EQ(GetFileSize(At("none")), 0);
  EXPECT_EQ(FunStatContext.Status, fsWarning);

  const QDateTime local(QDate(2020, 2, 29), QTime(13, 45, 30, 250));
  const timespec time{static_cast<time_t>(local.toSecsSinceEpoch()), 250999999};
  const double expected =
      QDate(1899, 12, 30).daysTo(local.date()) + (13 * 3600 + 45 * 60 + 30.25) / 86400.0;
  EXPECT_DOUBLE_EQ(ConvertFileTime(time), expected);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_EQ(ConvertFileTime(timespec{INT64_MAX, 0}), 0.0);
  EXPECT_EQ(FunStatContext.Description, "Failed to convert time.");
  EXPECT_NE(FunStatContext.SystemErrorCode, 0u);
}

TEST_F(Files, SpecialFoldersAreCreated) {
  const QString data = qEnvironmentVariable("XDG_DATA_HOME");
  const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
  EXPECT_EQ(GetOperatorPath(), data + "/backdropper/");
  EXPECT_EQ(GetStartupPath(), config + "/autostart/");
  EXPECT_EQ(GetProgramsMenuPath(), data + "/applications/");
  EXPECT_EQ(GetProgramFilesPath(), QDir::homePath() + "/.local/opt/");
  const QString desktop = GetDesktopPath();
  EXPECT_TRUE(desktop.endsWith('/'));
  for (const QString& dir : {GetOperatorPath(), GetStartupPath(), desktop})
    EXPECT_TRUE(QFileInfo(dir).isDir()) << dir.toStdString();
  // The programs' folder is the user's alone whatever the umask lets the group do: the
  // installer refuses one that others may write in.
  ASSERT_TRUE(QDir(GetProgramFilesPath()).removeRecursively());
  const mode_t mask = ::umask(002);
  const QString programs = GetProgramFilesPath();
  ::umask(mask);
  EXPECT_EQ(ModeOf(programs), 0755);

  // A file where the data folder should be.
  Write(At("data"), "not a folder");
  qputenv("XDG_DATA_HOME", QFile::encodeName(At("data")));
  const QString operatorPath = GetOperatorPath();
  const TFunStatContext failure = FunStatContext;
  const QString menu = GetProgramsMenuPath();
  qputenv("XDG_DATA_HOME", QFile::encodeName(data));
  EXPECT_EQ(operatorPath, "");
  EXPECT_EQ(failure.Description, "Failed to get path.");
  EXPECT_EQ(failure.SystemErrorCode, static_cast<uint32_t>(ENOTDIR));
  EXPECT_EQ(menu, "");
}

namespace {

struct TLaunch {
  QString Kind, Target;
  QStringList Arguments;
  QString Directory;
};

class TRecordingLauncher : public Platform::ILauncher {
 public:
  explicit TRecordingLauncher(QList<TLaunch>* log, bool succeed = true)
      : Log(log), Succeed(succeed) {}
  bool Open(const QString& target) override {
    Log->append({"open", target, {}, {}});
    return Succeed;
  }
  bool Start(const QString& program, const QStringList& arguments,
             const QString& directory) override {
    Log->append({"start", program, arguments, directory});
    return Succeed;
  }
  QList<TLaunch>* Log;
  bool Succeed;
};

}  // namespace

TEST_F(Files, RunFileComposesTheLaunch) {
  QList<TLaunch> log;
  Platform::SetLauncher(std::make_unique<TRecordingLauncher>(&log));
  Write(At("prog"), "#!/bin/sh\n", 0755);
  Write(At("picture.jpg"), "jpeg");

  RunFile(At("prog"), "a b", At(""), true, false);
  RunFile(At("prog"), "a b", {}, false, true);
  RunFile(At("prog"));
  RunFile(At("picture.jpg"), "ignored");
  OpenSite("https://example.org/page?q=1");
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  ASSERT_EQ(log.size(), 5);
  EXPECT_EQ(log[0].Kind, "start");
  EXPECT_EQ(log[0].Target, At("prog"));
  EXPECT_EQ(log[0].Arguments, QStringList{"a b"});
  EXPECT_EQ(log[0].Directory, At(""));
  EXPECT_EQ(log[1].Arguments, (QStringList{"a", "b"}));
  EXPECT_TRUE(log[2].Arguments.isEmpty());
  EXPECT_EQ(log[3].Kind, "open");
  EXPECT_EQ(log[3].Target, At("picture.jpg"));
  EXPECT_EQ(log[4].Kind, "open");
  EXPECT_EQ(log[4].Target, "https://example.org/page?q=1");

  // A missing file is not handed to the opener at all.
  RunFile(At("gone.jpg"));
  EXPECT_EQ(FunStatContext.Description, "Failed to run file.");
  EXPECT_EQ(FunStatContext.Parameter1, At("gone.jpg"));
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOENT));
  EXPECT_EQ(log.size(), 5);
  Platform::SetLauncher(nullptr);
}

TEST_F(Files, RunFileFailuresAreShown) {
  QList<TLaunch> log;
  Platform::SetLauncher(std::make_unique<TRecordingLauncher>(&log, false));
  TErrorForm form;
  ErrorForm = &form;
  TModalAnswerer answerer([](QWidget* w) {
    TModalAnswerer::ClickButton(w, "OK") || TModalAnswerer::ClickButton(w, "Okay");
  });
  RunFile("");
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  EXPECT_TRUE(log.isEmpty());
  OpenSite("https://example.org/", "Failed to open the web page.");
  EXPECT_EQ(FunStatContext.Status, fsPerfect);  // the outer frame consumed it
  ErrorForm = nullptr;
  Platform::SetLauncher(nullptr);
  ASSERT_EQ(answerer.Texts.size(), 2);
  EXPECT_EQ(answerer.Texts[0], "The name of the file is empty.");
  EXPECT_TRUE(answerer.Texts[1].startsWith("DESCRIPTION\r\nFailed to open the web page.\r\n"));
  EXPECT_TRUE(answerer.Texts[1].contains("* Description: \"Failed to run file.\""));
  EXPECT_TRUE(answerer.Texts[1].contains("* Parameter 1: \"https://example.org/\""));
}

TEST_F(Files, FolderChooser) {
  QDir().mkpath(At("root/pictures"));
  QDir().mkpath(At("outside"));
  auto choose = [](const QString& folder) {
    return [folder](QWidget* w) {
      auto* dialog = qobject_cast<QFileDialog*>(w);
      ASSERT_NE(dialog, nullptr);
      dialog->setDirectory(folder);
      static_cast<QDialog*>(dialog)->accept();
    };
  };
  QString directory = "unchanged";
  {
    TModalAnswerer answerer(choose(At("root/pictures")));
    EXPECT_TRUE(BrowseForDirectory(directory, {}, "Choose a directory with picture files"));
    EXPECT_EQ(answerer.Titles, QStringList{"Choose a directory with picture files"});
  }
  EXPECT_EQ(directory, At("root/pictures"));
  {
    TModalAnswerer answerer(choose(At("outside")));
    EXPECT_FALSE(BrowseForDirectory(directory, At("root"), "Pick"));
  }
  EXPECT_EQ(directory, At("root/pictures"));
  {
    TModalAnswerer answerer([](QWidget* w) { qobject_cast<QDialog*>(w)->reject(); });
    EXPECT_FALSE(BrowseForDirectory(directory, {}, "Pick"));
  }
  EXPECT_EQ(directory, At("root/pictures"));
}
