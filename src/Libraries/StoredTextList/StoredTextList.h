// A settings file: the in-memory ini store, load/save events for its owner, and typed readers
// and writers of plain values (the control helpers are in StoredControls.h).
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "StoredTextList/MemIniFile.h"

// A value the last load could not take; the key kept its default.
struct TBadValue {
  QString Section;
  QString Key;
  QString Problem;
};

class TStoredTextList {
 public:
  using TEvent = std::function<void(TStoredTextList& list, uint8_t argument)>;

  explicit TStoredTextList(const QString& fileName = {});
  ~TStoredTextList();

  // A load reads every key on its own: a value that cannot be taken keeps the key's default and
  // is reported with the others at the end. A file that could not be read completely is copied
  // aside (see BackupFileName) before it is first written over; while that copy cannot be made,
  // the file is not written over at all.
  //
  // A file that exists but cannot be read (no permission, a folder, an I/O error) is reported
  // and changes nothing: OnLoad does not run. Saves leave it alone while it stays unreadable;
  // once it can be read again it is kept aside like an incomplete one and then written.
  bool Load(uint8_t argument = 0);
  bool LoadFrom(const QString& fileName, uint8_t argument = 0);
  bool Save(bool askOverwrite, uint8_t argument = 0);
  bool SaveAs(const QString& fileName, bool askOverwrite, uint8_t argument = 0);
  void Clear();

  enum class TSaveOutcome { Written, Unchanged, Withheld, Failed };
  // Lets the owner write its values and writes the file unless its text is what was last read
  // or written. No report window: a failure is left in FunStatContext for the caller.
  TSaveOutcome SaveChanges(uint8_t argument = 0);

  QString FileName;
  // An absent file is an error on loading, and changes nothing, instead of an empty file.
  bool MustExist = false;
  // The last load got as far as the owner's reader: false when nothing could be read.
  bool ReadByLastLoad = false;
  bool Loading = false;
  TEvent OnLoad;
  TEvent OnSave;
  std::unique_ptr<TMemIniFile> Store;
  // What the last load could not read, in file order.
  QList<TBadValue> BadValues;

  static QString BackupFileName(const QString& fileName) {
    return fileName + QStringLiteral(".bad");
  }

  // Records a value that is present but not accepted.
  void Reject(const QString& section, const QString& key, const QString& problem);
  // Runs one key's reader; whatever it throws costs that key only.
  void ReadKey(const QString& section, const QString& key, const std::function<void()>& read);
  // The stored text of a present key, or nothing.
  std::optional<QString> Value(const QString& section, const QString& key) const;

  // Readers keep the current value when the key is absent; a present value they cannot take
  // is rejected and the current value stays. They return whether a present value was taken.
  bool ReadText(const QString& section, const QString& key, bool allowEmpty, int maxLength,
                QString& value);
  void WriteText(const QString& section, const QString& key, const QString& value);
  void ReadBool(const QString& section, const QString& key, bool& value);
  void WriteBool(const QString& section, const QString& key, bool value);
  bool ReadInt(const QString& section, const QString& key, int32_t& value, int32_t lower,
               int32_t upper);
  void WriteInt(const QString& section, const QString& key, int32_t value);
  // Empty text is black.
  bool ReadColor(const QString& section, const QString& key, int32_t& value);
  void WriteColor(const QString& section, const QString& key, int32_t value);
  bool ReadReal(const QString& section, const QString& key, double& value);
  void WriteReal(const QString& section, const QString& key, double value);
  void ReadRelativeRect(const QString& section, const QString& keyLeft, const QString& keyTop,
                        const QString& keyWidth, const QString& keyHeight, double& left,
                        double& top, double& width, double& height);
  void WriteRelativeRect(const QString& section, const QString& keyLeft, const QString& keyTop,
                         const QString& keyWidth, const QString& keyHeight, double left, double top,
                         double width, double height);

 private:
  TMemIniFile& Ini();
  // The file whose unread original must be kept before it is written over; empty when none.
  QString PendingBackup;
  bool KeepOriginal();
  // The file that could not be read at all; it is not written over while that lasts.
  QString UnreadableFile;
  bool MayWriteOver();
  // The text last read from or written to LastBytesFile.
  QByteArray LastBytes;
  QString LastBytesFile;
  TSaveOutcome WriteStore(class TStatusFrame& frame, bool onlyIfChanged);
};

// Reals in settings files: shortest form with at most 15 significant digits and the user's
// decimal separator.
QString RealToText(double value);
bool TextToReal(const QString& text, double& value);
