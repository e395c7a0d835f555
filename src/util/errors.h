// The program's error type: a failure that carries the message the user is shown.
#pragma once

#include <stdexcept>
#include <string>

namespace lintrel {

// A file-layer or command failure whose what() is the complete user-facing message.
class Error : public std::runtime_error
{
public:
    explicit Error(const std::string &message) : std::runtime_error(message) {}
};

// Replaces each "%s" in pattern, left to right, with the next argument.
std::string formatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

// The system's text for an errno value ("No such file or directory", ...).
std::string systemErrorText(int errnum);

} // namespace lintrel
