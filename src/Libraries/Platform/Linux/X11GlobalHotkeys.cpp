#include "Platform/Linux/X11GlobalHotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QByteArray>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace Platform {
namespace {

constexpr xcb_keysym_t NumLockKeysym = 0xff7f;
constexpr xcb_keysym_t AltKeysyms[] = {0xffe9, 0xffea};  // Alt_L, Alt_R
// The extension's own event codes, in the byte after the event type.
constexpr uint8_t XkbNewKeyboardNotify = 0;
constexpr uint8_t XkbMapNotify = 1;

// One passive grab this client holds.
struct TGrab {
  xcb_keycode_t Keycode;
  uint16_t Mask;
};

struct THotkey {
  unsigned Modifiers = 0;
  QChar Letter;
  std::vector<TGrab> Grabs;
};

class TX11GlobalHotkeys : public IGlobalHotkeys, public QAbstractNativeEventFilter {
 public:
  TX11GlobalHotkeys(xcb_connection_t* connection, xcb_window_t root)
      : Connection(connection), Root(root) {
    XkbEventBase = QueryXkbEventBase();
    ReadKeyboard();
    QCoreApplication::instance()->installNativeEventFilter(this);
  }

  ~TX11GlobalHotkeys() override {
    QCoreApplication::instance()->removeNativeEventFilter(this);
    UnregisterAll();
    if (Symbols) xcb_key_symbols_free(Symbols);
  }

  bool Register(int id, unsigned modifiers, QChar letter) override {
    Unregister(id);
    THotkey& hotkey = Hotkeys[id];
    hotkey.Modifiers = modifiers;
    hotkey.Letter = letter;
    Grab(hotkey);
    return !hotkey.Grabs.empty();
  }

  void Unregister(int id) override {
    const auto found = Hotkeys.find(id);
    if (found == Hotkeys.end()) return;
    Release(found->second);
    Hotkeys.erase(found);
  }

  void UnregisterAll() override {
    for (auto& [id, hotkey] : Hotkeys) Release(hotkey);
    Hotkeys.clear();
  }

  bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) override {
    if (eventType != "xcb_generic_event_t") return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const uint8_t type = event->response_type & 0x7f;
    if (type == XCB_KEY_PRESS || type == XCB_KEY_RELEASE) {
      const auto* key = reinterpret_cast<const xcb_key_press_event_t*>(event);
      if (key->event != Root) return false;
      const int id = IdOf(key->detail, key->state & 0xff);
      if (id < 0) return false;
      // The action may open a modal window: it runs later from the event loop, not inside the
      // handling of this X event.
      if (type == XCB_KEY_PRESS)
        QMetaObject::invokeMethod(
            &Context,
            [this, id] {
              if (OnHotkey) OnHotkey(id);
            },
            Qt::QueuedConnection);
      return true;
    }
    if (type == XCB_MAPPING_NOTIFY) {
      const auto* mapping = reinterpret_cast<const xcb_mapping_notify_event_t*>(event);
      if (mapping->request != XCB_MAPPING_POINTER) ScheduleRegrab();
    } else if (XkbEventBase != 0 && type == XkbEventBase &&
               (event->pad0 == XkbMapNotify || event->pad0 == XkbNewKeyboardNotify)) {
      // A new layout (setxkbmap) reaches clients that speak the keyboard extension, as Qt does,
      // only as the extension's notice, without a core MappingNotify.
      ScheduleRegrab();
    }
    return false;
  }

 private:
  uint8_t QueryXkbEventBase() {
    static const char name[] = "XKEYBOARD";
    xcb_query_extension_reply_t* reply = xcb_query_extension_reply(
        Connection, xcb_query_extension(Connection, sizeof name - 1, name), nullptr);
    const uint8_t base = reply && reply->present ? reply->first_event : 0;
    std::free(reply);
    return base;
  }

  std::vector<xcb_keycode_t> Keycodes(xcb_keysym_t keysym) {
    std::vector<xcb_keycode_t> keycodes;
    if (xcb_keycode_t* list = xcb_key_symbols_get_keycode(Symbols, keysym)) {
      for (xcb_keycode_t* code = list; *code != XCB_NO_SYMBOL; ++code) keycodes.push_back(*code);
      std::free(list);
    }
    return keycodes;
  }

  // The keysyms and which modifier bits NumLock and Alt are on, as the server has them now.
  void ReadKeyboard() {
    if (Symbols) xcb_key_symbols_free(Symbols);
    Symbols = xcb_key_symbols_alloc(Connection);
    NumLockMask = 0;
    AltMask = XCB_MOD_MASK_1;
    xcb_get_modifier_mapping_reply_t* reply =
        xcb_get_modifier_mapping_reply(Connection, xcb_get_modifier_mapping(Connection), nullptr);
    if (!reply) return;
    const xcb_keycode_t* table = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    const auto maskOf = [&](const std::vector<xcb_keycode_t>& keycodes) -> uint16_t {
      for (int modifier = 0; modifier < 8; ++modifier)
        for (int i = 0; i < perModifier; ++i) {
          const xcb_keycode_t code = table[modifier * perModifier + i];
          if (code != 0 && std::find(keycodes.begin(), keycodes.end(), code) != keycodes.end())
            return static_cast<uint16_t>(1u << modifier);
        }
      return 0;
    };
    NumLockMask = maskOf(Keycodes(NumLockKeysym));
    std::vector<xcb_keycode_t> alt;
    for (xcb_keysym_t keysym : AltKeysyms) {
      const std::vector<xcb_keycode_t> codes = Keycodes(keysym);
      alt.insert(alt.end(), codes.begin(), codes.end());
    }
    if (const uint16_t mask = maskOf(alt)) AltMask = mask;
    std::free(reply);
  }

