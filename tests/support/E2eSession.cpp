#include "E2eSession.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

void SetUpChild() {
  // Own process group, so the whole tree can be killed; die with the test process.
  ::setpgid(0, 0);
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
}

// A child that ended may not have been noticed yet, and its pid may already belong to another
// test's process group (pids wrap quickly at 32768): only a child of ours is killed.
bool IsOurChild(qint64 pid) {
  QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
  if (!stat.open(QIODevice::ReadOnly)) return false;
  const QByteArray line = stat.readAll();
  // "pid (name) state ppid ...": the name may hold blanks and parentheses.
  const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
  return fields.size() > 1 && fields[1].toLongLong() == ::getpid();
}

void Kill(QProcess* process) {
  if (!process || process->state() == QProcess::NotRunning) return;
  const qint64 pid = process->processId();
  if (pid > 0 && IsOurChild(pid)) {
    ::kill(-static_cast<pid_t>(pid), SIGKILL);
    process->kill();
  }
  process->waitForFinished(3000);
}

}  // namespace

TE2eSession::TE2eSession(const QString& screen)
    : Temp(QDir::tempPath() + QStringLiteral("/backdropper-e2e-XXXXXX")) {
  const QString root = Temp.path();
  Env = QProcessEnvironment::systemEnvironment();
  for (const char* var : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                          "XDG_RUNTIME_DIR", "XDG_STATE_HOME"}) {
    const QString dir = root + QLatin1Char('/') + QString::fromLatin1(var).toLower();
    QDir().mkpath(dir);
    QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    Env.insert(QString::fromLatin1(var), dir);
  }
  for (const char* var : {"XDG_CURRENT_DESKTOP", "DBUS_SESSION_BUS_ADDRESS", "WAYLAND_DISPLAY",
                          "QT_QPA_PLATFORM", "SESSION_MANAGER"})
    Env.remove(QString::fromLatin1(var));
  Env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  Env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
  PrepareProgramDir();

  // Xvfb picks a free display itself and prints its number once it accepts clients. Left to
  // itself it resets when its last client goes and drops whoever connects meanwhile (the copy an
  // installer starts as it ends, a program started right after another crashed): no resets.
  // A server that does not take a client is started anew.
  for (int attempt = 0; attempt < 3 && Display.isEmpty(); ++attempt) {
    Kill(Xvfb.get());
    Xvfb = std::make_unique<QProcess>();
    Xvfb->setProcessEnvironment(Env);
    Xvfb->setChildProcessModifier(SetUpChild);
    Xvfb->start(QStringLiteral("Xvfb"),
                {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                 QStringLiteral("0"), screen, QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                 QStringLiteral("-noreset")});
    QDeadlineTimer deadline(15000);
    QByteArray out;
    while (!deadline.hasExpired() && Xvfb->state() != QProcess::NotRunning && !out.contains('\n')) {
      Xvfb->waitForReadyRead(200);
      out += Xvfb->readAllStandardOutput();
    }
    const QString number = QString::fromLatin1(out).trimmed();
    if (number.isEmpty()) continue;
    const QString display = QLatin1Char(':') + number;
    if (Run(QStringLiteral("xdpyinfo"), {QStringLiteral("-display"), display}) != 0) continue;
    Display = display;
    Env.insert(QStringLiteral("DISPLAY"), Display);
  }

  // A session bus of its own, so nothing autolaunches one that outlives the test.
  Bus = std::make_unique<QProcess>();
  Bus->setProcessEnvironment(Env);
  Bus->setChildProcessModifier(SetUpChild);
  Bus->start(QStringLiteral("dbus-daemon"),
             {QStringLiteral("--session"), QStringLiteral("--nofork"),
              QStringLiteral("--print-address=1")});
  QByteArray address;
  QDeadlineTimer busDeadline(10000);
  while (!busDeadline.hasExpired() && Bus->state() != QProcess::NotRunning &&
         !address.contains('\n')) {
    Bus->waitForReadyRead(200);
    address += Bus->readAllStandardOutput();
  }
  Env.insert(
      QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
      address.isEmpty() ? QStringLiteral("disabled:") : QString::fromLatin1(address).trimmed());
}

