// A JPEG file's rows from the top down, as libjpeg decodes them: a caller keeps only the rows
// it still needs, or all of them.
#pragma once

#include <QString>
#include <QtGlobal>
#include <memory>

class TJpegRows {
 public:
  TJpegRows();
  ~TJpegRows();
  TJpegRows(const TJpegRows&) = delete;
  TJpegRows& operator=(const TJpegRows&) = delete;

  // Reads the header. False with `why` on failure; false with NeedsToolkit() when the colours
  // are CMYK, which the toolkit's decoder converts.
  bool Open(const QString& path, QString& why);
  bool NeedsToolkit() const;
  // The size stored in the file (before any EXIF turn).
  int Width() const;
  int Height() const;
  // Whether rows come only after the whole file is read (a progressive JPEG).
  bool IsProgressive() const;

  // The reduction in the DCT step for a scale (decoded / full) of at least `minScale`: the
  // numerator over 8, 8, 4, 2 or 1.
  static int Numerator(double minScale);
  // Sets the output: `numerator` / 8 of the full size, each pixel as 3 bytes (blue, green, red)
  // when `packed`, else as 4 (blue, green, red, 255). Decoding starts with the first Read.
  bool Start(int numerator, bool packed, QString& why);
  // Or sets the output to the file's own planes, at full size, when they are luma at full size
  // and chroma at half size both ways (as most cameras and programs write); false, changing
  // nothing, for any other file. Decoding starts with the first ReadPlanes.
  bool StartPlanes(QString& why);
  bool ReadsPlanes() const;
  // Bytes a row of a plane needs: MCU-aligned luma, and chroma half of that.
  int LumaRowBytes() const;
  int ChromaRowBytes() const { return LumaRowBytes() / 2; }
  // The next 16 rows of luma and 8 of each chroma plane (fewer of them real at the bottom) into
  // `rows`: 16 luma, 8 blue-difference, 8 red-difference row pointers. False with `why` after
  // a failure.
  bool ReadPlanes(uchar* const* rows, QString& why);

  int OutputWidth() const;
  int OutputHeight() const;
  // The next rows, at most `count`, into `rows`; the number decoded, 0 with `why` after a
  // failure (a file cut short fails where its data ends).
  int Read(uchar* const* rows, int count, QString& why);
  // After the last row: frees the decoder's memory.
  bool Finish(QString& why);

 private:
  struct TState;
  std::unique_ptr<TState> State;
};

// The largest decoded picture accepted, in bytes of 32-bit pixels.
inline constexpr int64_t MaxDecodedBytes = int64_t{1} << 30;
inline bool TooLargeToDecode(int64_t width, int64_t height) {
  return width * height * 4 > MaxDecodedBytes;
}
