#include "platform/ui/KvUiColor.h"

#include <array>
#include <cmath>
#include <limits>

KvUiColor KvUiColor::Rgb(int red, int green, int blue)
{
    KvUiColor c;
    c.r = static_cast<uint8_t>(red & 0xFF);
    c.g = static_cast<uint8_t>(green & 0xFF);
    c.b = static_cast<uint8_t>(blue & 0xFF);
    c.valid = true;
    return c;
}

KvUiColor KvUiColor::Complement() const
{
    if (!valid)
        return *this;
    return Rgb(255 - r, 255 - g, 255 - b);
}

namespace {

// One entry of the hue/saturation/value part of the palette, truncated to whole channel values.
KvUiColor FromHsv(double hueDegrees, double saturation, double value)
{
    const double chroma = value * saturation;
    const double low = value - chroma;
    const double sector = hueDegrees / 60.0;
    const int whole = static_cast<int>(std::floor(sector));
    const double fraction = sector - whole;
    const double rising = low + chroma * fraction;
    const double falling = value - chroma * fraction;
    double r = 0, g = 0, b = 0;
    switch (whole % 6) {
    case 0: r = value; g = rising; b = low; break;
    case 1: r = falling; g = value; b = low; break;
    case 2: r = low; g = value; b = rising; break;
    case 3: r = low; g = falling; b = value; break;
    case 4: r = rising; g = low; b = value; break;
    default: r = value; g = low; b = falling; break;
    }
    // A tiny bias keeps exact products such as 255 * 0.5 from rounding below their whole value.
    auto channel = [](double v) { return static_cast<int>(std::floor(v + 1e-9)); };
    return KvUiColor::Rgb(channel(r), channel(g), channel(b));
}

std::array<KvUiColor, 256> BuildPalette()
{
    std::array<KvUiColor, 256> table{};
    table[1] = KvUiColor::Rgb(255, 0, 0);
    table[2] = KvUiColor::Rgb(255, 255, 0);
    table[3] = KvUiColor::Rgb(0, 255, 0);
    table[4] = KvUiColor::Rgb(0, 255, 255);
    table[5] = KvUiColor::Rgb(0, 0, 255);
    table[6] = KvUiColor::Rgb(255, 0, 255);
    table[7] = KvUiColor::Rgb(255, 255, 255);
    table[8] = KvUiColor::Rgb(128, 128, 128);
    table[9] = KvUiColor::Rgb(192, 192, 192);
    static constexpr double kValues[5] = {255.0, 204.0, 153.0, 127.0, 76.0};
    for (int index = 10; index <= 249; ++index) {
        const double hue = (index / 10 - 1) * 15.0;
        const int step = index % 10;
        const double saturation = (step % 2 == 0) ? 1.0 : 0.5;
        table[index] = FromHsv(hue, saturation, kValues[step / 2]);
    }
    for (int index = 250; index <= 255; ++index) {
        const int grey = static_cast<int>(std::floor(51.0 + (index - 250) * 40.8 + 1e-9));
        table[index] = KvUiColor::Rgb(grey, grey, grey);
    }
    return table;
}

const std::array<KvUiColor, 256>& Palette()
{
    static const std::array<KvUiColor, 256> table = BuildPalette();
    return table;
}

}  // namespace

KvUiColor AciToRgb(int colorIndex)
{
    if (colorIndex == kAciByBlock || colorIndex == kAciByLayer)
        return KvUiColor::Rgb(255, 255, 255);
    if (colorIndex < 1 || colorIndex > 255)
        return KvUiColor{};
    return Palette()[colorIndex];
}

int RgbToNearestAci(const KvUiColor& color)
{
    if (!color.valid)
        return 7;
    int best = 7;
    long bestDistance = std::numeric_limits<long>::max();
    for (int index = 1; index <= 255; ++index) {
        const KvUiColor& c = Palette()[index];
        const long dr = long(c.r) - color.r, dg = long(c.g) - color.g, db = long(c.b) - color.b;
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = index;
        }
    }
    return best;
}
