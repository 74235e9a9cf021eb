// Shortcut files as freedesktop launchers, checked by the real desktop-file-validate.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "File/CommandLine.h"
#include "LinkFile/DesktopEntry.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "File/File.h"
#include "LinkFile/LinkFile.h"
#include "ModalAnswerer.h"
#include "QtPrinters.h"

namespace {

QByteArray Read(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes, int mode = 0644) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(bytes);
  file.close();
  ::chmod(QFile::encodeName(path).constData(), mode);
}

QByteArray ExecLine(const QString& path) {
  for (const QByteArray& line : Read(path).split('\n'))
    if (line.startsWith("Exec=")) return line.mid(5);
  return {};
}

ino_t Inode(const QString& path) {
  struct stat st {};
  return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

class LinkFile : public ::testing::Test {
 protected:
  QTemporaryDir Temp;
  QString At(const QString& relative) const { return Temp.path() + "/" + relative; }

  // Every file the program writes must pass the desktop's own validator.
  static void ExpectValid(const QString& path) {
    QProcess validator;
    validator.start("desktop-file-validate", {path});
    ASSERT_TRUE(validator.waitForFinished(30000));
    const QString output = QString::fromUtf8(validator.readAll());
    EXPECT_EQ(validator.exitCode(), 0) << output.toStdString() << Read(path).toStdString();
    EXPECT_FALSE(output.contains("error")) << output.toStdString();
  }
};

}  // namespace

TEST_F(LinkFile, ExecQuotingRoundTrips) {
  QDir().mkpath(At("my dir"));
  const QString target = At("my dir/it's \"q\" 100% back\\slash $x `y`");
  const QStringList arguments{"a b",   "100%", "%f",        "back\\slash", "q\"uote", "$HOME",
                              "`cmd`", "",     "new\nline", "tab\there",   "~user",   " lead"};
  TLinkFile link;
  link.Path = target;
  link.WorkingDirectory = At("my dir");
  link.Arguments = JoinCommandLine(arguments);
  link.Description = " Starts\tit\nwell\\ ";
  link.IconLocation = At("icons/p.png");
  link.IconIndex = -3;
  link.HotKey = 0x0351;
  link.ShowCmd = 7;
  ASSERT_TRUE(link.Save(At("Start.desktop")));
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  ExpectValid(At("Start.desktop"));
  EXPECT_TRUE(QFileInfo(At("Start.desktop")).isExecutable());

  TLinkFile loaded;
  ASSERT_TRUE(loaded.Load(At("Start.desktop")));
  EXPECT_EQ(loaded.Path, target);
  EXPECT_EQ(SplitCommandLine(loaded.Arguments), arguments);
  EXPECT_EQ(loaded.WorkingDirectory, At("my dir"));
  EXPECT_EQ(loaded.Description, link.Description);
  EXPECT_EQ(loaded.IconLocation, At("icons/p.png"));
  EXPECT_EQ(loaded.IconIndex, -3);
  EXPECT_EQ(loaded.HotKey, 0x0351);
  EXPECT_EQ(loaded.ShowCmd, 7);
  EXPECT_FALSE(loaded.Loaded);  // the target does not exist

  // The exact escaping: Exec quoting first, then the string escapes of the file format.
  link.Path = "/opt/my app/prog";
  link.Arguments = "100% \"a b\" c\\d";
  link.WorkingDirectory.clear();
  ASSERT_TRUE(link.Save(At("Exact.desktop")));
  EXPECT_EQ(ExecLine(At("Exact.desktop")), "\"/opt/my app/prog\" 100%% \"a b\" \"c\\\\\\\\d\"");
  ExpectValid(At("Exact.desktop"));
}

