// Decoding. JPEG goes to libjpeg directly: a wallpaper photo is often several times the screen
// size, and reducing it in the DCT step saves most of the inverse transform and colour
// conversion. Everything else (and JPEGs in CMYK) goes through QImageReader.
#include "MyGDIPlus/PictureDecode.h"

#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>
#include <QTransform>
#include <algorithm>
#include <csetjmp>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "MyGDIPlus/PictureRows.h"
#include "Platform/LargeMemory.h"

namespace {

QImage Oriented(QImage image, QImageIOHandler::Transformations transform) {
  // Mirror first, then turn, as the EXIF orientations are defined.
  const bool mirror = transform.testFlag(QImageIOHandler::TransformationMirror);
  const bool flip = transform.testFlag(QImageIOHandler::TransformationFlip);
  if (mirror || flip) image = std::move(image).mirrored(mirror, flip);
  if (transform.testFlag(QImageIOHandler::TransformationRotate90))
    image = image.transformed(QTransform().rotate(90));
  return image;
}

bool TooLarge(int64_t width, int64_t height) {
  return width * height * 4 > MaxDecodedBytes;
}

struct TJpegErrors {
  jpeg_error_mgr Manager;
  jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX] = {};
};

void JpegErrorExit(j_common_ptr info) {
  auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
  info->err->format_message(info, errors->Message);
  longjmp(errors->Jump, 1);
}

void JpegMessage(j_common_ptr info, int level) {
  // Warnings about damaged data are tolerated as other viewers do; a file cut short is not,
  // since the missing part would show as a grey band. Decoding stops right there: a few
  // kilobytes can claim a picture of hundreds of megapixels.
  if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) JpegErrorExit(info);
}

// Row `y` of a picture's pixels stored 3 bytes each, back to back, in the last three quarters
// of its 32-bit buffer `bits` (whose rows have no padding).
uchar* PackedRow(uchar* bits, const QImage& image, int y) {
  const size_t width = static_cast<size_t>(image.width());
  const size_t pixels = width * static_cast<size_t>(image.height());
  return bits + pixels + 3 * width * static_cast<size_t>(y);
}

// Turns the packed rows into 32-bit pixels, front to back: pixel i lands on bytes 4i to 4i+3,
// which lie before the packed bytes of every pixel after it, so nothing unread is overwritten.
void WidenPackedRows(uchar* bits, const QImage& image) {
  const size_t pixels = static_cast<size_t>(image.width()) * static_cast<size_t>(image.height());
  const uchar* from = bits + pixels;
  for (size_t i = 0; i < pixels; ++i, from += 3) {
    const uint32_t pixel =
        0xFF000000u | (uint32_t{from[2]} << 16) | (uint32_t{from[1]} << 8) | uint32_t{from[0]};
    std::memcpy(bits + 4 * i, &pixel, 4);
  }
}

// Everything the JPEG decoder touches after setjmp lives here, so nothing is left
// indeterminate when an error jumps back.
struct TJpegJob {
  jpeg_decompress_struct Info{};
  TJpegErrors Errors;
  FILE* File = nullptr;
  QImage Image;
  std::vector<JSAMPROW> Rows;
  bool Created = false;
  bool Cmyk = false;
  bool Packed = false;
  int Numerator = 8;
  TPictureRows* Stream = nullptr;  // receives the rows as they are decoded

  ~TJpegJob() {
    if (Created) jpeg_destroy_decompress(&Info);
    if (File) std::fclose(File);
  }
};

