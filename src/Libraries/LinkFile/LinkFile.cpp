#include "LinkFile/LinkFile.h"

#include <QFile>
#include <QHash>
#include <QStandardPaths>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "File/CommandLine.h"
#include "LinkFile/DesktopEntry.h"
#include "Error/Error.h"
#include "File/File.h"

namespace {

const QString KeyExec = QStringLiteral("Exec");
const QString KeyPath = QStringLiteral("Path");
const QString KeyComment = QStringLiteral("Comment");
const QString KeyIcon = QStringLiteral("Icon");
const QString KeyShowCmd = QStringLiteral("X-Backdropper-ShowCmd");
const QString KeyHotKey = QStringLiteral("X-Backdropper-HotKey");
const QString KeyIconIndex = QStringLiteral("X-Backdropper-IconIndex");
const QString Opener = QStringLiteral("xdg-open");
constexpr qint64 MaxLinkFileSize = 1 << 20;

// A bare name ("firefox", an icon theme name) is looked up by the desktop, not in the current
// directory, so only texts with a "/" are made absolute.
QString FullNameOf(const QString& name) {
  return name.contains(QLatin1Char('/')) ? FullPathOf(name) : name;
}

// Programs are started themselves; documents and folders through their associated program.
bool OpensThroughOpener(const QString& target) {
  struct stat st {};
  if (!target.contains(QLatin1Char('/')) || ::stat(QFile::encodeName(target).constData(), &st) != 0)
    return false;
  return S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && (st.st_mode & 0111) == 0);
}

QString ProgramOnPath(const QString& name) {
  const QString found = QStandardPaths::findExecutable(name);
  return found.isEmpty() ? name : found;
}

QString BaseName(const QString& path) {
  const QString name = NameOfFile(path);
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  return dot > 0 ? name.left(dot) : name;
}

bool ReadLinkFile(const QString& linkFile, QByteArray& bytes) {
  QFile file(linkFile);
  errno = 0;
  if (!file.open(QIODevice::ReadOnly)) {
    if (errno == 0) errno = EACCES;
    return false;
  }
  if (file.size() > MaxLinkFileSize) {
    errno = EFBIG;
    return false;
  }
  bytes = file.read(MaxLinkFileSize);
  return file.error() == QFileDevice::NoError;
}

}  // namespace

TLinkFile::TLinkFile() {
  Clear();
}

void TLinkFile::Clear() {
  Loaded = false;
  Attributes = 0;
  CreationTime = LastAccessTime = LastWriteTime = FileTimeToDateTime(timespec{});
  Size = 0;
  Path.clear();
  WorkingDirectory.clear();
  Arguments.clear();
  Description.clear();
  IconLocation.clear();
  IconIndex = 0;
  HotKey = 0;
  ShowCmd = 0;
}

