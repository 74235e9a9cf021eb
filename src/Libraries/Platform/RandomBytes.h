// Cryptographically strong random bytes from the operating system.
#pragma once

#include <cstddef>
#include <memory>
#include <span>

namespace Platform {

class IRandomBytes {
 public:
  virtual ~IRandomBytes() = default;
  // Overwrites `buffer` with random bytes. Its bytes on entry are extra seed input for a source
  // that can take it. False when the source is unavailable or refuses; `buffer` is then unchanged.
  virtual bool Fill(std::span<std::byte> buffer) = 0;
};

IRandomBytes& RandomBytes();
// Tests put a refusing source in; null restores the system's.
void SetRandomBytes(std::unique_ptr<IRandomBytes> source);

}  // namespace Platform
