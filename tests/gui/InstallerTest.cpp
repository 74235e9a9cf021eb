// The installer window offscreen: its texts in each mode, and install and uninstall on real
// files of the test's private home, with the questions answered and the start of the installed
// copy observed.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Error/ErrorForm.h"
#include "File/File.h"
#include "Install/Install.h"
#include "Install/InstallPlaces.h"
#include "LinkFile/LinkFile.h"
#include "ModalAnswerer.h"
#include "Platform/InstanceLock.h"
#include "Platform/Launcher.h"
#include "Program.h"
#include "QtPrinters.h"
#include "Registry.h"
#include "TestEnvironment.h"

namespace {

const QString Program = QStringLiteral("Backdropper");
const QString LockName = QStringLiteral("Mutex_ProgramInstance_Backdropper");

// Records each start, and whether the single-instance lock was free at that moment.
class TRecordingLauncher : public Platform::ILauncher {
 public:
  struct TStart {
    QString Program;
    bool LockFree;
  };
  QList<TStart>* Starts;
  explicit TRecordingLauncher(QList<TStart>* starts) : Starts(starts) {}
  bool Open(const QString& target) override {
    *Starts << TStart{target, false};
    return true;
  }
  bool Start(const QString& program, const QStringList&, const QString&) override {
    const QByteArray path = QFile::encodeName(Platform::InstanceLockPath(LockName));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const bool free = fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    if (fd >= 0) ::close(fd);
    *Starts << TStart{program, free};
    return true;
  }
};

void Write(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(PathOfFile(path));
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
  file.write(bytes);
}

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file below `dir` with its content, for comparing a folder before and after.
QMap<QString, QByteArray> Snapshot(const QString& dir) {
  QMap<QString, QByteArray> files;
  QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    files.insert(path.mid(dir.size()), Read(path));
  }
  return files;
}

QString Home() {
  return QDir::homePath() + QLatin1Char('/');
}

class InstallerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ErrorForm = &Errors;
    Platform::SetLauncher(std::make_unique<TRecordingLauncher>(&Starts));
    ASSERT_FALSE(CheckProgramInstance(Program));
    DeleteUninstallerRegistry(Program);
  }
  void TearDown() override {
    ReleaseProgramInstance();
    Platform::SetLauncher(nullptr);
    ErrorForm = nullptr;
    QFile::remove(Home() + ".local/opt");  // a link a test put in its place
    for (const QString& dir : {Home() + ".local/opt", Downloads(), Menu()})
      QDir(dir).removeRecursively();
  }

  static QString Downloads() { return Home() + QStringLiteral("Downloads/"); }
  static QString Menu() { return PathWithDelimiter(GetProgramsMenuPath()); }

  // A distribution folder `name` in the downloads with the installer file `installer`.
  QString MakeDistribution(const QString& name, const QString& installer = "Install",
                           const QStringList& leaveOut = {}) {
    const QString dir = Downloads() + name + QLatin1Char('/');
    const QMap<QString, QByteArray> files = {{installer, "#!/bin/sh\n"},
                                             {"Readme.txt", "First line\r\nSecond line\r\n"},
                                             {"Help.html", "<html></html>"},
                                             {"Backdropper.png", "png"},
                                             {"CalendarSkins/Paper.wps", "[Skin]"}};
    for (auto it = files.begin(); it != files.end(); ++it)
      if (!leaveOut.contains(it.key())) Write(dir + it.key(), it.value());
    QFile::setPermissions(dir + installer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir;
  }

  // Runs the window's button in the mode of `fileName` and `argument`, from `source`.
  void Click(const QString& source, const QString& fileName, const QString& argument,
             const QString& base = {}, const QString& answer = "&Yes") {
    TInstallForm form;
    form.SourceDirectory = source;
    form.InstallerFileName = fileName;
    form.SetProgramInfo(Program, "description", "version", fileName, argument);
    form.BeforeRemoval = BeforeRemoval;
    if (!base.isEmpty()) form.InstallToEdit->setText(base);
    TModalAnswerer answerer([&](QWidget* w) {
      if (!TModalAnswerer::ClickButton(w, answer))
        TModalAnswerer::ClickButton(w, "&Okay") || TModalAnswerer::ClickButton(w, "OK");
    });
    form.InstallButtonClick();
    Titles = answerer.Titles;
    Texts = answerer.Texts;
  }

  TErrorForm Errors;
  QList<TRecordingLauncher::TStart> Starts;
  QStringList Titles, Texts;
  std::function<void()> BeforeRemoval;
};

