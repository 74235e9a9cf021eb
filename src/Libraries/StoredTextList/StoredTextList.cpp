#include "StoredTextList/StoredTextList.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Error/Error.h"
#include "File/File.h"
#include "SettingsLimits.h"
#include "ValueParsing/ValueParsing.h"

namespace {

// The report lists this many bad values and counts the rest.
constexpr int MaxListedProblems = 20;

enum class TFileRead { Absent, Read, Unreadable };

// The bytes of `fileName`, at most one past the size limit. A file that exists but cannot be
// opened or read (no permission, a folder, an I/O error) is Unreadable, with the cause in `why`.
TFileRead ReadSettingsBytes(const QString& fileName, QByteArray& bytes, QString& why, int& error) {
  bytes.clear();
  // Non-blocking, so that a pipe of that name cannot hang the program.
  const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    error = errno;
    if (error == ENOENT || error == ENOTDIR) return TFileRead::Absent;
    why = SystemErrorText(static_cast<uint32_t>(error));
    return TFileRead::Unreadable;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error = S_ISDIR(info.st_mode) ? EISDIR : errno;
    why =
        S_ISDIR(info.st_mode) ? SystemErrorText(EISDIR) : QStringLiteral("It is not a plain file.");
    ::close(fd);
    return TFileRead::Unreadable;
  }
  const qint64 limit = MaxSettingsFileSize + 1;
  bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit, info.st_size + 1)));
  qsizetype size = 0;
  for (;;) {
    if (size == bytes.size()) {
      if (size >= limit) break;
      bytes.resize(static_cast<qsizetype>(std::min<qint64>(limit, size * 2 + 4096)));
    }
    const ssize_t n = ::read(fd, bytes.data() + size, static_cast<size_t>(bytes.size() - size));
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = errno;
      why = SystemErrorText(static_cast<uint32_t>(error));
      ::close(fd);
      bytes.clear();
      return TFileRead::Unreadable;
    }
    size += n;
  }
  ::close(fd);
  bytes.resize(size);
  return TFileRead::Read;
}

// Builds `store` from a file's bytes; returns what kept the file from being read completely.
QStringList ParseStore(const QByteArray& bytes, TMemIniFile& store) {
  QStringList problems;
  if (bytes.size() > MaxSettingsFileSize)
    problems << QStringLiteral("Only the first %1 bytes were read.").arg(MaxSettingsFileSize);
  const TMemIniFile::TParseNotes notes = store.Parse(bytes.left(MaxSettingsFileSize));
  if (notes.CutAtNul) problems << QStringLiteral("The text after a NUL byte was dropped.");
  if (notes.NonUtf8Lines.size() == 1)
    problems << QStringLiteral("Line %1 is not UTF-8 text; it was read as Latin-1.")
                    .arg(notes.NonUtf8Lines[0]);
  else if (notes.NonUtf8Lines.size() > 1)
    problems << QStringLiteral(
                    "%1 lines, the first line %2, are not UTF-8 text; they were read "
                    "as Latin-1.")
                    .arg(notes.NonUtf8Lines.size())
                    .arg(notes.NonUtf8Lines[0]);
  return problems;
}

// Copies `source` to `target` through a temporary file, so `target` is either the old copy or
// the whole new one. errno tells why it failed.
bool CopyFileAtomically(const QString& source, const QString& target) {
  const int in = ::open(QFile::encodeName(source).constData(), O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  const bool copied = WriteFileAtomically(
      target,
      [in](int out) {
        char buffer[65536];
        for (;;) {
          const ssize_t n = ::read(in, buffer, sizeof buffer);
          if (n == 0) return true;
          if (n < 0) {
            if (errno == EINTR) continue;
            return false;
          }
          for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR) continue;
            if (w <= 0) return false;
            done += w;
          }
        }
      },
      false, true);
  const int error = errno;
  ::close(in);
  errno = error;
  return copied;
}

// Keeps `source` as it is now under `target`. A second name for the same file costs nothing
// whatever its size, and stays the original since every save replaces the file by a new one;
// where the file system has no such names, the bytes are copied.
bool KeepAside(const QString& source, const QString& target) {
  const QByteArray from = QFile::encodeName(source);
  const QByteArray temp = QFile::encodeName(target) + ".tmp-link";
  ::unlink(temp.constData());
  // Through a symbolic link, the name must hold the file it names: saves replace that file.
  if (::linkat(AT_FDCWD, from.constData(), AT_FDCWD, temp.constData(), AT_SYMLINK_FOLLOW) == 0) {
    if (::rename(temp.constData(), QFile::encodeName(target).constData()) == 0) return true;
    const int error = errno;
    ::unlink(temp.constData());
    errno = error;
    return false;
  }
  return CopyFileAtomically(source, target);
}

}  // namespace

