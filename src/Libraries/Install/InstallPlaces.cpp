#include "Install/InstallPlaces.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

#include "File/File.h"
#include "LinkFile/DesktopEntry.h"
#include "LinkFile/LinkFile.h"

namespace {

// The group's files carry our prefix, so they cannot take the name of another vendor's menu.
const QString MenuFilePrefix = QStringLiteral("backdropper-");
const QString UninstallArgument = QStringLiteral(" /Uninstall");

QString Below(const QString& folder, const QString& name) {
  return folder.isEmpty() ? QString() : PathWithDelimiter(folder) + name;
}

QString XmlText(const QString& text) {
  return text.toHtmlEscaped();
}

void RemoveFile(const QString& path) {
  if (!path.isEmpty()) ::unlink(QFile::encodeName(path).constData());
}

// A menu file is a few hundred bytes; anything else in its place is not one of ours.
QByteArray MenuFileContent(const QString& path) {
  const QFileInfo info(path);
  QFile file(path);
  if (!info.isFile() || info.size() > 65536 || !file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// The group's description names this group and, when it has an icon, this copy's icon.
bool IsOwnDirectoryFile(const TInstallPlaces& places) {
  QHash<QString, QString> keys;
  if (!ParseDesktopEntry(MenuFileContent(places.GroupDirectoryFile), keys)) return false;
  return keys.value(QStringLiteral("Type")) == QLatin1String("Directory") &&
         keys.value(QStringLiteral("Name")) == places.Folder &&
         keys.value(QStringLiteral("Icon"), places.IconFile) == places.IconFile;
}

// The submenu names this group, its description and its program's entry.
bool IsOwnMenuFile(const TInstallPlaces& places) {
  const QString text = QString::fromUtf8(MenuFileContent(places.GroupMenuFile));
  const auto names = [&](const char* tag, const QString& value) {
    return text.contains(QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), XmlText(value)));
  };
  return names("Name", places.Folder) &&
         names("Directory", NameOfFile(places.GroupDirectoryFile)) &&
         names("Filename", places.GroupEntryId(places.GroupProgramLink));
}

// `path` with symbolic links resolved as far as it exists, the rest appended as written.
QString ResolvedPath(const QString& path) {
  QString existing = FullPathOf(path), rest;
  while (!existing.isEmpty()) {
    const QString real = QFileInfo(existing).canonicalFilePath();
    if (!real.isEmpty()) return rest.isEmpty() ? real : PathWithDelimiter(real) + rest;
    const qsizetype slash = existing.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || existing == QLatin1String("/")) break;
    rest = rest.isEmpty() ? existing.mid(slash + 1)
                          : existing.mid(slash + 1) + QLatin1Char('/') + rest;
    existing = slash == 0 ? QStringLiteral("/") : existing.left(slash);
  }
  return FullPathOf(path);
}

}  // namespace

