// The real program's global hot keys under Xvfb: real key presses from xdotool, and a second X
// client in this process that holds keys, looks for the program's grabs (a grab another client
// holds is refused) and changes the keyboard mapping.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdlib>
#include <sys/stat.h>
#include <vector>

#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include "E2eSession.h"
#include "ProgramWindow.h"

namespace {

// Modifier bits of Xvfb's default keyboard.
constexpr uint16_t Shift = XCB_MOD_MASK_SHIFT;
constexpr uint16_t Control = XCB_MOD_MASK_CONTROL;
constexpr uint16_t Alt = XCB_MOD_MASK_1;
constexpr uint16_t CapsLock = XCB_MOD_MASK_LOCK;
constexpr uint16_t NumLock = XCB_MOD_MASK_2;
constexpr uint16_t LockStates[] = {0, CapsLock, NumLock, CapsLock | NumLock};

// Another client on the session's display.
class TOtherClient {
 public:
  explicit TOtherClient(const QString& display) {
    Connection = xcb_connect(display.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(Connection)) return;
    Root = xcb_setup_roots_iterator(xcb_get_setup(Connection)).data->root;
  }
  ~TOtherClient() { xcb_disconnect(Connection); }
  bool Ready() const { return Root != XCB_NONE; }

  // The keycode that types `letter` now; 0 when none does.
  xcb_keycode_t Keycode(char letter) {
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(Connection);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, static_cast<xcb_keysym_t>(letter));
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    xcb_key_symbols_free(symbols);
    return code == XCB_NO_SYMBOL ? 0 : code;
  }

  // Grabs the key; false when the server refuses because someone else holds it.
  bool Grab(xcb_keycode_t code, uint16_t modifiers) {
    xcb_generic_error_t* error = xcb_request_check(
        Connection, xcb_grab_key_checked(Connection, 0, Root, modifiers, code, XCB_GRAB_MODE_ASYNC,
                                         XCB_GRAB_MODE_ASYNC));
    std::free(error);
    return !error;
  }
  void Ungrab(xcb_keycode_t code, uint16_t modifiers) {
    std::free(
        xcb_request_check(Connection, xcb_ungrab_key_checked(Connection, code, Root, modifiers)));
  }

  // In how many of the four lock states someone else holds the key with `modifiers`. Looking
  // takes the key for a moment, so only look while the program is not grabbing.
  int HeldStates(xcb_keycode_t code, uint16_t modifiers) {
    int held = 0;
    for (uint16_t locks : LockStates) {
      if (Grab(code, modifiers | locks))
        Ungrab(code, modifiers | locks);
      else
        ++held;
    }
    return held;
  }

  // Makes `code` type `letter` (0: nothing) with the server's number of keysyms per keycode.
  void MapKey(xcb_keycode_t code, char letter) {
    xcb_get_keyboard_mapping_reply_t* reply = xcb_get_keyboard_mapping_reply(
        Connection, xcb_get_keyboard_mapping(Connection, code, 1), nullptr);
    ASSERT_TRUE(reply);
    std::vector<xcb_keysym_t> keysyms(reply->keysyms_per_keycode, XCB_NO_SYMBOL);
    if (letter != 0 && keysyms.size() >= 2) {
      keysyms[0] = static_cast<xcb_keysym_t>(letter);
      keysyms[1] = static_cast<xcb_keysym_t>(letter - 'a' + 'A');
    }
    ASSERT_FALSE(xcb_request_check(
        Connection, xcb_change_keyboard_mapping_checked(
                        Connection, 1, code, reply->keysyms_per_keycode, keysyms.data())));
    std::free(reply);
  }

  // The modifier state of the keyboard, locks included.
  uint16_t ModifierState() {
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(Connection, xcb_query_pointer(Connection, Root), nullptr);
    const uint16_t state = reply ? reply->mask & 0xff : 0;
    std::free(reply);
    return state;
  }

 private:
  xcb_connection_t* Connection = nullptr;
  xcb_window_t Root = XCB_NONE;
};

// The composed wallpaper file: a new file at every composition, showing the current picture.
struct TStamp {
  ino_t Inode = 0;
  int64_t Modified = 0;
  QRgb Colour = 0;  // the middle pixel
  bool operator==(const TStamp& other) const {
    return Inode == other.Inode && Modified == other.Modified;
  }
};

// One solid colour per picture, so that the wallpaper tells which one is current. In list order.
const QRgb Colours[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};

class THotkeySession {
 public:
  explicit THotkeySession(TE2eSession& session) : Session(session) {}

