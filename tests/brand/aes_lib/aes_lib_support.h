// Helpers for the AesLib tests: hex conversion, byte views, a fixture run on both code paths.
#pragma once

#include "brand/aes_lib/cpu_features.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes fromHex(std::string_view hex)
{
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(
            static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    return out;
}

inline std::string toHex(std::span<const std::uint8_t> bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (auto b : bytes) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 15]);
    }
    return out;
}

inline std::span<const std::uint8_t> bytesOf(std::string_view s)
{
    return {reinterpret_cast<const std::uint8_t *>(s.data()), s.size()};
}

inline Bytes randomBytes(std::mt19937 &rng, std::size_t n)
{
    Bytes out(n);
    for (auto &b : out)
        b = static_cast<std::uint8_t>(rng());
    return out;
}

// Runs each test once on the hardware path (where the CPU has it) and once on the portable
// code; the parameter is true for the portable run.
class BothPaths : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override { aes_lib::forcePortable(GetParam()); }
    void TearDown() override { aes_lib::forcePortable(false); }
};

inline std::string pathName(const testing::TestParamInfo<bool> &info)
{
    return info.param ? "Portable" : "Hardware";
}

} // namespace lintrel::test

#define LINTREL_BOTH_PATHS(Suite)                                                                  \
    INSTANTIATE_TEST_SUITE_P(, Suite, testing::Values(false, true), lintrel::test::pathName)
