// The running program: its file, directories, arguments and single-instance lock.
#pragma once

#include <QString>
#include <optional>

QString GetProgramFilePath();
QString GetProgramDirectory();  // with a trailing "/"
QString GetProgramFileName();
QString GetProgramParameter(int index);  // 1 = first argument; empty when absent

// Where the program writes its own files ("Backdropper.ini", "Errors.log", skins): beside the
// executable when its data files are there too (portable and self-installed) and the directory
// is writable, else "$XDG_CONFIG_HOME/backdropper/".
QString GetProgramWriteDirectory();
// Where the program's read-only data lives ("Help.html", "Readme.txt", shipped skins): beside
// the executable, else "<prefix>/share/backdropper/" of an installed copy.
QString GetProgramDataDirectory();
// The "CalendarSkins" folder of the write directory; made the first time, with the shipped skins
// copied into it when they live elsewhere.
void PrepareSkinDirectory();

// True when this copy must not run: another copy already holds the lock of this name, or the
// lock file is not one the program can trust; then `refusal` (when given) says why, for the user.
bool CheckProgramInstance(const QString& name, QString* refusal = nullptr);
void ReleaseProgramInstance();

// "Install" or "Install.exe" in any letter case.
bool IsInstallerFileName(const QString& fileName);
bool IsInstallMode();

void TerminateProgramFun();

// "--help" and "--version" print their text and give exit code 0; any other first argument that
// starts with "-" prints the usage to stderr and gives 2; otherwise nothing. Needs no display
// and starts nothing.
std::optional<int> AnswerInformationOption(int argc, char** argv);

inline const char* const ProgramName = "Backdropper";
inline const char* const ProgramDescription = "Manage your desktop wallpapers";
inline const char* const ProgramVersionLine = "Version 1.1.9, released on 30.10.2006";
