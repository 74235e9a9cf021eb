// The pieces of the brightness normalisation, for code that applies it while drawing
// (GetPictureBright and NormalizePictureBrightness in MyGDIPlus.h are built on them).
#pragma once

#include <QString>
#include <QImage>
#include <cstdint>
#include <vector>

// The mean brightness and its deviation of a 32-bit picture, as GetPictureBright gives them.
void MeasureBrightness(const QImage& picture, double& mean, double& deviation);

// The factor NormalizePictureBrightness reports: the level over the mean, both clamped.
double NormalizeFactor(double level, double mean);

// The normalisation `method` as a table of 256 x 256 entries for NormalizeRow; empty when the
// method is unknown and nothing changes. `level` and `mean` are clamped as
// NormalizePictureBrightness does.
std::vector<uint8_t> NormalizeTable(const QString& method, double level, double mean,
                                    double deviation);
// Normalises `width` 32-bit pixels from `in` to `out` (which may be `in`); alpha is copied.
void NormalizeRow(const uint8_t* table, const uint8_t* in, uint8_t* out, int width);
