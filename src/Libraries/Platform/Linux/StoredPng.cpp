#include "Platform/Linux/StoredPng.h"

#include <QFile>
#include <algorithm>
#include <cstdint>
#include <vector>

#include <zlib.h>

namespace Platform {
namespace {

constexpr size_t ChunkBytes = size_t{1} << 20;
constexpr size_t MaxStoredBlock = 65535;

void PutBig32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// The zlib stream of the pixel rows in stored blocks, cut into IDAT chunks as it grows.
class TPngStream {
 public:
  TPngStream(QFile& file, uint64_t rawBytes) : File(file), RawLeft(rawBytes) {
    Payload.reserve(ChunkBytes + 64);
    Payload.push_back(0x78);  // deflate with a 32 KiB window
    Payload.push_back(0x01);  // no dictionary; check bits
  }

  bool Add(const uint8_t* data, size_t bytes) {
    Adler = adler32(Adler, data, static_cast<uInt>(bytes));
    while (bytes > 0) {
      if (BlockLeft == 0) {
        const auto length = static_cast<uint16_t>(std::min<uint64_t>(MaxStoredBlock, RawLeft));
        const auto inverse = static_cast<uint16_t>(~length);
        const bool final = length == RawLeft;
        Payload.insert(Payload.end(),
                       {static_cast<uint8_t>(final ? 1 : 0), static_cast<uint8_t>(length),
                        static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(inverse),
                        static_cast<uint8_t>(inverse >> 8)});
        BlockLeft = length;
      }
      const size_t take = std::min(bytes, BlockLeft);
      Payload.insert(Payload.end(), data, data + take);
      data += take;
      bytes -= take;
      BlockLeft -= take;
      RawLeft -= take;
      if (Payload.size() >= ChunkBytes && !Flush()) return false;
    }
    return true;
  }

  bool Finish() {
    PutBig32(Payload, static_cast<uint32_t>(Adler));
    return Flush() && WriteChunk("IEND", nullptr, 0);
  }

  bool WriteChunk(const char* type, const uint8_t* data, size_t bytes) {
    std::vector<uint8_t> head;
    PutBig32(head, static_cast<uint32_t>(bytes));
    head.insert(head.end(), type, type + 4);
    uLong crc = crc32(0, head.data() + 4, 4);
    if (bytes > 0) crc = crc32(crc, data, static_cast<uInt>(bytes));
    std::vector<uint8_t> tail;
    PutBig32(tail, static_cast<uint32_t>(crc));
    return Write(head.data(), head.size()) && Write(data, bytes) && Write(tail.data(), 4);
  }

 private:
  bool Flush() {
    const bool done = WriteChunk("IDAT", Payload.data(), Payload.size());
    Payload.clear();
    return done;
  }

  bool Write(const uint8_t* data, size_t bytes) {
    return bytes == 0 || File.write(reinterpret_cast<const char*>(data),
                                    static_cast<qint64>(bytes)) == static_cast<qint64>(bytes);
  }

  QFile& File;
  uint64_t RawLeft;
  size_t BlockLeft = 0;
  uLong Adler = adler32(0, nullptr, 0);
  std::vector<uint8_t> Payload;
};

}  // namespace

bool WriteStoredPng(const QImage& image, const QString& path, QString& why) {
  if (image.isNull()) {
    why = QStringLiteral("No picture.");
    return false;
  }
  const QImage pixels = image.convertToFormat(QImage::Format_RGB32);
  const auto width = static_cast<uint32_t>(pixels.width());
  const auto height = static_cast<uint32_t>(pixels.height());
  const size_t rowBytes = 1 + size_t{3} * width;  // filter type 0, then red, green, blue

  QFile file(path);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
    why = file.errorString();
    return false;
  }
  static const uint8_t signature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutBig32(header, width);
  PutBig32(header, height);
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter, no interlace
  TPngStream stream(file, uint64_t{rowBytes} * height);
  bool done = file.write(reinterpret_cast<const char*>(signature), 8) == 8 &&
              stream.WriteChunk("IHDR", header.data(), header.size());
  std::vector<uint8_t> row(rowBytes, 0);
  for (uint32_t y = 0; done && y < height; ++y) {
    const QRgb* in = reinterpret_cast<const QRgb*>(pixels.constScanLine(static_cast<int>(y)));
    uint8_t* out = row.data() + 1;
    for (uint32_t x = 0; x < width; ++x, out += 3) {
      out[0] = static_cast<uint8_t>(qRed(in[x]));
      out[1] = static_cast<uint8_t>(qGreen(in[x]));
      out[2] = static_cast<uint8_t>(qBlue(in[x]));
    }
    done = stream.Add(row.data(), row.size());
  }
  done = done && stream.Finish() && file.flush();
  if (!done) {
    why = file.errorString();
    file.close();
    QFile::remove(path);
  }
  return done;
}

}  // namespace Platform
