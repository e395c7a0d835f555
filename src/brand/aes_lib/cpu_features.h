// Run-time choice between the AES-NI / SHA-NI code paths and the portable code.
#pragma once

namespace lintrel::aes_lib {

// What the processor offers (read once through CPUID).
bool cpuHasAesNi() noexcept;
bool cpuHasShaNi() noexcept;
// VAES with AVX2 (two AES blocks per instruction), with the OS saving the YMM registers.
bool cpuHasVaes() noexcept;

// Forces the portable code even where the processor has the extensions (tests and
// benchmarks compare both paths). The environment variable LINTREL_FORCE_PORTABLE=1 sets
// the initial value; a call overrides it for the whole process.
void forcePortable(bool on) noexcept;
bool portableForced() noexcept;

// The paths actually taken: the extension is present and the portable code is not forced.
bool useAesNi() noexcept;
bool useShaNi() noexcept;
bool useVaes() noexcept;

} // namespace lintrel::aes_lib
