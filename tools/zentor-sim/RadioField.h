#pragma once

#include "BandPlan.h"
#include "Route.h"
#include "SimRandom.h"

#include <cstdint>
#include <vector>

namespace zentor::sim {

constexpr int kMinLevelDbm = -120;
constexpr int kMaxLevelDbm = -30;

// The transmitter sites round the simulated town and what a receiver measures from them: each
// list entry of a receiver is the carrier of one site. The level falls with the distance to the
// site (a suburban path-loss law), varies with the surroundings of the route (shadowing) and
// from sample to sample (fading); a step next to a carrier picks up some of it, every other step
// shows the noise floor.
class RadioField
{
public:
    explicit RadioField(const BandPlan& plan);

    // The level in whole dBm, within -120..-30, that `receiver` (0 or 1) measures tuned to
    // `count` at `at`. Draws the fading from `noise`.
    std::int8_t levelDbm(int receiver, std::int32_t count, const LocalPoint& at,
                         SimRandom& noise) const;

private:
    struct Carrier
    {
        int receiver;
        std::int32_t count;
        LocalPoint site;
        double eirpDbm;
        double shadowPhase;
    };

    double meanLevelDbm(const Carrier& carrier, const LocalPoint& at) const;

    BandPlan plan_;
    std::vector<Carrier> carriers_;
};

} // namespace zentor::sim
