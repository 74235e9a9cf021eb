#include "Install/Install.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QKeyEvent>
#include <cerrno>
#include <unistd.h>

#include "Error/Error.h"
#include "File/DirectoryChooser.h"
#include "File/File.h"
#include "Install/InstallPlaces.h"
#include "LinkFile/LinkFile.h"
#include "Program.h"
#include "Registry.h"
#include "Utilities.h"

TInstallForm* InstallForm = nullptr;

namespace {

const QString UninstallArgument = QStringLiteral("/Uninstall");
// Files without which an installed copy would have no help and no readme to show.
const QStringList DistributionData = {QStringLiteral("Readme.txt"), QStringLiteral("Help.html")};

// A desktop shows the program's picture beside its links, as the other platform takes it from
// the program file.
void SaveShortcut(const QString& target, const QString& link, const QString& arguments,
                  const QString& icon) {
  QDir().mkpath(PathOfFile(link));
  TLinkFile file;
  file.Path = target;
  file.WorkingDirectory = PathOfFile(target);
  file.Arguments = arguments;
  if (FileExistsAt(icon)) file.IconLocation = icon;
  file.Save(link, true);
}

template <class T>
T* Named(T* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

}  // namespace

TInstallForm::TInstallForm(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("InstallForm"));
  setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(QStringLiteral("Install"));
  QFont font(QStringLiteral("Arial"));
  font.setPointSize(9);
  setFont(font);
  setFixedSize(400, 450);

  MainPanel = Named(new QFrame(this), "MainPanel");
  MainPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  MainPanel->setGeometry(5, 5, 390, 60);
  MainPanelLabel = Named(new QLabel(QStringLiteral("MainPanel"), MainPanel), "MainPanelLabel");
  MainPanelLabel->setGeometry(MainPanel->contentsRect());
  MainPanelLabel->setAlignment(Qt::AlignCenter);
  QFont big(QStringLiteral("Comic Sans MS"));
  big.setPixelSize(30);
  big.setBold(true);
  big.setItalic(true);
  MainPanelLabel->setFont(big);

  DescriptionLabel = Named(new QLabel(this), "DescriptionLabel");
  DescriptionLabel->setGeometry(0, 70, 400, 17);
  VersionLabel = Named(new QLabel(this), "VersionLabel");
  VersionLabel->setGeometry(0, 88, 400, 17);
  for (QLabel* label : {DescriptionLabel, VersionLabel}) label->setAlignment(Qt::AlignCenter);

  InstructionsLabel = Named(new QLabel(this), "InstructionsLabel");
  InstructionsLabel->setGeometry(10, 108, 380, 65);
  InstructionsLabel->setWordWrap(true);
  InstructionsLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  InstructionsLabel->setText(QStringLiteral(
      "The program can be reinstalled without the need to uninstall its previous version. The "
      "existing options file will be preserved. If you want to repair the installed package, "
      "simply reinstall the program. Before continuing, close any running instances of the "
      "program."));

  ReadmeMemo = Named(new QPlainTextEdit(this), "ReadmeMemo");
  ReadmeMemo->setGeometry(5, 176, 390, 145);
  ReadmeMemo->setReadOnly(true);
  ReadmeMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ReadmeMemo->setBackgroundRole(QPalette::Window);

  InstallToLabel = Named(new QLabel(this), "InstallToLabel");
  InstallToLabel->setGeometry(5, 330, 390, 17);
  InstallToEdit = Named(new QLineEdit(this), "InstallToEdit");
  InstallToEdit->setGeometry(5, 349, 390, 24);
  InstallToEdit->setReadOnly(true);
  InstallToEdit->setBackgroundRole(QPalette::Window);
  QPalette face = InstallToEdit->palette();
  face.setColor(QPalette::Base, face.color(QPalette::Window));
  InstallToEdit->setPalette(face);
  ReadmeMemo->setPalette(face);

  BrowseButton = Named(new QPushButton(QStringLiteral("&Browse"), this), "BrowseButton");
  BrowseButton->setGeometry(5, 412, 90, 28);
  InstallButton = Named(new QPushButton(QStringLiteral("&Install"), this), "InstallButton");
  InstallButton->setGeometry(210, 412, 90, 28);
  CancelButton = Named(new QPushButton(QStringLiteral("&Cancel"), this), "CancelButton");
  CancelButton->setGeometry(305, 412, 90, 28);
  connect(BrowseButton, &QPushButton::clicked, this, &TInstallForm::BrowseButtonClick);
  connect(InstallButton, &QPushButton::clicked, this, &TInstallForm::InstallButtonClick);
  connect(CancelButton, &QPushButton::clicked, this, &TInstallForm::CancelButtonClick);

