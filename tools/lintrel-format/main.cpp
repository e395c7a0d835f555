// lintrel-format: prints the statistics of a text or wraps its lines (entry point).
#include "format_command.h"

#include "util/app_version.h"

#include <cstdio>
#include <string>

int main(int argc, char **argv)
{
    using lintrel::FormatOptions;
    lintrel::FormatOptions options;
    try {
        options = lintrel::parseFormatArguments(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const lintrel::UsageError &e) {
        std::fprintf(stderr, "lintrel-format: %s\nTry 'lintrel-format --help'.\n",
                     e.message.c_str());
        return 2;
    }
    switch (options.action) {
    case FormatOptions::Action::Help:
        std::fputs(lintrel::kFormatUsage, stdout);
        return 0;
    case FormatOptions::Action::Version:
        std::printf("lintrel-format %s\n", std::string(lintrel::kAppVersion).c_str());
        return 0;
    default:
        return lintrel::runFormatCommand(options);
    }
}