TEST_F(LinkFile, DocumentsOpenThroughXdgOpen) {
  Write(At("Readme.txt"), "read me");
  Write(At("prog"), "#!/bin/sh\n", 0755);
  CopyFileAsLink(At("Readme.txt"), At("Readme.desktop"));
  CopyFileAsLinkWithParam(At("prog"), At("Uninstall.desktop"), "/Uninstall");
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  ExpectValid(At("Readme.desktop"));
  ExpectValid(At("Uninstall.desktop"));
  EXPECT_EQ(ExecLine(At("Readme.desktop")), "xdg-open " + QFile::encodeName(At("Readme.txt")));
  EXPECT_TRUE(Read(At("Readme.desktop")).contains("\nName=Readme\n"));

  TLinkFile link;
  ASSERT_TRUE(link.Load(At("Readme.desktop")));
  EXPECT_EQ(link.Path, At("Readme.txt"));
  EXPECT_EQ(link.WorkingDirectory, Temp.path());
  EXPECT_TRUE(link.Loaded);
  EXPECT_EQ(link.Size, 7u);
  EXPECT_GT(link.LastWriteTime, 40000.0);  // after the year 2009
  ASSERT_TRUE(link.Load(At("Uninstall.desktop")));
  EXPECT_EQ(link.Path, At("prog"));
  EXPECT_EQ(link.Arguments, "/Uninstall");
  EXPECT_EQ(link.ShowCmd, 0);

  // Without replace an existing shortcut stays as it is.
  CopyFileAsLink(At("prog"), At("Readme.desktop"), false, {}, true, true);
  EXPECT_EQ(ExecLine(At("Readme.desktop")), "xdg-open " + QFile::encodeName(At("Readme.txt")));
  CopyFileAsLink(At("prog"), At("Readme.desktop"), true, {}, false, true);
  ASSERT_TRUE(link.Load(At("Readme.desktop")));
  EXPECT_EQ(link.Path, At("prog"));
  EXPECT_EQ(link.ShowCmd, 7);
  EXPECT_EQ(link.WorkingDirectory, "");
  ExpectValid(At("Readme.desktop"));
}

TEST_F(LinkFile, ForeignLaunchers) {
  Write(At("editor.desktop"),
        "# made by hand\r\n[Desktop Entry]\r\nName=Ed\r\nName[de]=Ed\r\n"
        "Exec = sh -c \"echo \\\\$0\" %U\r\nComment=first\r\nComment=second\r\n"
        "Icon=accessories-text-editor\r\n[Desktop Action New]\r\nExec=other\r\n");
  TLinkFile link;
  ASSERT_TRUE(link.Load(At("editor.desktop")));
  EXPECT_EQ(link.Path, QStandardPaths::findExecutable("sh"));
  EXPECT_EQ(SplitCommandLine(link.Arguments), (QStringList{"-c", "echo $0"}));
  EXPECT_EQ(link.Description, "first");
  EXPECT_EQ(link.IconLocation, "accessories-text-editor");
  EXPECT_TRUE(link.Loaded);
}

