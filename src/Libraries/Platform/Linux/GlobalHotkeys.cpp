#include "Platform/GlobalHotkeys.h"

#include <QGuiApplication>

#include "Platform/Linux/X11GlobalHotkeys.h"

namespace Platform {
namespace {

// Wayland gives clients no global grabs and offscreen has no keyboard: every registration is
// refused, which the program treats as it treats a combination another program holds.
class TNoGlobalHotkeys : public IGlobalHotkeys {
 public:
  bool Register(int, unsigned, QChar) override { return false; }
  void Unregister(int) override {}
  void UnregisterAll() override {}
};

std::function<std::unique_ptr<IGlobalHotkeys>()>& Factory() {
  static std::function<std::unique_ptr<IGlobalHotkeys>()> factory;
  return factory;
}

}  // namespace

std::unique_ptr<IGlobalHotkeys> MakeGlobalHotkeys() {
  if (Factory()) return Factory()();
  std::unique_ptr<IGlobalHotkeys> hotkeys;
  if (QGuiApplication::platformName() == QLatin1String("xcb")) hotkeys = MakeX11GlobalHotkeys();
  if (!hotkeys) hotkeys = std::make_unique<TNoGlobalHotkeys>();
  return hotkeys;
}

void SetGlobalHotkeysFactory(std::function<std::unique_ptr<IGlobalHotkeys>()> factory) {
  Factory() = std::move(factory);
}

}  // namespace Platform
