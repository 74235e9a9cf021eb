// Building the main window: the frame, the "Wallpaper" tabs and the "General" page. The
// "Calendar" tabs are built from the skin table (Calendar.cpp).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProxyStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "CalendarSkin.h"
#include "ColorPanel.h"
#include "Controls.h"
#include "LinkLabel.h"
#include "MainDialog.h"
#include "MonitorChoices.h"
#include "Scheduler.h"

namespace {

constexpr int TabMargin = 8;
constexpr int Indent = 20;

QStringList LetterItems() {
  QStringList letters;
  for (char letter = 'A'; letter <= 'Z'; ++letter) letters << QString(QLatin1Char(letter));
  return letters;
}

QStringList MinStretchSizeItems() {
  return QStringList{QStringLiteral("-1")} + NumberItems(100, 500, 50) +
         NumberItems(600, 1000, 100);
}

QStringList MaxStretchSkewItems() {
  return QStringList{QStringLiteral("-1")} + NumberItems(105, 150, 5) +
         QStringList{QStringLiteral("160"), QStringLiteral("170"), QStringLiteral("180")};
}

QStringList GammaItems() {
  return QStringList{QStringLiteral("1"), QStringLiteral("5")} + NumberItems(10, 30, 5) +
         NumberItems(40, 200, 10) + NumberItems(250, 500, 50) + NumberItems(600, 1000, 100);
}

QStringList NormalizeMethodItems() {
  return {QStringLiteral("Anisotropic dampening"), QStringLiteral("Balanced scaling"),
          QStringLiteral("Mirrored scaling")};
}

// Less space around tab captions than the style's own.
class TCompactTabStyle : public QProxyStyle {
 public:
  using QProxyStyle::QProxyStyle;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) return 10;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

QVBoxLayout* NewTabLayout(QWidget* tab) {
  auto* layout = new QVBoxLayout(tab);
  layout->setContentsMargins(TabMargin, TabMargin, TabMargin, TabMargin);
  layout->setSpacing(6);
  return layout;
}

// A row of widgets, left-aligned, after an optional indent.
QHBoxLayout* AddRow(QVBoxLayout* parent, std::initializer_list<QWidget*> widgets, int indent = 0) {
  auto* row = new QHBoxLayout;
  row->setSpacing(6);
  if (indent > 0) row->addSpacing(indent);
  for (QWidget* widget : widgets) row->addWidget(widget);
  row->addStretch(1);
  parent->addLayout(row);
  return row;
}

QLabel* NewHeading(QWidget* parent, const QString& text) {
  QLabel* label = NewLabel(parent, nullptr, text, true);
  QFont bold = label->font();
  bold.setBold(true);
  label->setFont(bold);
  return label;
}

}  // namespace

void TMainForm::BuildWindow() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(6, 6, 6, 6);
  root->setSpacing(4);

  auto* links = new QHBoxLayout;
  links->setSpacing(16);
  AboutLabel = NewLinkLabel(this, "AboutLabel", QStringLiteral("About"));
  HelpLabel = NewLinkLabel(this, "HelpLabel", QStringLiteral("Help"));
  CloseProgramLabel = NewLinkLabel(this, "CloseProgramLabel", QStringLiteral("Close"));
  links->addStretch(1);
  for (TLinkLabel* label : {AboutLabel, HelpLabel, CloseProgramLabel}) links->addWidget(label);
  root->addLayout(links);

  PageControl = new QTabWidget(this);
  PageControl->setObjectName(QStringLiteral("PageControl"));
  root->addWidget(PageControl, 1);

  WallpaperPageControl = new QTabWidget;
  WallpaperPageControl->setObjectName(QStringLiteral("WallpaperPageControl"));
  WallpaperPageControl->setDocumentMode(true);
  WallpaperPageControl->addTab(WallpaperGeneralTab = BuildWallpaperGeneralTab(),
                               QStringLiteral("General"));
  WallpaperPageControl->addTab(ResizeTab = BuildResizeTab(), QStringLiteral("Resize"));
  WallpaperPageControl->addTab(MonitorsTab = BuildMonitorsTab(), QStringLiteral("Monitors"));
  WallpaperPageControl->addTab(EffectsTab = BuildEffectsTab(), QStringLiteral("Effects"));
  WallpaperPageControl->addTab(DirectoriesTab = BuildDirectoriesTab(),
                               QStringLiteral("Directories"));
  WallpaperPageControl->addTab(BroadcastTab = BuildBroadcastTab(), QStringLiteral("Broadcast"));
  PageControl->addTab(WallpaperPageControl, QStringLiteral("Wallpaper"));

  CalendarPageControl = new QTabWidget;
  CalendarPageControl->setObjectName(QStringLiteral("CalendarPageControl"));
  CalendarPageControl->setDocumentMode(true);
  // Eight tabs share the width of the window: tighter tabs keep them all in view.
  auto* compactTabs = new TCompactTabStyle(QApplication::style()->name());
  compactTabs->setParent(CalendarPageControl->tabBar());
  CalendarPageControl->tabBar()->setStyle(compactTabs);
  BuildCalendarTabs();
  SetUpColorPanels();
  PageControl->addTab(CalendarPageControl, QStringLiteral("Calendar"));

  PageControl->addTab(GeneralPage = BuildGeneralPage(), QStringLiteral("General"));
  PageControl->setCurrentIndex(0);

  connect(AboutLabel, &TLinkLabel::clicked, this, &TMainForm::AboutLabelClick);
  connect(HelpLabel, &TLinkLabel::clicked, this, &TMainForm::HelpLabelClick);
  connect(CloseProgramLabel, &TLinkLabel::clicked, this, &TMainForm::CloseProgramLabelClick);
}

