// The wallpaper change broadcast: a message to every program of the session that listens.
#pragma once

#include <QString>

namespace Platform {

inline constexpr const char* BroadcastPath = "/org/backdropper/Broadcast";
inline constexpr const char* BroadcastInterface = "org.backdropper.Broadcast";
inline constexpr const char* BroadcastMember = "WallpaperChange";

// Posts the "WallpaperChange" signal on the session bus, without arguments and without waiting
// for receivers. Without a session bus there is nobody to tell: returns false and does nothing.
bool PostWallpaperChangeBroadcast();

}  // namespace Platform
