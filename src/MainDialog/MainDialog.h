// The main window: it holds every setting in its controls and owns all run-time state.
#pragma once

#include <QImage>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <cstdint>
#include <memory>

#include "Monitors/MonitorFit.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QListWidget;
class QMenu;
class QMimeData;
class QTabWidget;
class QTimer;
class QDateTime;
class QPainter;
class TColorPanel;
class TDirectoryListDelegate;
class TFavoritesDialog;
class TLinkLabel;
class TPictureSelection;
class TRandom;
struct TCalendarScene;
struct TCalendarSkinValues;
struct TComposeParams;
struct TDrawContext;
class TStoredTextList;
class TSettingsWriter;
class TSystemTray;

namespace Platform {
struct TWallpaperLayout;
class IGlobalHotkeys;
enum class RemoteCommand;
}  // namespace Platform

class TMainForm : public QWidget {
  Q_OBJECT
 public:
  static constexpr int ClientWidth = 465;
  static constexpr int ClientHeight = 380;
  static constexpr int HelpContext = 100;

  explicit TMainForm(QWidget* parent = nullptr);
  ~TMainForm() override;

  // Start-up preparation, once, after all start-up windows exist.
  void BeforeRun();
  // The options file object for `fileName`, with this window's reader and writer bound.
  void CreateOptionsList(const QString& fileName);
  // The "really close" path: the Close label, the tray item, the end of the session.
  void CloseProgram();
  // A command from outside: the control interface, or the first argument of the start.
  void RunCommand(Platform::RemoteCommand command);

  // Options file events.
  void ReadOptions(TStoredTextList& list, uint8_t argument);
  void WriteOptions(TStoredTextList& list, uint8_t argument);
  // The autostart entry exists exactly while "Autorun" is checked.
  void UpdateStartupLink();
  // Options written as they change (OptionsKeeping.cpp); set up once the options are read.
  void SetUpOptionsWriter();
  std::unique_ptr<TSettingsWriter> OptionsWriter;

  // Calendar skin (also the events of the skin file object).
  void ReadCalendarSkin(TStoredTextList& list, uint8_t argument = 0);
  void WriteCalendarSkin(TStoredTextList& list, uint8_t argument = 0);
  // Calendar painting (CalendarPaint.cpp): the skin as the controls hold it, the scene at `now`
  // and the part of the wallpaper it may paint (empty when hidden), the calendar painted onto
  // the wallpaper bitmap, and the painting itself through a drawing context.
  TCalendarSkinValues CalendarSkinValues() const;
  TCalendarScene CalendarScene(const QDateTime& now) const;
  QRect CalendarPaintReach(const QDateTime& now) const;
  void SetInfoOnPicture(QPainter& painter, const QDateTime& now);
  void PaintCalendar(TDrawContext& context, const QDateTime& now);

  // Window events and label actions.
  void AboutLabelClick();
  void HelpLabelClick();
  void CloseProgramLabelClick();
  void ApplicationEventsMinimize();
  void CalendarDefaultSkinLabelClick();
  // Skin files (SkinFiles.cpp): the dialogs, then the whole skin or its colours only.
  void LoadCalendarSkin(bool allParameters);
  void SaveCalendarSkin();
  void CalendarLoadSkinLabelClick() { LoadCalendarSkin(true); }
  void CalendarLoadSkinColorsLabelClick() { LoadCalendarSkin(false); }
  void CalendarSaveSkinLabelClick() { SaveCalendarSkin(); }
  // Points the calendar's place on a small picture of the desktop (DesktopPosition.cpp).
  void CalendarSetDesktopPositionLabelClick();
  void ShowDirectoriesTab();
  // The two periods follow their interval boxes.
  void AutoChangeWallpaperIntervalComboBoxChange();
  void BroadcastWallpaperChangeIntervalComboBoxChange();

