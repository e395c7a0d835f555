// lintrel-format's email commands: parsing their arguments and running them file by file.
#include "email_command.h"
#include "format_command.h"
#include "text_input.h"

#include "formatter/email_wrap.h"
#include "formatter/flowed.h"
#include "formatter/text_file.h"
#include "util/errors.h"

#include <cerrno>
#include <charconv>
#include <cstdio>

namespace lintrel {

const char *const kEmailUsage =
    "\n"
    "Email commands:\n"
    "  lintrel-format wrap --email [-w N] [--columns] [--flowed] [FILE...]\n"
    "  lintrel-format reflow [-w N] [--columns] [--flowed] [FILE...]\n"
    "  lintrel-format unflow [FILE...]\n"
    "\n"
    "wrap --email  wraps with the email rules: quoted lines keep their prefix, links and\n"
    "              addresses are never cut, list items hang, indented code and the\n"
    "              signature (from the line \"-- \" on) stay as they are.\n"
    "reflow        joins the lines of each paragraph, then wraps it with the email rules.\n"
    "unflow        reads format=flowed text and writes each paragraph as one line.\n"
    "Options: --flowed    write format=flowed (RFC 3676, DelSp=No)\n"
    "         --columns   count screen columns instead of characters\n"
    "Each FILE is taken as one email; after a file that cannot be read the others are\n"
    "still done and the exit status is 1.\n";

namespace {

int64_t parseWidthValue(const std::string &text)
{
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1)
        throw UsageError{"invalid line width '" + text +
                         "' (expected a whole number of at least 1)"};
    return value;
}

// Reads one option at args[i] (moving i past a separate value); false when it is none.
bool takeOption(const std::vector<std::string> &args, size_t &i, EmailCommand &command)
{
    const std::string &arg = args[i];
    const bool wraps = command.action != EmailCommand::Action::Unflow;
    if (arg == "--email" && command.action == EmailCommand::Action::Wrap)
        return true;
    if (wraps && (arg == "--flowed" || arg == "--columns")) {
        (arg == "--flowed" ? command.flowed : command.columns) = true;
        return true;
    }
    if (!wraps)
        return false;
    if (arg == "-w" || arg == "--width") {
        if (i + 1 >= args.size())
            throw UsageError{"option '" + arg + "' needs a value"};
        command.width = parseWidthValue(args[++i]);
    } else if (arg.starts_with("--width=")) {
        command.width = parseWidthValue(arg.substr(8));
    } else if (arg.starts_with("-w")) {
        command.width = parseWidthValue(arg.substr(2));
    } else {
        return false;
    }
    return true;
}

void writeOut(std::string_view bytes)
{
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() ||
        std::fflush(stdout) != 0)
        throw Error(formatMessage("Cannot write the output. %s", {systemErrorText(errno)}));
}

std::string runOn(const EmailCommand &command, const std::string &text)
{
    std::string_view newline = detectLineBreak(text);
    if (newline.empty())
        newline = "\n";
    if (command.action == EmailCommand::Action::Unflow)
        return unflowText(text, newline);
    const EmailWrapOptions options{
        command.width, &charMeasure(command.columns ? Measure::Columns : Measure::Clusters),
        command.flowed, newline};
    return command.action == EmailCommand::Action::Reflow ? emailReflow(text, options)
                                                          : emailFormat(text, options);
}

} // namespace

bool isEmailCommand(const std::vector<std::string> &args)
{
    for (size_t i = 0; i < args.size() && args[i] != "--"; ++i)
        if (args[i] == "--help" || args[i] == "-h" || args[i] == "--version")
            return false;
    if (args.empty())
        return false;
    if (args[0] == "reflow" || args[0] == "unflow")
        return true;
    for (size_t i = 1; i < args.size() && args[0] == "wrap" && args[i] != "--"; ++i)
        if (args[i] == "--email")
            return true;
    return false;
}

EmailCommand parseEmailArguments(const std::vector<std::string> &args)
{
    EmailCommand command;
    command.action = args[0] == "reflow"   ? EmailCommand::Action::Reflow
                     : args[0] == "unflow" ? EmailCommand::Action::Unflow
                                           : EmailCommand::Action::Wrap;
    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (optionsEnded || arg == "-" || !arg.starts_with('-')) {
            command.files.push_back(arg);
        } else if (!takeOption(args, i, command)) {
            throw UsageError{"unknown option '" + arg + "'"};
        }
    }
    return command;
}

int runEmailCommand(const EmailCommand &command)
{
    const std::vector<std::string> files =
        command.files.empty() ? std::vector<std::string>{"-"} : command.files;
    int status = 0;
    for (const std::string &file : files) {
        try {
            std::string text;
            readImportedText(file, [&](std::string_view piece) { text += piece; });
            writeOut(runOn(command, text));
        } catch (const Error &e) {
            std::fprintf(stderr, "lintrel-format: %s\n", e.what());
            status = 1;
        }
    }
    return status;
}

} // namespace lintrel
