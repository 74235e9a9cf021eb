#include "LinkFile/DesktopEntry.h"

namespace {

bool IsReservedInExec(QChar c) {
  static const QString reserved = QStringLiteral(" \t\n\r\"'\\><~|&;$*?#`");
  return reserved.contains(c);
}

QString QuoteExecArgument(const QString& argument) {
  bool needsQuotes = argument.isEmpty();
  for (const QChar c : argument)
    if (IsReservedInExec(c)) needsQuotes = true;
  QString result;
  if (needsQuotes) result += QLatin1Char('"');
  for (const QChar c : argument) {
    if (needsQuotes && (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
                        c == QLatin1Char('\\')))
      result += QLatin1Char('\\');
    result += c;
    if (c == QLatin1Char('%')) result += QLatin1Char('%');
  }
  if (needsQuotes) result += QLatin1Char('"');
  return result;
}

// "%%" is a percent sign; any other field code expands to nothing when nothing is opened.
QString ExpandFieldCodes(const QString& argument) {
  QString result;
  for (qsizetype i = 0; i < argument.size(); ++i) {
    if (argument[i] != QLatin1Char('%')) {
      result += argument[i];
    } else if (i + 1 < argument.size()) {
      if (argument[++i] == QLatin1Char('%')) result += QLatin1Char('%');
    }
  }
  return result;
}

bool IsFieldCode(const QString& argument) {
  return argument.size() == 2 && argument[0] == QLatin1Char('%') &&
         QStringLiteral("fFuUdDnNickvm").contains(argument[1]);
}

}  // namespace

QString EscapeDesktopValue(const QString& value) {
  QString result;
  for (qsizetype i = 0; i < value.size(); ++i) {
    const QChar c = value[i];
    if (c == QLatin1Char('\\'))
      result += QStringLiteral("\\\\");
    else if (c == QLatin1Char('\n'))
      result += QStringLiteral("\\n");
    else if (c == QLatin1Char('\t'))
      result += QStringLiteral("\\t");
    else if (c == QLatin1Char('\r'))
      result += QStringLiteral("\\r");
    else if (c == QLatin1Char(' ') && i == 0)
      result += QStringLiteral("\\s");
    else
      result += c;
  }
  return result;
}

QString UnescapeDesktopValue(const QString& text) {
  QString result;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
      result += text[i];
      continue;
    }
    const QChar next = text[++i];
    switch (next.unicode()) {
      case 's':
        result += QLatin1Char(' ');
        break;
      case 'n':
        result += QLatin1Char('\n');
        break;
      case 't':
        result += QLatin1Char('\t');
        break;
      case 'r':
        result += QLatin1Char('\r');
        break;
      case '\\':
        result += QLatin1Char('\\');
        break;
      default:  // not an escape of this level: the Exec rules or the reader decide
        result += QLatin1Char('\\');
        result += next;
    }
  }
  return result;
}

QString JoinExec(const QStringList& arguments) {
  QStringList parts;
  for (const QString& argument : arguments) parts << QuoteExecArgument(argument);
  return parts.join(QLatin1Char(' '));
}

bool SplitExec(const QString& exec, QStringList& arguments) {
  arguments.clear();
  qsizetype i = 0;
  const qsizetype n = exec.size();
  while (i < n) {
    if (exec[i] == QLatin1Char(' ') || exec[i] == QLatin1Char('\t')) {
      ++i;
      continue;
    }
    QString argument;
    bool quotedPart = false;
    while (i < n && exec[i] != QLatin1Char(' ') && exec[i] != QLatin1Char('\t')) {
      if (exec[i] != QLatin1Char('"')) {
        argument += exec[i++];
        continue;
      }
      quotedPart = true;
      ++i;
      bool closed = false;
      while (i < n) {
        const QChar c = exec[i++];
        if (c == QLatin1Char('"')) {
          closed = true;
          break;
        }
        if (c == QLatin1Char('\\') && i < n && QStringLiteral("\"`$\\").contains(exec[i]))
          argument += exec[i++];
        else
          argument += c;
      }
      if (!closed) return false;
    }
    if (!quotedPart && IsFieldCode(argument)) continue;
    arguments << ExpandFieldCodes(argument);
  }
  return true;
}

bool IsStorableDesktopValue(const QString& value) {
  for (const QChar c : value) {
    const char16_t u = c.unicode();
    if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0x7f) return false;
  }
  return true;
}

bool ParseDesktopEntry(const QByteArray& text, QHash<QString, QString>& keys) {
  keys.clear();
  bool found = false, inEntry = false;
  for (QByteArray line : text.split('\n')) {
    if (line.endsWith('\r')) line.chop(1);
    const QByteArray trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith('#')) continue;
    if (trimmed.startsWith('[') && trimmed.endsWith(']')) {
      inEntry = trimmed == "[Desktop Entry]" && !found;
      found = found || inEntry;
      continue;
    }
    if (!inEntry) continue;
    const qsizetype equals = line.indexOf('=');
    if (equals <= 0) continue;
    const QString key = QString::fromUtf8(line.left(equals).trimmed());
    if (key.isEmpty() || keys.contains(key)) continue;
    // Blanks after "=" are ignored; trailing ones belong to the value.
    QByteArray value = line.mid(equals + 1);
    while (!value.isEmpty() && (value[0] == ' ' || value[0] == '\t')) value.remove(0, 1);
    keys.insert(key, UnescapeDesktopValue(QString::fromUtf8(value)));
  }
  return found;
}