  // Tray (Tray.cpp).
  void HideToTray();
  void RestoreFromTray();
  // Sets the check marks each time before the menu opens.
  void SystemTrayPopupMenuPopup();
  void STP_NormalizeBrightnessMenuClick(QAction* entry);
  QMenu* SystemTrayPopupMenu;
  QAction* STP_CloseMenu;
  QAction* STP_AddPicturesDirectoryMenu;
  QAction* STP_VisibleCalendarMenu;
  QAction* STP_VisibleCalendarBackMenu;
  QAction* STP_SetCalendarPositionMenu;
  QAction* STP_LoadCalendarSkinMenu;
  QAction* STP_LoadCalendarSkinColorsMenu;
  QMenu* STP_NormalizeBrightnessMenu;

  // ---- Picture directories and the picture list (Pictures.cpp) ----
  static constexpr int MaxDirectoryCount = 100;
  // Every readable picture type's extension (".jpg"), and all their patterns ("*.jpg;...").
  QStringList PictureExtensions;
  QString PictureExtensionsFilter;
  // Full paths, one block per active directory entry in list order.
  QStringList PictureFileNames;
  // The position of LastFileTitle in PictureFileNames; -1 when it is not there.
  int PictureIndex = -1;

  // The directory list: entries are the rows of DirectoriesListBox.
  int DirectoryCount() const;
  QString DirectoryPath(int index) const;
  // Appends an entry unless the path is empty, already listed (exactly) or the list is full.
  bool AddDirectoryEntry(const QString& path, bool active, bool recurs);
  // The folder chooser, then AddDirectoryEntry; `reload` rebuilds the picture list after.
  void AddDirectory(bool reload);
  bool GetDirectoryActive(int index) const;
  void SetDirectoryActive(int index, bool active);
  void InvertDirectoryActive(int index);
  bool GetDirectoryRecurs(int index) const;
  void SetDirectoryRecurs(int index, bool recurs);
  void InvertDirectoryRecurs(int index);

  void LoadPictureFileNames();
  void UpdateLoadedPicturesCount();
  void UpdateLastPictureLabel();
  // Dropped folders are added to the directory list; a dropped file adds its folder.
  void ProcessDroppedFiles(const QMimeData* data);
  // ---- Monitors (Monitors.cpp) ----
  QComboBox* MonitorArrangementComboBox;
  QComboBox* CalendarMonitorComboBox;
  QLabel* MonitorsLabel;
  QString CalendarMonitor;  // its name; empty: the primary monitor
  TMonitorWatch* MonitorWatch = nullptr;
  TArrangement Arrangement() const;
  // Each monitor's picture: the current one on the calendar monitor, and for a different picture
  // on each monitor, the ones after it on the monitors to its right, or random ones.
  QStringList MonitorPictures(const QList<TMonitor>& monitors);
  // The calendar monitor's choices and the list of monitors, for the monitors there now.
  void UpdateMonitorChoices();
  void CalendarMonitorComboBoxChange(int index);
  // The "Monitors" section of the options.
  void ReadMonitorOptions(TStoredTextList& list);
  void WriteMonitorOptions(TStoredTextList& list);
  // The "DirectoryList" section of the options.
  void ReadDirectoryList(TStoredTextList& list);
  void WriteDirectoryList(TStoredTextList& list);

  void AddDirectoryLabelClick();
  void DeleteDirectoryLabelClick();
  void ReloadFileNamesLabelClick();
  void Label29Click();
  void DirectoriesListBoxMouseDown(Qt::MouseButton button, QPoint position);
  TDirectoryListDelegate* DirectoriesListDelegate = nullptr;
  // ---- end of picture directories ----

  // ---- Favourites (Favorites.cpp) ----
  std::unique_ptr<TFavoritesDialog> Favorites;
  TLinkLabel* SetFavoriteWallpaperLabel;
  TLinkLabel* AddPictureToFavoritesLabel;
  TLinkLabel* DeleteFavoriteLabel;
  void SetFavoriteWallpaperLabelClick();
  void AddPictureToFavoritesLabelClick();
  void DeleteFavoriteLabelClick();
  // ---- end of favourites ----

