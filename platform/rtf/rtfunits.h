#pragma once

#include <QtGlobal>

#include <cmath>

namespace rtf {

// QTextDocument lengths are pixels at 96 dpi; RTF lengths are twips (1/1440 inch).
inline constexpr double kTwipsPerPixel = 15.0;

inline double twipsToPixels(int twips)
{
    return twips / kTwipsPerPixel;
}

inline int pixelsToTwips(double pixels)
{
    return static_cast<int>(std::lround(qBound(-2.0e6, pixels * kTwipsPerPixel, 2.0e6)));
}

// Largest side an inline picture may take, in pixels: a bound for sizes read from damaged files.
inline constexpr double kMaxPictureSide = 4096.0;

} // namespace rtf
