// lintrel-format: prints the statistics of a text, wraps or reflows it (entry point).
#include "email_command.h"
#include "format_command.h"

#include "util/app_version.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    using lintrel::FormatOptions;
    lintrel::FormatOptions options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (lintrel::isEmailCommand(args))
            return lintrel::runEmailCommand(lintrel::parseEmailArguments(args));
        options = lintrel::parseFormatArguments(args);
    } catch (const lintrel::UsageError &e) {
        std::fprintf(stderr, "lintrel-format: %s\nTry 'lintrel-format --help'.\n",
                     e.message.c_str());
        return 2;
    }
    switch (options.action) {
    case FormatOptions::Action::Help:
        std::fputs(lintrel::kFormatUsage, stdout);
        std::fputs(lintrel::kEmailUsage, stdout);
        return 0;
    case FormatOptions::Action::Version:
        std::printf("lintrel-format %s\n", std::string(lintrel::kAppVersion).c_str());
        return 0;
    default:
        return lintrel::runFormatCommand(options);
    }
}
