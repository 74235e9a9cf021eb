// The help file: "Help.html" in the program's data directory, opened at a context's anchor.
#pragma once

#include <QString>

QString HelpFilePath();
QString HelpUrl(int context);
void ShowHelp(int context);
