// CPUID probing for AES-NI and SHA-NI, and the switch that forces the portable code.
#include "brand/aes_lib/cpu_features.h"

#include <atomic>
#include <cpuid.h>
#include <cstdlib>
#include <cstring>

namespace lintrel::aes_lib {

namespace {

struct CpuFlags
{
    bool aes = false;
    bool sha = false;
    bool vaes = false;
};

// XCR0 through XGETBV (inline so that no target attribute is needed).
unsigned long long readXcr0() noexcept
{
    unsigned lo = 0, hi = 0;
    __asm__ volatile("xgetbv" : "=a"(lo), "=d"(hi) : "c"(0));
    return (static_cast<unsigned long long>(hi) << 32) | lo;
}

CpuFlags probe() noexcept
{
    CpuFlags flags;
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    // Both paths also use SSSE3/SSE4.1 shuffles, so require those as well.
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0)
        return flags;
    const bool ssse3 = (ecx & bit_SSSE3) != 0;
    const bool sse41 = (ecx & bit_SSE4_1) != 0;
    flags.aes = (ecx & bit_AES) != 0 && ssse3 && sse41;
    const bool ymmSaved = (ecx & bit_OSXSAVE) != 0 && (readXcr0() & 6) == 6;
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) != 0) {
        flags.sha = (ebx & bit_SHA) != 0 && ssse3 && sse41;
        flags.vaes = flags.aes && ymmSaved && (ebx & bit_AVX2) != 0 && (ecx & bit_VAES) != 0;
    }
    return flags;
}

const CpuFlags &cpuFlags() noexcept
{
    static const CpuFlags flags = probe();
    return flags;
}

bool forcedFromEnvironment() noexcept
{
    const char *value = std::getenv("LINTREL_FORCE_PORTABLE");
    return value != nullptr && std::strcmp(value, "1") == 0;
}

// -1: not decided by a call yet, follow the environment.
std::atomic<int> forcedState{-1};

} // namespace

bool cpuHasAesNi() noexcept
{
    return cpuFlags().aes;
}

bool cpuHasShaNi() noexcept
{
    return cpuFlags().sha;
}

bool cpuHasVaes() noexcept
{
    return cpuFlags().vaes;
}

void forcePortable(bool on) noexcept
{
    forcedState.store(on ? 1 : 0, std::memory_order_relaxed);
}

bool portableForced() noexcept
{
    int state = forcedState.load(std::memory_order_relaxed);
    if (state < 0) {
        static const bool fromEnv = forcedFromEnvironment();
        return fromEnv;
    }
    return state == 1;
}

bool useAesNi() noexcept
{
    return cpuHasAesNi() && !portableForced();
}

bool useShaNi() noexcept
{
    return cpuHasShaNi() && !portableForced();
}

bool useVaes() noexcept
{
    return cpuHasVaes() && !portableForced();
}

} // namespace lintrel::aes_lib
