// SaltPool: a SHA-1-mixed pool that turns clock readings into salt bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace lintrel::aes_lib {

// Fills up to out.size() bytes and returns how many it filled.
using EntropySource = std::function<std::size_t(std::span<std::uint8_t> out)>;

// The system's source: the first min(n, 8) bytes, little-endian, of the CLOCK_MONOTONIC
// reading in nanoseconds; when that clock cannot be read, the milliseconds since boot
// (low 4 bytes, high 4 bytes zero).
std::size_t systemEntropy(std::span<std::uint8_t> out);

// The same rule over given readings: counter when there is one, else ticks.
std::size_t entropyFromReadings(std::span<std::uint8_t> out, std::optional<std::uint64_t> counter,
                                std::uint32_t ticks);

class SaltPool
{
public:
    static constexpr std::size_t PoolSize = 260; // 13 slices of a SHA-1 digest

    SaltPool() = default;
    SaltPool(const SaltPool &) = delete;
    SaltPool &operator=(const SaltPool &) = delete;
    ~SaltPool();

    // Clears the state, installs the source and runs the seeding refreshes and mixes.
    void seed(EntropySource source);
    // Copies out.size() bytes from the output buffer, refreshing whenever it is used up.
    void draw(std::span<std::uint8_t> out);
    // Overwrites the whole state with zeros.
    void wipe() noexcept;

    // One mix of a 260-byte buffer (exposed for tests).
    static void mix(std::array<std::uint8_t, PoolSize> &buffer);

private:
    void refresh();

    std::array<std::uint8_t, PoolSize> pool_{};
    std::array<std::uint8_t, PoolSize> output_{};
    std::size_t position_ = 0;
    EntropySource source_;
};

} // namespace lintrel::aes_lib