QWidget* TMainForm::BuildWallpaperGeneralTab() {
  auto* tab = new QWidget;
  QVBoxLayout* layout = NewTabLayout(tab);
  IsAutoChangeWallpaperCheckBox =
      NewCheckBox(tab, "IsAutoChangeWallpaperCheckBox",
                  QStringLiteral("Automatically change wallpaper every"), true);
  AutoChangeWallpaperIntervalComboBox = NewComboBox(tab, "AutoChangeWallpaperIntervalComboBox",
                                                    IntervalTexts(), QStringLiteral("1 hour"), 20);
  AddRow(layout, {IsAutoChangeWallpaperCheckBox, AutoChangeWallpaperIntervalComboBox});
  RandomWallpaperCheckBox =
      NewCheckBox(tab, "RandomWallpaperCheckBox", QStringLiteral("Randomly"), false);
  AddRow(layout, {RandomWallpaperCheckBox}, Indent);
  UseAutoChangeWallpaperStartTimeCheckBox =
      NewCheckBox(tab, "UseAutoChangeWallpaperStartTimeCheckBox",
                  QStringLiteral("Automatically change from hour"), false);
  AutoChangeWallpaperStartTimeComboBox = NewComboBox(tab, "AutoChangeWallpaperStartTimeComboBox",
                                                     NumberItems(0, 23), QStringLiteral("0"), 24);
  AddRow(layout, {UseAutoChangeWallpaperStartTimeCheckBox, AutoChangeWallpaperStartTimeComboBox});
  layout->addSpacing(8);

  NextWallpaperLabel = NewLinkLabel(tab, "NextWallpaperLabel", QStringLiteral("Next"), false);
  PreviousWallpaperLabel =
      NewLinkLabel(tab, "PreviousWallpaperLabel", QStringLiteral("Previous"), false);
  FirstWallpaperLabel = NewLinkLabel(tab, "FirstWallpaperLabel", QStringLiteral("First"), false);
  LastWallpaperLabel = NewLinkLabel(tab, "LastWallpaperLabel", QStringLiteral("Last"), false);
  IndexWallpaperLabel = NewLinkLabel(tab, "IndexWallpaperLabel", QStringLiteral("Index"), false);
  RandomWallpaperLabel = NewLinkLabel(tab, "RandomWallpaperLabel", QStringLiteral("Random"), false);
  AddRow(layout, {NextWallpaperLabel, PreviousWallpaperLabel, FirstWallpaperLabel,
                  LastWallpaperLabel, IndexWallpaperLabel, RandomWallpaperLabel})
      ->setSpacing(14);
  UserWallpaperLabel =
      NewLinkLabel(tab, "UserWallpaperLabel", QStringLiteral("Use user wallpaper"), false);
  Label4 = NewLinkLabel(tab, "Label4", QStringLiteral("Redraw wallpaper"), false);
  AddRow(layout, {UserWallpaperLabel, Label4})->setSpacing(14);
  Label3 = NewLinkLabel(tab, "Label3", QStringLiteral("View picture"), false);
  Label18 = NewLinkLabel(tab, "Label18", QStringLiteral("Clip picture file title"), false);
  AddRow(layout, {Label3, Label18})->setSpacing(14);
  SetFavoriteWallpaperLabel =
      NewLinkLabel(tab, "SetFavoriteWallpaperLabel", QStringLiteral("Set favorite wallpaper"));
  AddPictureToFavoritesLabel =
      NewLinkLabel(tab, "AddPictureToFavoritesLabel", QStringLiteral("Add picture to favorites"));
  DeleteFavoriteLabel = NewLinkLabel(tab, "DeleteFavoriteLabel", QStringLiteral("Delete favorite"));
  AddRow(layout, {SetFavoriteWallpaperLabel, AddPictureToFavoritesLabel, DeleteFavoriteLabel})
      ->setSpacing(14);
  layout->addSpacing(8);

  LoadedPicturesCountLabel =
      NewLabel(tab, "LoadedPicturesCountLabel",
               QStringLiteral("There are 0 picture ready to be used as wallpapers"), true);
  layout->addWidget(LoadedPicturesCountLabel);
  LastPictureLabel =
      NewLabel(tab, "LastPictureLabel",
               QStringLiteral("Current picture (index not in list) \"\" in \"\""), true);
  layout->addWidget(LastPictureLabel);
  layout->addStretch(1);
  return tab;
}