  SourceDirectory = GetProgramDirectory();
  InstallerFileName = GetProgramFileName();
  InstallToEdit->setText(GetProgramFilesPath());
  LoadReadme(SourceDirectory);
  ReadmeMemo->setFocus();
}

void TInstallForm::LoadReadme(const QString& directory) {
  QFile file(PathWithDelimiter(directory) + QStringLiteral("Readme.txt"));
  // A missing or unreadable readme leaves the memo as it is, without a word.
  if (!file.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return;
  ReadmeMemo->setPlainText(QString::fromUtf8(bytes).remove(QLatin1Char('\r')));
}

void TInstallForm::keyPressEvent(QKeyEvent* event) {
  // Esc is the Cancel button, as in a dialog; the controls pass it on unused.
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    CancelButton->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void TInstallForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (Centred) return;
  Centred = true;
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
}

void TInstallForm::SetProgramInfo(const QString& name, const QString& description,
                                  const QString& version) {
  SetProgramInfo(name, description, version, GetProgramFileName(), GetProgramParameter(1));
}

void TInstallForm::SetPanelText(const QString& text) {
  // Where the face falls back to a wider one, a long name still fits the panel.
  QFont font = MainPanelLabel->font();
  font.setPixelSize(30);
  const int room = MainPanelLabel->width() - 6;
  while (font.pixelSize() > 12 && QFontMetrics(font).horizontalAdvance(text) > room)
    font.setPixelSize(font.pixelSize() - 1);
  MainPanelLabel->setFont(font);
  MainPanelLabel->setText(text);
}

void TInstallForm::SetProgramInfo(const QString& name, const QString& description,
                                  const QString& version, const QString& fileName,
                                  const QString& firstArgument) {
  ProgramName = name;
  DescriptionLabel->setText(description);
  VersionLabel->setText(version);
  if (IsInstallerFileName(fileName)) {
    setWindowTitle(QStringLiteral("Install ") + name);
    SetPanelText(QStringLiteral("Welcome to ") + name);
    InstallToLabel->setText(
        QStringLiteral("The program's installation directory will be put in directory:"));
    InstallButton->setText(QStringLiteral("&Install"));
  }
  UninstallMode = firstArgument.compare(UninstallArgument, Qt::CaseInsensitive) == 0;
  if (UninstallMode) {
    setWindowTitle(QStringLiteral("Uninstall ") + name);
    SetPanelText(QStringLiteral("Bye from ") + name);
    InstallToLabel->setText(QStringLiteral("The following directory will be deleted:"));
    InstallButton->setText(QStringLiteral("Un&install"));
    InstallToEdit->setText(PathWithDelimiter(SourceDirectory));
    BrowseButton->setEnabled(false);
  }
}

void TInstallForm::BrowseButtonClick() {
  QString directory = InstallToEdit->text();
  if (BrowseForDirectory(directory, {}, {})) InstallToEdit->setText(PathWithDelimiter(directory));
}

void TInstallForm::InstallButtonClick() {
  InstallButton->setEnabled(false);
  if (!InstallToEdit->text().isEmpty()) {
    if (UninstallMode)
      Uninstall();
    else
      Install();
  }
  close();
}

void TInstallForm::CancelButtonClick() {
  close();
}

void TInstallForm::Install() {
  TStatusFrame frame(__FILE__, "TInstallForm::Install", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to install program. Check to see if you have rights "
                                    "to write in the installation directory."));
  frame.Run([&] {
    const QString source = PathWithDelimiter(FullPathOf(SourceDirectory));
    // The folder's name, not the empty text after its trailing delimiter.
    const QString target = PathWithDelimiter(InstallToEdit->text()) + FolderNameOf(source);
    const TInstallPlaces places = TInstallPlaces::Of(ProgramName, target);
    if (!places.Valid())
      frame.Raise(__LINE__, fsError,
                  QStringLiteral("The installer's folder has no name to give the installation."),
                  source);
    for (const QString& name : QStringList{InstallerFileName} + DistributionData)
      if (!FileExistsAt(source + name))
        frame.Raise(__LINE__, fsError,
                    QStringLiteral("A file of the program is missing beside the installer."),
                    source + name, {}, ENOENT);
    // Whoever may write in the base folder could swap the program for their own.
    const QString base = InstallToEdit->text();
    const QString unsafe = UnsafeBaseFolderReason(base);
    if (!unsafe.isEmpty()) frame.Raise(__LINE__, fsError, unsafe, base);
    // Copying a folder onto itself would empty every file it copies, and into itself would
    // never end.
    if (IsSameOrInside(places.Target, source))
      frame.Raise(__LINE__, fsError,
                  QStringLiteral("The installation directory is the folder the installer runs "
                                 "from or lies inside it. Choose another directory."),
                  target, source);
    // Uninstalling would delete the other program's files with ours.
    if (HoldsAnotherProgram(places.Target, ProgramName))
      frame.Raise(__LINE__, fsError,
                  QStringLiteral("The installation directory holds files of another program. "
                                 "Choose another directory."),
                  target);
    if (!AskQuery(QStringLiteral("Install the program in directory \"") + target +
                  QStringLiteral("\"?")))
      return;

    CopyDeleteDirectory(source, target, true);
    // The file system tells "install" from "Install": the copy has the installer's own name.
    MyRenameFile(places.Target + InstallerFileName, places.ProgramFile, true);
    frame.Check();

    // The links, the group and the entry are not tested one by one: the program works without.
    SaveShortcut(places.ProgramFile, places.DesktopLink, {}, places.IconFile);
    if (!places.Group.isEmpty()) {
      SaveShortcut(places.ProgramFile, places.GroupProgramLink, {}, places.IconFile);
      SaveShortcut(places.ProgramFile, places.GroupUninstallLink, UninstallArgument,
                   places.IconFile);
      SaveShortcut(places.ReadmeFile, places.GroupReadmeLink, {}, {});
      WriteMenuGroupFiles(places);
    }
    SetUninstallRegistry(ProgramName, ProgramName,
                         places.ProgramFile + QLatin1Char(' ') + UninstallArgument);

    // The installed copy must not find this one's lock and step aside.
    ReleaseProgramInstance();
    RunFile(places.ProgramFile);
    frame.Check();
  });
}