  // ---- Colour panels (ColorPanels.cpp) ----
  // Gives the calendar panels and the filling panel their mouse handlers, and the calendar panels
  // that take a dropped colour their drop handlers.
  void SetUpColorPanels();
  void CalendarColorPanelMouseDown(TColorPanel* panel, Qt::MouseButton button, bool doubleClick);
  void FillingPictureColorPanelMouseDown(TColorPanel* panel, Qt::MouseButton button,
                                         bool doubleClick);
  bool CalendarColorPanelDragOver(TColorPanel* panel, TColorPanel* source);
  void CalendarColorPanelDragDrop(TColorPanel* panel, TColorPanel* source);
  // The panel last pressed: the one a colour chosen live in the stock dialog goes to.
  TColorPanel* PressedColorPanel = nullptr;
  // ---- end of colour panels ----

  // Controls whose change repaints the calendar only, and those whose change fits the picture
  // again.
  QList<QWidget*> RedrawOnChangeControls() const;
  QList<QWidget*> ReloadOnChangeControls() const;

  // State.
  bool Updating = true;
  bool ExitRequested = false;
  // The skin reader skips every non-colour key while this is set.
  bool ReadSkinColorsOnly = false;
  std::unique_ptr<TStoredTextList> OptionsList;
  std::unique_ptr<TStoredTextList> SkinList;
  std::unique_ptr<TSystemTray> SystemTray;
  // 1000 ms; off until the end of BeforeRun.
  QTimer* Timer;
  double WallpaperChangePeriod = 0;
  double BroadcastPeriod = 0;
  double LastAutoChangeTime = 0;
  double LastBroadcastTime = 0;
  double LastRedrawTime = 0;
  QString LastFileTitle;
  QString LastCalendarSkinName;
  // The calendar's place as fractions of the desktop work area less the desktop margin.
  double RectLeft = 0.7;
  double RectTop = 0.15;
  double RectWidth = 0.1;
  double RectHeight = 0.1;

  // Frame.
  TLinkLabel* AboutLabel;
  TLinkLabel* HelpLabel;
  TLinkLabel* CloseProgramLabel;
  QTabWidget* PageControl;
  QWidget* GeneralPage;
  QTabWidget* WallpaperPageControl;
  QTabWidget* CalendarPageControl;
  QWidget* WallpaperGeneralTab;
  QWidget* ResizeTab;
  QWidget* EffectsTab;
  QWidget* DirectoriesTab;
  QWidget* BroadcastTab;
  QWidget* MonitorsTab;
  QWidget* CalendarGeneralTab;
  QWidget* CalendarBackTab;
  QWidget* CalendarBackColorsTab;
  QWidget* CalendarHeaderTab;
  QWidget* CalendarYearTab;
  QWidget* CalendarMonthTab;
  QWidget* CalendarDayOfWeekTab;
  QWidget* CalendarDaysTab;

  // "General" page.
  QCheckBox* AutorunCheckBox;
  QCheckBox* HideOnCloseCheckBox;
  QLabel* HotkeyLabel;
  QComboBox* HotkeyComboBox;
  QLabel* Label17;
  QLabel* Label19;
  QComboBox* DesktopMarginComboBox;

  // "Wallpaper" page, "General" tab.
  QCheckBox* IsAutoChangeWallpaperCheckBox;
  QComboBox* AutoChangeWallpaperIntervalComboBox;
  QCheckBox* RandomWallpaperCheckBox;
  QCheckBox* UseAutoChangeWallpaperStartTimeCheckBox;
  QComboBox* AutoChangeWallpaperStartTimeComboBox;
  TLinkLabel* NextWallpaperLabel;
  TLinkLabel* PreviousWallpaperLabel;
  TLinkLabel* FirstWallpaperLabel;
  TLinkLabel* LastWallpaperLabel;
  TLinkLabel* IndexWallpaperLabel;
  TLinkLabel* RandomWallpaperLabel;
  TLinkLabel* UserWallpaperLabel;
  TLinkLabel* Label3;
  TLinkLabel* Label18;
  TLinkLabel* Label4;
  QLabel* LoadedPicturesCountLabel;
  QLabel* LastPictureLabel;