struct TTextsCase {
  const char* FileName;
  const char* Argument;
  const char* Caption;
  const char* Panel;
  const char* InstallTo;
  const char* Button;
  bool Uninstall;
};

TEST_F(InstallerTest, TextsFollowTheFileNameAndTheFirstArgument) {
  const char* welcome = "The program's installation directory will be put in directory:";
  const char* bye = "The following directory will be deleted:";
  const TTextsCase cases[] = {
      {"Install", "", "Install Backdropper", "Welcome to Backdropper", welcome, "&Install", false},
      {"INSTALL.EXE", "x", "Install Backdropper", "Welcome to Backdropper", welcome, "&Install",
       false},
      {"install", "/uninstall", "Uninstall Backdropper", "Bye from Backdropper", bye, "Un&install",
       true},
      {"Backdropper", "/Uninstall", "Uninstall Backdropper", "Bye from Backdropper", bye,
       "Un&install", true},
      // Neither: the design-time texts stay.
      {"Install1", "", "Install", "MainPanel", "", "&Install", false},
  };
  for (const TTextsCase& c : cases) {
    SCOPED_TRACE(std::string(c.FileName) + " " + c.Argument);
    TInstallForm form;
    form.SourceDirectory = "/somewhere/Backdropper/";
    form.SetProgramInfo(Program, "Manage your desktop wallpapers",
                        "Version 1.1.9, released on 30.10.2006", c.FileName, c.Argument);
    EXPECT_EQ(form.windowTitle(), c.Caption);
    EXPECT_EQ(form.MainPanelLabel->text(), c.Panel);
    EXPECT_EQ(form.InstallButton->text(), c.Button);
    EXPECT_EQ(form.InstallToLabel->text(), c.InstallTo);
    EXPECT_EQ(form.InstallToEdit->text(),
              c.Uninstall ? "/somewhere/Backdropper/" : Home() + ".local/opt/");
    EXPECT_EQ(form.BrowseButton->isEnabled(), !c.Uninstall);
    EXPECT_EQ(form.DescriptionLabel->text(), "Manage your desktop wallpapers");
    EXPECT_EQ(form.VersionLabel->text(), "Version 1.1.9, released on 30.10.2006");
    EXPECT_TRUE(form.InstructionsLabel->text().startsWith(
        "The program can be reinstalled without the need to uninstall its previous version."));
    EXPECT_TRUE(form.InstallToEdit->isReadOnly());
    EXPECT_TRUE(form.ReadmeMemo->isReadOnly());
    EXPECT_EQ(form.CancelButton->text(), "&Cancel");
    EXPECT_EQ(form.BrowseButton->text(), "&Browse");
  }
}

TEST_F(InstallerTest, TheMemoShowsTheReadmeKeepsItsTextWithoutOneAndEscCancels) {
  const QString dir = MakeDistribution("Memo");
  TInstallForm form;
  form.LoadReadme(dir);
  EXPECT_EQ(form.ReadmeMemo->toPlainText(), "First line\nSecond line\n");
  form.LoadReadme(Downloads() + "nowhere");
  EXPECT_EQ(form.ReadmeMemo->toPlainText(), "First line\nSecond line\n");
  form.show();
  form.activateWindow();
  EXPECT_TRUE(QTest::qWaitFor([&] { return form.focusWidget() == form.ReadmeMemo; }));
  QTest::keyClick(form.ReadmeMemo, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible()) << "Esc is the Cancel button";
}

