#include "MyGDIPlus/JpegStream.h"

#include <algorithm>
#include <new>
#include <system_error>
#include <vector>

namespace {

constexpr int Chunk = 16;  // rows decoded at a time: an MCU row of subsampled colour
// Room for the decoder to go on while the drawing works: a few milliseconds of rows, so a
// drawing thread that loses its core for a while does not hold the decoder up.
constexpr int Ahead = 192;

}  // namespace

TJpegStream::TJpegStream(TJpegRows& jpeg, int held, bool measure)
    : Jpeg(jpeg),
      Width(jpeg.OutputWidth()),
      Height(jpeg.OutputHeight()),
      Measure(measure),
      Ring(static_cast<qsizetype>(Width) * 4, std::max(held, 1) + Chunk + Ahead) {}

TJpegStream::~TJpegStream() {
  Ring.Stop();
  Join();
}

bool TJpegStream::Begin() {
  try {
    Thread = std::thread([this] { Run(); });
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

void TJpegStream::Release(int y) {
  y = std::min(y, Height);
  if (Measure) {
    for (; Measured < y; ++Measured) {
      const uchar* row = Ring.Row(Measured);
      if (!row) break;
      Sums.AddRow(row, Width);
      Ring.Release(Measured + 1);
    }
  }
  Ring.Release(y);
}

bool TJpegStream::Finish(QString& why) {
  Release(Height);
  Join();
  why = Why;
  return Decoded;
}

void TJpegStream::Run() {
  try {
    std::vector<uchar*> rows(Chunk);
    int y = 0;
    while (y < Height) {
      const int count = std::min(Chunk, Height - y);
      if (!Ring.WaitForRoom(y + count)) break;
      for (int i = 0; i < count; ++i) rows[static_cast<size_t>(i)] = Ring.Slot(y + i);
      const int read = Jpeg.Read(rows.data(), count, Why);
      if (read == 0) break;
      y += read;
      Ring.Publish(y);
    }
    Decoded = y == Height && Jpeg.Finish(Why);
  } catch (const std::bad_alloc&) {
    Why = QStringLiteral("Not enough memory for the picture.");
  } catch (...) {
    Why = QStringLiteral("The decoder failed.");
  }
  Ring.End();
}

void TJpegStream::Join() {
  if (Thread.joinable()) Thread.join();
}
