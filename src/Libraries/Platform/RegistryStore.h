// Where the registry hives live: one settings file per hive.
#pragma once

#include <QString>

namespace Platform {

// "$XDG_CONFIG_HOME/backdropper/registry/<hive>.ini"; `machine` selects the machine hive.
QString RegistryHivePath(bool machine);

}  // namespace Platform
