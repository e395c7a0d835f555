// lintrel-format's email commands: wrap --email, reflow and unflow.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lintrel {

struct EmailCommand
{
    enum class Action { Wrap, Reflow, Unflow };
    Action action = Action::Wrap;
    int64_t width = 60;
    bool columns = false;           // measure in screen columns
    bool flowed = false;            // write format=flowed
    std::vector<std::string> files; // empty: standard input
};

// True when the arguments ask for an email command: "reflow", "unflow", or "wrap" with
// "--email" among its options (and no --help or --version, which the main parser answers).
bool isEmailCommand(const std::vector<std::string> &args);

// Throws UsageError (format_command.h) for bad usage.
EmailCommand parseEmailArguments(const std::vector<std::string> &args);

// Runs the command on each file in turn; returns 0, or 1 when a file could not be read (its
// error is reported on stderr and the next file is taken).
int runEmailCommand(const EmailCommand &command);

extern const char *const kEmailUsage;

} // namespace lintrel
