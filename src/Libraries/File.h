// File and directory helpers.
#pragma once

#include <QString>
#include <cstdint>

// Size of a file in bytes; records a Warning and yields 0 when it cannot be read.
int64_t GetFileSize(const QString& path);
