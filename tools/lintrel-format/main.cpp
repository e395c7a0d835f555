// lintrel-format: prints the statistics of a text or wraps its lines (entry point).
#include "format_command.h"

#include <cstdio>

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
        std::puts("lintrel-format " LINTREL_APP_VERSION);
        return 0;
    default:
        return lintrel::runFormatCommand(options);
    }
}