TStoredTextList::TStoredTextList(const QString& fileName) : FileName(fileName) {}

TStoredTextList::~TStoredTextList() = default;

TMemIniFile& TStoredTextList::Ini() {
  if (!Store) Store = std::make_unique<TMemIniFile>(FileName);
  return *Store;
}

void TStoredTextList::Reject(const QString& section, const QString& key, const QString& problem) {
  BadValues.append(TBadValue{section, key, problem});
}

void TStoredTextList::ReadKey(const QString& section, const QString& key,
                              const std::function<void()>& read) {
  try {
    read();
  } catch (const std::exception& e) {
    Reject(section, key, QString::fromUtf8(e.what()));
  } catch (...) {
    Reject(section, key, QStringLiteral("Unhandled generic exception."));
  }
}

std::optional<QString> TStoredTextList::Value(const QString& section, const QString& key) const {
  if (!Store || !Store->ValueExists(section, key)) return std::nullopt;
  return Store->ReadString(section, key, {});
}

bool TStoredTextList::KeepOriginal() {
  if (PendingBackup.isEmpty()) return true;
  // A file that cannot be read could not be copied either; one that is gone needs no copy.
  if (!QFileInfo::exists(PendingBackup) ||
      KeepAside(PendingBackup, BackupFileName(PendingBackup))) {
    PendingBackup.clear();
    return true;
  }
  return false;
}

bool TStoredTextList::Load(uint8_t argument) {
  bool result = false;
  Loading = true;
  {
    TStatusFrame frame(__FILE__, "TStoredTextList::Load", __LINE__, TStatusFrame::Outer,
                       QStringLiteral("Failed to load file."));
    frame.Run([&] {
      BadValues.clear();
      PendingBackup.clear();
      ReadByLastLoad = false;
      QByteArray bytes;
      QString why;
      int error = 0;
      switch (ReadSettingsBytes(FileName, bytes, why, error)) {
        case TFileRead::Unreadable:
          // Reading it as empty would put every value back to its default, and the next save
          // would write those over the user's file.
          UnreadableFile = FileName;
          frame.Raise(__LINE__, fsError,
                      QStringLiteral("The file cannot be read: %1. Nothing was read from it, "
                                     "and it is not written over while it cannot be read.")
                          .arg(why),
                      FileName, {}, static_cast<uint32_t>(error));
          break;
        case TFileRead::Absent:
          if (MustExist)
            frame.Raise(__LINE__, fsError,
                        QStringLiteral("The file does not exist. Nothing was changed."), FileName,
                        {}, static_cast<uint32_t>(error));
          break;
        case TFileRead::Read:
          break;
      }
      UnreadableFile.clear();
      LastBytes = bytes;
      LastBytesFile = FileName;
      Store = std::make_unique<TMemIniFile>(FileName);
      const QStringList fileProblems = ParseStore(bytes, *Store);
      ReadByLastLoad = true;
      if (OnLoad) OnLoad(*this, argument);
      if (fileProblems.isEmpty() && BadValues.isEmpty()) {
        result = true;
        return;
      }
      QStringList lines = fileProblems;
      for (const TBadValue& bad : BadValues) {
        if (lines.size() == MaxListedProblems) {
          lines << QStringLiteral("... and %1 more.")
                       .arg(fileProblems.size() + BadValues.size() - MaxListedProblems);
          break;
        }
        lines << QStringLiteral("[%1] %2: %3").arg(bad.Section, bad.Key, bad.Problem);
      }
      // Each of these keys took its default; the file as it was must survive the next save.
      PendingBackup = FileName;
      errno = 0;
      if (KeepOriginal()) {
        lines << QStringLiteral("The file as it was is kept in \"%1\".")
                     .arg(BackupFileName(FileName));
      } else {
        lines << QStringLiteral(
                     "The file could not be copied to \"%1\" (%2); it will not be "
                     "written over.")
                     .arg(BackupFileName(FileName), SystemErrorText(errno));
      }
      frame.Note(__LINE__, fsError, lines.join(QStringLiteral("\r\n")), FileName);
    });
  }
  Loading = false;
  return result;
}

