// A JPEG decoded on a thread of its own into a ring of a few rows, for a drawing on the calling
// thread that follows the rows as they come; the brightness of every row can be summed as it
// leaves the ring. When the decoder gives its planes (see TJpegRows::StartPlanes), it hands
// over groups of 16 rows of them instead, and the drawing thread makes the colour rows.
#pragma once

#include <QString>
#include <memory>
#include <thread>
#include <vector>

#include "MyGDIPlus/Brightness.h"
#include "MyGDIPlus/JpegRows.h"
#include "MyGDIPlus/RowRing.h"
#include "MyGDIPlus/YccRows.h"

class TJpegStream {
 public:
  // `jpeg` is started (its output size set) and is decoded by the thread from its first row;
  // the drawing holds at most `held` rows at a time.
  TJpegStream(TJpegRows& jpeg, int held, bool measure);
  ~TJpegStream();

  // Starts the decoding thread; false when there is no thread to be had.
  bool Begin();

  // Row `y` (32-bit pixels), waiting for it; null when decoding ended without it.
  const uchar* Row(int y);
  // The drawing reads no row above `y` again; with `measure`, they are summed first.
  void Release(int y);
  // Takes the rows the drawing left, waits for the end of decoding; false with the reason
  // after a failure.
  bool Finish(QString& why);

  // With `measure`: the brightness of every row taken.
  TBrightnessSums Sums;

 private:
  void Run();
  void RunRows();
  void RunPlanes();
  void Join();
  // Planes: makes the colour rows of the next group; false when its planes never came.
  bool ConvertGroup();
  const uchar* PlaneRow(int plane, int y);
  uchar* ColourRow(int y);

  TJpegRows& Jpeg;
  const int Width;
  const int Height;
  const bool Measure;
  const bool Planes;
  // Planes: groups in the picture, and the bytes of a luma and a chroma row.
  const int Groups;
  const size_t LumaBytes;
  const size_t ChromaBytes;
  int Measured = 0;
  // Colour rows, or groups of plane rows: 16 of luma, 8 of each chroma plane.
  TRowRing Ring;
  // Planes: colour rows made on the drawing thread, the top `Converted` of them so far, in
  // a ring of their own.
  std::unique_ptr<TYccRows> Ycc;
  std::unique_ptr<Platform::TLargeBuffer> Colour;
  int ColourSlots = 0;
  int Converted = 0;
  int Released = 0;
  bool Decoded = false;
  QString Why;
  std::thread Thread;
};
