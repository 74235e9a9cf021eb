// Memory for whole pictures: tens of megabytes, written once from start to end.
#pragma once

#include <QImage>

namespace Platform {

// A 32-bit image whose pixels live in memory the kernel may back with large pages, so filling
// it costs a few page faults instead of thousands. Null when there is no memory.
QImage AllocateLargeImage(int width, int height, QImage::Format format);

}  // namespace Platform