TE2eSession::~TE2eSession() {
  for (auto it = Processes.rbegin(); it != Processes.rend(); ++it) Kill(it->get());
  Kill(Bus.get());
  Kill(Xvfb.get());
}

void TE2eSession::StopBus() {
  Kill(Bus.get());
}

void TE2eSession::StopDisplay() {
  Kill(Xvfb.get());
}

void TE2eSession::PrepareProgramDir() {
  const QString dir = ProgramDir();
  QDir().mkpath(dir);
  const QByteArray binary = QByteArrayLiteral(BACKDROPPER_BINARY);
  const QByteArray target = QFile::encodeName(ProgramPath());
  if (::link(binary.constData(), target.constData()) != 0)
    QFile::copy(QString::fromLocal8Bit(binary), ProgramPath());
  const QString data = QStringLiteral(BACKDROPPER_SOURCE_DIR "/data");
  QDirIterator it(data, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString source = it.next();
    const QString copy = dir + source.mid(data.size());
    QDir().mkpath(copy.left(copy.lastIndexOf(QLatin1Char('/'))));
    QFile::copy(source, copy);
  }
}

QProcess* TE2eSession::Launch(const QString& program, const QStringList& arguments) {
  auto process = std::make_unique<QProcess>();
  process->setProcessEnvironment(Env);
  process->setChildProcessModifier(SetUpChild);
  process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process->start(program, arguments);
  process->waitForStarted(5000);
  Processes.push_back(std::move(process));
  return Processes.back().get();
}

QProcess* TE2eSession::StartProgram(const QStringList& arguments) {
  return Launch(ProgramPath(), arguments);
}

QProcess* TE2eSession::StartProcess(const QString& program, const QStringList& arguments) {
  return Launch(program, arguments);
}

bool TE2eSession::AddStandInTool(const QString& name, const QByteArray& script) {
  const QString tools = Root() + QStringLiteral("/tools");
  QDir().mkpath(tools);
  QFile file(tools + QLatin1Char('/') + name);
  if (!file.open(QIODevice::WriteOnly) || file.write(script) != script.size()) return false;
  file.close();
  file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  const QString path = Env.value(QStringLiteral("PATH"));
  if (!path.startsWith(tools + QLatin1Char(':')))
    Env.insert(QStringLiteral("PATH"), tools + QLatin1Char(':') + path);
  return true;
}

int TE2eSession::Run(const QString& program, const QStringList& arguments, QString* output,
                     int timeoutMs) {
  QProcess process;
  process.setProcessEnvironment(Env);
  process.setChildProcessModifier(SetUpChild);
  process.start(program, arguments);
  if (!process.waitForFinished(timeoutMs)) {
    Kill(&process);
    return -1;
  }
  if (output) *output = QString::fromLocal8Bit(process.readAllStandardOutput());
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

void TE2eSession::WriteDirectoryListOptions(const QString& folder, const QByteArray& extra) {
  QFile file(ProgramDir() + QStringLiteral("/Backdropper.ini"));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  file.write("[DirectoryList]\r\nCount=1\r\nTitle0=" +
             QFile::encodeName(folder.isEmpty() ? Root() : folder) +
             "\r\nActive0=TRUE\r\nRecurs0=FALSE\r\n\r\n" + extra);
}

TMemIniFile TE2eSession::Options() const {
  TMemIniFile ini;
  QFile file(ProgramDir() + QStringLiteral("/Backdropper.ini"));
  if (file.open(QIODevice::ReadOnly)) ini.Parse(file.readAll());
  return ini;
}

QString TE2eSession::WallpaperFile() const {
  return Env.value(QStringLiteral("XDG_DATA_HOME")) +
         QStringLiteral("/backdropper/Backdropper_Wallpaper.bmp");
}

bool TE2eSession::RootShows(const QImage& wallpaper, const QRect& covered) {
  const QImage root = Screenshot();
  if (root.isNull() || wallpaper.isNull() || root.size() != wallpaper.size()) return false;
  for (int y = 5; y < root.height(); y += 97)
    for (int x = 5; x < root.width(); x += 89)
      if (!covered.contains(x, y) && root.pixel(x, y) != wallpaper.pixel(x, y)) return false;
  return true;
}

QImage TE2eSession::WaitForWallpaper(const QImage& before, int timeoutMs, const QRect& covered) {
  // The file is written before the root window is given it: wait for both.
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    const QImage wallpaper(WallpaperFile());
    if (!wallpaper.isNull() && wallpaper != before && RootShows(wallpaper, covered))
      return wallpaper;
    QThread::msleep(100);
  }
  return {};
}