QWidget* TMainForm::BuildResizeTab() {
  auto* tab = new QWidget;
  QVBoxLayout* layout = NewTabLayout(tab);
  layout->addWidget(NewHeading(
      tab, QStringLiteral(
               "Set the parameters which define how each picture is resized to fit the desktop")));
  PictureMinStretchSizeComboBox = NewComboBox(tab, "PictureMinStretchSizeComboBox",
                                              MinStretchSizeItems(), QStringLiteral("300"));
  AddRow(layout,
         {NewLabel(tab, nullptr,
                   QStringLiteral("If the size of the picture is (on both axis) minimum (pixels)")),
          PictureMinStretchSizeComboBox});
  FitAndCropCheckBox = NewCheckBox(
      tab, "FitAndCropCheckBox",
      QStringLiteral("then fit the smaller axis and crop the resized bigger axis"), false);
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Then if")), FitAndCropCheckBox}, Indent);
  PictureMaxStretchSkewComboBox = NewComboBox(tab, "PictureMaxStretchSkewComboBox",
                                              MaxStretchSkewItems(), QStringLiteral("120"));
  AddRow(layout,
         {NewLabel(tab, nullptr, QStringLiteral("Else, if its aspect skew is maximum (%)")),
          PictureMaxStretchSkewComboBox},
         Indent);
  StretchPictureCheckBox =
      NewCheckBox(tab, "StretchPictureCheckBox", QStringLiteral("then stretch picture"), true);
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Then if")), StretchPictureCheckBox},
         2 * Indent);
  FitBeforeTileCheckBox =
      NewCheckBox(tab, "FitBeforeTileCheckBox", QStringLiteral("then fit before tile"), true);
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Else if")), FitBeforeTileCheckBox},
         Indent);
  IsTileCheckBox = NewCheckBox(tab, "IsTileCheckBox", QStringLiteral("then tile"), true);
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Else if")), IsTileCheckBox});
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Else center"))});
  layout->addSpacing(6);
  CurrentSkewLabel =
      NewLabel(tab, "CurrentSkewLabel", QStringLiteral("(No current skew available)"));
  layout->addWidget(CurrentSkewLabel);
  layout->addStretch(1);
  return tab;
}

QWidget* TMainForm::BuildMonitorsTab() {
  auto* tab = new QWidget;
  QVBoxLayout* layout = NewTabLayout(tab);
  layout->addWidget(
      NewHeading(tab, QStringLiteral("Set how the wallpaper covers more than one monitor")));
  MonitorArrangementComboBox =
      NewComboBox(tab, "MonitorArrangementComboBox", MonitorArrangementItems(),
                  MonitorArrangementItems().first());
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Show")), MonitorArrangementComboBox});
  CalendarMonitorComboBox =
      NewComboBox(tab, "CalendarMonitorComboBox", {PrimaryMonitorItem()}, PrimaryMonitorItem());
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Paint the calendar on")),
                  CalendarMonitorComboBox});
  layout->addSpacing(6);
  MonitorsLabel = NewLabel(tab, "MonitorsLabel", QString(), true);
  layout->addWidget(MonitorsLabel);
  layout->addStretch(1);
  return tab;
}