bool TStoredTextList::LoadFrom(const QString& fileName, uint8_t argument) {
  FileName = fileName;
  return Load(argument);
}

bool TStoredTextList::MayWriteOver() {
  if (UnreadableFile.isEmpty() || UnreadableFile != FileName) return true;
  QByteArray bytes;
  QString why;
  int error = 0;
  switch (ReadSettingsBytes(FileName, bytes, why, error)) {
    case TFileRead::Unreadable:
      return false;
    case TFileRead::Read:
      // Readable again, but never read: it is kept aside before the first write over it.
      PendingBackup = FileName;
      break;
    case TFileRead::Absent:
      break;
  }
  UnreadableFile.clear();
  return true;
}

TStoredTextList::TSaveOutcome TStoredTextList::WriteStore(TStatusFrame& frame, bool onlyIfChanged) {
  if (FileName.isEmpty())
    frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save file."),
                QStringLiteral("The file name is empty."));
  const QByteArray bytes = Ini().Serialize();
  if (onlyIfChanged && bytes == LastBytes && FileName == LastBytesFile)
    return TSaveOutcome::Unchanged;
  // Reported when it was found; saying it again at every save would only repeat it.
  if (!MayWriteOver()) return TSaveOutcome::Withheld;
  errno = 0;
  if (FileName == PendingBackup && !KeepOriginal())
    frame.Raise(__LINE__, fsError,
                QStringLiteral("The file could not be read completely and no copy of it could "
                               "be kept; it is not written over."),
                FileName, BackupFileName(FileName), static_cast<uint32_t>(errno));
  QFile existing(FileName);
  if (existing.exists() && !(existing.permissions() & QFileDevice::WriteOwner))
    existing.setPermissions(existing.permissions() | QFileDevice::WriteOwner);
  errno = 0;
  if (!WriteFileAtomically(FileName, bytes))
    frame.Raise(__LINE__, fsError, QStringLiteral("Failed to save file."), FileName, {},
                static_cast<uint32_t>(errno));
  LastBytes = bytes;
  LastBytesFile = FileName;
  return TSaveOutcome::Written;
}

