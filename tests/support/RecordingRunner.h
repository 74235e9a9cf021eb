// A command runner that records commands instead of running them: the user's own desktop
// settings have no safe real target. It keeps what the tools were told the way each desktop's
// store would, so the setters' read-back sees it. The wallpaper tests use it with a chosen
// desktop name, and with no X display, so nothing reaches a real desktop.
#pragma once

#include <QDir>
#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <functional>
#include <optional>

#include "Platform/CommandRunner.h"
#include "Platform/WallpaperSetter.h"

class TRecordingRunner : public Platform::ICommandRunner {
 public:
  // Program followed by its arguments, one entry per command, in order.
  QList<QStringList> Commands;
  // The answer to a command; none (or unset) answers from the store below.
  std::function<std::optional<Platform::TCommandResult>(const QString&, const QStringList&)> Answer;
  // What the desktop holds: "schema key" for gsettings, the property for xfconf-query.
  QMap<QString, QString> Store;
  // False: the desktop answers every command with success and changes nothing.
  bool Keeps = true;

  Platform::TCommandResult Run(const QString& program, const QStringList& arguments) override {
    Commands << (QStringList{program} + arguments);
    if (Answer)
      if (std::optional<Platform::TCommandResult> given = Answer(program, arguments)) return *given;
    Platform::TCommandResult result;
    result.Started = true;
    result.ExitCode = 0;
    if (program == "gsettings" && arguments.size() >= 3) {
      const QString key = arguments[1] + ' ' + arguments[2];
      if (arguments[0] == "set" && arguments.size() == 4 && Keeps) Store[key] = arguments[3];
      if (arguments[0] == "get") result.Output = "'" + Store.value(key) + "'\n";
    } else if (program == "xfconf-query") {
      const qsizetype property = arguments.indexOf("-p"), value = arguments.indexOf("-s");
      if (property >= 0 && value >= 0 && Keeps)
        Store[arguments[property + 1]] = arguments[value + 1];
      if (arguments.contains("-l"))
        for (auto it = Store.cbegin(); it != Store.cend(); ++it)
          result.Output += it.key() + "   " + it.value() + "\n";
    } else if (program.startsWith("pcmanfm") && Keeps) {
      SavePcmanfmWallpaper(program == "pcmanfm-qt", arguments.value(1));
    } else if (program == "dbus-send") {
      // One desktop, on a screen the script has no file of its own for: it gets the whole one.
      static const QRegularExpression whole("\\|\\| \"([^\"]*)\"");
      const QString given = whole.match(arguments.value(5)).captured(1);
      if (Keeps) Store["Image"] = given;
      result.Output =
          "method return\n   string \"" + Store.value("Image") + "\t" + given + "\n\"\n";
    }
    return result;
  }

  static QString PcmanfmFolder(bool qt) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           (qt ? "/pcmanfm-qt" : "/pcmanfm");
  }

 private:
  // Where the running desktops keep their wallpaper.
  static void SavePcmanfmWallpaper(bool qt, const QString& path) {
    const QString folder = PcmanfmFolder(qt) + (qt ? "/lxqt" : "/LXDE");
    QDir().mkpath(folder);
    if (qt) {
      QSettings(folder + "/settings.conf", QSettings::IniFormat)
          .setValue("Desktop/Wallpaper", path);
      return;
    }
    QFile file(folder + "/desktop-items-0.conf");
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
      file.write("[*]\nwallpaper_mode=stretch\nwallpaper=" + path.toUtf8() + "\n");
  }
};

// Installs a recording runner for the session's desktop `desktop` for the life of the object.
class TRecordedDesktop {
 public:
  explicit TRecordedDesktop(const QByteArray& desktop) {
    qunsetenv("DISPLAY");
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_CURRENT_DESKTOP", desktop);
    for (const bool qt : {false, true})
      QDir(TRecordingRunner::PcmanfmFolder(qt)).removeRecursively();
    auto runner = std::make_unique<TRecordingRunner>();
    Runner = runner.get();
    Platform::SetCommandRunner(std::move(runner));
  }
  ~TRecordedDesktop() {
    Platform::SetCommandRunner(nullptr);
    qunsetenv("XDG_CURRENT_DESKTOP");
  }
  TRecordedDesktop(const TRecordedDesktop&) = delete;
  TRecordedDesktop& operator=(const TRecordedDesktop&) = delete;

  TRecordingRunner* Runner;
};
