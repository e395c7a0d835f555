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
    for (const auto &group : {containerCommands(), brandCommands(), newsCommands()})
        commands.insert(commands.end(), group.begin(), group.end());
    return commands;
}

void printUsage(std::ostream &os, const std::vector<Command> &commands)
{
    os << "Usage: lintrel-brand COMMAND [OPTIONS] OPERANDS...\n"
          "\n"
          "The brand publisher's tool for Lintrel: the encrypted settings file (dbsettings.dat),\n"
          "the brand document inside it, the skin file and the brand's news service.\n"
          "\n"
          "Commands:\n";
    for (const Command &c : commands) {
        const std::string head = std::string(c.name) + " " + std::string(c.operands);
        if (head.size() > 26)
            os << "  " << head << "\n  " << std::string(26, ' ') << " " << c.summary << "\n";
        else
            os << "  " << std::left << std::setw(26) << head << " " << c.summary << "\n";
    }
    os << "\n"
          "show, lint and news take a file that decrypts with the password as a settings\n"
          "container (one failing only its authentication code is still read, as the program\n"
          "reads it, with a warning); any other file is read as a plain brand document.\n"
          "marker works on a private temporary copy of CONTAINER (any file name) with the\n"
          "program's own password and replaces CONTAINER all at once.\n"
          "\n"
          "Options (before or after the operands):\n"
          "  --password P, --password=P  use P (at most 128 bytes) instead of the program's\n"
          "                              settings password (not for marker)\n"
          "  --force                     decrypt: write the text of a damaged container anyway;\n"
          "                              new: replace an existing file\n"
          "  --timeout S                 news: give up after S seconds without an answer\n"
          "                              (default 60; 0 waits as long as the program does)\n"
          "  -h, --help                  show this help\n"
          "\n"
          "Exit status:\n"
          "  0   success; decrypt and verify: the password verifier and the code both match;\n"
          "      lint: no warnings\n"
          "  1   a file could not be opened, read, created or written (the reason follows\n"
          "      \"lintrel-brand:\" on standard error), or new would overwrite a file;\n"
          "      lint: warnings were printed; news: the request failed or the brand makes\n"
          "      no news requests\n"
          "  2   wrong password, or the file is not a settings container (decrypt, verify,\n"
          "      marker; marker without ID still prints what the program reads)\n"
          "  3   damaged container (decrypt then writes nothing unless --force is given;\n"
          "      marker stores nothing; show and lint print what the program reads)\n"
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
        const int code = command->run(rest, Output{std::cout, std::cerr});
        // Output cut short (a full disk, a closed pipe) must not pass for success.
        if (!std::cout.flush()) {
            std::cerr << "lintrel-brand: cannot write the standard output\n";
            return code == ExitOk ? ExitFileError : code;
        }
        return code;
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
