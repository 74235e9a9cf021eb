// The in-memory copy of one settings file: sections of lines, looked up without regard to case.
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class TMemIniFile {
 public:
  struct TSection {
    QString Name;
    QStringList Lines;  // normally "key=value", but any text inside a section is kept
  };

  explicit TMemIniFile(const QString& fileName = {}) : FileName(fileName) {}

  // What Parse could not take as it stands.
  struct TParseNotes {
    QList<int> NonUtf8Lines;  // 1-based; each was read as Latin-1
    bool CutAtNul = false;    // the text after a NUL byte was dropped
  };

  // Builds the store from file content: the text ends at the first NUL, lines end at CR, LF or
  // CR LF, nothing is trimmed, comments and lines before the first header are dropped. Each line
  // is UTF-8, or Latin-1 when it is not valid UTF-8.
  TParseNotes Parse(const QByteArray& content);
  // The whole file: each section's header, its lines, an empty line; CR LF after every line.
  QByteArray Serialize() const;

  // The value after the first "=" of the first matching line, or `fallback` when absent.
  QString ReadString(const QString& section, const QString& key, const QString& fallback) const;
  bool ValueExists(const QString& section, const QString& key) const;
  void WriteString(const QString& section, const QString& key, const QString& value);
  void DeleteKey(const QString& section, const QString& key);
  void EraseSection(const QString& section);
  void Clear() { Sections.clear(); }

  QString FileName;
  QList<TSection> Sections;

 private:
  const TSection* FindSection(const QString& name) const;
  static qsizetype FindKey(const QStringList& lines, const QString& key);
};
