// Colour rows from a JPEG's own planes (luma at full size, chroma at half size both ways), made
// exactly as libjpeg makes them: each chroma sample weighted 3 to 1 against its farther
// neighbour row, then 3 to 1 against its farther neighbour column, and the fixed-point colour
// conversion. Done on the drawing thread, this takes the colour work off the decoder.
#pragma once

#include <cstdint>
#include <vector>

class TYccRows {
 public:
  // For pictures `width` pixels wide.
  explicit TYccRows(int width);

  // One row of 32-bit pixels (blue, green, red, 255): `luma` the row's own, `near` the chroma
  // rows of the chroma line it lies on, `far` those of the line above (an even row) or below
  // (an odd row); at the picture's edges the nearest line stands in for the missing one.
  void Convert(const uint8_t* luma, const uint8_t* cbNear, const uint8_t* cbFar,
               const uint8_t* crNear, const uint8_t* crFar, uint8_t* out);

 private:
  void Upsample(const uint8_t* near, const uint8_t* far, uint8_t* out);

  int Width;
  int ChromaWidth;
  std::vector<int16_t> Sums;  // column sums, with the edge ones repeated at both ends
  std::vector<uint8_t> Cb;
  std::vector<uint8_t> Cr;
};
