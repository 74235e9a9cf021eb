#include "File/CommandLine.h"

namespace {

bool IsBlank(QChar c) {
  return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
         c == QLatin1Char('\r');
}

}  // namespace

QStringList SplitCommandLine(const QString& text) {
  QStringList arguments;
  QString current;
  bool inArgument = false, quoted = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted) {
      if (c != QLatin1Char('"'))
        current += c;
      else if (i + 1 < text.size() && text[i + 1] == QLatin1Char('"'))
        current += text[++i];
      else
        quoted = false;
    } else if (IsBlank(c)) {
      if (inArgument) arguments << current;
      current.clear();
      inArgument = false;
    } else {
      inArgument = true;
      if (c == QLatin1Char('"'))
        quoted = true;
      else
        current += c;
    }
  }
  if (inArgument) arguments << current;
  return arguments;
}

QString JoinCommandLine(const QStringList& arguments) {
  QStringList parts;
  for (const QString& argument : arguments) {
    bool plain = !argument.isEmpty();
    for (const QChar c : argument)
      if (IsBlank(c) || c == QLatin1Char('"')) plain = false;
    if (plain) {
      parts << argument;
    } else {
      QString quoted = argument;
      quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
      parts << QLatin1Char('"') + quoted + QLatin1Char('"');
    }
  }
  return parts.join(QLatin1Char(' '));
}
