// Every test process runs with its own HOME and XDG directories, never the developer's.
#pragma once

#include <QString>

// The private root directory of this test process.
QString TestRoot();
