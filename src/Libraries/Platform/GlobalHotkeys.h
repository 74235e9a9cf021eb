// System-wide hot keys: a letter with modifiers that reaches the program whichever window has the
// keyboard, also while the program's own windows are hidden.
#pragma once

#include <QChar>
#include <functional>
#include <memory>

namespace Platform {

enum THotkeyModifier : unsigned {
  HotkeyShift = 1,
  HotkeyControl = 2,
  HotkeyAlt = 4,
};

class IGlobalHotkeys {
 public:
  virtual ~IGlobalHotkeys() = default;
  // Takes `letter` ("A" to "Z", either case) with `modifiers` (THotkeyModifier bits) as hot key
  // `id`, in place of whatever `id` held. Combinations the system refuses (another program holds
  // them) are skipped; false when nothing could be taken, also when the keyboard cannot type the
  // letter. The registration stays, and follows keyboard mapping changes.
  virtual bool Register(int id, unsigned modifiers, QChar letter) = 0;
  // Gives up hot key `id`; an id not registered is ignored.
  virtual void Unregister(int id) = 0;
  virtual void UnregisterAll() = 0;

  // Called with the id of a registered combination when it is pressed, from the event loop.
  std::function<void(int id)> OnHotkey;
};

// The hot keys of this session: key grabs on the X server under X11; an object that registers
// nothing on every other platform (Wayland, offscreen), as a refused registration would.
std::unique_ptr<IGlobalHotkeys> MakeGlobalHotkeys();
// Tests hand out their own objects; null restores the platform's.
void SetGlobalHotkeysFactory(std::function<std::unique_ptr<IGlobalHotkeys>()> factory);

}  // namespace Platform