  // "Resize" tab.
  QComboBox* PictureMinStretchSizeComboBox;
  QCheckBox* FitAndCropCheckBox;
  QComboBox* PictureMaxStretchSkewComboBox;
  QCheckBox* StretchPictureCheckBox;
  QCheckBox* FitBeforeTileCheckBox;
  QCheckBox* IsTileCheckBox;
  QLabel* CurrentSkewLabel;

  // "Effects" tab.
  QComboBox* GammaPictureComboBox;
  TColorPanel* FillingPictureColorPanel;
  QCheckBox* UsePictureNormalizeBrightnessCheckBox;
  QComboBox* PictureNormalizeBrightnessLevelComboBox;
  QComboBox* PictureNormalizeBrightnessMethodComboBox;
  QLabel* PictureAppliedNormFactorLabel;

  // "Directories" tab.
  QListWidget* DirectoriesListBox;
  TLinkLabel* AddDirectoryLabel;
  TLinkLabel* DeleteDirectoryLabel;
  TLinkLabel* ReloadFileNamesLabel;
  TLinkLabel* Label29;

  // "Broadcast" tab.
  QLabel* BroadcastHelpLabel;
  QCheckBox* IsBroadcastWallpaperChangeCheckBox;
  QComboBox* BroadcastWallpaperChangeIntervalComboBox;
  QLabel* TestBroadcastHelpLabel;
  TLinkLabel* Label6;
  TLinkLabel* Label27;

  // "Calendar" page, "General" tab.
  QCheckBox* ShowCalendarCheckBox;
  TLinkLabel* CalendarLoadSkinLabel;
  TLinkLabel* CalendarLoadSkinColorsLabel;
  TLinkLabel* CalendarSaveSkinLabel;
  TLinkLabel* CalendarDefaultSkinLabel;
  TLinkLabel* CalendarSetDesktopPositionLabel;

