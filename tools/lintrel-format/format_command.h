// Command line of lintrel-format: parsing the arguments and running stats or wrap.
#pragma once

#include "formatter/unicode_text.h"

#include <cstdint>
#include <string>
#include <vector>

namespace lintrel {

struct FormatOptions
{
    enum class Action { Stats, Wrap, Help, Version };
    Action action = Action::Help;
    int64_t width = 60;
    Measure measure = Measure::Clusters;    // --columns: screen columns
    std::vector<std::string> files = {"-"}; // "-" is standard input
};

// Thrown for bad usage; what() is the message, the exit status is 2.
struct UsageError
{
    std::string message;
};

FormatOptions parseFormatArguments(const std::vector<std::string> &args);

// Runs the parsed command on every file in turn; returns the exit status (0, or 1 when a file
// could not be read, reported on stderr, or the output could not be written).
int runFormatCommand(const FormatOptions &options);

extern const char *const kFormatUsage;

} // namespace lintrel
