#include "Platform/Linux/DesktopStores.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QUrl>

#include "Platform/CommandRunner.h"

namespace Platform {
namespace {

bool NotTaken(const QString& desktop, const QString& store, const QString& held, QString& why) {
  why = QStringLiteral("%1: the desktop did not take the wallpaper; %2 holds %3")
            .arg(desktop, store, held.isEmpty() ? QStringLiteral("nothing") : held);
  return false;
}

// A string in GVariant's text form ('...' or "..." with backslash escapes), as gsettings prints.
QString GvariantString(const QString& printed) {
  const QString text = printed.trimmed();
  if (text.size() < 2 || (text.front() != QLatin1Char('\'') && text.front() != QLatin1Char('"')) ||
      text.back() != text.front())
    return text;
  QString value;
  for (qsizetype i = 1; i + 1 < text.size(); ++i) {
    if (text[i] == QLatin1Char('\\') && i + 2 < text.size()) ++i;
    value += text[i];
  }
  return value;
}

// A value as GKeyFile writes it: \s, \n, \t, \r and \\ are escapes.
QString KeyFileValue(const QString& written) {
  QString value;
  for (qsizetype i = 0; i < written.size(); ++i) {
    if (written[i] != QLatin1Char('\\') || i + 1 == written.size()) {
      value += written[i];
      continue;
    }
    const QChar next = written[++i];
    value += next == QLatin1Char('s')   ? QLatin1Char(' ')
             : next == QLatin1Char('n') ? QLatin1Char('\n')
             : next == QLatin1Char('t') ? QLatin1Char('\t')
             : next == QLatin1Char('r') ? QLatin1Char('\r')
                                        : next;
  }
  return value;
}

// The wallpapers PCManFM-Qt's profiles name, or PCManFM's desktops (per monitor, and per
// workspace when the desktop keeps one for each).
QStringList PcmanfmWallpapers(bool qt) {
  const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                       (qt ? QStringLiteral("/pcmanfm-qt") : QStringLiteral("/pcmanfm"));
  QStringList found;
  for (const QString& profile : QDir(base).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString folder = base + QLatin1Char('/') + profile;
    if (qt) {
      const QSettings settings(folder + QStringLiteral("/settings.conf"), QSettings::IniFormat);
      if (const QString w = settings.value(QStringLiteral("Desktop/Wallpaper")).toString();
          !w.isEmpty())
        found << w;
      continue;
    }
    static const QRegularExpression key(QStringLiteral("^wallpaper[0-9]*\\s*=\\s*(.*)$"));
    for (const QString& name :
         QDir(folder).entryList({QStringLiteral("desktop-items-*.conf")}, QDir::Files)) {
      QFile file(folder + QLatin1Char('/') + name);
      if (!file.open(QIODevice::ReadOnly)) continue;
      for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n')))
        if (const auto match = key.match(line); match.hasMatch())
          found << KeyFileValue(match.captured(1));
    }
  }
  return found;
}

}  // namespace

bool RunTool(const QString& program, const QStringList& arguments, QString& why, QString* output) {
  const TCommandResult result = CommandRunner().Run(program, arguments);
  if (output) *output = result.Output;
  if (result.Succeeded()) return true;
  why = program + QStringLiteral(" failed") +
        // A tool that crashed or was stopped at the time limit has no exit code to tell.
        (result.Started && result.ExitCode >= 0
             ? QStringLiteral(" with exit code %1").arg(result.ExitCode)
             : QString()) +
        (result.Errors.trimmed().isEmpty() ? QString()
                                           : QStringLiteral(": ") + result.Errors.trimmed());
  return false;
}

QString FileUri(const QString& path) {
  return QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
}

bool GsettingsHolds(const QString& desktop, const QString& schema, const QString& key,
                    const QString& wanted, QString& why) {
  QString printed;
  if (!RunTool(QStringLiteral("gsettings"), {QStringLiteral("get"), schema, key}, why, &printed))
    return false;
  const QString held = GvariantString(printed);
  return held == wanted || NotTaken(desktop, key, held, why);
}

bool XfconfValues(QMap<QString, QString>& values, QString& why) {
  QString listing;
  if (!RunTool(QStringLiteral("xfconf-query"),
               {QStringLiteral("-c"), QStringLiteral("xfce4-desktop"), QStringLiteral("-l"),
                QStringLiteral("-v")},
               why, &listing))
    return false;
  // "property   value" lines; a value may hold blanks.
  static const QRegularExpression blank(QStringLiteral("\\s"));
  values.clear();
  for (const QString& line : listing.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
    const QString entry = line.trimmed();
    const qsizetype at = entry.indexOf(blank);
    values.insert(entry.left(at < 0 ? entry.size() : at),
                  at < 0 ? QString() : entry.mid(at).trimmed());
  }
  return true;
}

bool XfconfHolds(const QMap<QString, QString>& wanted, QString& why) {
  QMap<QString, QString> values;
  if (!XfconfValues(values, why)) return false;
  for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
    if (values.value(it.key()) != it.value())
      return NotTaken(QStringLiteral("XFCE"), it.key(), values.value(it.key()), why);
  return true;
}

bool PcmanfmHolds(bool qt, const QString& wanted, QString& why) {
  QDeadlineTimer deadline(3000);
  QStringList found;
  for (;;) {
    found = PcmanfmWallpapers(qt);
    if (found.contains(wanted)) return true;
    if (deadline.hasExpired()) break;
    QThread::msleep(50);
  }
  return NotTaken(
      qt ? QStringLiteral("LXQt") : QStringLiteral("LXDE"),
      qt ? QStringLiteral("pcmanfm-qt's settings") : QStringLiteral("pcmanfm's settings"),
      found.join(QStringLiteral(", ")), why);
}

bool PlasmaReplyHolds(const QString& reply, QString& why) {
  // dbus-send prints the reply as `string "..."`; the script printed one line a desktop.
  const qsizetype start = reply.indexOf(QStringLiteral("string \""));
  const qsizetype end = reply.lastIndexOf(QLatin1Char('"'));
  const QStringList lines =
      start < 0 || end < start + 8
          ? QStringList()
          : reply.mid(start + 8, end - start - 8).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
  for (const QString& line : lines) {
    const QString held = line.section(QLatin1Char('\t'), 0, 0).trimmed();
    if (held != line.section(QLatin1Char('\t'), 1).trimmed())
      return NotTaken(QStringLiteral("Plasma"), QStringLiteral("a desktop's Image"), held, why);
  }
  return !lines.isEmpty() ||
         NotTaken(QStringLiteral("Plasma"), QStringLiteral("the shell's reply"), QString(), why);
}

}  // namespace Platform
