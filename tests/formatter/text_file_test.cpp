// Tests of text files: UTF-8 validation, per-sequence decoding, line breaks, read, import, save.
#include "formatter/text_file.h"
#include "util/errors.h"

#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace lintrel {
namespace {

namespace fs = std::filesystem;

TEST(TextFile, Utf8Validation)
{
    const struct
    {
        std::string_view bytes;
        bool valid;
    } rows[] = {
        {"", true},
        {"plain ASCII text\r\n", true},
        {"caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", true},
        {"\xEF\xBF\xBF \xF4\x8F\xBF\xBF \xED\x9F\xBF", true}, // U+FFFF, U+10FFFF, U+D7FF
        {"\xC0\xAF", false},                                  // overlong "/"
        {"\xC1\xBF", false},                                  // overlong
        {"\xE0\x9F\xBF", false},                              // overlong 3-byte
        {"\xF0\x8F\xBF\xBF", false},                          // overlong 4-byte
        {"\xED\xA0\x80", false},                              // surrogate U+D800
        {"\xED\xBF\xBF", false},                              // surrogate U+DFFF
        {"\xF4\x90\x80\x80", false},                          // U+110000
        {"\xF5\x80\x80\x80", false},
        {"\xFF", false},
        {"abc\x80", false},          // lone continuation
        {"\xC3", false},             // truncated at the end
        {"\xE2\x82 x", false},       // truncated inside
        {"\xF0\x9F\x98\x41", false}, // bad last byte
    };
    // Every row alone and after ASCII of every length around the 16- and 64-byte blocks.
    for (const auto &row : rows) {
        for (size_t lead = 0; lead <= 70; ++lead) {
            const std::string bytes = std::string(lead, 'a') + std::string(row.bytes);
            SCOPED_TRACE(testing::PrintToString(bytes));
            ASSERT_EQ(isValidUtf8(bytes), row.valid);
            ASSERT_EQ(detail::isValidUtf8Scalar(bytes), row.valid);
            if (detail::cpuHasSsse3()) {
                ASSERT_EQ(detail::isValidUtf8Ssse3(bytes), row.valid);
            }
        }
    }
}

// The block validator against the one that reads a sequence at a time, on valid text with
// a byte changed, dropped or added here and there.
TEST(TextFile, Utf8BlockValidationMatchesSequenceBySequence)
{
    if (!detail::cpuHasSsse3())
        GTEST_SKIP() << "no SSSE3";
    std::mt19937_64 rng(8);
    const char *pieces[] = {"a",
                            " ",
                            "\r\n",
                            "\xC3\xA9",
                            "\xE2\x82\xAC",
                            "\xF0\x9F\x98\x80",
                            "\xED\x9F\xBF",
                            "\xEF\xBF\xBF",
                            "\xF4\x8F\xBF\xBF",
                            "\xC2\x80"};
    int invalid = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        const size_t count = rng() % 60;
        for (size_t i = 0; i < count; ++i)
            text += pieces[rng() % std::size(pieces)];
        for (int edits = int(rng() % 3); edits > 0 && !text.empty(); --edits) {
            const size_t at = rng() % text.size();
            switch (rng() % 3) {
            case 0:
                text[at] = char(rng());
                break;
            case 1:
                text.erase(at, 1);
                break;
            default:
                text.insert(at, 1, char(0x80 + rng() % 0x80));
                break;
            }
        }
        const bool expected = detail::isValidUtf8Scalar(text);
        invalid += expected ? 0 : 1;
        ASSERT_EQ(detail::isValidUtf8Ssse3(text), expected) << testing::PrintToString(text);
    }
    EXPECT_GT(invalid, 1000); // both outcomes were tried
}

