// The processor's vector registers between the toolkit's code and our pixel kernels.
#pragma once

namespace Platform {

// Marks the upper halves of the 256-bit vector registers as unused. Toolkit routines built for
// AVX2 (QImage::fill among them) may return without doing so, and every SSE instruction of the
// thread then runs several times slower until something does. Does nothing on processors
// without such registers.
void ClearUpperVectorState();

// True when the functions marked PIXEL_KERNEL_WIDE may run: the processor has 256-bit integer
// and float vectors and fused multiply-add.
bool HasWideVectors();

}  // namespace Platform

// Marks the copy of a pixel kernel built for wide vectors (see HasWideVectors); the program
// itself is built for the baseline instruction set, so it runs on every processor of its kind.
#if defined(__x86_64__) || defined(__i386__)
#define PIXEL_KERNEL_WIDE __attribute__((target("avx2,fma")))
#else
#define PIXEL_KERNEL_WIDE
#endif
