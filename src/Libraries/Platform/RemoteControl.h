// Control of the running copy from outside: compositors without global key grabs bind their
// keys to "Backdropper Next", and any session-bus client can call the same methods.
#pragma once

#include <QString>
#include <functional>
#include <optional>

class QObject;

namespace Platform {

inline constexpr const char* ControlService = "org.backdropper.Backdropper";
inline constexpr const char* ControlPath = "/org/backdropper/Control";
inline constexpr const char* ControlInterface = "org.backdropper.Control";

enum class RemoteCommand { Next, Previous, Random, ShowWindow };

// The command a second start passes on: "Next", "Previous" or "Random" in any letter case, and
// ShowWindow for "ShowOnStart".
std::optional<RemoteCommand> RemoteCommandFromArgument(const QString& argument);

// Owns the control name on the session bus and serves its methods while `owner` lives. Each
// call is answered at once and its command run afterwards from the event loop, so a caller never
// waits for a composition or a message box. While another connection owns the name (a copy that
// is closing), this one queues for it. False, and nothing served, without a session bus.
bool ServeRemoteControl(QObject* owner, std::function<void(RemoteCommand)> onCommand);

// Calls `command` on the running copy and waits for the answer; false when nobody answered,
// with the cause in `why`.
bool SendRemoteCommand(RemoteCommand command, QString& why);

}  // namespace Platform