bool TLinkFile::Load(const QString& linkFile, bool resolve) {
  TStatusFrame frame(__FILE__, "TLinkFile::Load", __LINE__);
  frame.Run([&] {
    auto fail = [&](int line, const char* description, uint32_t code = 0) {
      frame.Raise(line, fsError, QString::fromLatin1(description), linkFile, {}, code);
    };
    if (!IsLinkFileName(linkFile)) fail(__LINE__, "File is not a link.");
    QByteArray bytes;
    QHash<QString, QString> keys;
    if (!ReadLinkFile(linkFile, bytes))
      fail(__LINE__, "Failed to load link file.", static_cast<uint32_t>(errno));
    if (!ParseDesktopEntry(bytes, keys)) fail(__LINE__, "Failed to load link file.");

    QStringList command;
    if (!keys.contains(KeyExec) || !SplitExec(keys.value(KeyExec), command))
      fail(__LINE__, "Failed to get reference path.");
    if (command.size() >= 2 && command.first() == Opener) command.removeFirst();
    const QString target = command.isEmpty() ? QString() : command.takeFirst();
    if (resolve && !target.isEmpty() &&
        (target.contains(QLatin1Char('/')) ? !FileExistsAt(target)
                                           : QStandardPaths::findExecutable(target).isEmpty()))
      fail(__LINE__, "Failed to resolve link file.", ENOENT);

    Path = target.contains(QLatin1Char('/')) ? FullPathOf(target) : ProgramOnPath(target);
    if (Path.isEmpty()) fail(__LINE__, "Empty reference path.");
    struct statx info {};
    if (::statx(AT_FDCWD, QFile::encodeName(Path).constData(), 0, STATX_BASIC_STATS | STATX_BTIME,
                &info) == 0) {
      auto time = [&](const statx_timestamp& t) {
        const double value = ConvertFileTime(timespec{t.tv_sec, t.tv_nsec});
        frame.Check();
        return value;
      };
      Attributes = info.stx_mode;
      CreationTime = time((info.stx_mask & STATX_BTIME) ? info.stx_btime : info.stx_ctime);
      LastAccessTime = time(info.stx_atime);
      LastWriteTime = time(info.stx_mtime);
      Size = info.stx_size;
      Loaded = true;
    }
    WorkingDirectory = FullPathOf(keys.value(KeyPath));
    Arguments = JoinCommandLine(command);
    Description = keys.value(KeyComment);
    IconLocation = FullNameOf(keys.value(KeyIcon));

    auto number = [&](const QString& key, int64_t low, int64_t high, bool& ok) -> int64_t {
      if (!keys.contains(key)) return 0;
      const int64_t value = keys.value(key).trimmed().toLongLong(&ok);
      ok = ok && value >= low && value <= high;
      return ok ? value : 0;
    };
    bool ok = true;
    IconIndex = static_cast<int32_t>(number(KeyIconIndex, INT32_MIN, INT32_MAX, ok));
    if (!ok) fail(__LINE__, "Failed to get icon path.");
    HotKey = static_cast<uint16_t>(number(KeyHotKey, 0, UINT16_MAX, ok));
    if (!ok) fail(__LINE__, "Failed to get hot key.");
    ShowCmd = static_cast<int32_t>(number(KeyShowCmd, INT32_MIN, INT32_MAX, ok));
    if (!ok) fail(__LINE__, "Failed to get show command.");

    if (IsSamePath(Path, linkFile))
      fail(__LINE__, "This file is most probably a virus because it links to itself.");
  });
  if (frame.Failed()) Clear();
  return !frame.Failed();
}

bool TLinkFile::Save(const QString& linkFile, bool replace) {
  bool saved = false;
  TStatusFrame frame(__FILE__, "TLinkFile::Save", __LINE__);
  frame.Run([&] {
    auto fail = [&](int line, const char* description, uint32_t code = 0) {
      frame.Raise(line, fsError, QString::fromLatin1(description), linkFile, {}, code);
    };
    Path = FullNameOf(Path);
    if (IsLinkFileName(Path))
      fail(__LINE__, "This operating system does not support chained links.");
    if (FileExistsAt(linkFile) && !replace) return;

    if (Path.isEmpty() || !IsStorableDesktopValue(Path))
      fail(__LINE__, "Failed to set reference path.");
    if (!IsStorableDesktopValue(WorkingDirectory)) fail(__LINE__, "Failed to set working path.");
    if (!IsStorableDesktopValue(Arguments)) fail(__LINE__, "Failed to set arguments.");
    if (!IsStorableDesktopValue(Description)) fail(__LINE__, "Failed to set description.");
    if (!IsStorableDesktopValue(IconLocation)) fail(__LINE__, "Failed to set icon path.");

    QStringList command;
    if (OpensThroughOpener(Path)) command << Opener;
    command << Path << SplitCommandLine(Arguments);
    QString name = BaseName(linkFile);
    if (name.isEmpty()) name = NameOfFile(Path);

    QStringList lines;
    auto add = [&](const QString& key, const QString& value) {
      lines << key + QLatin1Char('=') + EscapeDesktopValue(value);
    };
    lines << QStringLiteral("[Desktop Entry]");
    add(QStringLiteral("Type"), QStringLiteral("Application"));
    add(QStringLiteral("Version"), QStringLiteral("1.4"));
    add(QStringLiteral("Name"), name);
    if (!Description.isEmpty()) add(KeyComment, Description);
    add(KeyExec, JoinExec(command));
    if (!WorkingDirectory.isEmpty()) add(KeyPath, WorkingDirectory);
    if (!IconLocation.isEmpty()) add(KeyIcon, IconLocation);
    add(QStringLiteral("Terminal"), QStringLiteral("false"));
    if (ShowCmd != 0) add(KeyShowCmd, QString::number(ShowCmd));
    if (HotKey != 0) add(KeyHotKey, QString::number(HotKey));
    if (IconIndex != 0) add(KeyIconIndex, QString::number(IconIndex));
    // Desktops read these files with LF line ends only.
    const QByteArray bytes = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();

    errno = 0;
    // Executable, as desktops want of launchers they are to trust.
    if (!WriteFileAtomically(linkFile, bytes, true))
      fail(__LINE__, "Failed to save link file.", static_cast<uint32_t>(errno));
    saved = true;
  });
  if (frame.Failed()) Clear();
  return saved;
}

