// Letting go of large files without waiting for the kernel to free their pages: a 25 MB
// wallpaper's page cache takes milliseconds to free, which the thread composing the next
// wallpaper should not spend.
#pragma once

#include <QString>

namespace Platform {

// Closes `fd` on a thread of its own (here when there is no thread to be had).
void CloseLater(int fd);
// Removes the file `path`; when this was its last name, its pages are freed by CloseLater.
// False when it could not be removed (a missing file included).
bool RemoveFreeingLater(const QString& path);

}  // namespace Platform
