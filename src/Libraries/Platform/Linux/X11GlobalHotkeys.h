// Global hot keys as passive key grabs on the X server's root window.
#pragma once

#include <memory>

#include "Platform/GlobalHotkeys.h"

namespace Platform {

// Hot keys over the application's own X connection; null when the application has none.
std::unique_ptr<IGlobalHotkeys> MakeX11GlobalHotkeys();

}  // namespace Platform
