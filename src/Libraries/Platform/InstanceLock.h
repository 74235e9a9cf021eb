// The per-user lock that keeps a single copy of the program running.
#pragma once

#include <QString>

namespace Platform {

// Refused: a file is already there that is not one of ours (a symbolic link, not a regular file,
// owned by another user, or with other names linked to it), so the lock cannot be trusted.
enum class LockResult { Acquired, HeldElsewhere, Refused, Unavailable };

// "$XDG_RUNTIME_DIR/<name>", or "/tmp/<name>-<uid>" when the session has no runtime directory.
QString InstanceLockPath(const QString& name);
// An exclusive lock named `name`, valid for the user's session and released by the kernel
// when the process dies.
LockResult AcquireInstanceLock(const QString& name);
void ReleaseInstanceLock();

}  // namespace Platform
