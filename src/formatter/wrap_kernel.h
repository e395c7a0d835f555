// Internal interface of the line wrapper's scanning kernels.
#pragma once

#include "formatter/unicode_text.h"

#include <cstddef>
#include <cstdint>

namespace lintrel::detail {

// One line of output: `length` units from where the previous piece ended, followed by
// `skip` units of the input's line break (0 after a cut). Every piece but one that reaches
// the text's end is followed by a line break in the output.
struct WrapPiece
{
    size_t length;
    size_t skip;
};

// AVX2 builds of the scan (call only when the CPU has AVX2, see cpuHasAvx2()): the pieces
// from p on, until `capacity` are found or the text ends; returns how many.
size_t scanWrapPiecesAvx2(Measure measure, const char *p, const char *end, int64_t maxLength,
                          WrapPiece *pieces, size_t capacity);
size_t scanWrapPiecesAvx2(Measure measure, const char16_t *p, const char16_t *end,
                          int64_t maxLength, WrapPiece *pieces, size_t capacity);

} // namespace lintrel::detail
