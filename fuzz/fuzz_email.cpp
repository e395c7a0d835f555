// Fuzz target: email-aware Format and Reflow, flowed output and the flowed reader.
#include "formatter/email_wrap.h"
#include "formatter/flowed.h"
#include "formatter/text_file.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

// The characters a Format must keep: all but white space, line breaks and the ">" it copies.
std::string kept(const std::string &text)
{
    std::string out;
    for (const char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '>')
            out += c;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    // The first byte picks M; the rest is read as Import reads a file.
    const int64_t max = 1 + data[0] % 90;
    const std::string text = lintrel::decodeTextBytes(
        std::string_view(reinterpret_cast<const char *>(data) + 1, size - 1));
    for (const bool flowed : {false, true}) {
        const lintrel::EmailWrapOptions options{max, nullptr, flowed, "\n"};
        const std::string formatted = lintrel::emailFormat(text, options);
        const std::string reflowed = lintrel::emailReflow(text, options);
        (void)lintrel::unflowText(formatted, "\n");
        (void)lintrel::unflowText(reflowed, "\n");
        if (!flowed && (kept(formatted) != kept(text) || kept(reflowed) != kept(text) ||
                        lintrel::emailFormat(formatted, options) != formatted))
            std::abort();
    }
    (void)lintrel::flowedFromWrap(text, text, "\n");
    return 0;
}
