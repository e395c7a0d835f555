// The lintrel-brand subcommand table: each group of subcommands contributes its entries.
#pragma once

#include "options.h"

#include <span>
#include <string>
#include <string_view>

namespace lintrel::brand_tool {

struct Command
{
    std::string_view name;
    std::string_view operands; // e.g. "PLAIN CONTAINER"
    std::string_view summary;
    // Runs with the arguments after the subcommand name; returns the exit code. Throws
    // UsageError for bad usage.
    int (*run)(std::span<const std::string> args, Output io);
};

// The settings container: encrypt, decrypt, verify.
std::span<const Command> containerCommands();

} // namespace lintrel::brand_tool
