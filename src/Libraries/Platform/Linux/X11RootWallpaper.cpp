#include "Platform/Linux/X11RootWallpaper.h"

#include <QImageReader>
#include <QPainter>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include <xcb/xcb.h>

namespace Platform {
namespace {

struct TConnectionCloser {
  void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
using TConnection = std::unique_ptr<xcb_connection_t, TConnectionCloser>;

// Checks a request sent with a _checked call; false (with the X error code) on failure.
bool Succeeded(xcb_connection_t* connection, xcb_void_cookie_t cookie, QString& why,
               const char* what) {
  xcb_generic_error_t* error = xcb_request_check(connection, cookie);
  if (!error) return true;
  why = QStringLiteral("X error %1 on %2.").arg(error->error_code).arg(QLatin1String(what));
  std::free(error);
  return false;
}

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
      nullptr);
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
  std::free(reply);
  return atom;
}

xcb_pixmap_t PixmapProperty(xcb_connection_t* connection, xcb_window_t root, xcb_atom_t atom) {
  xcb_get_property_reply_t* reply = xcb_get_property_reply(
      connection, xcb_get_property(connection, 0, root, atom, XCB_ATOM_PIXMAP, 0, 1), nullptr);
  xcb_pixmap_t pixmap = XCB_NONE;
  if (reply && reply->type == XCB_ATOM_PIXMAP && reply->format == 32 &&
      xcb_get_property_value_length(reply) >= 4)
    std::memcpy(&pixmap, xcb_get_property_value(reply), 4);
  std::free(reply);
  return pixmap;
}

// A drawable that is not a window. A named pixmap that was freed behind the namer's back may
// have had its id handed to another client; its windows must not be mistaken for it.
bool IsPixmap(xcb_connection_t* connection, xcb_drawable_t drawable) {
  xcb_get_geometry_reply_t* geometry =
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, drawable), nullptr);
  xcb_get_window_attributes_reply_t* window = xcb_get_window_attributes_reply(
      connection, xcb_get_window_attributes(connection, drawable), nullptr);
  const bool pixmap = geometry && !window;
  std::free(geometry);
  std::free(window);
  return pixmap;
}

const xcb_screen_t* ScreenOf(const xcb_setup_t* setup, int number) {
  xcb_screen_iterator_t it = xcb_setup_roots_iterator(setup);
  for (int i = 0; it.rem > 0; xcb_screen_next(&it), ++i)
    if (i == number) return it.data;
  return nullptr;
}

const xcb_visualtype_t* VisualOf(const xcb_screen_t* screen) {
  for (xcb_depth_iterator_t depth = xcb_screen_allowed_depths_iterator(screen); depth.rem > 0;
       xcb_depth_next(&depth))
    for (xcb_visualtype_iterator_t visual = xcb_depth_visuals_iterator(depth.data); visual.rem > 0;
         xcb_visualtype_next(&visual))
      if (visual.data->visual_id == screen->root_visual) return visual.data;
  return nullptr;
}

const xcb_format_t* FormatOf(const xcb_setup_t* setup, uint8_t depth) {
  for (xcb_format_iterator_t format = xcb_setup_pixmap_formats_iterator(setup); format.rem > 0;
       xcb_format_next(&format))
    if (format.data->depth == depth) return format.data;
  return nullptr;
}

// Places an 8-bit channel into a visual's colour mask.
struct TChannel {
  int Shift = 0;
  uint32_t Max = 0;
  explicit TChannel(uint32_t mask) {
    if (!mask) return;
    while (!(mask & 1)) {
      mask >>= 1;
      ++Shift;
    }
    Max = mask;
  }
  uint32_t Place(int value) const {
    return ((static_cast<uint32_t>(value) * Max + 127) / 255) << Shift;
  }
};

// The picture in the server's Z-pixmap layout for a true-colour visual.
struct TServerImage {
  std::vector<uint8_t> Bytes;
  int Stride = 0;
};

bool ToServerImage(const QImage& image, const xcb_setup_t* setup, const xcb_format_t& format,
                   const xcb_visualtype_t& visual, TServerImage& out, QString& why) {
  const int bytesPerPixel = format.bits_per_pixel / 8;
  if ((visual._class != XCB_VISUAL_CLASS_TRUE_COLOR &&
       visual._class != XCB_VISUAL_CLASS_DIRECT_COLOR) ||
      (format.bits_per_pixel != 16 && format.bits_per_pixel != 24 && format.bits_per_pixel != 32)) {
    why = QStringLiteral("The display's colour format is not supported.");
    return false;
  }
  const int pad = std::max(format.scanline_pad / 8, 1);
  out.Stride = (image.width() * bytesPerPixel + pad - 1) / pad * pad;
  out.Bytes.assign(static_cast<size_t>(out.Stride) * static_cast<size_t>(image.height()), 0);
  const TChannel red(visual.red_mask), green(visual.green_mask), blue(visual.blue_mask);
  const bool mostFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
  for (int y = 0; y < image.height(); ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    uint8_t* row = out.Bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(out.Stride);
    for (int x = 0; x < image.width(); ++x) {
      const uint32_t pixel =
          red.Place(qRed(in[x])) | green.Place(qGreen(in[x])) | blue.Place(qBlue(in[x]));
      uint8_t* at = row + x * bytesPerPixel;
      for (int b = 0; b < bytesPerPixel; ++b) {
        const int shift = 8 * (mostFirst ? bytesPerPixel - 1 - b : b);
        at[b] = static_cast<uint8_t>(pixel >> shift);
      }
    }
  }
  return true;
}