TEST_F(LinkFile, LoadAndSaveErrors) {
  struct TCase {
    const char* Name;
    QByteArray Text;
    const char* Description;
  };
  const QList<TCase> cases{
      {"no-group.desktop", "Exec=/bin/true\n", "Failed to load link file."},
      {"no-exec.desktop", "[Desktop Entry]\nName=x\n", "Failed to get reference path."},
      {"open-quote.desktop", "[Desktop Entry]\nExec=\"/bin/true\n",
       "Failed to get reference path."},
      {"empty.desktop", "[Desktop Entry]\nExec=%f\n", "Empty reference path."},
      {"hotkey.desktop", "[Desktop Entry]\nExec=/bin/true\nX-Backdropper-HotKey=70000\n",
       "Failed to get hot key."},
      {"show.desktop", "[Desktop Entry]\nExec=/bin/true\nX-Backdropper-ShowCmd=seven\n",
       "Failed to get show command."},
  };
  for (const TCase& c : cases) {
    Write(At(c.Name), c.Text);
    TLinkFile link;
    link.Description = "stale";
    EXPECT_FALSE(link.Load(At(c.Name))) << c.Name;
    EXPECT_EQ(FunStatContext.Description, c.Description) << c.Name;
    EXPECT_EQ(FunStatContext.Parameter1, At(c.Name));
    EXPECT_EQ(link.Description, "");  // all fields are reset
  }
  TLinkFile link;
  EXPECT_FALSE(link.Load(At("missing.desktop")));
  EXPECT_EQ(FunStatContext.Description, "Failed to load link file.");
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOENT));
  Write(At("plain.txt"), "[Desktop Entry]\nExec=/bin/true\n");
  EXPECT_FALSE(link.Load(At("plain.txt")));
  EXPECT_EQ(FunStatContext.Description, "File is not a link.");

  Write(At("self.desktop"),
        "[Desktop Entry]\nExec=xdg-open " + QFile::encodeName(At("./self.desktop")) + "\n");
  EXPECT_FALSE(link.Load(At("self.desktop")));
  EXPECT_EQ(FunStatContext.Description,
            "This file is most probably a virus because it links to itself.");

  Write(At("gone.desktop"), "[Desktop Entry]\nExec=" + QFile::encodeName(At("gone")) + "\n");
  EXPECT_TRUE(link.Load(At("gone.desktop"), false));
  EXPECT_FALSE(link.Load(At("gone.desktop"), true));
  EXPECT_EQ(FunStatContext.Description, "Failed to resolve link file.");

  link.Path = At("other.desktop");
  EXPECT_FALSE(link.Save(At("chained.desktop")));
  EXPECT_EQ(FunStatContext.Description, "This operating system does not support chained links.");
  EXPECT_EQ(FunStatContext.Parameter1, At("chained.desktop"));
  EXPECT_FALSE(QFile::exists(At("chained.desktop")));
  EXPECT_EQ(link.Path, "");

  for (const char* field : {"Path", "Description"}) {
    link.Path = "/bin/true";
    (QString(field) == "Path" ? link.Path : link.Description) += QChar(1);
    EXPECT_FALSE(link.Save(At("control.desktop")));
    EXPECT_FALSE(QFile::exists(At("control.desktop")));
  }
  link.Path = "/bin/true";
  EXPECT_FALSE(link.Save(At("no/such/folder/x.desktop")));
  EXPECT_EQ(FunStatContext.Description, "Failed to save link file.");
  EXPECT_EQ(FunStatContext.SystemErrorCode, static_cast<uint32_t>(ENOENT));
}

TEST_F(LinkFile, MakeLinkByStatusWritesOnlyChanges) {
  const QString program = At("bin/Backdropper");
  QDir().mkpath(At("bin"));
  Write(program, "#!/bin/sh\n", 0755);
  const QString autostart = At("autostart");
  QDir().mkpath(autostart);
  const QString link = autostart + "/Backdropper.desktop";

  MakeLinkByStatus(autostart, program, {}, {}, true, true);
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  ExpectValid(link);
  EXPECT_TRUE(Read(link).contains("\nX-Backdropper-ShowCmd=7\n"));
  const ino_t first = Inode(link);

  MakeLinkByStatus(autostart, program, {}, {}, true, true);
  EXPECT_EQ(Inode(link), first);  // not rewritten

  MakeLinkByStatus(autostart, program, {}, {}, false, true);
  EXPECT_NE(Inode(link), first);
  EXPECT_TRUE(Read(link).contains("\nX-Backdropper-ShowCmd=1\n"));
  ExpectValid(link);
  const ino_t second = Inode(link);
  MakeLinkByStatus(autostart, program, {}, {}, false, true);
  EXPECT_EQ(Inode(link), second);

  // Other fields of an existing shortcut survive an update.
  TLinkFile edited;
  ASSERT_TRUE(edited.Load(link));
  edited.IconLocation = "backdropper";
  ASSERT_TRUE(edited.Save(link));
  MakeLinkByStatus(autostart, program, "ShowOnStart  x", "Wallpapers", false, true);
  ASSERT_TRUE(edited.Load(link));
  EXPECT_EQ(edited.Arguments, "ShowOnStart x");
  EXPECT_EQ(edited.Description, "Wallpapers");
  EXPECT_EQ(edited.IconLocation, "backdropper");
  const ino_t third = Inode(link);
  MakeLinkByStatus(autostart, program, "ShowOnStart  x", "Wallpapers", false, true);
  EXPECT_EQ(Inode(link), third);
  ExpectValid(link);

  MakeLinkByStatus(autostart, program, {}, {}, false, false);
  EXPECT_FALSE(QFile::exists(link));
  MakeLinkByStatus(autostart, program, {}, {}, false, false);  // already gone: fine
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
}

