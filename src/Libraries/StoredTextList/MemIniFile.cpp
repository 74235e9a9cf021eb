#include "StoredTextList/MemIniFile.h"

#include <QStringDecoder>

namespace {

// One line of settings text: UTF-8, or Latin-1 when it is not valid UTF-8 (a hand edit in a
// single-byte editor), so that no byte is lost and the other lines keep their own decoding.
QString DecodeLine(const QByteArray& bytes, bool& latin1) {
  QStringDecoder utf8(QStringDecoder::Utf8,
                      QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
  QString text = utf8(bytes);
  latin1 = utf8.hasError();
  return latin1 ? QString::fromLatin1(bytes) : text;
}

}  // namespace

TMemIniFile::TParseNotes TMemIniFile::Parse(const QByteArray& content) {
  Sections.clear();
  TParseNotes notes;
  const qsizetype nul = content.indexOf('\0');
  notes.CutAtNul = nul >= 0;
  const QByteArray bytes = nul < 0 ? content : content.left(nul);
  TSection* current = nullptr;
  // Some editors save a byte-order mark first; it would hide the first section's header.
  qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
  const qsizetype size = bytes.size();
  int lineNumber = 0;
  while (pos < size) {
    qsizetype end = pos;
    while (end < size && bytes[end] != '\r' && bytes[end] != '\n') ++end;
    bool latin1 = false;
    const QString line = DecodeLine(bytes.mid(pos, end - pos), latin1);
    ++lineNumber;
    if (latin1) notes.NonUtf8Lines.append(lineNumber);
    if (end < size && bytes[end] == '\r' && end + 1 < size && bytes[end + 1] == '\n') ++end;
    pos = end + 1;

    if (line.isEmpty() || line.startsWith(QLatin1Char(';'))) continue;
    if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']')) && line.size() >= 2) {
      Sections.append(TSection{line.mid(1, line.size() - 2), {}});
      current = &Sections.last();
    } else if (current) {
      current->Lines.append(line);
    }
  }
  return notes;
}

QByteArray TMemIniFile::Serialize() const {
  QString text;
  for (const TSection& section : Sections) {
    text += QLatin1Char('[') + section.Name + QStringLiteral("]\r\n");
    for (const QString& line : section.Lines) text += line + QStringLiteral("\r\n");
    text += QStringLiteral("\r\n");
  }
  return text.toUtf8();
}

const TMemIniFile::TSection* TMemIniFile::FindSection(const QString& name) const {
  for (const TSection& section : Sections)
    if (section.Name.compare(name, Qt::CaseInsensitive) == 0) return &section;
  return nullptr;
}

qsizetype TMemIniFile::FindKey(const QStringList& lines, const QString& key) {
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
    if (eq >= 0 && QStringView(lines[i]).left(eq).compare(key, Qt::CaseInsensitive) == 0) return i;
  }
  return -1;
}

QString TMemIniFile::ReadString(const QString& section, const QString& key,
                                const QString& fallback) const {
  const TSection* s = FindSection(section);
  if (!s) return fallback;
  const qsizetype i = FindKey(s->Lines, key);
  if (i < 0) return fallback;
  const QString& line = s->Lines[i];
  return line.mid(line.indexOf(QLatin1Char('=')) + 1);
}

bool TMemIniFile::ValueExists(const QString& section, const QString& key) const {
  const TSection* s = FindSection(section);
  return s && FindKey(s->Lines, key) >= 0;
}

void TMemIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
  auto* s = const_cast<TSection*>(FindSection(section));
  if (!s) {
    Sections.append(TSection{section, {}});
    s = &Sections.last();
  }
  // A value is one line: line breaks inside it would split it into stray lines on reading.
  QString flat = value;
  flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
  const QString line = key + QLatin1Char('=') + flat;
  const qsizetype i = FindKey(s->Lines, key);
  if (i >= 0)
    s->Lines[i] = line;
  else
    s->Lines.append(line);
}

void TMemIniFile::DeleteKey(const QString& section, const QString& key) {
  auto* s = const_cast<TSection*>(FindSection(section));
  if (!s) return;
  const qsizetype i = FindKey(s->Lines, key);
  if (i >= 0) s->Lines.removeAt(i);
}

void TMemIniFile::EraseSection(const QString& section) {
  for (qsizetype i = 0; i < Sections.size(); ++i) {
    if (Sections[i].Name.compare(section, Qt::CaseInsensitive) == 0) {
      Sections.removeAt(i);
      return;
    }
  }
}
