#pragma once

#include <algorithm>
#include <cmath>

// The interface zoom's arithmetic. A step adds or removes a tenth as computed, with no rounding
// to the step, and each command checks only its own bound.
namespace ZoomSteps {

constexpr double minScale = 0.8;
constexpr double maxScale = 2.0;
constexpr double scaleStep = 0.1;
constexpr double actualSize = 1.0;

inline double zoomedIn(double scale)
{
    return std::min(scale + scaleStep, maxScale);
}

inline double zoomedOut(double scale)
{
    return std::max(scale - scaleStep, minScale);
}

// The layout divides by the scale: a stored value that is not a positive finite number (only an
// edited settings file can hold one) draws at actual size instead.
inline double drawable(double scale)
{
    return std::isfinite(scale) && scale > 0 ? scale : actualSize;
}

} // namespace ZoomSteps