TEST(TextFile, DecodesEachUtf8SequenceElseWindows1252)
{
    const struct
    {
        std::string_view bytes, text;
    } rows[] = {
        {"caf\xC3\xA9", "caf\xC3\xA9"},
        {"\xEF\xBB\xBFHello", "Hello"}, // byte-order mark dropped
        {"\xEF\xBB\xBF", ""},
        {"caf\xE9", "caf\xC3\xA9"},                                       // Latin-1 range
        {"\x80 \x9F \xA0\xFF", "\xE2\x82\xAC \xC5\xB8 \xC2\xA0\xC3\xBF"}, // euro, Y diaeresis
        {"\x93quoted\x94 \x96 \x85", "\xE2\x80\x9Cquoted\xE2\x80\x9D \xE2\x80\x93 \xE2\x80\xA6"},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"}, // unassigned bytes
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"}, // an overlong form is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
        // Mostly UTF-8 with a stray byte: only that byte is read as Windows-1252.
        {"r\xC3\xA9sum\xC3\xA9 caf\xE9", "r\xC3\xA9sum\xC3\xA9 caf\xC3\xA9"},
        {"\xE2\x82\xAC \x80 \xF0\x9F\x98\x80\x9D",
         "\xE2\x82\xAC \xE2\x82\xAC \xF0\x9F\x98\x80\xC2\x9D"},
        {"\xEF\xBB\xBF"
         "caf\xE9",
         "caf\xC3\xA9"},                          // the mark is dropped from any file
        {"ab\xE2\x82", "ab\xC3\xA2\xE2\x80\x9A"}, // a sequence cut short by the end
        {"\xC3\xA9\xA9", "\xC3\xA9\xC2\xA9"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::string(row.bytes)));
        EXPECT_EQ(decodeTextBytes(row.bytes), row.text);
        EXPECT_TRUE(isValidUtf8(decodeTextBytes(row.bytes)));
    }
}

// Decoding a text in pieces, split anywhere, gives what decoding it whole gives.
TEST(TextFile, DecodesPiecesAsTheWhole)
{
    static constexpr std::string_view kParts[] = {
        "a",        " ",        "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80", "\xE9",
        "\xE2\x82", "\xF0\x9F", "\xFF",     "\xC3",
    };
    std::mt19937_64 rng(13);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        for (size_t n = rng() % 60; n > 0; --n)
            bytes += kParts[rng() % std::size(kParts)];
        std::string pieces;
        size_t at = 0;
        while (at < bytes.size()) {
            const size_t take = std::min(bytes.size() - at, size_t(1 + rng() % 7));
            // What a piece leaves is handed over again with the next one.
            const std::string_view piece = std::string_view(bytes).substr(at, take);
            at += appendDecodedText(pieces, piece, at + take == bytes.size());
        }
        ASSERT_EQ(pieces, decodeTextBytes(bytes)) << testing::PrintToString(bytes);
    }
}

TEST(TextFile, NormalizesLineBreaks)
{
    EXPECT_EQ(normalizeLineBreaks("a\nb\rc\r\nd\n\re\r\r\n"), "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n");
    EXPECT_EQ(normalizeLineBreaks("a\r\nb\r", "\n"), "a\nb\n");
    EXPECT_EQ(normalizeLineBreaks("no breaks"), "no breaks");
    EXPECT_EQ(normalizeLineBreaks(""), "");
    EXPECT_EQ(detectLineBreak("a\r\nb\n"), "\r\n");
    EXPECT_EQ(detectLineBreak("a\nb\r\n"), "\n");
    EXPECT_EQ(detectLineBreak("a\rb"), "\r");
    EXPECT_EQ(detectLineBreak("ab\r"), "\r");
    EXPECT_EQ(detectLineBreak("ab"), "");
}

using TextFileIo = test::TempFolderTest;

std::string messageOf(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Error &e) {
        return e.what();
    }
    return "(no error)";
}

TEST_F(TextFileIo, ReadsAndImportsWholeFiles)
{
    std::string big(3 << 20, 'x');
    big[12345] = '\n';
    EXPECT_EQ(readTextFile(put("big.txt", big)), big);
    EXPECT_EQ(readTextFile(put("empty.txt", "")), "");
    const std::string raw = "\xEF\xBB\xBFline\none\r\n\xC3\xA9\r";
    EXPECT_EQ(readTextFile(put("raw.txt", raw)), raw);
    EXPECT_EQ(importTextFile(put("a.txt", raw)), "line\r\none\r\n\xC3\xA9\r\n");
    EXPECT_EQ(importTextFile(put("b.txt", "caf\xE9\n"), "\n"), "caf\xC3\xA9\n");
}

