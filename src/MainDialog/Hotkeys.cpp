// The three global hot keys that step through the pictures from anywhere, on the letter of
// HotkeyComboBox.
#include <QComboBox>

#include "Error/Error.h"
#include "MainDialog.h"
#include "Platform/GlobalHotkeys.h"

void TMainForm::SetUpHotkeys() {
  Hotkeys = Platform::MakeGlobalHotkeys();
  Hotkeys->OnHotkey = [this](int id) { DispatchHotkey(id); };
  // Reading the options changes the letter too, and takes the hot keys right after it.
  connect(HotkeyComboBox, &QComboBox::currentIndexChanged, this, &TMainForm::HotkeyComboBoxChange);
}

void TMainForm::RegisterHotkeys(QChar letter) {
  using namespace Platform;
  // Each id gives up its old letter as it takes the new one, so no combination is left behind.
  // A combination the system refuses is simply not there; the others still work.
  Hotkeys->Register(NextHotkeyId, HotkeyControl | HotkeyShift, letter);
  Hotkeys->Register(PreviousHotkeyId, HotkeyControl | HotkeyAlt, letter);
  Hotkeys->Register(RandomHotkeyId, HotkeyShift | HotkeyAlt, letter);
}

void TMainForm::HotkeyComboBoxChange() {
  const QString text = HotkeyComboBox->currentText();
  RegisterHotkeys(text.isEmpty() ? QChar() : text.front());
}

void TMainForm::DispatchHotkey(int id) {
  TStatusFrame frame(__FILE__, "TMainForm::Dispatch", __LINE__);
  frame.Run([&] {
    switch (id) {
      case NextHotkeyId:
        NextWallpaperLabelClick();
        break;
      case PreviousHotkeyId:
        PreviousWallpaperLabelClick();
        break;
      case RandomHotkeyId:
        RandomWallpaperLabelClick();
        break;
      default:
        break;
    }
  });
}

void TMainForm::ReleaseHotkeys() {
  if (!Hotkeys) return;
  for (int id : {NextHotkeyId, PreviousHotkeyId, RandomHotkeyId}) Hotkeys->Unregister(id);
}
