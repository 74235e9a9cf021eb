#include "MyGDIPlus/YccRows.h"

#include <immintrin.h>

#include <algorithm>

#include "Platform/VectorState.h"

namespace {

// libjpeg's fixed-point factors (16 fraction bits) and rounding.
constexpr int CrToRed = 91881;     // 1.40200
constexpr int CbToBlue = 116130;   // 1.77200
constexpr int CbToGreen = -22554;  // -0.34414
constexpr int CrToGreen = -46802;  // -0.71414
constexpr int Half = 1 << 15;

void ColumnSums(const uint8_t* near, const uint8_t* far, int16_t* sums, int begin, int end) {
  for (int i = begin; i < end; ++i) sums[i + 1] = static_cast<int16_t>(near[i] * 3 + far[i]);
}

// Output columns 2c and 2c + 1 from the column sums around c.
void Interpolate(const int16_t* sums, uint8_t* out, int begin, int end) {
  for (int c = begin; c < end; ++c) {
    const int middle = sums[c + 1] * 3;
    out[2 * c] = static_cast<uint8_t>((middle + sums[c] + 8) >> 4);
    out[2 * c + 1] = static_cast<uint8_t>((middle + sums[c + 2] + 7) >> 4);
  }
}

uint8_t Clamp(int value) {
  return static_cast<uint8_t>(std::clamp(value, 0, 255));
}

void ConvertPixels(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr, uint32_t* out,
                   int begin, int end) {
  for (int x = begin; x < end; ++x) {
    const int y = luma[x];
    const int b = cb[x] - 128;
    const int r = cr[x] - 128;
    const uint32_t red = Clamp(y + ((CrToRed * r + Half) >> 16));
    const uint32_t green = Clamp(y + ((CbToGreen * b + CrToGreen * r + Half) >> 16));
    const uint32_t blue = Clamp(y + ((CbToBlue * b + Half) >> 16));
    out[x] = 0xFF000000u | red << 16 | green << 8 | blue;
  }
}

PIXEL_KERNEL_WIDE int ColumnSumsWide(const uint8_t* near, const uint8_t* far, int16_t* sums,
                                     int count) {
  int i = 0;
  for (; i + 16 <= count; i += 16) {
    const __m256i n =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(near + i)));
    const __m256i f =
        _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(far + i)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sums + i + 1),
                        _mm256_add_epi16(_mm256_add_epi16(_mm256_add_epi16(n, n), n), f));
  }
  return i;
}

PIXEL_KERNEL_WIDE int InterpolateWide(const int16_t* sums, uint8_t* out, int count) {
  const __m256i eight = _mm256_set1_epi16(8);
  const __m256i seven = _mm256_set1_epi16(7);
  int c = 0;
  for (; c + 16 <= count; c += 16) {
    const __m256i left = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + c));
    const __m256i middle = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + c + 1));
    const __m256i right = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums + c + 2));
    const __m256i thrice = _mm256_add_epi16(_mm256_add_epi16(middle, middle), middle);
    const __m256i even =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(thrice, left), eight), 4);
    const __m256i odd =
        _mm256_srli_epi16(_mm256_add_epi16(_mm256_add_epi16(thrice, right), seven), 4);
    // Within each 128-bit half: even and odd interleaved, then packed to bytes in order.
    _mm256_storeu_si256(
        reinterpret_cast<__m256i*>(out + 2 * c),
        _mm256_packus_epi16(_mm256_unpacklo_epi16(even, odd), _mm256_unpackhi_epi16(even, odd)));
  }
  return c;
}

PIXEL_KERNEL_WIDE inline __m256i LoadWidened(const uint8_t* at) {
  return _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(at)));
}

// y + (sum + half) >> 16, clamped to 0..255.
PIXEL_KERNEL_WIDE inline __m256i AddScaled(__m256i y, __m256i sum) {
  const __m256i value =
      _mm256_add_epi32(y, _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(Half)), 16));
  return _mm256_min_epi32(_mm256_max_epi32(value, _mm256_setzero_si256()), _mm256_set1_epi32(255));
}

PIXEL_KERNEL_WIDE int ConvertPixelsWide(const uint8_t* luma, const uint8_t* cb, const uint8_t* cr,
                                        uint32_t* out, int count) {
  const __m256i offset = _mm256_set1_epi32(128);
  const __m256i opaque = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  int x = 0;
  for (; x + 8 <= count; x += 8) {
    const __m256i y = LoadWidened(luma + x);
    const __m256i b = _mm256_sub_epi32(LoadWidened(cb + x), offset);
    const __m256i r = _mm256_sub_epi32(LoadWidened(cr + x), offset);
    const __m256i red = AddScaled(y, _mm256_mullo_epi32(r, _mm256_set1_epi32(CrToRed)));
    const __m256i green =
        AddScaled(y, _mm256_add_epi32(_mm256_mullo_epi32(b, _mm256_set1_epi32(CbToGreen)),
                                      _mm256_mullo_epi32(r, _mm256_set1_epi32(CrToGreen))));
    const __m256i blue = AddScaled(y, _mm256_mullo_epi32(b, _mm256_set1_epi32(CbToBlue)));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x),
                        _mm256_or_si256(_mm256_or_si256(opaque, _mm256_slli_epi32(red, 16)),
                                        _mm256_or_si256(_mm256_slli_epi32(green, 8), blue)));
  }
  return x;
}

}  // namespace

TYccRows::TYccRows(int width)
    : Width(std::max(width, 0)),
      ChromaWidth((Width + 1) / 2),
      Sums(static_cast<size_t>(ChromaWidth) + 2),
      Cb(static_cast<size_t>(ChromaWidth) * 2),
      Cr(static_cast<size_t>(ChromaWidth) * 2) {}

void TYccRows::Upsample(const uint8_t* near, const uint8_t* far, uint8_t* out) {
  if (ChromaWidth == 0) return;
  int16_t* sums = Sums.data();
  const bool wide = Platform::HasWideVectors();
  ColumnSums(near, far, sums, wide ? ColumnSumsWide(near, far, sums, ChromaWidth) : 0, ChromaWidth);
  sums[0] = sums[1];
  sums[ChromaWidth + 1] = sums[ChromaWidth];
  Interpolate(sums, out, wide ? InterpolateWide(sums, out, ChromaWidth) : 0, ChromaWidth);
}

void TYccRows::Convert(const uint8_t* luma, const uint8_t* cbNear, const uint8_t* cbFar,
                       const uint8_t* crNear, const uint8_t* crFar, uint8_t* out) {
  Upsample(cbNear, cbFar, Cb.data());
  Upsample(crNear, crFar, Cr.data());
  uint32_t* pixels = reinterpret_cast<uint32_t*>(out);
  const int done =
      Platform::HasWideVectors() ? ConvertPixelsWide(luma, Cb.data(), Cr.data(), pixels, Width) : 0;
  ConvertPixels(luma, Cb.data(), Cr.data(), pixels, done, Width);
}
