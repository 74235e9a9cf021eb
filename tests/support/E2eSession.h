// The real program under its own Xvfb display, with a private HOME and XDG directories.
// Every process started here is killed when the session ends, and dies with the test process.
#pragma once

#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <vector>

#include "StoredTextList/MemIniFile.h"

class TE2eSession {
 public:
  explicit TE2eSession(const QString& screen = QStringLiteral("1280x1024x24"));
  ~TE2eSession();
  TE2eSession(const TE2eSession&) = delete;
  TE2eSession& operator=(const TE2eSession&) = delete;

  bool Ready() const { return !Display.isEmpty(); }
  QString DisplayName() const { return Display; }
  QString BusAddress() const { return Env.value(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")); }
  QString Root() const { return Temp.path(); }
  // A private copy of the program folder: the binary (hard-linked) and its data files.
  QString ProgramDir() const { return Temp.path() + QStringLiteral("/program"); }
  QString ProgramPath() const { return ProgramDir() + QStringLiteral("/Backdropper"); }
  QProcessEnvironment Environment() const { return Env; }
  // Sets a variable for the processes started from now on (empty value: removes it).
  void SetVariable(const QString& name, const QString& value) {
    if (value.isEmpty())
      Env.remove(name);
    else
      Env.insert(name, value);
  }

  // An options file whose directory list holds `folder` (the session's root folder when empty,
  // so that the program starts without asking for a picture folder), followed by `extra`.
  void WriteDirectoryListOptions(const QString& folder = {}, const QByteArray& extra = {});
  // The options file of the program copy as it is on disk now.
  TMemIniFile Options() const;
  // The folder of the program copy's sample pictures.
  QString PicturesDir() const { return ProgramDir() + QStringLiteral("/Pictures"); }
  // The composed wallpaper the program writes.
  QString WallpaperFile() const;
  // Whether the root window shows `wallpaper` wherever `covered` does not hide it (checked on a
  // grid of points).
  bool RootShows(const QImage& wallpaper, const QRect& covered = {});
  // Waits until the wallpaper file holds a picture other than `before` and the root window shows
  // it; returns that picture, or a null one on a time-out.
  QImage WaitForWallpaper(const QImage& before = {}, int timeoutMs = 20000,
                          const QRect& covered = {});
  // Starts the program copy; the session owns the process.
  QProcess* StartProgram(const QStringList& arguments = {});
  // Starts any helper process inside the session (tray host, bus, ...).
  QProcess* StartProcess(const QString& program, const QStringList& arguments);
  // Puts the shell script `script` under the name `name` first on the PATH of the processes
  // started from now on, in place of the real tool; false when it cannot be written.
  bool AddStandInTool(const QString& name, const QByteArray& script);
  // Runs a tool to completion; returns its exit code (-1 when it could not run).
  int Run(const QString& program, const QStringList& arguments, QString* output = nullptr,
          int timeoutMs = 10000);

  // Ends the session bus, as when the session's bus daemon goes away.
  void StopBus();
  // Ends the X server, as when the display goes away under the program.
  void StopDisplay();

  // A real tray host (trayer) at the top right of the screen.
  void StartTrayHost();
  // The program's windows of the tray icon's size, once there is one (the icon is embedded in
  // the tray, where a search by name does not reach it); empty on a time-out.
  QStringList WaitForTrayIcons(int timeoutMs = 20000);
  // Window ids whose title matches the regular expression (xdotool search --name).
  QStringList FindWindows(const QString& titleRegex, bool onlyVisible = true);
  bool WaitForWindow(const QString& titleRegex, int timeoutMs = 10000);
  // Presses `key` in `window` until the window is no longer shown or `done` says the press took
  // effect; a key sent before the window has the focus is lost on a busy machine, so it is sent
  // again.
  bool PressUntilGone(const QString& window, const QString& key,
                      const std::function<bool()>& done = {});
  // The title as the window manager reads it: the window's _NET_WM_NAME property (empty when the
  // window has none).
  QString WindowTitle(const QString& window);
  QImage Screenshot();

  // Waits for a process to end and returns its exit code, or -1 on a time-out.
  static int WaitForExit(QProcess* process, int timeoutMs);

 private:
  QProcess* Launch(const QString& program, const QStringList& arguments);
  void PrepareProgramDir();

  QTemporaryDir Temp;
  QString Display;
  QProcessEnvironment Env;
  std::unique_ptr<QProcess> Xvfb;
  std::unique_ptr<QProcess> Bus;
  std::vector<std::unique_ptr<QProcess>> Processes;
};
