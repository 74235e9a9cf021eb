// libjpeg behind a row reader. Every call into the library sits in a method of its own with its
// own setjmp, so an error jumps back to a frame that is still there, and everything the library
// touches lives in TState rather than in locals left indeterminate by the jump.
#include "MyGDIPlus/JpegRows.h"

#include <QFile>
#include <algorithm>
#include <csetjmp>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

namespace {

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

}  // namespace

struct TJpegRows::TState {
  jpeg_decompress_struct Info{};
  TJpegErrors Errors;
  FILE* File = nullptr;
  bool Created = false;
  bool Cmyk = false;
  bool Started = false;

  QString Failure() const { return QString::fromLocal8Bit(Errors.Message); }

  ~TState() {
    if (Created) jpeg_destroy_decompress(&Info);
    if (File) std::fclose(File);
  }
};

TJpegRows::TJpegRows() : State(std::make_unique<TState>()) {}
TJpegRows::~TJpegRows() = default;

bool TJpegRows::Open(const QString& path, QString& why) {
  TState& s = *State;
  s.File = std::fopen(QFile::encodeName(path).constData(), "rb");
  if (!s.File) {
    why = QString::fromLocal8Bit(std::strerror(errno));
    return false;
  }
  s.Info.err = jpeg_std_error(&s.Errors.Manager);
  s.Errors.Manager.error_exit = JpegErrorExit;
  s.Errors.Manager.emit_message = JpegMessage;
  if (setjmp(s.Errors.Jump)) {
    why = s.Failure();
    return false;
  }
  jpeg_create_decompress(&s.Info);
  s.Created = true;
  s.Info.mem->max_memory_to_use = 2 * MaxDecodedBytes;
  jpeg_stdio_src(&s.Info, s.File);
  jpeg_read_header(&s.Info, TRUE);
  if (s.Info.jpeg_color_space == JCS_CMYK || s.Info.jpeg_color_space == JCS_YCCK) {
    s.Cmyk = true;
    return false;
  }
  if (TooLargeToDecode(s.Info.image_width, s.Info.image_height)) {
    why = QStringLiteral("The picture is too large.");
    return false;
  }
  return true;
}

bool TJpegRows::NeedsToolkit() const {
  return State->Cmyk;
}
int TJpegRows::Width() const {
  return static_cast<int>(State->Info.image_width);
}
int TJpegRows::Height() const {
  return static_cast<int>(State->Info.image_height);
}
bool TJpegRows::IsProgressive() const {
  return State->Created && jpeg_has_multiple_scans(&State->Info);
}
int TJpegRows::OutputWidth() const {
  return static_cast<int>(State->Info.output_width);
}
int TJpegRows::OutputHeight() const {
  return static_cast<int>(State->Info.output_height);
}

int TJpegRows::Numerator(double minScale) {
  // Only halving steps: libjpeg-turbo has vector code for the 1/2 and 1/4 inverse transforms
  // (and 1/8 takes the DC term alone), while 3/8, 5/8, 6/8 and 7/8 run scalar code for the
  // picture and twice the size for subsampled colour, which costs more than the reduction saves.
  int numerator = 8;
  while (numerator > 1 && numerator / 2 / 8.0 >= minScale) numerator /= 2;
  return numerator;
}

bool TJpegRows::Start(int numerator, bool packed, QString& why) {
  TState& s = *State;
  if (setjmp(s.Errors.Jump)) {
    why = s.Failure();
    return false;
  }
  s.Info.scale_num = static_cast<unsigned>(numerator);
  s.Info.scale_denom = 8;
  s.Info.out_color_space = packed ? JCS_EXT_BGR : JCS_EXT_BGRA;
  jpeg_calc_output_dimensions(&s.Info);
  return true;
}

bool TJpegRows::StartPlanes(QString& why) {
  TState& s = *State;
  const jpeg_component_info* c = s.Info.comp_info;
  // Past 4 pixels libjpeg smooths the chroma as TYccRows does; narrower, it repeats samples.
  if (s.Info.jpeg_color_space != JCS_YCbCr || s.Info.num_components != 3 ||
      s.Info.image_width <= 4 || c[0].h_samp_factor != 2 || c[0].v_samp_factor != 2 ||
      c[1].h_samp_factor != 1 || c[1].v_samp_factor != 1 || c[2].h_samp_factor != 1 ||
      c[2].v_samp_factor != 1)
    return false;
  if (setjmp(s.Errors.Jump)) {
    why = s.Failure();
    return false;
  }
  s.Info.scale_num = 8;
  s.Info.scale_denom = 8;
  s.Info.raw_data_out = TRUE;
  s.Info.out_color_space = JCS_YCbCr;
  jpeg_calc_output_dimensions(&s.Info);
  return true;
}

bool TJpegRows::ReadsPlanes() const {
  return State->Info.raw_data_out;
}

int TJpegRows::LumaRowBytes() const {
  return static_cast<int>((State->Info.image_width + 15) / 16 * 16);
}

bool TJpegRows::ReadPlanes(uchar* const* rows, QString& why) {
  TState& s = *State;
  if (setjmp(s.Errors.Jump)) {
    why = s.Failure();
    return false;
  }
  if (!s.Started) {
    jpeg_start_decompress(&s.Info);
    s.Started = true;
  }
  JSAMPARRAY planes[3] = {const_cast<JSAMPARRAY>(rows), const_cast<JSAMPARRAY>(rows + 16),
                          const_cast<JSAMPARRAY>(rows + 24)};
  if (jpeg_read_raw_data(&s.Info, planes, 16) == 0) {
    why = QStringLiteral("No rows left.");
    return false;
  }
  return true;
}

int TJpegRows::Read(uchar* const* rows, int count, QString& why) {
  TState& s = *State;
  if (setjmp(s.Errors.Jump)) {
    why = s.Failure();
    return 0;
  }
  // A progressive JPEG is read whole here, on the first call.
  if (!s.Started) {
    jpeg_start_decompress(&s.Info);
    s.Started = true;
  }
  // libjpeg hands out at most an iMCU row's worth per call.
  JDIMENSION done = 0;
  const JDIMENSION wanted = static_cast<JDIMENSION>(std::min<int64_t>(
      count, static_cast<int64_t>(s.Info.output_height) - s.Info.output_scanline));
  while (done < wanted) {
    const JDIMENSION read =
        jpeg_read_scanlines(&s.Info, const_cast<JSAMPARRAY>(rows + done), wanted - done);
    if (read == 0) break;
    done += read;
  }
  if (done == 0) why = QStringLiteral("No rows left.");
  return static_cast<int>(done);
}

bool TJpegRows::Finish(QString& why) {
  TState& s = *State;
  if (setjmp(s.Errors.Jump)) {
    why = s.Failure();
    return false;
  }
  jpeg_finish_decompress(&s.Info);  // frees a progressive JPEG's coefficients
  return true;
}
