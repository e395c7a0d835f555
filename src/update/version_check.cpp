// Deciding whether the update descriptor's version is newer than the program's.
#include "update/version_check.h"

#include "util/errors.h"
#include "util/fields.h"

#include <charconv>

namespace lintrel {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

std::size_t skipDigits(std::string_view s, std::size_t i)
{
    while (i < s.size() && isDigit(s[i]))
        ++i;
    return i;
}

// from_chars rejects a leading "+"; the check above has already vetted the rest.
template <class T> bool convert(std::string_view text, T &value)
{
    if (!isDecimalNumber(text))
        return false;
    text = trimBlanks(text);
    if (text.front() == '+')
        text.remove_prefix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size();
}

} // namespace

bool isDecimalNumber(std::string_view text)
{
    const std::string_view s = trimBlanks(text);
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t intEnd = skipDigits(s, i);
    std::size_t digits = intEnd - i;
    i = intEnd;
    if (i < s.size() && s[i] == '.') {
        const std::size_t fracEnd = skipDigits(s, i + 1);
        digits += fracEnd - (i + 1);
        i = fracEnd;
    }
    if (digits == 0)
        return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        const std::size_t expEnd = skipDigits(s, i);
        if (expEnd == i)
            return false;
        i = expEnd;
    }
    return i == s.size();
}

float descriptorVersionNumber(std::string_view text)
{
    float value = 0;
    return convert(text, value) ? value : 0.0f;
}

long double appVersionNumber(std::string_view text)
{
    long double value = 0;
    if (!convert(text, value))
        throw Error(formatMessage("'%s' is not a valid floating point value", {text}));
    return value;
}

bool isUpdateOffered(std::string_view appVersion, std::string_view descriptorVersion)
{
    return appVersionNumber(appVersion) <
           static_cast<long double>(descriptorVersionNumber(descriptorVersion));
}

} // namespace lintrel