QWidget* TMainForm::BuildEffectsTab() {
  auto* tab = new QWidget;
  QVBoxLayout* layout = NewTabLayout(tab);
  layout->addWidget(
      NewHeading(tab, QStringLiteral("Set the parameters which affect the appearance of each "
                                     "picture which will be displayed as wallpaper")));
  GammaPictureComboBox =
      NewComboBox(tab, "GammaPictureComboBox", GammaItems(), QStringLiteral("100"), 20);
  AddRow(layout, {NewLabel(tab, nullptr, QStringLiteral("Gamma")), GammaPictureComboBox});
  FillingPictureColorPanel = NewColorPanel(tab, "FillingPictureColorPanel", 0);
  AddRow(layout, {FillingPictureColorPanel, NewLabel(tab, nullptr, QStringLiteral("Filling"))});
  UsePictureNormalizeBrightnessCheckBox =
      NewCheckBox(tab, "UsePictureNormalizeBrightnessCheckBox",
                  QStringLiteral("Normalize brightness at level"), false);
  PictureNormalizeBrightnessLevelComboBox =
      NewComboBox(tab, "PictureNormalizeBrightnessLevelComboBox", NumberItems(5, 95, 5),
                  QStringLiteral("50"), 20);
  PictureNormalizeBrightnessMethodComboBox =
      NewComboBox(tab, "PictureNormalizeBrightnessMethodComboBox", NormalizeMethodItems(),
                  QStringLiteral("Balanced scaling"));
  AddRow(layout, {UsePictureNormalizeBrightnessCheckBox, PictureNormalizeBrightnessLevelComboBox,
                  PictureNormalizeBrightnessMethodComboBox});
  layout->addSpacing(6);
  PictureAppliedNormFactorLabel = NewLabel(tab, "PictureAppliedNormFactorLabel",
                                           QStringLiteral("(No applied normalization factor)"));
  layout->addWidget(PictureAppliedNormFactorLabel);
  layout->addStretch(1);
  return tab;
}

QWidget* TMainForm::BuildDirectoriesTab() {
  auto* tab = new QWidget;
  QVBoxLayout* layout = NewTabLayout(tab);
  layout->addWidget(NewHeading(
      tab, QStringLiteral("List of directories from which picture file names are loaded")));
  DirectoriesListBox = new QListWidget(tab);
  DirectoriesListBox->setObjectName(QStringLiteral("DirectoriesListBox"));
  layout->addWidget(DirectoriesListBox, 1);
  AddDirectoryLabel =
      NewLinkLabel(tab, "AddDirectoryLabel", QStringLiteral("Add directory"), false);
  DeleteDirectoryLabel =
      NewLinkLabel(tab, "DeleteDirectoryLabel", QStringLiteral("Delete directory"), false);
  ReloadFileNamesLabel =
      NewLinkLabel(tab, "ReloadFileNamesLabel", QStringLiteral("Reload file names"), false);
  Label29 = NewLinkLabel(tab, "Label29", QStringLiteral("Clip picture file titles"), false);
  AddRow(layout, {AddDirectoryLabel, DeleteDirectoryLabel, ReloadFileNamesLabel, Label29})
      ->setSpacing(14);
  return tab;
}