// Returns false with `why` set on failure; sets `job.Cmyk` when the toolkit must decode.
// `job.Stream`, when set, receives the picture's rows as they are decoded, unless they only
// become final at the end.
bool RunJpeg(TJpegJob& job, const QString& path, bool turned,
             const TDecodeScaleChooser& chooseScale, QString& why) {
  job.File = std::fopen(QFile::encodeName(path).constData(), "rb");
  if (!job.File) {
    why = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  job.Info.err = jpeg_std_error(&job.Errors.Manager);
  job.Errors.Manager.error_exit = JpegErrorExit;
  job.Errors.Manager.emit_message = JpegMessage;
  if (setjmp(job.Errors.Jump)) {
    why = QString::fromLocal8Bit(job.Errors.Message);
    return false;
  }
  jpeg_create_decompress(&job.Info);
  job.Created = true;
  job.Info.mem->max_memory_to_use = 2 * MaxDecodedBytes;
  jpeg_stdio_src(&job.Info, job.File);
  jpeg_read_header(&job.Info, TRUE);
  if (job.Info.jpeg_color_space == JCS_CMYK || job.Info.jpeg_color_space == JCS_YCCK) {
    job.Cmyk = true;
    return false;
  }
  const int width = static_cast<int>(job.Info.image_width);
  const int height = static_cast<int>(job.Info.image_height);
  if (TooLarge(width, height)) {
    why = QStringLiteral("The picture is too large.");
    return false;
  }
  // Only halving steps: libjpeg-turbo has vector code for the 1/2 and 1/4 inverse transforms
  // (and 1/8 takes the DC term alone), while 3/8, 5/8, 6/8 and 7/8 run scalar code for the
  // picture and twice the size for subsampled colour, which costs more than the reduction saves.
  const double minScale = chooseScale(turned ? height : width, turned ? width : height);
  while (job.Numerator > 1 && job.Numerator / 2 / 8.0 >= minScale) job.Numerator /= 2;
  job.Info.scale_num = static_cast<unsigned>(job.Numerator);
  job.Info.scale_denom = 8;
  // A progressive JPEG keeps every coefficient (3 to 6 bytes a pixel) until its last row is
  // out. Its rows come out 3 bytes a pixel into the last three quarters of the picture and are
  // widened in place once the coefficients are gone, so both together stay a quarter smaller.
  job.Packed = jpeg_has_multiple_scans(&job.Info);
  job.Info.out_color_space = job.Packed ? JCS_EXT_BGR : JCS_EXT_BGRA;
  jpeg_start_decompress(&job.Info);

  job.Image =
      Platform::AllocateLargeImage(static_cast<int>(job.Info.output_width),
                                   static_cast<int>(job.Info.output_height), QImage::Format_RGB32);
  if (job.Image.isNull()) {
    why = QStringLiteral("Not enough memory for the picture.");
    return false;
  }
  // Written through these bits only: a reader holding the image must not make it copy itself.
  uchar* const bits = job.Image.bits();
  const qsizetype stride = job.Image.bytesPerLine();
  if (job.Packed) job.Stream = nullptr;
  if (job.Stream) job.Stream->Begin(job.Image, job.Numerator / 8.0);
  job.Rows.resize(static_cast<size_t>(std::max(job.Info.rec_outbuf_height, 1)) * 8);
  while (job.Info.output_scanline < job.Info.output_height) {
    const unsigned first = job.Info.output_scanline;
    const unsigned count =
        std::min<unsigned>(static_cast<unsigned>(job.Rows.size()), job.Info.output_height - first);
    for (unsigned i = 0; i < count; ++i) {
      const int y = static_cast<int>(first + i);
      job.Rows[i] = job.Packed ? PackedRow(bits, job.Image, y) : bits + y * stride;
    }
    jpeg_read_scanlines(&job.Info, job.Rows.data(), count);
    if (job.Stream) job.Stream->Publish(static_cast<int>(job.Info.output_scanline));
  }
  jpeg_finish_decompress(&job.Info);  // frees the coefficients
  if (job.Packed) WidenPackedRows(bits, job.Image);
  return true;
}

TDecodedPicture DecodeWithReader(QImageReader& reader, const TDecodeScaleChooser& chooseScale,
                                 QString& why) {
  QImageReader::setAllocationLimit(static_cast<int>(MaxDecodedBytes >> 20));
  // The toolkit's limit counts the decoder's own format, which may be 1 byte per pixel; the
  // picture is refused before a byte of it is decoded.
  if (const QSize size = reader.size(); size.isValid() && TooLarge(size.width(), size.height())) {
    why = QStringLiteral("The picture is too large.");
    return {};
  }
  reader.setAutoTransform(true);
  QImage image = reader.read();
  if (image.isNull()) {
    why = reader.errorString();
    return {};
  }
  if (TooLarge(image.width(), image.height())) {
    why = QStringLiteral("The picture is too large.");
    return {};
  }
  chooseScale(image.width(), image.height());
  image =
      image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (image.isNull()) why = QStringLiteral("Not enough memory for the picture.");
  return {image, 1.0};
}

}  // namespace

namespace {

TDecodedPicture Decode(const QString& path, const TDecodeScaleChooser& chooseScale, QString& why,
                       TPictureRows* rows) {
  QImageReader reader(path);
  if (reader.format() == "jpeg") {
    const QImageIOHandler::Transformations transform = reader.transformation();
    TJpegJob job;
    const bool turned = transform.testFlag(QImageIOHandler::TransformationRotate90);
    if (transform == QImageIOHandler::TransformationNone) job.Stream = rows;
    if (RunJpeg(job, path, turned, chooseScale, why))
      return {Oriented(std::move(job.Image), transform), job.Numerator / 8.0};
    if (!job.Cmyk) return {};
    reader.setFileName(path);  // start over from the beginning of the file
  }
  return DecodeWithReader(reader, chooseScale, why);
}

}  // namespace

TDecodedPicture DecodePicture(const QString& path, const TDecodeScaleChooser& chooseScale,
                              QString& why, TPictureRows* rows) {
  if (!rows) return Decode(path, chooseScale, why, nullptr);
  struct TEnd {
    TPictureRows* Rows;
    ~TEnd() { Rows->End(); }
  } end{rows};
  TDecodedPicture picture = Decode(path, chooseScale, why, rows);
  if (!picture.Image.isNull() && !rows->HasBegun()) {
    rows->Begin(picture.Image, picture.Scale);
    rows->Publish(picture.Image.height());
  }
  return picture;
}