  // Calendar skin controls, built from the skin table.
  QComboBox* CalendarTextEffectComboBox;
  QComboBox* CalendarOutlineThicknessComboBox;
  QCheckBox* ShowCalendarBackCheckBox;
  QCheckBox* SimpleCalendarBackCheckBox;
  QComboBox* CalendarOtherMonthsWeeksComboBox;
  QCheckBox* FirstDayIsMondayCheckBox;
  QComboBox* CalendarHorizontalMarginSpacingComboBox;
  QComboBox* CalendarVerticalMarginSpacingComboBox;
  QComboBox* CalendarYMBottomSpaceComboBox;
  QComboBox* CalendarDOWBottomSpaceComboBox;
  QComboBox* CalendarHorizontalCenterShiftComboBox;
  QComboBox* CalendarVerticalCenterShiftComboBox;
  QComboBox* CalendarHorizontalCenterFocusComboBox;
  QComboBox* CalendarVerticalCenterFocusComboBox;
  QCheckBox* CalendarOvalBackCheckBox;
  QComboBox* CalendarOvalBackEccentricityComboBox;
  QComboBox* CalendarTextShadowTranslucencyComboBox;
  QComboBox* CalendarTodayMarginTranslucencyComboBox;
  QComboBox* CalendarTodayBackTranslucencyComboBox;
  QComboBox* CalendarFrameBriskMarginTranslucencyComboBox;
  QComboBox* CalendarFrameBack1TranslucencyComboBox;
  QComboBox* CalendarFrameBack2TranslucencyComboBox;
  QComboBox* CalendarFrameBack3TranslucencyComboBox;
  QComboBox* CalendarFrameBack4TranslucencyComboBox;
  QComboBox* CalendarFrameBack5TranslucencyComboBox;
  QComboBox* CalendarFrameBack6TranslucencyComboBox;
  QComboBox* CalendarFrameBack7TranslucencyComboBox;
  QComboBox* CalendarFrameCenterTranslucencyComboBox;
  QComboBox* CalendarFrameBackThick12ComboBox;
  QComboBox* CalendarFrameBackThick23ComboBox;
  QComboBox* CalendarFrameBackThick34ComboBox;
  QComboBox* CalendarFrameBackThick45ComboBox;
  QComboBox* CalendarFrameBackThick56ComboBox;
  QComboBox* CalendarFrameBackThick67ComboBox;
  QComboBox* CalendarSeparatorLeftTranslucencyComboBox;
  QComboBox* CalendarSeparatorRightTranslucencyComboBox;
  QComboBox* CalendarSeparatorThicknessComboBox;
  QComboBox* CalendarYearTextFontComboBox;
  QComboBox* CalendarYearTextSizeComboBox;
  QCheckBox* CalendarYearBoldTextCheckBox;
  QCheckBox* CalendarYearItalicTextCheckBox;
  QComboBox* CalendarYearTextTranslucencyComboBox;
  QComboBox* CalendarYearHSSComboBox;
  QComboBox* CalendarYearVSSComboBox;
  QComboBox* CalendarMonthTextFontComboBox;
  QComboBox* CalendarMonthTextSizeComboBox;
  QCheckBox* CalendarMonthBoldTextCheckBox;
  QCheckBox* CalendarMonthItalicTextCheckBox;
  QComboBox* CalendarMonthTextTranslucencyComboBox;
  QComboBox* CalendarMonthHSSComboBox;
  QComboBox* CalendarMonthVSSComboBox;
  QComboBox* CalendarDayOfWeekTextFontComboBox;
  QComboBox* CalendarDayOfWeekTextSizeComboBox;
  QCheckBox* CalendarDayOfWeekBoldTextCheckBox;
  QCheckBox* CalendarDayOfWeekItalicTextCheckBox;
  QComboBox* CalendarDayOfWeekWeekdayTextTranslucencyComboBox;
  QComboBox* CalendarDayOfWeekWeekendTextTranslucencyComboBox;
  QComboBox* CalendarDayOfWeekHSSComboBox;
  QComboBox* CalendarDayOfWeekVSSComboBox;
  QComboBox* CalendarDaysTextFontComboBox;
  QComboBox* CalendarDaysTextSizeComboBox;
  QCheckBox* CalendarDaysBoldTextCheckBox;
  QCheckBox* CalendarDaysItalicTextCheckBox;
  QComboBox* CalendarCurrentMonthWeekdayTextTranslucencyComboBox;
  QComboBox* CalendarCurrentMonthWeekendTextTranslucencyComboBox;
  QComboBox* CalendarOtherMonthsWeekdayTextTranslucencyComboBox;
  QComboBox* CalendarOtherMonthsWeekendTextTranslucencyComboBox;
  QComboBox* CalendarDaysHSSComboBox;
  QComboBox* CalendarDaysVSSComboBox;

  TColorPanel* CalendarTextShadowColorPanel;
  TColorPanel* CalendarTodayMarginColorPanel;
  TColorPanel* CalendarTodayBackColorPanel;
  TColorPanel* CalendarFrameBriskMarginColorPanel;
  TColorPanel* CalendarFrameBack1ColorPanel;
  TColorPanel* CalendarFrameBack2ColorPanel;
  TColorPanel* CalendarFrameBack3ColorPanel;
  TColorPanel* CalendarFrameBack4ColorPanel;
  TColorPanel* CalendarFrameBack5ColorPanel;
  TColorPanel* CalendarFrameBack6ColorPanel;
  TColorPanel* CalendarFrameBack7ColorPanel;
  TColorPanel* CalendarFrameCenterColorPanel;
  TColorPanel* CalendarSeparatorLeftColorPanel;
  TColorPanel* CalendarSeparatorRightColorPanel;
  TColorPanel* CalendarYearTextColorPanel;
  TColorPanel* CalendarMonthTextColorPanel;
  TColorPanel* CalendarDayOfWeekWeekdayTextColorPanel;
  TColorPanel* CalendarDayOfWeekWeekendTextColorPanel;
  TColorPanel* CalendarCurrentMonthWeekdayTextColorPanel;
  TColorPanel* CalendarCurrentMonthWeekendTextColorPanel;
  TColorPanel* CalendarOtherMonthsWeekdayTextColorPanel;
  TColorPanel* CalendarOtherMonthsWeekendTextColorPanel;