  TStamp Stamp() const {
    const QString path =
        Session.Environment().value("XDG_DATA_HOME") + "/backdropper/Backdropper_Wallpaper.bmp";
    struct stat info {};
    TStamp stamp;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) return stamp;
    stamp.Inode = info.st_ino;
    stamp.Modified = info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
    const QImage picture(path);
    if (!picture.isNull()) stamp.Colour = picture.pixel(picture.width() / 2, picture.height() / 2);
    return stamp;
  }

  void Press(const QString& keys) { Session.Run("xdotool", {"key", keys}); }

  // Presses `keys` once and waits for the wallpaper to be composed again; `Last` is updated.
  bool Changes(const QString& keys, int timeoutMs = 20000) {
    Press(keys);
    return WaitForChange(timeoutMs);
  }

  bool WaitForChange(int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < timeoutMs) {
      const TStamp now = Stamp();
      if (!(now == Last)) {
        Last = now;
        return true;
      }
      QThread::msleep(50);
    }
    return false;
  }

  // The program takes its hot keys while starting and changes nothing by itself (quiet
  // options): press until one press gets through, then let every press in flight finish.
  bool WaitUntilServed(const QString& keys) {
    Last = Stamp();
    bool served = false;
    for (int attempt = 0; attempt < 40 && !served; ++attempt) served = Changes(keys, 1000);
    while (served && WaitForChange(1500)) {
    }
    return served;
  }

  TE2eSession& Session;
  TStamp Last;
};

// Quiet options over a folder of solid-colour pictures, the first one current; `main` is added
// to the [Main] section.
void WriteOptions(TE2eSession& session, const QByteArray& main = {}) {
  const QString folder = session.Root() + "/Solid";
  ASSERT_TRUE(QDir().mkpath(folder));
  for (int i = 0; i < 3; ++i) {
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(Colours[i]);
    ASSERT_TRUE(picture.save(folder + QStringLiteral("/%1.png").arg(i)));
  }
  WriteQuietOptions(session, folder + "/0.png", folder);
  if (main.isEmpty()) return;
  QFile file(session.ProgramDir() + "/Backdropper.ini");
  ASSERT_TRUE(file.open(QIODevice::ReadOnly));
  QByteArray text = file.readAll();
  file.close();
  text.replace("[Main]\r\n", "[Main]\r\n" + main);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

// The position of a wallpaper colour among the pictures; -1 for any other colour.
int PictureOf(QRgb colour) {
  for (int i = 0; i < 3; ++i)
    if (colour == Colours[i]) return i;
  return -1;
}

}  // namespace

TEST(Hotkeys, EachCombinationStepsThePicturesWhileHiddenWhateverTheLocks) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  TOtherClient other(session.DisplayName());
  ASSERT_TRUE(other.Ready());
  WriteOptions(session);
  session.StartProgram();  // hidden in the tray, as after an automatic start
  THotkeySession keys(session);
  ASSERT_TRUE(keys.WaitUntilServed("ctrl+shift+w"));
  EXPECT_TRUE(session.FindWindows("^Backdropper$").isEmpty()) << "the window stays hidden";

  for (uint16_t locks : LockStates) {
    SCOPED_TRACE(testing::Message() << "lock modifiers " << locks);
    // Toggle the lock keys to this state, and make sure the server has it.
    for (auto [mask, key] : {std::pair{CapsLock, "Caps_Lock"}, std::pair{NumLock, "Num_Lock"}})
      if ((other.ModifierState() & mask) != (locks & mask)) keys.Press(key);
    ASSERT_EQ(other.ModifierState() & (CapsLock | NumLock), locks);

    const int before = PictureOf(keys.Last.Colour);
    ASSERT_GE(before, 0);
    ASSERT_TRUE(keys.Changes("ctrl+shift+w"));
    EXPECT_EQ(PictureOf(keys.Last.Colour), (before + 1) % 3) << "Ctrl+Shift: the next one";
    ASSERT_TRUE(keys.Changes("ctrl+alt+w"));
    EXPECT_EQ(PictureOf(keys.Last.Colour), before) << "Ctrl+Alt: the previous one";
    // A random draw may land on the same picture; the wallpaper is composed again all the same.
    ASSERT_TRUE(keys.Changes("shift+alt+w"));
    EXPECT_GE(PictureOf(keys.Last.Colour), 0);
  }
  EXPECT_TRUE(session.FindWindows("^Backdropper$").isEmpty());
}

