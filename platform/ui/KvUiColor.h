// Colours of the user interface: plain RGB values and the CAD colour index (ACI) palette.
#pragma once

#include <cstdint>

// An RGB colour; `valid` false means "not set" (the view's default is used).
struct KvUiColor {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    bool valid = false;

    static KvUiColor Rgb(int red, int green, int blue);
    // The bitwise complement of each channel (used for text drawn on a colour swatch).
    KvUiColor Complement() const;
    bool operator==(const KvUiColor& other) const = default;
};

// Colour index values with a meaning of their own.
constexpr int kAciByBlock = 0;
constexpr int kAciByLayer = 256;

// The RGB value of a colour index 1..255 of the standard palette: 1 to 9 fixed (red, yellow, green,
// cyan, blue, magenta, white, dark grey, light grey), 10 to 249 in 24 hues of 15 degrees with five
// values (255, 204, 153, 127, 76) at full and half saturation, 250 to 255 six greys from 51 to 255.
// ByBlock (0) and ByLayer (256) have no colour of their own and give white; other numbers give an
// invalid colour.
KvUiColor AciToRgb(int colorIndex);

// The palette index 1..255 whose colour is nearest to `color` (Euclidean RGB distance); 7 for an
// invalid colour.
int RgbToNearestAci(const KvUiColor& color);
