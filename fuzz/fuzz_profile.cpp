// Fuzz target: the update descriptor read with the Windows profile rules, and the version
// decision on whatever it holds.
#include "update/profile_reader.h"
#include "update/version_check.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool holds)
{
    if (!holds)
        std::abort();
}

void checkVersion(std::string_view text)
{
    const bool number = lintrel::isDecimalNumber(text);
    const float value = lintrel::descriptorVersionNumber(text);
    check(number || value == 0.0f);
    // Blanks around a number do not change it.
    const std::string padded = " \t" + std::string(text) + " ";
    check(lintrel::isDecimalNumber(padded) == number);
    check(lintrel::descriptorVersionNumber(padded) == value);
    // The program's own version is compiled in and always converts.
    (void)lintrel::isUpdateOffered("2.0", text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view ini(reinterpret_cast<const char *>(data), size);
    // The descriptor's own names, and names the input itself may contain.
    const std::string_view sections[] = {"APPLICATION", "application", "", "A"};
    const std::string_view keys[] = {"Version", "NAME", "", "V"};
    for (std::string_view section : sections) {
        for (std::string_view key : keys) {
            const std::string value = lintrel::readProfileString(ini, section, key);
            check(value.size() <= lintrel::kProfileValueMax);
            check(value.find_first_of("\r\n") == std::string::npos);
            checkVersion(value);
        }
    }
    checkVersion(ini);
    return 0;
}