bool TStoredTextList::Save(bool askOverwrite, uint8_t argument) {
  TSaveOutcome outcome = TSaveOutcome::Failed;
  TStatusFrame frame(__FILE__, "TStoredTextList::Save", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to save file."));
  frame.Run([&] {
    if (askOverwrite && QFileInfo::exists(FileName) &&
        !AskQuestion(QStringLiteral("File \"") + FileName +
                     QStringLiteral("\"already exists.\nOverwrite it?")))
      return;
    if (OnSave) OnSave(*this, argument);
    outcome = WriteStore(frame, false);
  });
  return outcome == TSaveOutcome::Written && !frame.Failed();
}

TStoredTextList::TSaveOutcome TStoredTextList::SaveChanges(uint8_t argument) {
  TSaveOutcome outcome = TSaveOutcome::Failed;
  TStatusFrame frame(__FILE__, "TStoredTextList::SaveChanges", __LINE__, TStatusFrame::Inner,
                     QStringLiteral("Failed to save file."));
  frame.Run([&] {
    if (OnSave) OnSave(*this, argument);
    outcome = WriteStore(frame, true);
  });
  return frame.Failed() ? TSaveOutcome::Failed : outcome;
}

bool TStoredTextList::SaveAs(const QString& fileName, bool askOverwrite, uint8_t argument) {
  FileName = fileName;
  if (!Store) {
    Store = std::make_unique<TMemIniFile>(fileName);
    // A file that cannot be read completely is kept before this save writes over it.
    QByteArray bytes;
    QString why;
    int error = 0;
    switch (ReadSettingsBytes(fileName, bytes, why, error)) {
      case TFileRead::Unreadable:
        UnreadableFile = fileName;
        break;
      case TFileRead::Read:
        if (!ParseStore(bytes, *Store).isEmpty()) PendingBackup = fileName;
        break;
      case TFileRead::Absent:
        break;
    }
  }
  Store->FileName = fileName;
  return Save(askOverwrite, argument);
}

void TStoredTextList::Clear() {
  Ini().Clear();
}

bool TStoredTextList::ReadText(const QString& section, const QString& key, bool allowEmpty,
                               int maxLength, QString& value) {
  const std::optional<QString> text = Value(section, key);
  if (!text) return false;
  if (text->size() > maxLength) {
    Reject(section, key, QStringLiteral("The text is longer than %1 characters.").arg(maxLength));
    return false;
  }
  // An empty text where none is allowed stands for "unset" and keeps the value quietly.
  if (!allowEmpty && text->isEmpty()) return false;
  value = *text;
  return true;
}

void TStoredTextList::WriteText(const QString& section, const QString& key, const QString& value) {
  Ini().WriteString(section, key, value);
}

void TStoredTextList::ReadBool(const QString& section, const QString& key, bool& value) {
  value = TextToBool(Ini().ReadString(section, key, BoolToText(value)));
}

void TStoredTextList::WriteBool(const QString& section, const QString& key, bool value) {
  Ini().WriteString(section, key, BoolToText(value));
}

bool TStoredTextList::ReadInt(const QString& section, const QString& key, int32_t& value,
                              int32_t lower, int32_t upper) {
  const std::optional<QString> text = Value(section, key);
  if (!text) return false;
  int32_t read = 0;
  if (!TryTextToInt(*text, read)) {
    Reject(section, key,
           QStringLiteral("\"%1\" is not a valid integer value.").arg(text->left(80)));
    return false;
  }
  if (read < lower || read > upper) {
    Reject(section, key,
           QStringLiteral("%1 is not between %2 and %3.").arg(read).arg(lower).arg(upper));
    return false;
  }
  value = read;
  return true;
}

void TStoredTextList::WriteInt(const QString& section, const QString& key, int32_t value) {
  Ini().WriteString(section, key, QString::number(value));
}

bool TStoredTextList::ReadColor(const QString& section, const QString& key, int32_t& value) {
  const std::optional<QString> text = Value(section, key);
  if (!text) return false;
  int32_t color = 0;
  if (!TryTextToColor(*text, color)) {
    Reject(section, key, QStringLiteral("\"%1\" is not a valid color value.").arg(text->left(80)));
    return false;
  }
  value = color;
  return true;
}

void TStoredTextList::WriteColor(const QString& section, const QString& key, int32_t value) {
  WriteInt(section, key, value);
}

QString RealToText(double value) {
  QString text = QString::number(value, 'g', 15);
  const QString point = QLocale().decimalPoint();
  if (point != QStringLiteral(".")) text.replace(QLatin1Char('.'), point);
  return text;
}

bool TextToReal(const QString& text, double& value) {
  const QString point = QLocale().decimalPoint();
  QString plain = text;
  if (point != QStringLiteral(".")) {
    if (plain.contains(QLatin1Char('.'))) return false;
    plain.replace(point, QStringLiteral("."));
  }
  bool ok = false;
  const double read = plain.toDouble(&ok);
  if (!ok || !std::isfinite(read)) return false;
  value = read;
  return true;
}

bool TStoredTextList::ReadReal(const QString& section, const QString& key, double& value) {
  const std::optional<QString> text = Value(section, key);
  if (!text) return false;
  if (TextToReal(*text, value)) return true;
  Reject(section, key, QStringLiteral("\"%1\" is not a valid real value.").arg(text->left(80)));
  return false;
}

void TStoredTextList::WriteReal(const QString& section, const QString& key, double value) {
  Ini().WriteString(section, key, RealToText(value));
}

void TStoredTextList::ReadRelativeRect(const QString& section, const QString& keyLeft,
                                       const QString& keyTop, const QString& keyWidth,
                                       const QString& keyHeight, double& left, double& top,
                                       double& width, double& height) {
  auto readSize = [&](const QString& key, double current) {
    double size = current;
    ReadReal(section, key, size);
    if (!(size > 0)) size = current;
    return std::min(size, 1.0);
  };
  auto readOffset = [&](const QString& key, double current, double size) {
    double offset = current;
    ReadReal(section, key, offset);
    return std::clamp(offset, 0.0, 1.0 - size);
  };
  const double w = readSize(keyWidth, width);
  const double h = readSize(keyHeight, height);
  const double l = readOffset(keyLeft, left, w);
  const double t = readOffset(keyTop, top, h);
  left = l;
  top = t;
  width = w;
  height = h;
}

void TStoredTextList::WriteRelativeRect(const QString& section, const QString& keyLeft,
                                        const QString& keyTop, const QString& keyWidth,
                                        const QString& keyHeight, double left, double top,
                                        double width, double height) {
  WriteReal(section, keyLeft, left);
  WriteReal(section, keyTop, top);
  WriteReal(section, keyWidth, width);
  WriteReal(section, keyHeight, height);
}
