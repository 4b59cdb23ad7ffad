#pragma once

#include <QRect>

namespace platform {

// The layouts are measured in twips: 15 twips make one pixel at 100 % scale.
constexpr int TwipsPerPixel = 15;

constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel,
                 height / TwipsPerPixel);
}

} // namespace platform
