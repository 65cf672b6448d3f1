#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zentor::klfexport {

struct Colour
{
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

// "#rrggbb" for SVG.
std::string svgColour(const Colour& c);
// "ffbbggrr" (opaque) for KML.
std::string kmlColour(const Colour& c);

// The colours of readings on the map range MIN..MAX dBm: seven equal bands from dark blue (weak)
// to red (strong). A reading below MIN takes the first band's colour, one at MAX or above the
// last's, so every reading is drawn.
class ColourScale
{
public:
    static constexpr std::size_t kBands = 7;

    ColourScale(int minDbm, int maxDbm);

    std::size_t bandOf(int dbm) const;
    const Colour& colour(std::size_t band) const;
    // "-100 to -90 dBm"; the first band "below -110 dBm", the last "-60 dBm and above".
    std::string label(std::size_t band) const;

private:
    std::string edgeText(std::size_t edge) const;

    double minDbm_;
    double bandDb_;
};

} // namespace zentor::klfexport
