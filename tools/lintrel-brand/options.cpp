// Option parsing for lintrel-brand.
#include "options.h"

#include <algorithm>

namespace lintrel::brand_tool {

bool ParsedArgs::has(std::string_view flag) const
{
    return std::find(flags.begin(), flags.end(), flag) != flags.end();
}

const std::string *ParsedArgs::value(std::string_view name) const
{
    const auto it = values.find(name);
    return it == values.end() ? nullptr : &it->second;
}

namespace {

const OptionDef &findOption(std::span<const OptionDef> options, std::string_view name)
{
    for (const OptionDef &def : options)
        if (def.name == name)
            return def;
    throw UsageError("unknown option --" + std::string(name));
}

} // namespace

ParsedArgs parseArgs(std::span<const std::string> args, std::span<const OptionDef> options,
                     std::size_t minOperands, std::size_t maxOperands)
{
    ParsedArgs parsed;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.operands.push_back(arg);
            continue;
        }
        if (arg == "--help" || arg == "-h")
            throw HelpRequested{};
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0)
            throw UsageError("unknown option " + arg);
        const std::string_view body = std::string_view(arg).substr(2);
        const auto eq = body.find('=');
        const OptionDef &def = findOption(options, body.substr(0, eq));
        const std::string name(def.name);
        if (!def.takesValue) {
            if (eq != std::string_view::npos)
                throw UsageError("option --" + name + " takes no value");
            parsed.flags.push_back(name);
        } else if (eq != std::string_view::npos) {
            parsed.values[name] = std::string(body.substr(eq + 1));
        } else if (i + 1 < args.size()) {
            parsed.values[name] = args[++i];
        } else {
            throw UsageError("option --" + name + " needs a value");
        }
    }
    if (parsed.operands.size() < minOperands)
        throw UsageError("missing file operand");
    if (parsed.operands.size() > maxOperands)
        throw UsageError("extra operand '" + parsed.operands[maxOperands] + "'");
    return parsed;
}

} // namespace lintrel::brand_tool
