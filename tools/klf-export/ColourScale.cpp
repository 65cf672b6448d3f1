#include "ColourScale.h"

#include "core/TextFormat.h"

#include <cmath>

namespace zentor::klfexport {

namespace {

const Colour kBandColours[ColourScale::kBands] = {
    {0x2c, 0x3e, 0x9e}, // dark blue: weakest
    {0x2f, 0x8f, 0xd8}, {0x36, 0xc2, 0xb4}, {0x8f, 0xd1, 0x4f},
    {0xf2, 0xd3, 0x38}, {0xf5, 0x8b, 0x2c}, {0xd7, 0x30, 0x1f}, // red: strongest
};

} // namespace

std::string svgColour(const Colour& c)
{
    return formatText("#%02x%02x%02x", c.red, c.green, c.blue);
}

std::string kmlColour(const Colour& c)
{
    return formatText("ff%02x%02x%02x", c.blue, c.green, c.red);
}

ColourScale::ColourScale(int minDbm, int maxDbm)
    : minDbm_(minDbm), bandDb_(static_cast<double>(maxDbm - minDbm) / kBands)
{}

std::size_t ColourScale::bandOf(int dbm) const
{
    const double band = std::floor((dbm - minDbm_) / bandDb_);
    if (band < 0)
        return 0;
    return band >= kBands ? kBands - 1 : static_cast<std::size_t>(band);
}

const Colour& ColourScale::colour(std::size_t band) const
{
    return kBandColours[band < kBands ? band : kBands - 1];
}

std::string ColourScale::edgeText(std::size_t edge) const
{
    std::string s = formatText("%.1f", minDbm_ + edge * bandDb_);
    if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0)
        s.resize(s.size() - 2);
    return s == "-0" ? "0" : s;
}

std::string ColourScale::label(std::size_t band) const
{
    if (band == 0)
        return "below " + edgeText(1) + " dBm";
    if (band + 1 >= kBands)
        return edgeText(kBands - 1) + " dBm and above";
    return edgeText(band) + " to " + edgeText(band + 1) + " dBm";
}

} // namespace zentor::klfexport