TEST_F(TextFileIo, ImportDecodesEachSequence)
{
    const struct
    {
        const char *name;
        std::string_view bytes, text;
    } rows[] = {
        {"one-bad-byte.txt", "R\xC3\xA9sum\xC3\xA9 \x96 na\xC3\xAFve\n",
         "R\xC3\xA9sum\xC3\xA9 \xE2\x80\x93 na\xC3\xAFve\r\n"},
        {"windows-1252.txt", "Caf\xE9 \x93quoted\x94\r\n\x80 5",
         "Caf\xC3\xA9 \xE2\x80\x9Cquoted\xE2\x80\x9D\r\n\xE2\x82\xAC 5"},
        {"bom.txt", "\xEF\xBB\xBFHello \xE4\xBD\xA0\xE5\xA5\xBD\r\n",
         "Hello \xE4\xBD\xA0\xE5\xA5\xBD\r\n"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(importTextFile(put(row.name, row.bytes)), row.text);
    }
}

TEST_F(TextFileIo, ReportsFilesThatCannotBeRead)
{
    const std::string missing = (dir_ / "missing.txt").string();
    EXPECT_EQ(messageOf([&] { readTextFile(missing); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(messageOf([&] { readTextFile(dir_.string()); }),
              "Cannot open file \"" + dir_.string() + "\". Is a directory");
}

TEST_F(TextFileIo, RefusesTextBeyondMemoCapacity)
{
    const std::string atLimit = put("limit.txt", std::string(kMemoCapacity, 'a'));
    EXPECT_EQ(importTextFile(atLimit).size(), kMemoCapacity);
    // Normalising LF to CR LF pushes this one over the limit.
    const std::string over = put("over.txt", std::string(kMemoCapacity - 1, 'a') + "\n");
    EXPECT_EQ(messageOf([&] { importTextFile(over); }), "Text exceeds memo capacity");
}

TEST_F(TextFileIo, SavesAndReadsBackTheSameText)
{
    const std::string path = (dir_ / "letter.txt").string();
    const std::string text = "Dear Ann,\r\n\r\ncaf\xC3\xA9 \xF0\x9F\x98\x80";
    writeTextFile(path, text);
    EXPECT_EQ(readTextFile(path), text);
    EXPECT_EQ(importTextFile(path), text);
    writeTextFile(path, "short");
    EXPECT_EQ(readTextFile(path), "short");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1)
        << "no temporary file left behind";
    const std::string bad = (dir_ / "no-such-dir" / "x.txt").string();
    EXPECT_EQ(messageOf([&] { writeTextFile(bad, "x"); }),
              "Cannot create file \"" + bad + "\". No such file or directory");
}

TEST_F(TextFileIo, ShortWriteIsAStreamWriteErrorAndKeepsTheOldFile)
{
    const std::string path = put("kept.txt", "old text");
    // A file size limit makes the write stop short, as a full disk would.
    struct rlimit old
    {
    };
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = old;
    small.rlim_cur = 16;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = messageOf([&] { writeTextFile(path, std::string(1000, 'x')); });
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(readTextFile(path), "old text");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(TextFileIo, SavesThroughALinkAndKeepsTheFileMode)
{
    fs::create_directory(dir_ / "real");
    const fs::path target = put("real/letter.txt", "old");
    ::chmod(target.c_str(), 0640);
    const fs::path link = dir_ / "letter.txt";
    fs::create_symlink(target, link);

    writeTextFile(link.string(), "new text");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(fs::read_symlink(link), target);
    EXPECT_EQ(readTextFile(target.string()), "new text");
    struct stat st = {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// What a call threw in a child process running as the unprivileged user, with writes past
// fileSizeLimit bytes failing (0: no limit).
std::string messageAsNobody(const std::function<void()> &call, rlim_t fileSizeLimit = 0)
{
    constexpr uid_t kNobody = 65534;
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string message = "cannot drop privileges";
        if (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0) {
            if (fileSizeLimit != 0) {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            }
            message = messageOf(call);
        }
        (void)!::write(fds[1], message.data(), message.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string message;
    char buffer[512];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        message.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    ::waitpid(child, nullptr, 0);
    return message;
}

TEST_F(TextFileIo, SavesInPlaceInAFolderItMayNotWrite)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs a folder the test may change but the writer may not";
    // The folder is root's and closed to others; the file is open to everyone.
    ::chmod(dir_.c_str(), 0755);
    const std::string path = put("open.txt", "old text, longer than the new");
    ::chmod(path.c_str(), 0666);
    struct stat before = {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);

    EXPECT_EQ(messageAsNobody([&] { writeTextFile(path, "new"); }), "(no error)");
    EXPECT_EQ(readTextFile(path), "new");
    struct stat after = {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    // A short write there is the same error as anywhere.
    EXPECT_EQ(messageAsNobody([&] { writeTextFile(path, std::string(1000, 'x')); }, 16),
              "Stream write error");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

} // namespace
} // namespace lintrel
