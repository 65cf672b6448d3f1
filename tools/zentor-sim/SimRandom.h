#pragma once

#include <cmath>
#include <cstdint>
#include <random>

namespace zentor::sim {

// The simulator's random numbers. Only the engine's raw output is used (its sequence is fixed by
// the standard), so one seed gives the same run with every standard library.
class SimRandom
{
public:
    explicit SimRandom(std::uint32_t seed) : engine_(seed) {}

    // Uniform in 0 .. n-1; n must be at least 1.
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(engine_() % n); }

    // Uniform in [0, 1).
    double unit() { return static_cast<double>(engine_() >> 8) / 16777216.0; }

    // True with probability p.
    bool chance(double p) { return unit() < p; }

    std::uint8_t byte() { return static_cast<std::uint8_t>(engine_() >> 24); }

    // Normally distributed with mean 0 and standard deviation 1 (Box-Muller).
    double gaussian()
    {
        const double u1 = 1.0 - unit(); // in (0, 1], so the logarithm is finite
        const double u2 = unit();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * kPi * u2);
    }

private:
    static constexpr double kPi = 3.14159265358979323846;
    std::mt19937 engine_;
};

} // namespace zentor::sim
