// The random picks of a run: an interface so tests can script them, and the clock-seeded one.
#pragma once

#include <cstdint>
#include <random>

namespace lintrel {

class RandomSource
{
public:
    virtual ~RandomSource() = default;
    // Called before every draw.
    virtual void reseed() = 0;
    // A number from 0 to n - 1; n is at least 1.
    virtual uint32_t below(uint32_t n) = 0;
};

// Reseeds from the CLOCK_MONOTONIC nanoseconds (milliseconds of the real-time clock when that
// clock is unavailable) and draws uniformly.
class ClockRandomSource : public RandomSource
{
public:
    void reseed() override;
    uint32_t below(uint32_t n) override;

private:
    std::mt19937 engine_;
};

} // namespace lintrel
