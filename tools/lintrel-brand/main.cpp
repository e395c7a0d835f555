// lintrel-brand: dispatches to the subcommand named by the first argument.
#include "commands.h"

#include <iomanip>
#include <iostream>
#include <vector>

namespace lintrel::brand_tool {
namespace {

std::vector<Command> allCommands()
{
    std::vector<Command> commands;
    for (const auto &group : {containerCommands()})
        commands.insert(commands.end(), group.begin(), group.end());
    return commands;
}

void printUsage(std::ostream &os, const std::vector<Command> &commands)
{
    os << "Usage: lintrel-brand COMMAND [OPTIONS] OPERANDS...\n"
          "\n"
          "The brand publisher's tool for Lintrel's encrypted settings file (dbsettings.dat).\n"
          "\n"
          "Commands:\n";
    for (const Command &c : commands) {
        const std::string head = std::string(c.name) + " " + std::string(c.operands);
        os << "  " << std::left << std::setw(26) << head << " " << c.summary << "\n";
    }
    os << "\n"
          "Options (before or after the operands):\n"
          "  --password P, --password=P  use P (at most 128 bytes) instead of the program's\n"
          "                              settings password\n"
          "  --force                     decrypt: write the text of a damaged container anyway\n"
          "  -h, --help                  show this help\n"
          "\n"
          "Exit status:\n"
          "  0   success; decrypt and verify: the password verifier and the code both match\n"
          "  1   a file could not be opened, read, created or written\n"
          "  2   wrong password, or the file is not a settings container\n"
          "  3   damaged container (decrypt then writes nothing unless --force is given)\n"
          "  64  bad usage (EX_USAGE)\n";
}

bool isHelp(const std::string &arg)
{
    return arg == "--help" || arg == "-h" || arg == "help";
}

int run(const std::vector<std::string> &args)
{
    const std::vector<Command> commands = allCommands();
    if (!args.empty() && isHelp(args[0])) {
        printUsage(std::cout, commands);
        return ExitOk;
    }
    const Command *command = nullptr;
    for (const Command &c : commands)
        if (!args.empty() && c.name == args[0])
            command = &c;
    const std::span<const std::string> rest =
        args.empty() ? std::span<const std::string>() : std::span(args).subspan(1);
    try {
        if (command == nullptr)
            throw UsageError(args.empty() ? "missing command"
                                          : "unknown command '" + args[0] + "'");
        return command->run(rest, Output{std::cout, std::cerr});
    } catch (const HelpRequested &) {
        printUsage(std::cout, commands);
        return ExitOk;
    } catch (const UsageError &e) {
        std::cerr << "lintrel-brand: " << e.what() << "\n\n";
        printUsage(std::cerr, commands);
        return ExitUsage;
    }
}

} // namespace
} // namespace lintrel::brand_tool

int main(int argc, char **argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    return lintrel::brand_tool::run(args);
}