  // Wallpaper composition, navigation and the timer (Wallpaper.cpp, Navigation.cpp).
  void SetFileAsWallpaper(bool reload);
  void RedrawWallpaperOnParamChange();
  void ReloadWallpaperOnParamChange();
  void FWinIniChange();
  void BroadcastWallpaperChange();
  void TimerTimer();
  void SetPictureByName(const QString& name);
  void NextWallpaperLabelClick();
  void PreviousWallpaperLabelClick();
  void FirstWallpaperLabelClick();
  void LastWallpaperLabelClick();
  void IndexWallpaperLabelClick();
  void RandomWallpaperLabelClick();
  void UserWallpaperLabelClick();
  void Label3Click();
  void Label18Click();
  void Label27Click();
  void UpdateSkewAndFactorLabels();
  // The work area less the desktop margin on every side.
  QRect ComputeDesktopRect() const;
  TComposeParams ComposeParams() const;
  // What the composed picture covers, for the desktop.
  Platform::TWallpaperLayout HandOverLayout(const QList<TMonitor>& monitors) const;

  // The last fitting for every monitor, without calendar, on the canvas of WallpaperCanvas.
  QImage FittedPicture;
  int PictureFittings = 0;  // pictures fitted so far; a redraw fits none
  int ScreenWidth = 0;      // the canvas
  int ScreenHeight = 0;
  QList<TMonitor> FittedMonitors;  // the monitors the fitting was made for
  QRect DesktopRect;
  double CurrentSkew = 0;
  double AppliedNormFactor = 0;
  std::unique_ptr<TRandom> Random;
  std::unique_ptr<TPictureSelection> Pictures;

  // ---- Global hot keys (Hotkeys.cpp) ----
  static constexpr int NextHotkeyId = 100;      // Ctrl+Shift
  static constexpr int PreviousHotkeyId = 101;  // Ctrl+Alt
  static constexpr int RandomHotkeyId = 102;    // Shift+Alt
  // The three hot keys on `letter`, in place of those on the letter before.
  void RegisterHotkeys(QChar letter);
  void HotkeyComboBoxChange();
  // What a pressed hot key does, by its id; other ids do nothing.
  void DispatchHotkey(int id);
  void ReleaseHotkeys();
  std::unique_ptr<Platform::IGlobalHotkeys> Hotkeys;
  // ---- end of global hot keys ----

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // Layout.cpp
  void BuildWindow();
  QWidget* BuildWallpaperGeneralTab();
  QWidget* BuildResizeTab();
  QWidget* BuildEffectsTab();
  QWidget* BuildDirectoriesTab();
  QWidget* BuildBroadcastTab();
  // Monitors.cpp
  QWidget* BuildMonitorsTab();
  QWidget* BuildGeneralPage();
  // Calendar.cpp
  void BuildCalendarTabs();
  QWidget* BuildCalendarGeneralCommands();
  // Tray.cpp
  void SetUpTrayIcon();
  void BuildTrayMenu();
  // Serves the control interface on the session bus, once the options are read.
  void SetUpRemoteControl();
  // Pictures.cpp, Navigation.cpp, Wallpaper.cpp
  void SetUpPictures();
  void SetUpNavigation();
  void SetUpWallpaper();
  // Hotkeys.cpp
  void SetUpHotkeys();
  // Favorites.cpp
  void SetUpFavorites();
  // OptionsKeeping.cpp: the options that live outside the controls, as text.
  QStringList PlainOptionValues() const;
  QStringList PlainOptionsSeen;
};

extern TMainForm* MainForm;

// The folder the skin dialogs start in.
QString SkinDirectory();
// A chosen name without extension names a skin file.
QString SkinFileName(const QString& chosen);

// One directory entry's pictures in the picture list's order: case-insensitive and locale-aware,
// the exact path deciding between equal ones; only exactly equal paths are dropped as duplicates.
void SortPictureFileNames(QStringList& paths);
