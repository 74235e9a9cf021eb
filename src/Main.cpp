// Entry point.
#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "AboutDialog.h"
#include "Application.h"
#include "DesktopPositionDialog.h"
#include "Error/Error.h"
#include "Error/ErrorForm.h"
#include "Install/Install.h"
#include "MainDialog/MainDialog.h"
#include "Platform/RemoteControl.h"
#include "Platform/Signals.h"
#include "Program.h"
#include "Utilities.h"

namespace {

// Process set-up before WinMain: the abort handler, a crash handler that never hangs.
void InitialiseProcess() {
  FunStatContext.Reset(fsPerfect);
  std::set_terminate(TerminateProgramFun);
  Platform::InstallCrashHandler(GetProgramWriteDirectory() + QStringLiteral("Errors.log"));
  errno = 0;
}

int WinMain(int argc, char** argv) {
  int exitCode = 0;
  std::unique_ptr<TApplication> application;
  std::unique_ptr<QWidget> firstWindow;
  std::unique_ptr<TAboutForm> about;
  std::unique_ptr<TErrorForm> error;
  std::unique_ptr<TDesktopPositionForm> position;
  {
    TStatusFrame frame(__FILE__, "WinMain", __LINE__, TStatusFrame::Outer);
    frame.Run([&] {
      QString refusal;
      const bool stop = CheckProgramInstance(QString::fromLatin1(ProgramName), &refusal);
      if (stop && refusal.isEmpty()) {
        // A second copy passes its command on to the running one without a window; only a
        // command that did not arrive is told, to whoever started it (a key binding, a script).
        const QString argument = GetProgramParameter(1);
        if (const auto command = Platform::RemoteCommandFromArgument(argument)) {
          QCoreApplication bus(argc, argv);
          QString why;
          if (!Platform::SendRemoteCommand(*command, why)) {
            std::fprintf(stderr, "%s: the running copy did not take \"%s\": %s\n", ProgramName,
                         qPrintable(argument), qPrintable(why));
            exitCode = 1;
          }
        }
        return;
      }
      application = std::make_unique<TApplication>(argc, argv);
      // No display name: the platform would append it to every window title.
      application->setApplicationName(QString::fromLatin1(ProgramName));
      if (stop) {
        std::fprintf(stderr, "%s\n", qPrintable(refusal));
        ShowError(refusal);
        exitCode = 1;
        return;
      }
      const bool installMode = IsInstallMode();
      // The main window often lives hidden in the tray; only its real close ends the loop.
      application->setQuitOnLastWindowClosed(installMode);
      if (installMode) {
        firstWindow.reset(InstallForm = new TInstallForm);
      } else {
        firstWindow.reset(MainForm = new TMainForm);
      }
      about.reset(AboutForm = new TAboutForm);
      error.reset(ErrorForm = new TErrorForm);
      position.reset(DesktopPositionForm = new TDesktopPositionForm);

      if (installMode) {
        InstallForm->SetProgramInfo(QString::fromLatin1(ProgramName),
                                    QString::fromLatin1(ProgramDescription),
                                    QString::fromLatin1(ProgramVersionLine));
        InstallForm->show();
        Platform::InstallStopSignals([] { QApplication::quit(); });
      } else {
        Platform::InstallStopSignals([] {
          if (MainForm) MainForm->CloseProgram();
        });
        // The end of the session closes for good, so the options are saved; the autostart
        // entry, not the session manager, starts the next copy.
        QObject::connect(application.get(), &QGuiApplication::commitDataRequest, MainForm,
                         [](QSessionManager& manager) {
                           manager.setRestartHint(QSessionManager::RestartNever);
                           MainForm->CloseProgram();
                         });
        MainForm->BeforeRun();
      }
      // A stop signal during start-up (say, while the first run's folder chooser was open) has
      // closed the window for good already.
      if (installMode || !MainForm->ExitRequested) application->exec();
    });
  }
  // The next copy may start the moment the lock is free: the hot keys and the bus name must be
  // given up before, or it would find them taken.
  position.reset();
  error.reset();
  about.reset();
  firstWindow.reset();
  application.reset();
  ReleaseProgramInstance();
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  // Asked for help or the version, the program answers without starting anything.
  if (const std::optional<int> answered = AnswerInformationOption(argc, argv)) return *answered;
  InitialiseProcess();
  return WinMain(argc, argv);
}
