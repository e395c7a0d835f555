// lintrel-format: reads the text as Import does, then prints its statistics or wraps it.
#include "format_command.h"
#include "line_breaks.h"
#include "text_input.h"

#include "formatter/line_wrap.h"
#include "formatter/text_file.h"
#include "formatter/text_stats.h"
#include "util/errors.h"
#include "util/file_io.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string_view>
#include <unistd.h>

namespace lintrel {

const char *const kFormatUsage =
    "Usage: lintrel-format stats [--columns] [FILE]...\n"
    "       lintrel-format wrap [-w N] [--columns] [FILE]...\n"
    "\n"
    "stats  prints the words, sentences, paragraphs, lines, characters and the length of\n"
    "       the longest line of the text; with several files, the counts of each under its\n"
    "       name and then their total.\n"
    "wrap   cuts every line longer than N characters (default 60), preferably after a\n"
    "       space, \".\", \":\" or \";\", and writes the text with its own line breaks: each\n"
    "       break as it was, and a cut as the break of its line (of the text's first\n"
    "       break for a last line without one). Several files are written one after\n"
    "       another.\n"
    "A character is what a reader sees as one (an extended grapheme cluster): a letter with\n"
    "its accents, a flag or a joined emoji counts once and is never cut.\n"
    "\n"
    "Options: -w N, -wN, --width N, --width=N   maximum line length (N >= 1)\n"
    "         --columns                        measure line lengths in screen columns: wide\n"
    "                                          characters and emoji take 2, invisible ones 0\n"
    "         --help                           show this help\n"
    "         --version                        show the version\n"
    "Without FILE, or with \"-\", the text is read from standard input. Bytes that are not\n"
    "UTF-8 are read as Windows-1252 characters; the output is UTF-8. A file that cannot be\n"
    "read is reported and the others are still processed; the exit status is then 1.\n";

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
    bool optionsEnded = false;
    options.files.clear();
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
        options.files.push_back(arg);
    }
    if (options.files.empty())
        options.files.push_back("-");
    return options;
}

namespace {

void writeOutput(std::string_view bytes)
{
    if (!writeAll(STDOUT_FILENO, bytes))
        throw Error(formatMessage("Cannot write the output. %s", {systemErrorText(errno)}));
}

// The six counts, under a heading line when there is one.
void printStats(const TextStats &s, const std::string &heading = {})
{
    if (!heading.empty())
        writeOutput(heading + ":\n");
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

// Wraps the text as it arrives, whole lines at a time, writing every line break back as it
// was and every cut as the break of its own line.
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
    // Called with text that ends in LF, or with the end of the text. Each run of lines that
    // end in the same style is wrapped with that style.
    void wrapAndWrite(std::string_view text)
    {
        out_.clear();
        for (size_t at = 0; at < text.size();) {
            const size_t firstBreak = findLineBreak(text, at);
            if (firstBreak == std::string_view::npos) { // a last line without a break
                appendWrappedText(out_, text.substr(at), width_, firstStyle_, measure_);
                break;
            }
            const std::string_view style = breakStyleAt(text, firstBreak);
            if (!sawBreak_)
                firstStyle_ = style;
            sawBreak_ = true;
            // The run ends at a line of another style, or before a last line without a break.
            size_t end = endOfBreakStyleRun(text, at, style);
            if (end == std::string_view::npos)
                end = text.find_last_of("\r\n") + 1;
            appendWrappedText(out_, text.substr(at, end - at), width_, style, measure_);
            at = end;
        }
        writeOutput(out_);
    }

    int64_t width_;
    Measure measure_;
    std::string_view firstStyle_ = "\n"; // LF for a text without breaks
    bool sawBreak_ = false;
    std::string pending_; // the unfinished last line
    std::string out_;
};

// Reads one operand into `sink`; reports a file error and returns false.
bool readOperand(const std::string &file, const std::function<void(std::string_view)> &sink)
{
    try {
        readImportedText(file, sink);
        return true;
    } catch (const Error &e) {
        std::fprintf(stderr, "lintrel-format: %s\n", e.what());
        return false;
    }
}

TextStats addStats(TextStats total, const TextStats &s)
{
    total.words += s.words;
    total.sentences += s.sentences;
    total.paragraphs += s.paragraphs;
    total.lines += s.lines;
    total.characters += s.characters;
    total.longestLine = std::max(total.longestLine, s.longestLine);
    return total;
}

// One file: its counts alone. Several: each under its name, a blank line, then the total.
bool runStats(const std::vector<std::string> &files, Measure measure)
{
    bool ok = true;
    TextStats total;
    for (const std::string &file : files) {
        TextStatsCounter counter(measure);
        if (!readOperand(file, [&](std::string_view piece) { counter.add(piece); })) {
            ok = false;
            continue;
        }
        const TextStats stats = counter.result();
        total = addStats(total, stats);
        printStats(stats, files.size() > 1 ? file : std::string());
        if (files.size() > 1)
            writeOutput("\n");
    }
    if (files.size() > 1)
        printStats(total, "total");
    return ok;
}

bool runWrap(const std::vector<std::string> &files, int64_t width, Measure measure)
{
    bool ok = true;
    for (const std::string &file : files) {
        WrapWriter writer(width, measure);
        if (readOperand(file, [&](std::string_view piece) { writer.add(piece); }))
            writer.finish();
        else
            ok = false;
    }
    return ok;
}

} // namespace

int runFormatCommand(const FormatOptions &options)
{
    // Text is taken as Import takes it; line breaks are not rewritten first, since counting
    // and wrapping treat CR LF, CR and LF alike, which gives what normalising would.
    try {
        const bool ok = options.action == FormatOptions::Action::Stats
                            ? runStats(options.files, options.measure)
                            : runWrap(options.files, options.width, options.measure);
        return ok ? 0 : 1;
    } catch (const Error &e) { // the output could not be written
        std::fprintf(stderr, "lintrel-format: %s\n", e.what());
        return 1;
    }
}

} // namespace lintrel
