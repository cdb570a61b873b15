#include "ui/DisplayScale.h"

#include <cmath>

float ScaleFactorFromDpi(int32_t dpi) {
    return static_cast<float>(static_cast<double>(dpi) / 96.0);
}

int32_t RoundHalfEven(double value) {
    const double down = std::floor(value);
    const double rest = value - down;
    auto result = static_cast<int64_t>(down);
    if (rest > 0.5 || (rest == 0.5 && result % 2 != 0)) ++result;
    return static_cast<int32_t>(result);
}

int32_t ScalePixels(float nominal, float factor) {
    // The product of two floats is exact in double precision.
    return RoundHalfEven(static_cast<double>(nominal) * static_cast<double>(factor));
}

int32_t FontHeightFromPoints(int32_t points, int32_t dpi) {
    const int64_t product = int64_t{points} * dpi;
    const int64_t rounded = product >= 0 ? (product + 36) / 72 : -((-product + 36) / 72);
    return -static_cast<int32_t>(rounded);
}
