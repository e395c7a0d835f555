// lintrel-format: reads the text as Import does, then prints its statistics or wraps it.
#include "format_command.h"
#include "text_input.h"

#include "formatter/line_wrap.h"
#include "formatter/text_file.h"
#include "formatter/text_stats.h"
#include "util/errors.h"
#include "util/file_io.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <unistd.h>

namespace lintrel {

const char *const kFormatUsage =
    "Usage: lintrel-format stats [--columns] [FILE]\n"
    "       lintrel-format wrap [-w N] [--columns] [FILE]\n"
    "\n"
    "stats  prints the words, sentences, paragraphs, lines, characters and the length of\n"
    "       the longest line of the text.\n"
    "wrap   cuts every line longer than N characters (default 60), preferably after a\n"
    "       space, \".\", \":\" or \";\", and writes the text with its own line breaks.\n"
    "A character is what a reader sees as one (an extended grapheme cluster): a letter with\n"
    "its accents, a flag or a joined emoji counts once and is never cut.\n"
    "\n"
    "Options: -w N, -wN, --width N, --width=N   maximum line length (N >= 1)\n"
    "         --columns                        measure line lengths in screen columns: wide\n"
    "                                          characters and emoji take 2, invisible ones 0\n"
    "         --help                           show this help\n"
    "         --version                        show the version\n"
    "Without FILE, or with \"-\", the text is read from standard input. Bytes that are not\n"
    "UTF-8 are read as Windows-1252 characters; the output is UTF-8.\n";

namespace {

int64_t parseWidth(std::string_view text)
{
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1)
        throw UsageError{"invalid line width '" + std::string(text) +
                         "' (expected a whole number of at least 1)"};
    return value;
}

// Reads the width option at args[i]; returns true when it was one, moving i past its value.
bool takeWidthOption(const std::vector<std::string> &args, size_t &i, int64_t &width)
{
    const std::string &arg = args[i];
    std::string_view value;
    if (arg == "-w" || arg == "--width") {
        if (i + 1 >= args.size())
            throw UsageError{"option '" + arg + "' needs a value"};
        value = args[++i];
    } else if (arg.starts_with("--width=")) {
        value = std::string_view(arg).substr(8);
    } else if (arg.starts_with("-w")) {
        value = std::string_view(arg).substr(2);
    } else {
        return false;
    }
    width = parseWidth(value);
    return true;
}

} // namespace

FormatOptions parseFormatArguments(const std::vector<std::string> &args)
{
    FormatOptions options;
    for (const std::string &arg : args) {
        if (arg == "--")
            break;
        if (arg == "--help" || arg == "-h")
            return options;
        if (arg == "--version") {
            options.action = FormatOptions::Action::Version;
            return options;
        }
    }
    if (args.empty())
        throw UsageError{"missing command (stats or wrap)"};
    if (args[0] == "stats")
        options.action = FormatOptions::Action::Stats;
    else if (args[0] == "wrap")
        options.action = FormatOptions::Action::Wrap;
    else
        throw UsageError{"unknown command '" + args[0] + "'"};
    bool haveFile = false, optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && options.action == FormatOptions::Action::Wrap &&
            takeWidthOption(args, i, options.width))
            continue;
        if (!optionsEnded && arg == "--columns") {
            options.measure = Measure::Columns;
            continue;
        }
        if (!optionsEnded && arg.size() > 1 && arg[0] == '-')
            throw UsageError{"unknown option '" + arg + "'"};
        if (haveFile)
            throw UsageError{"unexpected argument '" + arg + "'"};
        options.file = arg;
        haveFile = true;
    }
    return options;
}

namespace {

void writeOutput(std::string_view bytes)
{
    if (!writeAll(STDOUT_FILENO, bytes))
        throw Error(formatMessage("Cannot write the output. %s", {systemErrorText(errno)}));
}

void printStats(const TextStats &s)
{
    char out[512];
    const int n = std::snprintf(
        out, sizeof out,
        "Words: %lld\nSentences: %lld\nParagraphs: %lld\nLines: %lld\nCharacters: %lld\n"
        "Longest Line: %lld\n",
        static_cast<long long>(s.words), static_cast<long long>(s.sentences),
        static_cast<long long>(s.paragraphs), static_cast<long long>(s.lines),
        static_cast<long long>(s.characters), static_cast<long long>(s.longestLine));
    writeOutput(std::string_view(out, size_t(n)));
}

// Wraps the text as it arrives, whole lines at a time, and writes every line break in the
// style of the text's first one (LF when it has none).
class WrapWriter
{
public:
    WrapWriter(int64_t width, Measure measure) : width_(width), measure_(measure) {}

    void add(std::string_view piece)
    {
        const size_t lastLf = piece.rfind('\n');
        if (lastLf == std::string_view::npos) {
            pending_.append(piece);
            return;
        }
        // Lines wrap independently: finish the pending line with the piece's first line,
        // then wrap the piece's other whole lines where they lie.
        size_t start = 0;
        if (!pending_.empty()) {
            start = piece.find('\n') + 1;
            pending_.append(piece, 0, start);
            wrapAndWrite(pending_);
        }
        wrapAndWrite(piece.substr(start, lastLf + 1 - start));
        pending_.assign(piece.substr(lastLf + 1));
    }

    void finish() { wrapAndWrite(pending_); }

private:
    // Called with text that ends in LF, or with the end of the text: its first line break is
    // then complete.
    void wrapAndWrite(std::string_view text)
    {
        if (newline_.empty()) {
            newline_ = detectLineBreak(text);
            if (newline_.empty() && !text.empty())
                newline_ = "\n";
        }
        out_.clear();
        appendWrappedText(out_, text, width_, newline_.empty() ? "\n" : newline_, measure_);
        writeOutput(out_);
    }

    int64_t width_;
    Measure measure_;
    std::string_view newline_;
    std::string pending_; // the unfinished last line
    std::string out_;
};

void printStatsOf(const FormatOptions &options)
{
    withInputBytes(options.file, [&](std::string_view all) {
        // UTF-8 counts as it lies, and counting finds out whether it is: one pass over the
        // bytes in the common case, a second over the decoded text otherwise.
        TextStatsCounter counter(options.measure);
        counter.add(all.starts_with(kByteOrderMark) ? all.substr(kByteOrderMark.size()) : all);
        if (counter.sawMalformed()) {
            counter = TextStatsCounter(options.measure);
            handOverImported(all, [&](std::string_view piece) { counter.add(piece); });
        }
        printStats(counter.result());
    });
}

} // namespace

int runFormatCommand(const FormatOptions &options)
{
    // Text is taken as Import takes it; line breaks are not rewritten first, since counting
    // and wrapping treat CR LF, CR and LF alike, which gives what normalising would.
    try {
        if (options.action == FormatOptions::Action::Stats) {
            printStatsOf(options);
        } else {
            WrapWriter writer(options.width, options.measure);
            readImportedText(options.file, [&](std::string_view piece) { writer.add(piece); });
            writer.finish();
        }
    } catch (const Error &e) {
        std::fprintf(stderr, "lintrel-format: %s\n", e.what());
        return 1;
    }
    return 0;
}

} // namespace lintrel
