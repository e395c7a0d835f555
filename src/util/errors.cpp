// Message formatting for the program's errors.
#include "util/errors.h"

#include <cstring>

namespace lintrel {

std::string formatMessage(std::string_view pattern, std::initializer_list<std::string_view> args)
{
    std::string out;
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && pattern[i + 1] == 's' &&
            next != args.end()) {
            out.append(*next++);
            ++i;
        } else {
            out.push_back(pattern[i]);
        }
    }
    return out;
}

std::string systemErrorText(int errnum)
{
    char buf[256];
    // GNU strerror_r returns the message pointer, which may or may not be buf.
    const char *text = strerror_r(errnum, buf, sizeof buf);
    return text;
}

} // namespace lintrel
