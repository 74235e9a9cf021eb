// Root reads and writes every file whatever its mode. A test of a file nobody may read takes
// that power from its own thread for a while, as if it ran as an ordinary user.
#pragma once

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

class TWithoutReadOverride {
 public:
  TWithoutReadOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (::syscall(SYS_capget, &header, Saved) != 0) return;
    __user_cap_data_struct lowered[2] = {Saved[0], Saved[1]};
    for (int cap : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
      lowered[cap / 32].effective &= ~(1u << (cap % 32));
    Active = ::syscall(SYS_capset, &header, lowered) == 0;
  }
  ~TWithoutReadOverride() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    if (Active) ::syscall(SYS_capset, &header, Saved);
  }
  TWithoutReadOverride(const TWithoutReadOverride&) = delete;
  TWithoutReadOverride& operator=(const TWithoutReadOverride&) = delete;

 private:
  __user_cap_data_struct Saved[2] = {};
  bool Active = false;
};
