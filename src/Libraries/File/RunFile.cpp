// Starting files and addresses with their associated program.
#include <QFile>
#include <cerrno>
#include <sys/stat.h>

#include "File/CommandLine.h"
#include "Error/Error.h"
#include "File/File.h"
#include "Platform/Launcher.h"

namespace {

// An executable file is started itself; anything else opens with its associated program.
bool IsProgramFile(const QString& file) {
  struct stat st {};
  return ::stat(QFile::encodeName(file).constData(), &st) == 0 && S_ISREG(st.st_mode) &&
         (st.st_mode & 0111) != 0;
}

// "https://...", "mailto:...": a scheme of two or more characters before the colon.
bool IsAddress(const QString& text) {
  const qsizetype colon = text.indexOf(QLatin1Char(':'));
  if (colon < 2 || !text[0].isLetter()) return false;
  for (qsizetype i = 1; i < colon; ++i) {
    const QChar c = text[i];
    if (!(c.isLetterOrNumber() || c == QLatin1Char('+') || c == QLatin1Char('-') ||
          c == QLatin1Char('.')))
      return false;
  }
  return true;
}

}  // namespace

void RunFile(const QString& file, const QString& parameters, const QString& directory,
             bool quoteParameters, bool /*minimized: xdg-open cannot ask for it*/) {
  TStatusFrame frame(__FILE__, "RunFile", __LINE__);
  frame.Run([&] {
    if (file.isEmpty()) {
      ShowErrorBox(QStringLiteral("The name of the file is empty."));
      return;
    }
    QString text;
    if (!parameters.isEmpty())
      text = quoteParameters ? QStringLiteral(" \"") + parameters + QLatin1Char('"')
                             : QLatin1Char(' ') + parameters;
    errno = 0;
    bool started = false;
    if (IsProgramFile(file)) {
      // The started program gets the parameter text split as a command line would be.
      started = Platform::Launcher().Start(file, SplitCommandLine(text), directory);
    } else if (!IsAddress(file) && !FileExistsAt(file)) {
      errno = ENOENT;
    } else {
      started = Platform::Launcher().Open(file);
    }
    if (!started)
      frame.Raise(__LINE__, fsError, QStringLiteral("Failed to run file."), file, {},
                  static_cast<uint32_t>(errno ? errno : ENOENT));
  });
}

void OpenSite(const QString& address, const QString& errorText) {
  TStatusFrame frame(__FILE__, "OpenSite", __LINE__, TStatusFrame::Outer, errorText);
  frame.Run([&] {
    RunFile(address, {}, {}, true, false);
    frame.Check();
  });
}