TEST(Hotkeys, ChangingTheLetterTenTimesLeavesOnlyTheLastOneTaken) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  TOtherClient other(session.DisplayName());
  ASSERT_TRUE(other.Ready());
  WriteOptions(session);
  QProcess* program = session.StartProgram({"ShowOnStart"});
  TProgramWindow window(session);
  ASSERT_TRUE(window.Find());
  THotkeySession keys(session);
  ASSERT_TRUE(keys.WaitUntilServed("ctrl+shift+w"));

  // The letter box takes the keyboard when clicked (its list opens and is closed again); each
  // letter typed then, slower than its type-ahead, selects that letter.
  const auto shownWindows = [&] {
    QString out;
    session.Run("xdotool",
                {"search", "--onlyvisible", "--pid", QString::number(program->processId())}, &out);
    return out.split('\n', Qt::SkipEmptyParts).size();
  };
  window.ShowTab(&TMainForm::PageControl, window.Map.PageControl->indexOf(window.Map.GeneralPage));
  window.Click(&TMainForm::HotkeyComboBox);
  ASSERT_TRUE(WaitUntil([&] { return shownWindows() == 2; })) << "the list opens";
  keys.Press("Escape");
  ASSERT_TRUE(WaitUntil([&] { return shownWindows() == 1; })) << "the list closes";
  session.Run("xdotool",
              {"key", "--delay", "600", "a", "b", "c", "d", "e", "f", "g", "h", "i", "q"});
  ASSERT_TRUE(keys.WaitUntilServed("ctrl+shift+q"));

  // Only Q is held: every combination of every other letter typed is free again.
  for (uint16_t modifiers : {Control | Shift, Control | Alt, Shift | Alt}) {
    for (char letter : QByteArray("abcdefghiw")) {
      SCOPED_TRACE(testing::Message() << letter << " with modifiers " << modifiers);
      EXPECT_EQ(other.HeldStates(other.Keycode(letter), modifiers), 0);
    }
    EXPECT_EQ(other.HeldStates(other.Keycode('q'), modifiers), 4) << "modifiers " << modifiers;
  }
  // The old combination no longer reaches the program, the new ones do.
  keys.Press("ctrl+shift+w");
  EXPECT_FALSE(keys.WaitForChange(1500));
  EXPECT_TRUE(keys.Changes("ctrl+alt+q"));
  EXPECT_TRUE(keys.Changes("shift+alt+q"));
}

TEST(Hotkeys, ACombinationAnotherClientHoldsIsLeftToItAndTheRestWork) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  TOtherClient other(session.DisplayName());
  ASSERT_TRUE(other.Ready());
  const xcb_keycode_t w = other.Keycode('w');
  ASSERT_TRUE(other.Grab(w, Control | Shift));  // before the program starts
  WriteOptions(session);
  QProcess* program = session.StartProgram();
  THotkeySession keys(session);
  ASSERT_TRUE(keys.WaitUntilServed("ctrl+alt+w"));
  EXPECT_EQ(program->state(), QProcess::Running);

  EXPECT_TRUE(keys.Changes("shift+alt+w"));
  keys.Press("ctrl+shift+w");
  EXPECT_FALSE(keys.WaitForChange(1500)) << "the other client gets Ctrl+Shift+W";
  // The lock states the other client left free are the program's.
  keys.Press("Num_Lock");
  EXPECT_TRUE(keys.Changes("ctrl+shift+w"));
  keys.Press("Num_Lock");
  // Looking replaces this client's own grab (and lets it go): the three lock states are the
  // program's.
  EXPECT_EQ(other.HeldStates(w, Control | Shift), 3);

  // At its end the program lets go of everything it held.
  program->terminate();
  ASSERT_EQ(TE2eSession::WaitForExit(program, 15000), 0);
  for (uint16_t modifiers : {Control | Alt, Shift | Alt})
    EXPECT_EQ(other.HeldStates(w, modifiers), 0) << "modifiers " << modifiers;
}

TEST(Hotkeys, TheGrabsFollowTheKeyboardMappingAndLayout) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  TOtherClient other(session.DisplayName());
  ASSERT_TRUE(other.Ready());
  // No key types Z when the program starts with that letter.
  const xcb_keycode_t first = other.Keycode('z');
  const xcb_keycode_t second = other.Keycode('a');
  ASSERT_NE(first, 0);
  ASSERT_NE(second, 0);
  other.MapKey(first, 0);
  ASSERT_EQ(other.Keycode('z'), 0);
  WriteOptions(session, "Hotkey=Z\r\n");
  QProcess* program = session.StartProgram({"ShowOnStart"});
  ASSERT_TRUE(session.WaitForWindow("^Backdropper$", 20000));
  QThread::msleep(1000);  // the options have been read
  EXPECT_EQ(program->state(), QProcess::Running);

  // Once a key types Z, the program takes it.
  other.MapKey(first, 'z');
  THotkeySession keys(session);
  ASSERT_TRUE(keys.WaitUntilServed("ctrl+shift+z"));
  EXPECT_EQ(other.HeldStates(first, Control | Alt), 4);

  // Z moves to another key: the program follows it and lets go of the old one.
  other.MapKey(second, 'z');
  other.MapKey(first, 'a');
  ASSERT_TRUE(keys.WaitUntilServed("ctrl+alt+z"));
  EXPECT_EQ(other.Keycode('z'), second);
  EXPECT_EQ(other.HeldStates(second, Shift | Alt), 4);
  EXPECT_EQ(other.HeldStates(first, Shift | Alt), 0);

  // A new layout comes as a new keyboard, not as a changed mapping; the German one has Z where
  // the US one has Y.
  const xcb_keycode_t y = other.Keycode('y');
  ASSERT_EQ(session.Run("setxkbmap", {"de"}), 0);
  ASSERT_EQ(other.Keycode('z'), y);
  ASSERT_TRUE(keys.WaitUntilServed("shift+alt+z"));
  EXPECT_EQ(other.HeldStates(y, Control | Shift), 4);
  EXPECT_EQ(other.HeldStates(second, Control | Shift), 0);
}
