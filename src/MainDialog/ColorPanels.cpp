// The colour panels of the main window: editing them with the mouse and handing a colour from one
// panel to another by dragging. A panel's change redraws the wallpaper through its ColorChanged
// signal (RedrawOnChangeControls, ReloadOnChangeControls), so every road to a new colour, a
// dialog, the default or a drop, composes exactly once.
#include <algorithm>
#include <iterator>

#include "CalendarSkin.h"
#include "ColorDialog.h"
#include "ColorPanel.h"
#include "MainDialog.h"

namespace {

// Their colour may be dragged away, but nothing lands on them.
TColorPanel* TMainForm::*const NoDropPanels[] = {
    &TMainForm::CalendarTextShadowColorPanel,
    &TMainForm::CalendarYearTextColorPanel,
    &TMainForm::CalendarMonthTextColorPanel,
};

}  // namespace

void TMainForm::SetUpColorPanels() {
  for (const TSkinParameter& parameter : SkinParameters()) {
    if (parameter.Kind != TSkinKind::Colour) continue;
    TColorPanel* panel = this->*parameter.ColourMember;
    panel->OnMouseDown = [this](TColorPanel* pressed, Qt::MouseButton button, bool doubleClick) {
      CalendarColorPanelMouseDown(pressed, button, doubleClick);
    };
    const bool refusesDrops = std::any_of(
        std::begin(NoDropPanels), std::end(NoDropPanels),
        [&](TColorPanel* TMainForm::*member) { return member == parameter.ColourMember; });
    if (refusesDrops) continue;
    panel->SetDropHandlers(
        [this](TColorPanel* target, TColorPanel* source) {
          return CalendarColorPanelDragOver(target, source);
        },
        [this](TColorPanel* target, TColorPanel* source) {
          CalendarColorPanelDragDrop(target, source);
        });
  }
  FillingPictureColorPanel->OnMouseDown = [this](TColorPanel* pressed, Qt::MouseButton button,
                                                 bool doubleClick) {
    FillingPictureColorPanelMouseDown(pressed, button, doubleClick);
  };
}

void TMainForm::CalendarColorPanelMouseDown(TColorPanel* panel, Qt::MouseButton button,
                                            bool doubleClick) {
  PressedColorPanel = panel;
  // A single left press only starts a drag; nothing opens.
  if (button == Qt::LeftButton && !doubleClick) {
    panel->BeginDrag();
    return;
  }
  EditColorPanel(panel, button, [this](int32_t color) {
    if (PressedColorPanel) SetPanelColor(PressedColorPanel, color);
  });
}

void TMainForm::FillingPictureColorPanelMouseDown(TColorPanel* panel, Qt::MouseButton button,
                                                  bool doubleClick) {
  // The same editing; the panel's change signal is wired to a reload instead of a redraw.
  CalendarColorPanelMouseDown(panel, button, doubleClick);
}

bool TMainForm::CalendarColorPanelDragOver(TColorPanel* panel, TColorPanel* source) {
  return source && source != panel;
}

void TMainForm::CalendarColorPanelDragDrop(TColorPanel* panel, TColorPanel* source) {
  SetPanelColor(panel, source->Color());
}
