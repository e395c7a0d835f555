// Command-line parsing shared by the lintrel-brand subcommands, and the tool's exit codes.
#pragma once

#include <map>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::brand_tool {

// Exit codes of every subcommand.
inline constexpr int ExitOk = 0;
inline constexpr int ExitFileError = 1;
inline constexpr int ExitWrongPassword = 2;
inline constexpr int ExitDamaged = 3;
inline constexpr int ExitUsage = 64; // EX_USAGE from sysexits.h

// Bad usage: the message is printed with the usage text, and the tool exits with ExitUsage.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// --help or -h among the options: the usage goes to standard output and the tool exits 0.
struct HelpRequested
{
};

struct OptionDef
{
    std::string_view name; // long name without the dashes, e.g. "password"
    bool takesValue;
};

struct ParsedArgs
{
    std::vector<std::string> operands;
    std::map<std::string, std::string, std::less<>> values; // options with a value
    std::vector<std::string> flags;                         // options without one

    bool has(std::string_view flag) const;
    const std::string *value(std::string_view name) const;
};

// Options may stand before, between or after the operands; "--name=value" and
// "--name value" both work; "--" ends the options. Throws HelpRequested for --help / -h,
// and UsageError for an unknown option,
// a missing value, or an operand count outside [minOperands, maxOperands].
ParsedArgs parseArgs(std::span<const std::string> args, std::span<const OptionDef> options,
                     std::size_t minOperands, std::size_t maxOperands);

// Where subcommands print: normal output and the reasons for failures.
struct Output
{
    std::ostream &out;
    std::ostream &err;
};

} // namespace lintrel::brand_tool
