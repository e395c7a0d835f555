// Placeholder until the text-file module lands.
#include "formatter/text_file.h"
#include "util/errors.h"

#include <cerrno>
#include <fstream>
#include <iterator>

namespace lintrel {

std::string decodeTextBytes(std::string_view bytes)
{
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    return std::string(bytes);
}

std::string normalizeLineBreaks(std::string_view text, std::string_view newline)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            out += newline;
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else if (text[i] == '\n') {
            out += newline;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string readTextFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw Error(formatMessage("Cannot open file \"%s\". %s", {path, systemErrorText(errno)}));
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace lintrel
