// The lintrel-brand subcommand table: each group of subcommands contributes its entries.
#pragma once

#include "options.h"

#include "brand/settings_file.h"

#include <span>
#include <string>
#include <string_view>
#include <sys/types.h>

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

// Brand documents and skins: show, lint, skin, new.
std::span<const Command> brandCommands();

// The news service and the last-news marker: news, marker.
std::span<const Command> newsCommands();

// A brand document as the tool read it from a file.
struct BrandInput
{
    std::string document;       // the plain document bytes
    bool fromContainer = false; // the file decrypted with the password
    bool damaged = false;       // ... but failed its authentication code
};

// Reads path as a settings container when it decrypts with password; a container that fails
// only its authentication code is still read (as the program reads it), with a warning on
// io.err. Any other file is taken as a plain document. Throws lintrel::Error when the file
// cannot be read.
BrandInput readBrandInput(const std::string &path, std::string_view password, Output io);

// --password VALUE, taken by every subcommand that opens a container.
inline constexpr OptionDef PasswordOption{"password", true};

// The value of --password, or the program's own settings password. Throws UsageError when it
// is longer than a container password may be.
std::string passwordOrDefault(const ParsedArgs &args);

} // namespace lintrel::brand_tool
