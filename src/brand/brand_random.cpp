// The clock-seeded random source of the brand picks.
#include "brand/brand_random.h"

#include <chrono>
#include <ctime>

namespace lintrel {

void ClockRandomSource::reseed()
{
    timespec ts{};
    uint64_t seed = 0;
    if (clock_gettime(CLOCK_MONOTONIC, &ts) == 0) {
        seed = static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
    } else {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        seed = static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
    }
    std::seed_seq seq{static_cast<uint32_t>(seed), static_cast<uint32_t>(seed >> 32)};
    engine_.seed(seq);
}

uint32_t ClockRandomSource::below(uint32_t n)
{
    if (n <= 1)
        return 0;
    return std::uniform_int_distribution<uint32_t>(0, n - 1)(engine_);
}

} // namespace lintrel
