// The per-user lock that keeps a single copy of the program running.
#pragma once

#include <QString>

namespace Platform {

enum class LockResult { Acquired, HeldElsewhere, Unavailable };

// An exclusive lock named `name`, valid for the user's session and released by the kernel
// when the process dies.
LockResult AcquireInstanceLock(const QString& name);
void ReleaseInstanceLock();

}  // namespace Platform
