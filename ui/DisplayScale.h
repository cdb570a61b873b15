// Display scale: nominal 96-dpi units to pixels.
#pragma once

#include <cstdint>

// The factor for a resolution: dpi / 96, formed in double precision and
// stored in single.
//
// Example: ScaleFactorFromDpi(176) == 1.8333334f
[[nodiscard]] float ScaleFactorFromDpi(int32_t dpi);

// The nearest integer, halves to the even neighbour.
//
// Example: RoundHalfEven(22.5) == 22, RoundHalfEven(37.5) == 38
[[nodiscard]] int32_t RoundHalfEven(double value);

// A nominal size in pixels: the exact product, rounded halves to even.
//
// Example: ScalePixels(15, 1.5f) == 22
[[nodiscard]] int32_t ScalePixels(float nominal, float factor);

// The height in pixels of a font of `points` at `dpi`, for CreateFontW: minus
// the product rounded as MulDiv rounds it (halves away from zero).
//
// Example: FontHeightFromPoints(14, 96) == -19
[[nodiscard]] int32_t FontHeightFromPoints(int32_t points, int32_t dpi);

// Display-scale state. InitDisplayScale, which ScaleX and ScaleY run on their
// first call, declares the process DPI-aware and reads the factors.
extern bool scaleReady;
extern int32_t startupDpiY; // the resolution at start, before DPI awareness
[[nodiscard]] float ScaleX();
[[nodiscard]] float ScaleY();
void InitDisplayScale();
// Reads startupDpiY; the first step of start-up.
void ReadStartupDpi();
