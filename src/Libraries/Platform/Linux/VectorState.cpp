#include "Platform/VectorState.h"

namespace Platform {

#if defined(__x86_64__) || defined(__i386__)

namespace {
__attribute__((target("avx"))) void ZeroUpper() {
  __builtin_ia32_vzeroupper();
}
}  // namespace

void ClearUpperVectorState() {
  static const bool avx = __builtin_cpu_supports("avx");
  if (avx) ZeroUpper();
}

bool HasWideVectors() {
  static const bool wide = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
  return wide;
}

#else

void ClearUpperVectorState() {}

bool HasWideVectors() {
  return false;
}

#endif

}  // namespace Platform
