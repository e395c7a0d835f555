// The program's error types: a failure that carries the message the user is shown, and the
// file layer's failures with their one message form.
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

// What the file layer was doing when a file failed.
enum class FileOp { Open, Create, Read, Write };

// "Cannot open file "<path>". <reason>" (create, read, write likewise), the path in the form
// absolutePathForMessage gives.
std::string fileErrorMessage(FileOp op, const std::string &path, int errnum);

// A file-layer failure; what() is fileErrorMessage.
class FileError : public Error
{
public:
    FileError(FileOp op, const std::string &path, int errnum);
    FileOp op() const noexcept { return op_; }
    int errnum() const noexcept { return errnum_; }

private:
    FileOp op_;
    int errnum_;
};

// The form a path takes in messages: absolute against the working directory, with "." and
// ".." steps resolved as text (the path itself when it is empty or that fails).
std::string absolutePathForMessage(const std::string &path);

// Replaces each "%s" in pattern, left to right, with the next argument.
std::string formatMessage(std::string_view pattern, std::initializer_list<std::string_view> args);

// The system's text for an errno value ("No such file or directory", ...).
std::string systemErrorText(int errnum);

} // namespace lintrel
