// Memory for whole pictures: tens of megabytes, written once from start to end.
#pragma once

#include <QImage>

namespace Platform {

// A 32-bit image whose pixels live in memory the kernel may back with large pages, so filling
// it costs a few page faults instead of thousands. Null when there is no memory.
QImage AllocateLargeImage(int width, int height, QImage::Format format);

// Bytes for a buffer written afresh on every use (a ring of rows), from the same memory when it
// is a megabyte or more. Throws std::bad_alloc without memory.
class TLargeBuffer {
 public:
  explicit TLargeBuffer(size_t bytes);
  ~TLargeBuffer();
  TLargeBuffer(const TLargeBuffer&) = delete;
  TLargeBuffer& operator=(const TLargeBuffer&) = delete;

  uchar* Data() const { return Bytes; }

 private:
  uchar* Bytes;
  size_t Size;
  bool Mapped;
};

}  // namespace Platform
