#include "RadioField.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zentor::sim {

namespace {

constexpr double kBaseHeightM = 30.0;
constexpr double kMobileHeightM = 1.5;
constexpr double kMinDistanceKm = 0.05;
constexpr double kShadowDb = 6.0;
constexpr double kFadingSigmaDb = 2.5;
constexpr double kNoiseFloorDbm = -113.0;
constexpr double kNoiseSigmaDb = 2.0;
constexpr double kAdjacentStepDb = -20.0;

struct Site
{
    LocalPoint at;
    double eirpDbm;
    std::vector<int> listEntries; // the receiver's list entries this site transmits on
};

// Receiver 1: five cellular sites with two carriers each. Receiver 2: three trunked radio sites.
const std::vector<Site> kSites[kReceivers] = {
    {{{-1200, 800}, 47.0, {0, 1}},
     {{1500, 1100}, 47.0, {2, 3}},
     {{300, -1400}, 45.0, {4, 5}},
     {{-2500, -600}, 47.0, {6, 7}},
     {{2600, -1800}, 44.0, {8, 9}}},
    {{{0, 0}, 44.0, {0, 1, 2, 3}},
     {{-3000, 2000}, 46.0, {4, 5, 6}},
     {{3500, 500}, 46.0, {7, 8, 9}}},
};

// Median path loss in dB over `distanceKm` at `frequencyMHz` (Okumura-Hata, small city).
double pathLossDb(double frequencyMHz, double distanceKm)
{
    const double logF = std::log10(frequencyMHz);
    const double mobileCorrection = (1.1 * logF - 0.7) * kMobileHeightM - (1.56 * logF - 0.8);
    const double logHb = std::log10(kBaseHeightM);
    return 69.55 + 26.16 * logF - 13.82 * logHb - mobileCorrection +
           (44.9 - 6.55 * logHb) * std::log10(std::max(distanceKm, kMinDistanceKm));
}

} // namespace

RadioField::RadioField(const BandPlan& plan) : plan_(plan)
{
    double phase = 0.0;
    for (int r = 0; r < kReceivers; ++r)
        for (const Site& site : kSites[r])
            for (int entry : site.listEntries) {
                carriers_.push_back({r, plan[r].listCounts[entry], site.at, site.eirpDbm, phase});
                phase += 1.3;
            }
}

double RadioField::meanLevelDbm(const Carrier& carrier, const LocalPoint& at) const
{
    const double distanceKm =
        std::hypot(at.eastM - carrier.site.eastM, at.northM - carrier.site.northM) / 1000.0;
    const double frequencyMHz = plan_[carrier.receiver].frequencyMHz(carrier.count);
    // Buildings and terrain along the route: a smooth pattern a few hundred metres across.
    const double shadowDb = kShadowDb * std::sin(at.eastM / 170.0 + carrier.shadowPhase) *
                            std::cos(at.northM / 230.0 + 0.7 * carrier.shadowPhase);
    return carrier.eirpDbm - pathLossDb(frequencyMHz, distanceKm) + shadowDb;
}

std::int8_t RadioField::levelDbm(int receiver, std::int32_t count, const LocalPoint& at,
                                 SimRandom& noise) const
{
    double level = kNoiseFloorDbm + kNoiseSigmaDb * noise.gaussian();
    for (const Carrier& carrier : carriers_) {
        if (carrier.receiver != receiver)
            continue;
        const std::int32_t offset = std::abs(count - carrier.count);
        if (offset > 1)
            continue;
        const double received = meanLevelDbm(carrier, at) + kFadingSigmaDb * noise.gaussian() +
                                (offset == 1 ? kAdjacentStepDb : 0.0);
        level = std::max(level, received);
    }
    const long rounded = std::lround(level);
    return static_cast<std::int8_t>(std::clamp<long>(rounded, kMinLevelDbm, kMaxLevelDbm));
}

} // namespace zentor::sim