TEST_F(InstallerTest, InstallsEverythingStartsTheCopyWithTheLockFreeAndUninstallsIt) {
  // The installer's real name is in capitals: that file is the one renamed.
  const QString source = MakeDistribution("Backdropper-1.1.9", "INSTALL");
  const QMap<QString, QByteArray> download = Snapshot(Downloads());
  Click(source, "INSTALL", "");
  ASSERT_EQ(Titles, QStringList{"Query"}) << qPrintable(Texts.join('\n'));
  const QString target = Home() + ".local/opt/Backdropper-1.1.9/";
  EXPECT_EQ(Texts.value(0), "Install the program in directory \"" + target.chopped(1) + "\"?");

  const TInstallPlaces places = TInstallPlaces::Of(Program, target);
  EXPECT_TRUE(QFileInfo(target + "Backdropper").isExecutable());
  EXPECT_FALSE(FileExistsAt(target + "INSTALL"));
  EXPECT_EQ(Read(target + "CalendarSkins/Paper.wps"), "[Skin]");
  EXPECT_EQ(places.Group, Menu() + "Backdropper-1.1.9/");
  for (const QString& link : {places.DesktopLink, places.GroupProgramLink})
    EXPECT_TRUE(LinkStarts(link, target + "Backdropper")) << qPrintable(link);
  TLinkFile uninstall;
  ASSERT_TRUE(uninstall.Load(places.GroupUninstallLink));
  EXPECT_EQ(uninstall.Path, target + "Backdropper");
  EXPECT_EQ(uninstall.Arguments, "/Uninstall");
  EXPECT_EQ(uninstall.IconLocation, target + "Backdropper.png");
  EXPECT_TRUE(LinkStarts(places.GroupReadmeLink, target + "Readme.txt"));
  const QByteArray menu = Read(places.GroupMenuFile);
  EXPECT_TRUE(menu.contains("<Name>Backdropper-1.1.9</Name>"));
  EXPECT_TRUE(menu.contains("<Filename>Backdropper-1.1.9-Uninstall.desktop</Filename>"));
  EXPECT_TRUE(menu.contains("<Directory>backdropper-Backdropper-1.1.9.directory</Directory>"));
  EXPECT_TRUE(Read(places.GroupDirectoryFile).contains("Name=Backdropper-1.1.9\n"));
  EXPECT_EQ(GetRegistryText(TRegistryRoot::LocalMachine, UninstallRegistryKey(Program),
                            "UninstallString"),
            target + "Backdropper /Uninstall");
  ASSERT_EQ(Starts.size(), 1);
  EXPECT_EQ(Starts[0].Program, target + "Backdropper");
  EXPECT_TRUE(Starts[0].LockFree) << "the installed copy would find the installer's lock";

  // A reinstallation keeps the options and puts a file where a link was, leaving what the
  // link named alone; the running copy then turns automatic start on.
  Write(target + "Backdropper.ini", "[Main]\r\n");
  Write(Home() + "mine.html", "mine");
  ASSERT_TRUE(QFile::remove(target + "Help.html"));
  ASSERT_TRUE(QFile::link(Home() + "mine.html", target + "Help.html"));
  Click(source, "INSTALL", "");
  EXPECT_EQ(Read(target + "Backdropper.ini"), "[Main]\r\n");
  EXPECT_FALSE(QFileInfo(target + "Help.html").isSymLink());
  EXPECT_EQ(Read(target + "Help.html"), "<html></html>");
  EXPECT_EQ(Read(Home() + "mine.html"), "mine");
  MakeLinkByStatus(GetStartupPath(), target + "Backdropper", {}, {}, true, true);
  ASSERT_TRUE(LinkStarts(places.AutostartLink, target + "Backdropper"));
  // Somebody else's entry in the applications folder stays.
  Write(Menu() + "other.desktop", "[Desktop Entry]\n");

  Click(target, "Backdropper", "/Uninstall");
  EXPECT_EQ(Titles, (QStringList{"Query", "Message"}));
  EXPECT_EQ(Texts.value(0), "Delete directory \"" + target + "\" (and all contained files)?");
  EXPECT_EQ(Texts.value(1),
            "Uninstallation successful. Some files that were in use were not deleted.");
  for (const QString& gone : {target, places.DesktopLink, places.Group, places.GroupMenuFile,
                              places.GroupDirectoryFile, places.AutostartLink})
    EXPECT_FALSE(FileExistsAt(gone)) << qPrintable(gone);
  EXPECT_TRUE(
      GetRegistryText(TRegistryRoot::LocalMachine, UninstallRegistryKey(Program), "UninstallString")
          .isEmpty());
  EXPECT_TRUE(FileExistsAt(Menu() + "other.desktop"));
  EXPECT_EQ(Snapshot(Downloads()), download);

  // Run again, there is nothing left to delete: a report, and no success message.
  Click(target, "Backdropper", "/Uninstall");
  EXPECT_EQ(Titles.size(), 1);
  EXPECT_TRUE(Texts.value(0).contains("Can not find directory.")) << qPrintable(Texts.join('\n'));
  EXPECT_TRUE(FileExistsAt(Menu() + "other.desktop"));
}

