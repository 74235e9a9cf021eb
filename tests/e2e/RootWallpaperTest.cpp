// The wallpaper of plain X11 sessions, on a real X server: the root window shows the composed
// picture at once, the pixmap is named for other programs, and old pixmaps do not pile up.
#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

#include "PictureFiles.h"
#include "E2eSession.h"
#include "Error/Error.h"
#include "MyGDIPlus/MyGDIPlus.h"

namespace {

class TConnection {
 public:
  explicit TConnection(const QString& display)
      : Connection(xcb_connect(display.toLocal8Bit().constData(), nullptr)) {}
  ~TConnection() { xcb_disconnect(Connection); }
  TConnection(const TConnection&) = delete;
  TConnection& operator=(const TConnection&) = delete;

  bool Ok() const { return !xcb_connection_has_error(Connection); }
  xcb_window_t Root() const {
    return xcb_setup_roots_iterator(xcb_get_setup(Connection)).data->root;
  }

  xcb_atom_t Atom(const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        Connection, xcb_intern_atom(Connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply ? reply->atom : 0;
    std::free(reply);
    return atom;
  }

  // The pixmap a root property names, 0 when it is not set.
  uint32_t Property(const char* name) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        Connection, xcb_get_property(Connection, 0, Root(), Atom(name), XCB_ATOM_PIXMAP, 0, 1),
        nullptr);
    uint32_t value = 0;
    if (reply && xcb_get_property_value_length(reply) == 4)
      std::memcpy(&value, xcb_get_property_value(reply), 4);
    std::free(reply);
    return value;
  }

  // The size of a drawable, or an empty size when the server does not know it.
  QSize Geometry(uint32_t drawable) {
    xcb_generic_error_t* error = nullptr;
    xcb_get_geometry_reply_t* reply =
        xcb_get_geometry_reply(Connection, xcb_get_geometry(Connection, drawable), &error);
    const QSize size = reply ? QSize(reply->width, reply->height) : QSize();
    std::free(reply);
    std::free(error);
    return size;
  }

  xcb_connection_t* Connection;
};

}  // namespace

TEST(RootWallpaper, ShowsThePictureAndFreesThePreviousPixmaps) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  qputenv("DISPLAY", session.DisplayName().toLocal8Bit());
  qunsetenv("XDG_CURRENT_DESKTOP");
  TConnection x(session.DisplayName());
  ASSERT_TRUE(x.Ok());

  QImage picture = NoiseImage(1280, 1024, 1);
  ASSERT_TRUE(ComposeWallpaper(picture, {}, nullptr)) << FunStatContext.Parameter2;
  const uint32_t first = x.Property("_XROOTPMAP_ID");
  ASSERT_NE(first, 0u);
  EXPECT_EQ(x.Property("ESETROOT_PMAP_ID"), first);
  // The pixmap outlives the setter's connection.
  EXPECT_EQ(x.Geometry(first), QSize(1280, 1024));
  const QImage shown = session.Screenshot().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(1280, 1024));
  for (int y = 0; y < 1024; ++y)
    for (int x = 0; x < 1280; ++x)
      ASSERT_EQ(shown.pixel(x, y), picture.pixel(x, y)) << x << "," << y;

  // Each round's setter frees the pixmap of the round before (the server may hand its id to a
  // later client, so only the latest freed id is checked).
  uint32_t previous = first;
  for (int round = 1; round <= 20; ++round) {
    const QRgb colour = qRgb(round * 10, 255 - round * 10, round);
    QImage solid = SolidImage(1280, 1024, colour);
    ASSERT_TRUE(ComposeWallpaper(solid, {}, nullptr)) << round;
    const uint32_t current = x.Property("_XROOTPMAP_ID");
    EXPECT_NE(current, previous) << round;
    EXPECT_EQ(x.Property("ESETROOT_PMAP_ID"), current) << round;
    EXPECT_EQ(x.Geometry(current), QSize(1280, 1024)) << round;
    EXPECT_FALSE(x.Geometry(previous).isValid()) << "pixmap of round " << round - 1 << " kept";
    previous = current;
  }
  const QImage last = session.Screenshot();
  EXPECT_EQ(last.pixel(640, 512) & 0xFFFFFF, qRgb(200, 55, 20) & 0xFFFFFF);
}

TEST(RootWallpaper, LeavesPixmapsItDidNotSetAlone) {
  TE2eSession session;
  ASSERT_TRUE(session.Ready());
  qputenv("DISPLAY", session.DisplayName().toLocal8Bit());
  qunsetenv("XDG_CURRENT_DESKTOP");
  TConnection x(session.DisplayName());
  ASSERT_TRUE(x.Ok());

  // Another program's background, named only by _XROOTPMAP_ID: its owner must survive.
  const uint32_t foreign = xcb_generate_id(x.Connection);
  xcb_create_pixmap(x.Connection, 24, foreign, x.Root(), 8, 8);
  xcb_change_property(x.Connection, XCB_PROP_MODE_REPLACE, x.Root(), x.Atom("_XROOTPMAP_ID"),
                      XCB_ATOM_PIXMAP, 32, 1, &foreign);
  xcb_flush(x.Connection);
  ASSERT_EQ(x.Property("_XROOTPMAP_ID"), foreign);

  QImage solid = SolidImage(1280, 1024, qRgb(1, 2, 3));
  ASSERT_TRUE(ComposeWallpaper(solid, {}, nullptr));
  EXPECT_TRUE(x.Ok());
  EXPECT_EQ(x.Geometry(foreign), QSize(8, 8));
  EXPECT_NE(x.Property("_XROOTPMAP_ID"), foreign);
}
