#include "Platform/RandomBytes.h"

#include <cerrno>
#include <cstring>
#include <sys/random.h>
#include <vector>

namespace Platform {
namespace {

// getrandom(2) takes no seed input; the kernel pool is seeded on its own, so the caller's bytes
// are simply replaced.
class TKernelRandomBytes : public IRandomBytes {
 public:
  bool Fill(std::span<std::byte> buffer) override {
    std::vector<std::byte> bytes(buffer.size());
    size_t done = 0;
    while (done < bytes.size()) {
      // Non-blocking: a pool not yet initialised early at boot refuses instead of stalling the
      // user interface, and the caller keeps its own value.
      const ssize_t n = getrandom(bytes.data() + done, bytes.size() - done, GRND_NONBLOCK);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      done += static_cast<size_t>(n);
    }
    if (!bytes.empty()) std::memcpy(buffer.data(), bytes.data(), bytes.size());
    return true;
  }
};

std::unique_ptr<IRandomBytes>& Current() {
  static std::unique_ptr<IRandomBytes> source = std::make_unique<TKernelRandomBytes>();
  return source;
}

}  // namespace

IRandomBytes& RandomBytes() {
  return *Current();
}

void SetRandomBytes(std::unique_ptr<IRandomBytes> source) {
  Current() = source ? std::move(source) : std::make_unique<TKernelRandomBytes>();
}

}  // namespace Platform