TEST_F(InstallerTest, AnsweringNoChangesNothing) {
  const QString source = MakeDistribution("Pkg");
  Click(source, "Install", "", {}, "&No");
  EXPECT_EQ(Titles, QStringList{"Query"});
  EXPECT_FALSE(FileExistsAt(Home() + ".local/opt/Pkg"));
  EXPECT_TRUE(Starts.isEmpty());
}

// Each refusal comes before the question, with the report, and touches nothing.
TEST_F(InstallerTest, InstallRefusesItsOwnFolderAnotherProgramsFolderAndMissingData) {
  struct TCase {
    const char* Name;
    std::function<QString()> Prepare;  // gives the base folder
    const char* Reason;
  };
  const QString opt = Home() + ".local/opt/";
  QString source;
  const auto withMode = [&](mode_t mode) {
    return [&, mode] {
      source = MakeDistribution("Pkg");
      QDir().mkpath(opt);
      ::chmod(QFile::encodeName(opt).constData(), mode);
      return opt;
    };
  };
  const TCase cases[] = {
      {"own folder",
       [&] {
         source = MakeDistribution("../.local/opt/Pkg");
         return opt;
       },
       "the folder the installer runs from"},
      {"own folder through a link",
       [&] {
         source = MakeDistribution("Pkg");
         QFile::link(Downloads(), Home() + "link");
         return Home() + "link/";
       },
       "the folder the installer runs from"},
      {"another program",
       [&] {
         source = MakeDistribution("Pkg");
         Write(opt + "Pkg/other-program", "mine");
         return opt;
       },
       "files of another program"},
      {"no help",
       [&] {
         source = MakeDistribution("Pkg", "Install", {"Help.html"});
         return opt;
       },
       "missing beside the installer"},
      {"programs folder a link back into the installer's folder",
       [&] {
         source = MakeDistribution("Pkg");
         QDir(opt).removeRecursively();
         QFile::link(source + "CalendarSkins", Home() + ".local/opt");
         return opt;
       },
       "the folder the installer runs from or lies inside it"},
      {"base folder anyone may write in", withMode(0777),
       "Other users can write in the installation directory"},
      {"base folder its group may write in", withMode(0775),
       "Other users can write in the installation directory"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const QString base = c.Prepare();
    const QMap<QString, QByteArray> before = Snapshot(Home());
    Click(source, "Install", "", base);
    EXPECT_EQ(Titles.size(), 1);
    EXPECT_TRUE(Texts.value(0).contains("Failed to install program."))
        << qPrintable(Texts.value(0));
    EXPECT_TRUE(Texts.value(0).contains(c.Reason)) << qPrintable(Texts.value(0));
    EXPECT_EQ(Snapshot(Home()), before);
    EXPECT_TRUE(Starts.isEmpty());
    TearDown();
    SetUp();
    QFile::remove(Home() + "link");
  }
}

TEST_F(InstallerTest, AnUnwritableDestinationIsReportedAndCreatesNothing) {
  const QString source = MakeDistribution("Pkg");
  // Not writable even for root; other users' folders are refused before the question, so
  // they take a read-only folder of their own.
  QString base = "/proc/";
  if (::geteuid() != 0) {
    base = Home() + "read-only/";
    QDir().mkpath(base);
    ::chmod(QFile::encodeName(base).constData(), 0555);
  }
  Click(source, "Install", "", base);
  EXPECT_EQ(Titles, (QStringList{"Query", "Error", Errors.windowTitle()}));
  EXPECT_EQ(Texts.value(1), "Failed to process directory.");
  EXPECT_TRUE(Texts.value(2).contains("Failed to rename.")) << qPrintable(Texts.value(2));
  const TInstallPlaces places = TInstallPlaces::Of(Program, base + "Pkg");
  EXPECT_FALSE(FileExistsAt(places.DesktopLink));
  EXPECT_FALSE(FileExistsAt(places.Group));
  EXPECT_TRUE(Starts.isEmpty());
}

TEST_F(InstallerTest, UninstallRefusesHomeFoldersAboveAndFoldersWithoutTheProgram) {
  Write(Home() + "keep.txt", "mine");
  const QString bare = MakeDistribution("Bare");  // the installer's folder has no "Backdropper"
  Write(Home() + "Backdropper", "x");
  Write(Home() + "Help.html", "x");
  for (const QString& dir :
       QStringList{Home(), QDir::homePath(), PathOfFile(QDir::homePath()), "/", bare}) {
    SCOPED_TRACE(dir.toStdString());
    const QMap<QString, QByteArray> before = Snapshot(Home());
    Click(dir, "Install", "/Uninstall");
    EXPECT_EQ(Titles.size(), 1);
    EXPECT_TRUE(Texts.value(0).contains("Failed to uninstall program."))
        << qPrintable(Texts.value(0));
    EXPECT_EQ(Snapshot(Home()), before);
  }
}

TEST_F(InstallerTest, ASharedStickyFolderOfOnesOwnIsTakenAnotherUsersFolderIsNot) {
  const QString source = MakeDistribution("Pkg");
  const QString base = Home() + "shared/";
  QDir().mkpath(base);
  ::chmod(QFile::encodeName(base).constData(), 01777);
  Click(source, "Install", "", base, "&No");
  EXPECT_EQ(Titles, QStringList{"Query"}) << qPrintable(Texts.join('\n'));

  if (::geteuid() != 0) GTEST_SKIP() << "giving a folder to another user needs root";
  ::chmod(QFile::encodeName(base).constData(), 0755);
  ASSERT_EQ(::chown(QFile::encodeName(base).constData(), 65534, 65534), 0);
  Click(source, "Install", "", base);
  EXPECT_EQ(Titles.size(), 1);
  EXPECT_TRUE(Texts.value(0).contains("belongs to another user")) << qPrintable(Texts.value(0));
  EXPECT_TRUE(Texts.value(0).contains(base)) << "the report names the folder";
  EXPECT_FALSE(FileExistsAt(base + "Pkg"));
  EXPECT_TRUE(Starts.isEmpty());
  QDir(base).removeRecursively();
}

TEST_F(InstallerTest, AFolderSwappedForALinkAfterTheQuestionDeletesNothingOutsideIt) {
  Click(MakeDistribution("Pkg"), "Install", "");
  const QString target = Home() + ".local/opt/Pkg";
  Write(Home() + "precious/Backdropper", "not ours");
  Write(Home() + "precious/Help.html", "not ours either");
  const QMap<QString, QByteArray> precious = Snapshot(Home() + "precious");
  BeforeRemoval = [&] {
    ASSERT_TRUE(QDir().rename(target, target + "-aside"));
    ASSERT_TRUE(QFile::link(Home() + "precious", target));
  };
  Click(target + "/", "Backdropper", "/Uninstall");
  EXPECT_EQ(Titles, (QStringList{"Query", "Message"}));
  EXPECT_EQ(Snapshot(Home() + "precious"), precious);
  EXPECT_TRUE(QFileInfo(target).isSymLink());
  // What was checked is what was emptied.
  EXPECT_TRUE(
      QDir(target + "-aside").isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
  QFile::remove(target);
  QDir().rmdir(target + "-aside");
  QDir(Home() + "precious").removeRecursively();
}

// Files of the group that another installation wrote since, or that name something else, stay.
TEST_F(InstallerTest, UninstallLeavesTheGroupFilesThatAreNotItsOwn) {
  const QString target = Home() + ".local/opt/Pkg/";
  const TInstallPlaces places = TInstallPlaces::Of(Program, target);
  // Another copy from a folder of the same name, installed later elsewhere.
  const TInstallPlaces other = TInstallPlaces::Of(Program, Home() + "elsewhere/Pkg/");
  struct TCase {
    const char* Name;
    std::function<void()> Tamper;
    QStringList Kept;
  };
  const TCase cases[] = {
      {"another installation took the group",
       [&] {
         Write(other.IconFile, "png");
         Write(other.ProgramFile, "#!/bin/sh\n");
         CopyFileAsLink(other.ProgramFile, places.GroupProgramLink);
         ASSERT_TRUE(WriteMenuGroupFiles(other));
       },
       {places.GroupProgramLink, places.GroupDirectoryFile, places.GroupMenuFile}},
      {"menu files that name another group",
       [&] {
         Write(places.GroupDirectoryFile, "[Desktop Entry]\nType=Directory\nName=Other\n");
         Write(places.GroupMenuFile, "<Menu><Name>Applications</Name></Menu>\n");
       },
       {places.GroupDirectoryFile, places.GroupMenuFile}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Click(MakeDistribution("Pkg"), "Install", "");
    ASSERT_TRUE(FileExistsAt(places.GroupMenuFile));
    c.Tamper();
    Click(target, "Backdropper", "/Uninstall");
    EXPECT_EQ(Titles, (QStringList{"Query", "Message"}));
    for (const QString& file : c.Kept) EXPECT_TRUE(FileExistsAt(file)) << qPrintable(file);
    for (const QString& link : {places.GroupUninstallLink, places.GroupReadmeLink})
      EXPECT_FALSE(FileExistsAt(link)) << qPrintable(link);
    for (const QString& file : {places.GroupDirectoryFile, places.GroupMenuFile})
      QFile::remove(file);
    QDir(Home() + "elsewhere").removeRecursively();
    TearDown();
    SetUp();
  }
}

TEST_F(InstallerTest, AGroupNameNeverComesOutEmpty) {
  for (const QString& folder :
       QStringList{"/a/opt/Pkg", "/a/opt/Pkg/", "/a/opt/Pkg//", "opt/./Pkg/"}) {
    const TInstallPlaces places = TInstallPlaces::Of(Program, folder);
    EXPECT_EQ(places.Folder, "Pkg") << qPrintable(folder);
    EXPECT_EQ(places.Group, Menu() + "Pkg/");
    EXPECT_EQ(places.GroupEntryId(places.GroupProgramLink), "Pkg-Backdropper.desktop");
  }
  EXPECT_FALSE(TInstallPlaces::Of(Program, "/").Valid());
  EXPECT_FALSE(TInstallPlaces::Of(Program, "").Valid());
}

TEST_F(InstallerTest, AFolderRenamedByHandIsUninstalledWithItsOldGroupAndLinks) {
  const QString source = MakeDistribution("Pkg");
  Click(source, "Install", "");
  const QString opt = Home() + ".local/opt/";
  const TInstallPlaces old = TInstallPlaces::Of(Program, opt + "Pkg");
  ASSERT_TRUE(FileExistsAt(old.GroupProgramLink));
  ASSERT_TRUE(QDir().rename(opt + "Pkg", opt + "Renamed"));

  Click(opt + "Renamed/", "Backdropper", "/Uninstall");
  EXPECT_EQ(Titles, (QStringList{"Query", "Message"}));
  for (const QString& gone :
       {opt + "Renamed", old.DesktopLink, old.Group, old.GroupMenuFile, old.GroupDirectoryFile})
    EXPECT_FALSE(FileExistsAt(gone)) << qPrintable(gone);
  EXPECT_TRUE(
      GetRegistryText(TRegistryRoot::LocalMachine, UninstallRegistryKey(Program), "UninstallString")
          .isEmpty());
}

}  // namespace
