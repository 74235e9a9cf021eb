#include "Platform/LargeMemory.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstdlib>
#include <new>
#include <algorithm>

namespace Platform {
namespace {

constexpr size_t HugePage = size_t{2} << 20;
// From here on a block gets large pages: the C library's allocator hands out fresh memory page by
// page, and a virtual machine may spend ten microseconds on each page's first fault.
constexpr size_t LargeThreshold = size_t{1} << 20;

size_t MappedLength(size_t bytes) {
  return (bytes + HugePage - 1) / HugePage * HugePage;
}

// Anonymous memory aligned to a large page and marked for large pages: the kernel then
// faults it in 2 MiB at a time, which matters for buffers of tens of megabytes that are
// written once (a decoded picture, a JPEG's coefficients). Null when there is no memory.
void* MapLarge(size_t bytes) {
  const size_t length = MappedLength(bytes);
  void* mapped = ::mmap(nullptr, length + HugePage, PROT_READ | PROT_WRITE,
                        MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) return nullptr;
  // Give back the slack before and after the aligned block.
  const uintptr_t base = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t start = (base + HugePage - 1) / HugePage * HugePage;
  if (start > base) ::munmap(mapped, start - base);
  if (const size_t tail = base + HugePage - start; tail > 0)
    ::munmap(reinterpret_cast<void*>(start + length), tail);
  ::madvise(reinterpret_cast<void*>(start), length, MADV_HUGEPAGE);
  return reinterpret_cast<void*>(start);
}

void UnmapLarge(void* start, size_t bytes) {
  ::munmap(start, MappedLength(bytes));
}

struct TBlock {
  void* Start;
  size_t Bytes;
};

void FreeImageBlock(void* info) {
  auto* block = static_cast<TBlock*>(info);
  UnmapLarge(block->Start, block->Bytes);
  delete block;
}

}  // namespace

QImage AllocateLargeImage(int width, int height, QImage::Format format) {
  if (width <= 0 || height <= 0) return {};
  const size_t stride = static_cast<size_t>(width) * 4;
  const size_t bytes = stride * static_cast<size_t>(height);
  if (bytes < LargeThreshold) return QImage(width, height, format);
  void* start = MapLarge(bytes);
  if (!start) return {};
  return QImage(static_cast<uchar*>(start), width, height, static_cast<qsizetype>(stride), format,
                FreeImageBlock, new TBlock{start, bytes});
}

TLargeBuffer::TLargeBuffer(size_t bytes) : Size(bytes), Mapped(bytes >= LargeThreshold) {
  Bytes = Mapped ? static_cast<uchar*>(MapLarge(bytes)) : new uchar[std::max<size_t>(bytes, 1)];
  if (!Bytes) throw std::bad_alloc();
}

TLargeBuffer::~TLargeBuffer() {
  if (Mapped)
    UnmapLarge(Bytes, Size);
  else
    delete[] Bytes;
}

}  // namespace Platform

// libjpeg takes its large blocks (a progressive JPEG's coefficients: 4 bytes per pixel and
// more) from these two functions of its system-dependent memory layer; defined here, they take
// the place of the library's plain malloc and free in this program.
struct jpeg_common_struct;
extern "C" void* jpeg_get_large(jpeg_common_struct*, size_t bytes) {
  return bytes < Platform::LargeThreshold ? std::malloc(bytes) : Platform::MapLarge(bytes);
}
extern "C" void jpeg_free_large(jpeg_common_struct*, void* object, size_t bytes) {
  if (bytes < Platform::LargeThreshold)
    std::free(object);
  else if (object)
    Platform::UnmapLarge(object, bytes);
}