TEST_F(LinkFile, MakeLinkByStatusShowsFailures) {
  TErrorForm form;
  ErrorForm = &form;
  // The answerer answers each window once, so each report gets its own.
  auto reports = [](const std::function<void()>& action) {
    TModalAnswerer answerer([](QWidget* w) { TModalAnswerer::ClickButton(w, "Okay"); });
    action();
    return answerer.Texts;
  };
  const QString autostart = At("autostart");
  QDir().mkpath(autostart);
  Write(autostart + "/Backdropper.desktop", "[Desktop Entry]\nName=broken\n");
  const QStringList broken =
      reports([&] { MakeLinkByStatus(autostart, At("Backdropper"), {}, {}, true, true); });
  EXPECT_EQ(FunStatContext.Status, fsPerfect);
  const QStringList missing =
      reports([&] { MakeLinkByStatus(At("not-there"), At("Backdropper"), {}, {}, true, true); });
  const QStringList noFolder =
      reports([&] { MakeLinkByStatus({}, At("Backdropper"), {}, {}, true, true); });
  // Switched off, a folder the system does not give, or that is not there, holds nothing to
  // remove: every close with the option off must stay quiet.
  for (const QString& folder : {QString(), At("not-there")}) {
    EXPECT_EQ(reports([&] { MakeLinkByStatus(folder, At("Backdropper"), {}, {}, true, false); }),
              QStringList())
        << folder.toStdString();
    EXPECT_EQ(FunStatContext.Status, fsPerfect);
  }
  ErrorForm = nullptr;
  ASSERT_EQ(noFolder.size(), 1);
  EXPECT_TRUE(noFolder[0].contains("\"Empty destination name.\""));
  ASSERT_EQ(broken.size(), 1);
  EXPECT_TRUE(broken[0].startsWith("DESCRIPTION\r\nFailed to create link.\r\n"));
  EXPECT_TRUE(broken[0].contains("\"Failed to get reference path.\""));
  ASSERT_EQ(missing.size(), 1);
  EXPECT_TRUE(missing[0].contains("\"Failed to save link file.\""));
  EXPECT_EQ(Read(autostart + "/Backdropper.desktop"), "[Desktop Entry]\nName=broken\n");
}

TEST(DesktopEntry, ValuesAndExec) {
  EXPECT_EQ(EscapeDesktopValue(" a\\b\nc\td\r"), "\\sa\\\\b\\nc\\td\\r");
  EXPECT_EQ(UnescapeDesktopValue("\\sa\\\\b\\nc\\td\\r\\q\\"), " a\\b\nc\td\r\\q\\");
  QStringList arguments;
  ASSERT_TRUE(SplitExec("prog %f \"%f\" a%%b \"x\\\"y\" \"a\"b c%u", arguments));
  EXPECT_EQ(arguments, (QStringList{"prog", "", "a%b", "x\"y", "ab", "c"}));
  EXPECT_FALSE(SplitExec("prog \"open", arguments));
  ASSERT_TRUE(SplitExec("", arguments));
  EXPECT_TRUE(arguments.isEmpty());
  QHash<QString, QString> keys;
  EXPECT_FALSE(ParseDesktopEntry("[Other]\nExec=x\n", keys));
  EXPECT_TRUE(ParseDesktopEntry("[Desktop Entry]\nComment=  tail  \n", keys));
  EXPECT_EQ(keys.value("Comment"), "tail  ");
}
