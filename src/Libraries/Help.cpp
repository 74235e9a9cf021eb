#include "Help.h"

#include <QUrl>

#include "Platform/Launcher.h"
#include "Program.h"

QString HelpFilePath() { return GetProgramDataDirectory() + QStringLiteral("Help.html"); }

QString HelpUrl(int context) {
  QUrl url = QUrl::fromLocalFile(HelpFilePath());
  url.setFragment(QStringLiteral("context-%1").arg(context));
  return url.toString();
}

void ShowHelp(int context) { Platform::Launcher().Open(HelpUrl(context)); }