void CopyFileAsLink(const QString& target, const QString& linkFile, bool replace,
                    const QString& arguments, bool workingDirectoryFromTarget, bool minimized) {
  TStatusFrame frame(__FILE__, "CopyFileAsLink", __LINE__);
  frame.Run([&] {
    TLinkFile link;
    link.Path = target;
    if (workingDirectoryFromTarget) link.WorkingDirectory = PathOfFile(target);
    link.Arguments = arguments;
    if (minimized) link.ShowCmd = 7;
    link.Save(linkFile, replace);
    frame.Check();
  });
}

void CopyFileAsLinkWithParam(const QString& target, const QString& linkFile,
                             const QString& arguments, bool replace) {
  TStatusFrame frame(__FILE__, "CopyFileAsLinkWithParam", __LINE__);
  frame.Run([&] {
    TLinkFile link;
    link.Path = target;
    link.WorkingDirectory = PathOfFile(target);
    link.Arguments = arguments;
    link.Save(linkFile, replace);
    frame.Check();
  });
}

void MakeLinkByStatus(const QString& directory, const QString& target, const QString& arguments,
                      const QString& description, bool minimized, bool present) {
  TStatusFrame frame(__FILE__, "MakeLinkByStatus", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to create link."));
  frame.Run([&] {
    // No folder (the system has none, or it could not be made) holds no shortcut to remove.
    if (!present && directory.isEmpty()) return;
    // Without a folder the name would land in the current directory.
    if (directory.isEmpty())
      frame.Raise(__LINE__, fsError, QStringLiteral("Empty destination name."), target);
    const QString linkFile =
        PathWithDelimiter(directory) + BaseName(target) + GetLinkExtension(target);
    if (!present) {
      ::unlink(QFile::encodeName(linkFile).constData());
      return;
    }
    TLinkFile link;
    if (FileExistsAt(linkFile)) {
      link.Load(linkFile, false);
      frame.Check();
    }
    const QString path = FullNameOf(target);
    // Compared in the form Load gives back, so an unchanged option never rewrites the file.
    const QString wantedArguments = JoinCommandLine(SplitCommandLine(arguments));
    if (link.Path == path && link.Arguments == wantedArguments && link.Description == description &&
        (link.ShowCmd == 7) == minimized)
      return;
    link.Path = path;
    link.Arguments = wantedArguments;
    link.Description = description;
    link.ShowCmd = minimized ? 7 : 1;
    link.Save(linkFile, true);
    frame.Check();
  });
}