QWidget* TMainForm::BuildBroadcastTab() {
  auto* tab = new QWidget;
  QVBoxLayout* layout = NewTabLayout(tab);
  BroadcastHelpLabel = NewLabel(
      tab, "BroadcastHelpLabel",
      QStringLiteral(
          "\"Broadcasting\" is a process through which Backdropper informs other programs which "
          "run on your system that they should change their wallpaper. They also receive the "
          "name of the picture file they should use as wallpaper. This way, other programs "
          "don't have to handle the module which chooses a picture. Only programs which have "
          "been specifically designed for this function can use it."),
      true);
  layout->addWidget(BroadcastHelpLabel);
  IsBroadcastWallpaperChangeCheckBox =
      NewCheckBox(tab, "IsBroadcastWallpaperChangeCheckBox",
                  QStringLiteral("Broadcast wallpaper change for other programs every"), true);
  BroadcastWallpaperChangeIntervalComboBox =
      NewComboBox(tab, "BroadcastWallpaperChangeIntervalComboBox", IntervalTexts(),
                  QStringLiteral("1 hour"), 20);
  AddRow(layout, {IsBroadcastWallpaperChangeCheckBox, BroadcastWallpaperChangeIntervalComboBox});
  layout->addSpacing(6);
  TestBroadcastHelpLabel = NewLabel(
      tab, "TestBroadcastHelpLabel",
      QStringLiteral("If you are developing a program which uses the wallpaper change broadcast "
                     "function and you need to test it, click the label bellow to force "
                     "Backdropper to broadcast this message."),
      true);
  layout->addWidget(TestBroadcastHelpLabel);
  Label6 = NewLinkLabel(tab, "Label6",
                        QStringLiteral("Broadcast wallpaper change for other programs"), false);
  Label27 = NewLinkLabel(tab, "Label27", QStringLiteral("View picture"), false);
  AddRow(layout, {Label6, Label27})->setSpacing(14);
  layout->addStretch(1);
  return tab;
}

QWidget* TMainForm::BuildGeneralPage() {
  auto* page = new QWidget;
  QVBoxLayout* layout = NewTabLayout(page);
  AutorunCheckBox =
      NewCheckBox(page, "AutorunCheckBox",
                  QStringLiteral("Automatically start program when the system starts"), true);
  layout->addWidget(AutorunCheckBox);
  HideOnCloseCheckBox = NewCheckBox(page, "HideOnCloseCheckBox",
                                    QStringLiteral("Hide the program when it is closed"), true);
  layout->addWidget(HideOnCloseCheckBox);
  layout->addSpacing(8);
  HotkeyLabel = NewLabel(page, "HotkeyLabel", QStringLiteral("Hotkey"));
  HotkeyComboBox = NewComboBox(page, "HotkeyComboBox", LetterItems(), QStringLiteral("W"), 10);
  AddRow(layout, {HotkeyLabel, HotkeyComboBox});
  Label17 = NewLabel(page, "Label17",
                     QStringLiteral("(\"Ctrl+Shift\" = next picture; \"Ctrl+Alt\" = previous "
                                    "picture; \"Shift+Alt\" = random picture)"),
                     true);
  layout->addWidget(Label17);
  layout->addSpacing(8);
  Label19 = NewLabel(page, "Label19", QStringLiteral("Desktop margin"));
  DesktopMarginComboBox =
      NewComboBox(page, "DesktopMarginComboBox", NumberItems(0, 50, 5), QStringLiteral("20"));
  AddRow(layout, {Label19, DesktopMarginComboBox});
  layout->addStretch(1);
  return page;
}

void TMainForm::ShowDirectoriesTab() {
  PageControl->setCurrentWidget(WallpaperPageControl);
  WallpaperPageControl->setCurrentWidget(DirectoriesTab);
}

QList<QWidget*> TMainForm::RedrawOnChangeControls() const {
  QList<QWidget*> controls;
  for (const TSkinParameter& parameter : SkinParameters()) {
    if (parameter.Kind == TSkinKind::List) controls << this->*parameter.ListMember;
    if (parameter.Kind == TSkinKind::Flag) controls << this->*parameter.FlagMember;
    if (parameter.Kind == TSkinKind::Colour) controls << this->*parameter.ColourMember;
  }
  controls << ShowCalendarCheckBox << DesktopMarginComboBox;
  return controls;
}

QList<QWidget*> TMainForm::ReloadOnChangeControls() const {
  return {PictureMinStretchSizeComboBox,
          FitAndCropCheckBox,
          PictureMaxStretchSkewComboBox,
          StretchPictureCheckBox,
          FitBeforeTileCheckBox,
          IsTileCheckBox,
          UsePictureNormalizeBrightnessCheckBox,
          PictureNormalizeBrightnessLevelComboBox,
          PictureNormalizeBrightnessMethodComboBox,
          GammaPictureComboBox,
          FillingPictureColorPanel,
          MonitorArrangementComboBox};
}
