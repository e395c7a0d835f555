// Message formatting for the program's errors.
#include "util/errors.h"

#include <cstring>
#include <filesystem>

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

std::string absolutePathForMessage(const std::string &path)
{
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    return ec || path.empty() ? path : absolute.lexically_normal().string();
}

std::string fileErrorMessage(FileOp op, const std::string &path, int errnum)
{
    static constexpr const char *kPatterns[] = {
        "Cannot open file \"%s\". %s",
        "Cannot create file \"%s\". %s",
        "Cannot read file \"%s\". %s",
        "Cannot write file \"%s\". %s",
    };
    return formatMessage(kPatterns[static_cast<int>(op)],
                         {absolutePathForMessage(path), systemErrorText(errnum)});
}

FileError::FileError(FileOp op, const std::string &path, int errnum)
    : Error(fileErrorMessage(op, path, errnum)), op_(op), errnum_(errnum)
{}

} // namespace lintrel