bool SetOn(xcb_connection_t* connection, int screenNumber, const QImage& image, QString& why) {
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const xcb_screen_t* screen = ScreenOf(setup, screenNumber);
  const xcb_visualtype_t* visual = screen ? VisualOf(screen) : nullptr;
  const xcb_format_t* format = screen ? FormatOf(setup, screen->root_depth) : nullptr;
  if (!visual || !format) {
    why = QStringLiteral("The X server describes no usable screen.");
    return false;
  }
  TServerImage pixels;
  if (!ToServerImage(image, setup, *format, *visual, pixels, why)) return false;
  const xcb_window_t root = screen->root;
  const auto width = static_cast<uint16_t>(image.width());
  const auto height = static_cast<uint16_t>(image.height());

  const xcb_pixmap_t pixmap = xcb_generate_id(connection);
  if (!Succeeded(
          connection,
          xcb_create_pixmap_checked(connection, screen->root_depth, pixmap, root, width, height),
          why, "creating the pixmap"))
    return false;
  const xcb_gcontext_t gc = xcb_generate_id(connection);
  xcb_create_gc(connection, gc, pixmap, 0, nullptr);
  // Requests are limited in size; send the rows in strips that fit.
  const size_t maxBytes = static_cast<size_t>(xcb_get_maximum_request_length(connection)) * 4;
  const int rowsPerStrip =
      std::max(1, static_cast<int>((maxBytes - 64) / static_cast<size_t>(pixels.Stride)));
  for (int y = 0; y < height; y += rowsPerStrip) {
    const int rows = std::min(rowsPerStrip, height - y);
    const xcb_void_cookie_t cookie = xcb_put_image_checked(
        connection, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc, width, static_cast<uint16_t>(rows), 0,
        static_cast<int16_t>(y), 0, screen->root_depth, static_cast<uint32_t>(rows * pixels.Stride),
        pixels.Bytes.data() + static_cast<size_t>(y) * static_cast<size_t>(pixels.Stride));
    if (!Succeeded(connection, cookie, why, "drawing the pixmap")) return false;
  }
  xcb_free_gc(connection, gc);

  // Other root setters keep their pixmap alive the same way; by convention, when both
  // properties name one pixmap, its owner is killed so the server frees it.
  xcb_grab_server(connection);
  const xcb_atom_t rootAtom = Atom(connection, "_XROOTPMAP_ID");
  const xcb_atom_t esetrootAtom = Atom(connection, "ESETROOT_PMAP_ID");
  const xcb_pixmap_t oldRoot = PixmapProperty(connection, root, rootAtom);
  const xcb_pixmap_t oldEsetroot = PixmapProperty(connection, root, esetrootAtom);
  if (oldRoot != XCB_NONE && oldRoot == oldEsetroot && IsPixmap(connection, oldRoot)) {
    // A pixmap whose owner has gone already only yields an error, which changes nothing.
    xcb_generic_error_t* ignored =
        xcb_request_check(connection, xcb_kill_client_checked(connection, oldRoot));
    std::free(ignored);
  }
  bool done = true;
  for (const xcb_atom_t atom : {rootAtom, esetrootAtom})
    done = done && Succeeded(connection,
                             xcb_change_property_checked(connection, XCB_PROP_MODE_REPLACE, root,
                                                         atom, XCB_ATOM_PIXMAP, 32, 1, &pixmap),
                             why, "naming the pixmap");
  const uint32_t background[] = {pixmap};
  done = done && Succeeded(connection,
                           xcb_change_window_attributes_checked(connection, root,
                                                                XCB_CW_BACK_PIXMAP, background),
                           why, "setting the background");
  done = done && Succeeded(connection, xcb_clear_area_checked(connection, 0, root, 0, 0, 0, 0), why,
                           "clearing the root window");
  xcb_ungrab_server(connection);
  if (!done) return false;
  // Another setter may have named its own pixmap since: then the root shows that one.
  if (PixmapProperty(connection, root, rootAtom) != pixmap) {
    why = QStringLiteral(
        "X11 root window: the desktop did not take the wallpaper; _XROOTPMAP_ID names another "
        "pixmap");
    return false;
  }
  return Succeeded(connection,
                   xcb_set_close_down_mode_checked(connection, XCB_CLOSE_DOWN_RETAIN_PERMANENT),
                   why, "keeping the pixmap");
}

}  // namespace

bool SetRootWindowImage(const QImage& image, const QColor& fill, QString& why) {
  if (image.isNull() || image.width() > 32767 || image.height() > 32767) {
    why = QStringLiteral("The picture cannot be a root window background.");
    return false;
  }
  int screenNumber = 0;
  TConnection connection(xcb_connect(nullptr, &screenNumber));
  if (xcb_connection_has_error(connection.get())) {
    why = QStringLiteral("Cannot connect to the X server.");
    return false;
  }
  const xcb_screen_t* screen = ScreenOf(xcb_get_setup(connection.get()), screenNumber);
  const QSize whole =
      screen ? QSize(screen->width_in_pixels, screen->height_in_pixels).expandedTo(image.size())
             : image.size();
  if (whole == image.size())
    return SetOn(connection.get(), screenNumber, image.convertToFormat(QImage::Format_RGB32), why);
  // The server would repeat a smaller pixmap over the rest of the screen.
  QImage padded(whole, QImage::Format_RGB32);
  padded.fill(fill);
  QPainter(&padded).drawImage(0, 0, image);
  return SetOn(connection.get(), screenNumber, padded, why);
}

bool SetRootWindowPicture(const QString& path, const QColor& fill, QString& why) {
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull()) {
    why = reader.errorString();
    return false;
  }
  return SetRootWindowImage(image, fill, why);
}

}  // namespace Platform
