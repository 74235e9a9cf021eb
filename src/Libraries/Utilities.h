// Message boxes, beeps, registry, clipboard, platform queries and control helpers.
#pragma once

#include <QString>

void BeepDone();
void BeepAlert();