void TInstallForm::Uninstall() {
  TStatusFrame frame(__FILE__, "TInstallForm::Uninstall", __LINE__, TStatusFrame::Outer,
                     QStringLiteral("Failed to uninstall program."));
  frame.Run([&] {
    const QString dir = InstallToEdit->text();
    const TInstallPlaces places = TInstallPlaces::Of(ProgramName, dir);
    if (!places.Valid() || IsHomeOrAbove(dir))
      frame.Raise(__LINE__, fsError,
                  QStringLiteral("The home folder and the folders above it are never deleted."),
                  dir);
    // Opened once: what is checked here is what is deleted, whatever the path names by then.
    const TOpenFolder folder(dir);
    if (!folder.IsOpen())
      frame.Raise(__LINE__, fsError, QStringLiteral("Can not find directory."), dir, {},
                  static_cast<uint32_t>(folder.Error));
    for (const QString& name : {ProgramName, DistributionData.last()})
      if (!folder.HoldsFile(name))
        frame.Raise(__LINE__, fsError,
                    QStringLiteral("The directory does not hold the program's own files; it is "
                                   "not deleted."),
                    dir, places.Target + name);
    if (!AskQuery(QStringLiteral("Delete directory \"") + dir +
                  QStringLiteral("\" (and all contained files)?")))
      return;
    if (BeforeRemoval) BeforeRemoval();

    // A folder renamed or moved by hand still has its group and links under the old name.
    const QString registered = ProgramOfUninstallCommand(
        GetRegistryText(TRegistryRoot::LocalMachine, UninstallRegistryKey(ProgramName),
                        QStringLiteral("UninstallString")));
    const bool registeredHere = IsSamePath(registered, places.ProgramFile);
    const bool registeredGone = !registered.isEmpty() && !FileExistsAt(registered);

    DeleteDirectoryNoErrors(folder);
    RemoveLinkTo(places.DesktopLink, places.ProgramFile);
    RemoveLinkTo(places.AutostartLink, places.ProgramFile);
    RemoveMenuGroup(places);
    if (registeredGone && !registeredHere) {
      const TInstallPlaces old = TInstallPlaces::Of(ProgramName, PathOfFile(registered));
      RemoveLinkTo(old.DesktopLink, old.ProgramFile);
      RemoveLinkTo(old.AutostartLink, old.ProgramFile);
      if (LinkStarts(old.GroupProgramLink, old.ProgramFile)) RemoveMenuGroup(old);
    }
    // Another installation's entry stays.
    if (registered.isEmpty() || registeredHere || registeredGone)
      DeleteUninstallerRegistry(ProgramName);
    ShowInfo(
        QStringLiteral("Uninstallation successful. Some files that were in use were not deleted."));
  });
}
