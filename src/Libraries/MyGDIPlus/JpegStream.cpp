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

// Planes: a group is 16 rows of luma and 8 of each chroma plane, half as wide.
constexpr int GroupLumaRows = 16;

TJpegStream::TJpegStream(TJpegRows& jpeg, int held, bool measure)
    : Jpeg(jpeg),
      Width(jpeg.OutputWidth()),
      Height(jpeg.OutputHeight()),
      Measure(measure),
      Planes(jpeg.ReadsPlanes()),
      Groups((Height + GroupLumaRows - 1) / GroupLumaRows),
      LumaBytes(static_cast<size_t>(jpeg.LumaRowBytes())),
      ChromaBytes(static_cast<size_t>(jpeg.ChromaRowBytes())),
      // Planes: the group drawn, the one above and the one below it (for the chroma lines
      // around its edges), and room ahead.
      Ring(Planes ? static_cast<qsizetype>(LumaBytes) * GroupLumaRows * 3 / 2
                  : static_cast<qsizetype>(Width) * 4,
           Planes ? 3 + Ahead / GroupLumaRows : std::max(held, 1) + Chunk + Ahead) {
  if (!Planes) return;
  Ycc = std::make_unique<TYccRows>(Width);
  // The rows held, and a group converted past them.
  ColourSlots = std::max(held, 1) + 2 * GroupLumaRows;
  Colour = std::make_unique<Platform::TLargeBuffer>(static_cast<size_t>(ColourSlots) *
                                                    static_cast<size_t>(Width) * 4);
}

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

const uchar* TJpegStream::Row(int y) {
  if (!Planes) return Ring.Row(y);
  while (Converted <= y)
    if (!ConvertGroup()) return nullptr;
  return ColourRow(y);
}

uchar* TJpegStream::ColourRow(int y) {
  return Colour->Data() + static_cast<size_t>(y % ColourSlots) * static_cast<size_t>(Width) * 4;
}

const uchar* TJpegStream::PlaneRow(int plane, int y) {
  if (plane == 0)
    return Ring.Slot(y / GroupLumaRows) + static_cast<size_t>(y % GroupLumaRows) * LumaBytes;
  const int lines = GroupLumaRows / 2;
  return Ring.Slot(y / lines) + GroupLumaRows * LumaBytes +
         static_cast<size_t>((plane - 1) * lines + y % lines) * ChromaBytes;
}

bool TJpegStream::ConvertGroup() {
  const int group = Converted / GroupLumaRows;
  // The group's last chroma line is smoothed with the first of the next group.
  if (!Ring.Row(std::min(group + 1, Groups - 1))) return false;
  const int end = std::min(Converted + GroupLumaRows, Height);
  Q_ASSERT(end - std::min(Released, Converted) <= ColourSlots);
  const int lines = (Height + 1) / 2;
  for (int y = Converted; y < end; ++y) {
    const int line = y / 2;
    // An even row is smoothed with the chroma line above, an odd one with the line below.
    const int far = y % 2 ? std::min(line + 1, lines - 1) : std::max(line - 1, 0);
    uchar* out = ColourRow(y);
    Ycc->Convert(PlaneRow(0, y), PlaneRow(1, line), PlaneRow(1, far), PlaneRow(2, line),
                 PlaneRow(2, far), out);
    if (Measure) Sums.AddRow(out, Width);
  }
  Converted = end;
  Ring.Release(group);  // the next group needs this one's last chroma line, none above it
  return true;
}

void TJpegStream::Release(int y) {
  y = std::min(y, Height);
  if (Planes) {
    Released = std::max(Released, y);
    return;
  }
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
  if (Planes) {
    // The rows the drawing did not need are still summed; without sums the decoder only has
    // to be let through to the end.
    while (Measure && Converted < Height && ConvertGroup()) {
    }
    Ring.Release(Groups);
  }
  Join();
  why = Why;
  return Decoded;
}

void TJpegStream::RunPlanes() {
  uchar* rows[2 * GroupLumaRows];
  int group = 0;
  for (; group < Groups; ++group) {
    if (!Ring.WaitForRoom(group + 1)) break;
    uchar* slot = Ring.Slot(group);
    for (int i = 0; i < GroupLumaRows; ++i) {
      rows[i] = slot + static_cast<size_t>(i) * LumaBytes;
      rows[GroupLumaRows + i] =
          slot + GroupLumaRows * LumaBytes + static_cast<size_t>(i) * ChromaBytes;
    }
    if (!Jpeg.ReadPlanes(rows, Why)) break;
    Ring.Publish(group + 1);
  }
  Decoded = group == Groups && Jpeg.Finish(Why);
}

void TJpegStream::RunRows() {
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
}

void TJpegStream::Run() {
  try {
    if (Planes)
      RunPlanes();
    else
      RunRows();
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
