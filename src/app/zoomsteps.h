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

// The layout divides by the scale: a stored value that is not a positive finite number (only an
// edited settings file can hold one) counts as actual size.
inline double drawable(double scale)
{
    return std::isfinite(scale) && scale > 0 ? scale : actualSize;
}

// Steps start from what is drawn, so that a stored value that is not a number cannot stick.
inline double zoomedIn(double scale)
{
    return std::min(drawable(scale) + scaleStep, maxScale);
}

inline double zoomedOut(double scale)
{
    return std::max(drawable(scale) - scaleStep, minScale);
}

} // namespace ZoomSteps
