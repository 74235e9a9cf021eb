// A JPEG decoded on a thread of its own into a ring of a few rows, for a drawing on the calling
// thread that follows the rows as they come; the brightness of every row can be summed as it
// leaves the ring.
#pragma once

#include <QString>
#include <thread>

#include "MyGDIPlus/Brightness.h"
#include "MyGDIPlus/JpegRows.h"
#include "MyGDIPlus/RowRing.h"

class TJpegStream {
 public:
  // `jpeg` is started (its output size set) and is decoded by the thread from its first row;
  // the drawing holds at most `held` rows at a time.
  TJpegStream(TJpegRows& jpeg, int held, bool measure);
  ~TJpegStream();

  // Starts the decoding thread; false when there is no thread to be had.
  bool Begin();

  // Row `y` (32-bit pixels), waiting for it; null when decoding ended without it.
  const uchar* Row(int y) { return Ring.Row(y); }
  // The drawing reads no row above `y` again; with `measure`, they are summed first.
  void Release(int y);
  // Takes the rows the drawing left, waits for the end of decoding; false with the reason
  // after a failure.
  bool Finish(QString& why);

  // With `measure`: the brightness of every row taken.
  TBrightnessSums Sums;

 private:
  void Run();
  void Join();

  TJpegRows& Jpeg;
  const int Width;
  const int Height;
  const bool Measure;
  int Measured = 0;
  TRowRing Ring;
  bool Decoded = false;
  QString Why;
  std::thread Thread;
};
