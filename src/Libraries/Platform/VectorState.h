// The processor's vector registers between the toolkit's code and our pixel kernels.
#pragma once

namespace Platform {

// Marks the upper halves of the 256-bit vector registers as unused. Toolkit routines built for
// AVX2 (QImage::fill among them) may return without doing so, and every SSE instruction of the
// thread then runs several times slower until something does. Does nothing on processors
// without such registers.
void ClearUpperVectorState();

}  // namespace Platform
