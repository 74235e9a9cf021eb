// The pieces of the brightness normalisation, for code that applies it while drawing
// (GetPictureBright and NormalizePictureBrightness in MyGDIPlus.h are built on them).
#pragma once

#include <QString>
#include <QImage>
#include <cstdint>
#include <vector>

// Sums of every pixel's brightness V (its largest colour channel) and of V squared; integers,
// so the result does not depend on the order rows are added in.
struct TBrightnessSums {
  uint64_t Sum = 0;
  uint64_t Squares = 0;
  uint64_t Count = 0;

  void AddRow(const uint8_t* pixels, int width);  // 32-bit pixels, alpha ignored
  void Add(const TBrightnessSums& other);
  // Mean and deviation as fractions of full brightness (0 for no pixels).
  void Result(double& mean, double& deviation) const;
};

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
// Normalises `rect` of `canvas` in place by `table` when given, then maps the colour channels
// through `gamma` when given; the rows are split over the cores.
void NormalizeRect(QImage& canvas, const QRect& rect, const uint8_t* table, const uint8_t* gamma);
