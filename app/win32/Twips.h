#pragma once

#include <windows.h>

namespace twds::win32 {

// The window is laid out in twips, 1440 to the inch, as the form was
// designed; a window's pixels are its monitor's DPI to the inch.
inline constexpr int kTwipsPerInch = 1440;

[[nodiscard]] inline int TwipsToPixels(int twips, UINT dpi) {
    return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

[[nodiscard]] inline int PixelsToTwips(int pixels, UINT dpi) {
    return MulDiv(pixels, kTwipsPerInch, static_cast<int>(dpi));
}

}  // namespace twds::win32