void TE2eSession::StartTrayHost() {
  StartProcess(QStringLiteral("trayer"),
               {QStringLiteral("--edge"), QStringLiteral("top"), QStringLiteral("--align"),
                QStringLiteral("right"), QStringLiteral("--widthtype"), QStringLiteral("pixel"),
                QStringLiteral("--width"), QStringLiteral("100"), QStringLiteral("--height"),
                QStringLiteral("32")});
}

QStringList TE2eSession::WaitForTrayIcons(int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  while (!deadline.hasExpired()) {
    QThread::msleep(200);
    QString found;
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("search"), QStringLiteral("--class"), QStringLiteral("^Backdropper$")},
        &found);
    QStringList icons;
    for (const QString& window : found.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
      QString geometry;
      Run(QStringLiteral("xdotool"), {QStringLiteral("getwindowgeometry"), window}, &geometry);
      const QRegularExpressionMatch size =
          QRegularExpression(QStringLiteral("Geometry: (\\d+)x(\\d+)")).match(geometry);
      if (!size.hasMatch()) continue;
      const int width = size.captured(1).toInt();
      const int height = size.captured(2).toInt();
      if (width >= 16 && width <= 64 && height >= 16 && height <= 64) icons << window;
    }
    if (!icons.isEmpty()) return icons;
  }
  return {};
}

QStringList TE2eSession::FindWindows(const QString& titleRegex, bool onlyVisible) {
  QStringList args;
  if (onlyVisible) args << QStringLiteral("--onlyvisible");
  args << QStringLiteral("--name") << titleRegex;
  QString out;
  Run(QStringLiteral("xdotool"), QStringList{QStringLiteral("search")} + args, &out);
  return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

bool TE2eSession::WaitForWindow(const QString& titleRegex, int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  do {
    if (!FindWindows(titleRegex).isEmpty()) return true;
    QThread::msleep(100);
  } while (!deadline.hasExpired());
  return false;
}

bool TE2eSession::PressUntilGone(const QString& window, const QString& key,
                                 const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    Run(QStringLiteral("xdotool"),
        {QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    QThread::msleep(300);
    Run(QStringLiteral("xdotool"), {QStringLiteral("key"), key});
    QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired()) {
      if (!FindWindows(QStringLiteral(".")).contains(window)) return true;
      if (done && done()) return true;
      QThread::msleep(100);
    }
  }
  return false;
}

QString TE2eSession::WindowTitle(const QString& window) {
  QString out;
  Run(QStringLiteral("xprop"),
      {QStringLiteral("-id"), window, QStringLiteral("-notype"), QStringLiteral("_NET_WM_NAME")},
      &out);
  // _NET_WM_NAME = "text", with " and \ escaped by a backslash.
  const qsizetype start = out.indexOf(QStringLiteral(" = \""));
  const qsizetype end = out.lastIndexOf(QLatin1Char('"'));
  if (start < 0 || end < start + 4) return {};
  QString title;
  for (qsizetype i = start + 4; i < end; ++i) {
    if (out[i] == QLatin1Char('\\') && i + 1 < end) ++i;
    title += out[i];
  }
  return title;
}

QImage TE2eSession::Screenshot() {
  const QString file = Temp.path() + QStringLiteral("/screenshot.png");
  QFile::remove(file);
  Run(QStringLiteral("import"), {QStringLiteral("-window"), QStringLiteral("root"), file});
  return QImage(file);
}

int TE2eSession::WaitForExit(QProcess* process, int timeoutMs) {
  if (process->state() != QProcess::NotRunning && !process->waitForFinished(timeoutMs)) return -1;
  return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
}