QString FolderNameOf(const QString& folder) {
  QString path = folder;
  while (path.endsWith(QLatin1Char('/'))) path.chop(1);
  return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

TInstallPlaces TInstallPlaces::Of(const QString& program, const QString& target) {
  TInstallPlaces places;
  const QString folder = FolderNameOf(FullPathOf(target));
  if (program.isEmpty() || folder.isEmpty()) return places;
  const QString link = GetLinkExtension(program);
  places.Program = program;
  places.Folder = folder;
  places.Target = PathWithDelimiter(FullPathOf(target));
  places.ProgramFile = places.Target + program;
  places.ReadmeFile = places.Target + QStringLiteral("Readme.txt");
  places.IconFile = places.Target + program + QStringLiteral(".png");
  places.DesktopLink =
      Below(Platform::SpecialFolderPath(Platform::TSpecialFolder::Desktop), program + link);
  const QString menu = Platform::SpecialFolderPath(Platform::TSpecialFolder::ProgramsMenu);
  if (!menu.isEmpty()) {
    places.Group = PathWithDelimiter(menu) + folder + QLatin1Char('/');
    places.GroupProgramLink = places.Group + program + link;
    places.GroupUninstallLink = places.Group + QStringLiteral("Uninstall") + link;
    places.GroupReadmeLink = places.Group + QStringLiteral("Readme") + link;
  }
  places.GroupDirectoryFile =
      Below(Platform::SpecialFolderPath(Platform::TSpecialFolder::MenuDirectories),
            MenuFilePrefix + folder + QStringLiteral(".directory"));
  places.GroupMenuFile = Below(Platform::SpecialFolderPath(Platform::TSpecialFolder::MenuMerge),
                               MenuFilePrefix + folder + QStringLiteral(".menu"));
  places.AutostartLink =
      Below(Platform::SpecialFolderPath(Platform::TSpecialFolder::Startup), program + link);
  return places;
}

QString TInstallPlaces::GroupEntryId(const QString& link) const {
  // A file in a sub-folder of "applications" is known by its relative path, "/" turned to "-".
  return Folder + QLatin1Char('-') + NameOfFile(link);
}

bool WriteMenuGroupFiles(const TInstallPlaces& places) {
  if (places.GroupDirectoryFile.isEmpty() || places.GroupMenuFile.isEmpty()) {
    errno = ENOENT;
    return false;
  }
  QStringList directory = {QStringLiteral("[Desktop Entry]"), QStringLiteral("Type=Directory"),
                           QStringLiteral("Name=") + EscapeDesktopValue(places.Folder)};
  if (FileExistsAt(places.IconFile))
    directory << QStringLiteral("Icon=") + EscapeDesktopValue(places.IconFile);
  const QString menu =
      QStringLiteral(
          "<!DOCTYPE Menu PUBLIC \"-//freedesktop//DTD Menu 1.0//EN\"\n"
          " \"http://www.freedesktop.org/standards/menu-spec/menu-1.0.dtd\">\n"
          "<Menu>\n"
          "  <Name>Applications</Name>\n"
          "  <Menu>\n"
          "    <Name>%1</Name>\n"
          "    <Directory>%2</Directory>\n"
          "    <Include>\n"
          "      <Filename>%3</Filename>\n"
          "      <Filename>%4</Filename>\n"
          "      <Filename>%5</Filename>\n"
          "    </Include>\n"
          "  </Menu>\n"
          "</Menu>\n")
          .arg(XmlText(places.Folder), XmlText(NameOfFile(places.GroupDirectoryFile)),
               XmlText(places.GroupEntryId(places.GroupProgramLink)),
               XmlText(places.GroupEntryId(places.GroupUninstallLink)),
               XmlText(places.GroupEntryId(places.GroupReadmeLink)));
  for (const QString& file : {places.GroupDirectoryFile, places.GroupMenuFile})
    if (!QDir().mkpath(PathOfFile(file))) {
      errno = EACCES;
      return false;
    }
  return WriteFileAtomically(places.GroupDirectoryFile,
                             (directory.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) &&
         WriteFileAtomically(places.GroupMenuFile, menu.toUtf8());
}

void RemoveMenuGroup(const TInstallPlaces& places) {
  if (!places.Valid()) return;
  RemoveLinkTo(places.GroupProgramLink, places.ProgramFile);
  RemoveLinkTo(places.GroupUninstallLink, places.ProgramFile);
  RemoveLinkTo(places.GroupReadmeLink, places.ReadmeFile);
  // A program link left is another copy's, installed from a folder of the same name since: the
  // group's menu files are its now.
  if (!FileExistsAt(places.GroupProgramLink)) {
    if (IsOwnDirectoryFile(places)) RemoveFile(places.GroupDirectoryFile);
    if (IsOwnMenuFile(places)) RemoveFile(places.GroupMenuFile);
  }
  // Fails quietly while somebody else's entry is left in it.
  if (!places.Group.isEmpty()) ::rmdir(QFile::encodeName(places.Group).constData());
}

void RemoveLinkTo(const QString& link, const QString& target) {
  if (LinkStarts(link, target)) RemoveFile(link);
}

bool IsSameOrInside(const QString& path, const QString& folder) {
  const QString real = ResolvedPath(path), within = ResolvedPath(folder);
  if (real.isEmpty() || within.isEmpty()) return false;
  return real == within || real.startsWith(PathWithDelimiter(within));
}

QString UnsafeBaseFolderReason(const QString& folder) {
  struct stat st {};
  if (::stat(QFile::encodeName(folder).constData(), &st) != 0 || !S_ISDIR(st.st_mode))
    return QStringLiteral("The installation directory does not exist.");
  if (st.st_uid != ::geteuid())
    return QStringLiteral(
        "The installation directory belongs to another user. Choose a directory of your own.");
  // In a sticky folder others may add entries but not replace ours.
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0 && (st.st_mode & S_ISVTX) == 0)
    return QStringLiteral(
        "Other users can write in the installation directory and could replace the program. "
        "Choose a directory only you can write in.");
  return {};
}

bool IsHomeOrAbove(const QString& folder) {
  const QString full = FullPathOf(folder);
  if (full.isEmpty()) return false;
  for (QString home : {QDir::homePath(), QDir(QDir::homePath()).canonicalPath()}) {
    home = FullPathOf(home);
    if (home.isEmpty()) continue;
    if (home == full || home.startsWith(PathWithDelimiter(full))) return true;
    const QString real = QFileInfo(full).canonicalFilePath();
    if (!real.isEmpty() && (home == real || home.startsWith(PathWithDelimiter(real)))) return true;
  }
  return false;
}

bool HoldsAnotherProgram(const QString& folder, const QString& program) {
  if (!IsDirectoryPath(folder) || FileExistsAt(PathWithDelimiter(folder) + program)) return false;
  return !QDir(folder).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot);
}

bool LinkStarts(const QString& link, const QString& programFile) {
  if (!FileExistsAt(link)) return false;
  TLinkFile file;
  // A link we cannot read is not known to be ours.
  if (!file.Load(link, false)) return false;
  return IsSamePath(file.Path, programFile);
}

QString ProgramOfUninstallCommand(const QString& command) {
  if (!command.endsWith(UninstallArgument)) return {};
  return command.left(command.size() - UninstallArgument.size());
}
