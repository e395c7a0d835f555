// SaltPool mixing, refresh, seeding and drawing, and the clock-based entropy source.
#include "brand/aes_lib/salt_pool.h"

#include "brand/aes_lib/secure.h"
#include "brand/aes_lib/sha1.h"

#include <algorithm>
#include <ctime>
#include <sys/times.h>
#include <unistd.h>

namespace lintrel::aes_lib {

namespace {

constexpr std::size_t Slice = Sha1DigestSize;

std::uint32_t millisecondTicks()
{
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ts.tv_sec) * 1000u +
                                          static_cast<std::uint64_t>(ts.tv_nsec) / 1000000u);
    tms unused{};
    const long hz = sysconf(_SC_CLK_TCK);
    const clock_t ticks = times(&unused);
    if (hz <= 0)
        return static_cast<std::uint32_t>(ticks);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(ticks) * 1000u /
                                      static_cast<std::uint64_t>(hz));
}

} // namespace

std::size_t entropyFromReadings(std::span<std::uint8_t> out, std::optional<std::uint64_t> counter,
                                std::uint32_t ticks)
{
    const std::uint64_t value = counter ? *counter : std::uint64_t{ticks};
    const std::size_t n = std::min<std::size_t>(out.size(), 8);
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    return n;
}

std::size_t systemEntropy(std::span<std::uint8_t> out)
{
    timespec ts{};
    if (clock_gettime(CLOCK_MONOTONIC, &ts) == 0) {
        const std::uint64_t ns = static_cast<std::uint64_t>(ts.tv_sec) * 1000000000u +
                                 static_cast<std::uint64_t>(ts.tv_nsec);
        return entropyFromReadings(out, ns, 0);
    }
    return entropyFromReadings(out, std::nullopt, millisecondTicks());
}

SaltPool::~SaltPool()
{
    wipe();
}

void SaltPool::mix(std::array<std::uint8_t, PoolSize> &buffer)
{
    for (std::size_t i = 0; i < PoolSize; i += Slice) {
        // Chaining value: the 20 bytes just before i, little-endian words.
        const std::size_t from = (i + PoolSize - Slice) % PoolSize;
        Sha1ChainingValue h;
        for (std::size_t w = 0; w < 5; ++w) {
            const std::uint8_t *p = buffer.data() + from + 4 * w;
            h[w] = std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
                   (std::uint32_t{p[3]} << 24);
        }
        std::array<std::uint8_t, Sha1BlockSize> block;
        for (std::size_t k = 0; k < Sha1BlockSize; ++k)
            block[k] = buffer[(i + k) % PoolSize];
        sha1Compress(h, block);
        for (std::size_t w = 0; w < 5; ++w)
            for (std::size_t b = 0; b < 4; ++b)
                buffer[i + 4 * w + b] = static_cast<std::uint8_t>(h[w] >> (8 * b));
        secureWipeObject(h);
        secureWipeObject(block);
    }
}

void SaltPool::refresh()
{
    output_ = pool_;
    std::size_t filled = 0;
    while (filled < PoolSize && source_) {
        const std::size_t got = source_(std::span(pool_.data() + filled, PoolSize - filled));
        // A source that delivers nothing would loop for ever; the rest keeps its old bytes.
        if (got == 0)
            break;
        filled += std::min(got, PoolSize - filled);
    }
    for (std::size_t i = 0; i < PoolSize; ++i)
        pool_[i] = static_cast<std::uint8_t>(pool_[i] ^ ~output_[i]);
    mix(pool_);
    mix(output_);
}

void SaltPool::seed(EntropySource source)
{
    wipe();
    source_ = std::move(source);
    refresh();
    for (int i = 0; i < 20; ++i)
        mix(pool_);
    refresh();
    position_ = 0;
}

void SaltPool::draw(std::span<std::uint8_t> out)
{
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (position_ >= PoolSize) {
            refresh();
            position_ = 0;
        }
        out[i] = output_[position_++];
    }
}

void SaltPool::wipe() noexcept
{
    secureWipeObject(pool_);
    secureWipeObject(output_);
    position_ = 0;
    source_ = nullptr;
}

} // namespace lintrel::aes_lib