  void Grab(THotkey& hotkey) {
    const char16_t letter = hotkey.Letter.toLower().unicode();
    if (letter < u'a' || letter > u'z') return;
    // Letter keysyms are their Latin-1 codes.
    std::vector<xcb_keycode_t> keycodes = Keycodes(letter);
    for (xcb_keycode_t code : Keycodes(letter - u'a' + u'A'))
      if (std::find(keycodes.begin(), keycodes.end(), code) == keycodes.end())
        keycodes.push_back(code);

    uint16_t mask = 0;
    if (hotkey.Modifiers & HotkeyShift) mask |= XCB_MOD_MASK_SHIFT;
    if (hotkey.Modifiers & HotkeyControl) mask |= XCB_MOD_MASK_CONTROL;
    if (hotkey.Modifiers & HotkeyAlt) mask |= AltMask;
    // A grab matches only the exact modifier state, so every state of the lock keys needs its own.
    std::vector<uint16_t> masks;
    for (uint16_t locks : {uint16_t{0}, uint16_t{XCB_MOD_MASK_LOCK}, NumLockMask,
                           uint16_t(XCB_MOD_MASK_LOCK | NumLockMask)})
      if (std::find(masks.begin(), masks.end(), mask | locks) == masks.end())
        masks.push_back(mask | locks);

    // Without owner events the press comes to the root window even while one of our own windows
    // has the keyboard, so it is never taken for typing there.
    std::vector<std::pair<TGrab, xcb_void_cookie_t>> requests;
    for (xcb_keycode_t code : keycodes)
      for (uint16_t variant : masks)
        requests.push_back({{code, variant},
                            xcb_grab_key_checked(Connection, 0, Root, variant, code,
                                                 XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
    // A combination another client holds fails with an access error; it is left to that client.
    for (const auto& [grab, cookie] : requests) {
      xcb_generic_error_t* error = xcb_request_check(Connection, cookie);
      if (error)
        std::free(error);
      else
        hotkey.Grabs.push_back(grab);
    }
  }

  void Release(THotkey& hotkey) {
    std::vector<xcb_void_cookie_t> requests;
    for (const TGrab& grab : hotkey.Grabs)
      requests.push_back(xcb_ungrab_key_checked(Connection, grab.Keycode, Root, grab.Mask));
    for (xcb_void_cookie_t cookie : requests) std::free(xcb_request_check(Connection, cookie));
    hotkey.Grabs.clear();
  }

  int IdOf(xcb_keycode_t keycode, uint16_t state) const {
    for (const auto& [id, hotkey] : Hotkeys)
      for (const TGrab& grab : hotkey.Grabs)
        if (grab.Keycode == keycode && grab.Mask == state) return id;
    return -1;
  }

  // Several notices come for one change; the keys are taken again once, after the last.
  void ScheduleRegrab() {
    if (RegrabPending) return;
    RegrabPending = true;
    QTimer::singleShot(0, &Context, [this] {
      RegrabPending = false;
      for (auto& [id, hotkey] : Hotkeys) Release(hotkey);
      ReadKeyboard();
      for (auto& [id, hotkey] : Hotkeys) Grab(hotkey);
    });
  }

  xcb_connection_t* Connection;
  xcb_window_t Root;
  xcb_key_symbols_t* Symbols = nullptr;
  uint16_t NumLockMask = 0;
  uint16_t AltMask = XCB_MOD_MASK_1;
  uint8_t XkbEventBase = 0;
  bool RegrabPending = false;
  std::map<int, THotkey> Hotkeys;
  // Queued calls die with the object.
  QObject Context;
};

// The root window of the screen the display name selects.
xcb_window_t DefaultRoot(xcb_connection_t* connection) {
  int screen = 0;
  char* host = nullptr;
  int display = 0;
  if (xcb_parse_display(nullptr, &host, &display, &screen) == 0) screen = 0;
  std::free(host);
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
  xcb_window_t root = it.rem > 0 ? it.data->root : XCB_NONE;
  for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i)
    if (i == screen) root = it.data->root;
  return root;
}

}  // namespace

std::unique_ptr<IGlobalHotkeys> MakeX11GlobalHotkeys() {
  auto* application =
      qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* connection = application ? application->connection() : nullptr;
  if (!connection || xcb_connection_has_error(connection)) return nullptr;
  const xcb_window_t root = DefaultRoot(connection);
  if (root == XCB_NONE) return nullptr;
  return std::make_unique<TX11GlobalHotkeys>(connection, root);
}

}  // namespace Platform
