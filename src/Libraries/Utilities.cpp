#include "Utilities.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyleOptionFocusRect>
#include <QUrl>

#include "Error/Error.h"
#include "Platform/PowerStatus.h"

namespace {
// Message boxes and beeps need the widget application; without it they are skipped.
bool HaveWidgets() {
  return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}
}  // namespace

void BeepDone() {
  if (HaveWidgets()) QApplication::beep();
}

void BeepAlert() {
  if (HaveWidgets()) QApplication::beep();
}

int MessageDialog(const QString& caption, const QString& text, QMessageBox::Icon icon,
                  QMessageBox::StandardButtons buttons) {
  if (!HaveWidgets()) {
    BeepAlert();
    return drCancel;
  }
  QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
  box.setWindowModality(Qt::ApplicationModal);
  switch (box.exec()) {
    case QMessageBox::Ok:
    case QMessageBox::Yes:
      return drOk;
    case QMessageBox::No:
      return drNo;
    default:
      return drCancel;
  }
}

void ShowInfo(const QString& text) {
  MessageDialog(QStringLiteral("Message"), text, QMessageBox::Information, QMessageBox::Ok);
}

void ShowWarning(const QString& text) {
  MessageDialog(QStringLiteral("Warning"), text, QMessageBox::Warning, QMessageBox::Ok);
}

void ShowError(const QString& text) {
  MessageDialog(QStringLiteral("Error"), text, QMessageBox::Critical, QMessageBox::Ok);
}

void InstallErrorBoxes() {
  SetErrorBoxSink([](const QString& text, TErrorBoxButtons buttons) {
    MessageDialog(QStringLiteral("Error"), text, QMessageBox::Critical,
                  buttons == TErrorBoxButtons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel
                                                        : QMessageBox::Ok);
  });
  SetQuestionSink(AskQuery);
}

bool AskQuery(const QString& text) {
  return MessageDialog(QStringLiteral("Query"), text, QMessageBox::Question,
                       QMessageBox::Yes | QMessageBox::No) == drOk;
}

bool CopyTextToClipboard(const QString& text, const QString& errorText, bool beep, bool append) {
  if (text.isEmpty()) {
    ShowWarning(QStringLiteral("There is no text to copy to clipboard."));
    return false;
  }
  const QString description =
      errorText.isEmpty() ? QStringLiteral("Failed to copy text to clipboard.") : errorText;
  bool result = false;
  TStatusFrame frame(__FILE__, "CopyTextToClipboard", __LINE__, TStatusFrame::Outer, description);
  frame.Run([&] {
    QClipboard* clipboard = HaveWidgets() ? QApplication::clipboard() : nullptr;
    if (!clipboard) frame.Raise(__LINE__, fsError, QStringLiteral("No clipboard available."));
    clipboard->setText(append ? clipboard->text() + text : text);
    if (beep) BeepDone();
    result = true;
  });
  return result && !frame.Failed();
}

QStringList DroppedFilesToList(const QMimeData* data) {
  QStringList list;
  TStatusFrame frame(__FILE__, "DroppedFilesToList", __LINE__);
  frame.Run([&] {
    if (!data) return;
    for (const QUrl& url : data->urls())
      if (url.isLocalFile()) list << QDir::cleanPath(url.toLocalFile());
  });
  return list;
}

bool IsRunningOnBattery() {
  return !Platform::PowerStatus().IsOnMains();
}

QRect GetWorkAreaRect(int margin) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  return screen->availableGeometry().adjusted(margin, margin, -margin, -margin);
}

bool SameRect(const QRect& a, const QRect& b) {
  return a == b;
}

void ReselectListItem(QListWidget* list) {
  if (!list) return;
  const int row = list->currentRow();
  {
    // Only the drawing changes; the owner's selection handlers must not run.
    const QSignalBlocker blocker(list);
    list->setCurrentRow(-1);
    list->setCurrentRow(row);
  }
  list->viewport()->update();
}

int SelectListItemAt(QListWidget* list, int x, int y) {
  if (!list) return -1;
  QListWidgetItem* item = list->itemAt(x, y);
  if (!item) {
    ReselectListItem(list);
    return -1;
  }
  list->setCurrentItem(item);
  return list->row(item);
}

void SelectComboItem(QComboBox* combo, const QString& text, const QString& fallback) {
  if (!combo) return;
  const QString wanted = text.isEmpty() ? fallback : text;
  int index = wanted.isEmpty() ? -1 : combo->findText(wanted, Qt::MatchExactly);
  if (index < 0 && !fallback.isEmpty()) index = combo->findText(fallback, Qt::MatchExactly);
  combo->setCurrentIndex(std::max(index, 0));
}

void SetUpFixedDialog(QDialog* dialog, const QString& name, const QString& title, QSize size) {
  dialog->setObjectName(name);
  dialog->setWindowTitle(title);
  dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  QFont font(QStringLiteral("Arial"));
  font.setPixelSize(12);
  dialog->setFont(font);
  dialog->setFixedSize(size);
}

QAction* FindMenuItemByTag(QMenu* menu, int tag) {
  if (!menu) return nullptr;
  for (QAction* action : menu->actions()) {
    if (action->isSeparator() || action->text() == QLatin1StringView("-")) continue;
    if (action->data().toInt() == tag) return action;
  }
  return nullptr;
}

void DrawListFocusRect(QPainter& painter, QWidget* list, QStyle::State state, const QRect& rect) {
  if (!list || !(state & QStyle::State_Selected) || !(state & QStyle::State_HasFocus)) return;
  QStyleOptionFocusRect option;
  option.initFrom(list);
  option.rect = rect;
  option.state = state | QStyle::State_KeyboardFocusChange;
  option.backgroundColor = list->palette().color(QPalette::Highlight);
  list->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, list);
}
