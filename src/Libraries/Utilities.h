// Message boxes, beeps, clipboard, dropped files, platform queries and control helpers.
#pragma once

#include <QMessageBox>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QStyle>

class QAction;
class QDialog;
class QComboBox;
class QListWidget;
class QMenu;
class QMimeData;
class QPainter;
class QWidget;

void BeepDone();
void BeepAlert();

// Results of MessageDialog.
enum TDialogResult { drOk = 1, drCancel = 2, drNo = 7 };
// An application-modal box: drOk for OK or Yes, drNo for No, drCancel for anything else and
// when no box can be shown at all.
int MessageDialog(const QString& caption, const QString& text, QMessageBox::Icon icon,
                  QMessageBox::StandardButtons buttons);
void ShowInfo(const QString& text);
void ShowWarning(const QString& text);
void ShowError(const QString& text);
// Routes the error boxes and questions of code without widgets (ShowErrorBox, AskQuestion) to
// MessageDialog.
void InstallErrorBoxes();
// Yes/No question; true only for Yes.
bool AskQuery(const QString& text);

// An outer frame: failures are reported with `errorText` (or a default) and give false.
bool CopyTextToClipboard(const QString& text, const QString& errorText = {}, bool beep = false,
                         bool append = false);
// The local files and folders of a drop, full paths in the order given.
QStringList DroppedFilesToList(const QMimeData* data);

bool IsRunningOnBattery();
// The desktop work area, shrunk by `margin` on every side.
QRect GetWorkAreaRect(int margin);
bool SameRect(const QRect& a, const QRect& b);

// Clears the selection and restores it, so the list redraws it.
void ReselectListItem(QListWidget* list);
// Selects the item under the point (viewport coordinates) and returns its row, else -1.
int SelectListItemAt(QListWidget* list, int x, int y);
// A dialog with a fixed single border and only the system menu, in the program's Arial of 12
// pixels, of client size `size`.
void SetUpFixedDialog(QDialog* dialog, const QString& name, const QString& title, QSize size);
// Selects `text`, else `fallback` (also when `text` is empty), else the first item.
void SelectComboItem(QComboBox* combo, const QString& text, const QString& fallback);
// The first direct item whose data equals `tag`, separators skipped.
QAction* FindMenuItemByTag(QMenu* menu, int tag);
// Owner-drawn lists: the focus frame around an item that is both selected and focused.
void DrawListFocusRect(QPainter& painter, QWidget* list, QStyle::State state, const QRect& rect);
