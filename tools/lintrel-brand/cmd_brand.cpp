// lintrel-brand show / lint / skin / new: the brand document as the program reads it, its
// mistakes, the skin file and a starting document; and reading a brand from a file.
#include "commands.h"

#include "brand/aes_lib/container.h"
#include "brand/brand_lint.h"
#include "brand/brand_loader.h"
#include "brand/brand_report.h"
#include "brand/brand_skin.h"
#include "brand/brand_template.h"
#include "util/atomic_file.h"
#include "util/errors.h"
#include "util/exe_dir.h"
#include "util/file_io.h"

#include <cstdint>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace lintrel::brand_tool {

namespace {

constexpr OptionDef ForceOpt{"force", false};

std::span<const std::uint8_t> asBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t *>(text.data()), text.size()};
}

bool holdsTags(std::string_view text)
{
    return text.find("<%%") != std::string_view::npos;
}

bool isRegularFile(const std::string &path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder a file lives in: banner<N>.dat pictures are looked for there.
std::string folderOf(const std::string &path)
{
    const std::string parent = std::filesystem::path(path).parent_path().string();
    return parent.empty() ? "." : parent;
}

int fileError(const Error &e, Output io)
{
    io.err << "lintrel-brand: " << e.what() << "\n";
    return ExitFileError;
}

int runShow(std::span<const std::string> argv, Output io)
{
    const OptionDef options[] = {PasswordOption};
    const ParsedArgs args = parseArgs(argv, options, 1, 1);
    const std::string password = passwordOrDefault(args);
    try {
        const BrandInput input = readBrandInput(args.operands[0], password, io);
        io.out << brandReport(readBrandDocument(input.document));
        return input.damaged ? ExitDamaged : ExitOk;
    } catch (const Error &e) {
        return fileError(e, io);
    }
}

int runLint(std::span<const std::string> argv, Output io)
{
    const OptionDef options[] = {PasswordOption};
    const ParsedArgs args = parseArgs(argv, options, 1, 1);
    const std::string password = passwordOrDefault(args);
    const std::string &path = args.operands[0];
    try {
        const BrandInput input = readBrandInput(path, password, io);
        const std::string folder = folderOf(path);
        const auto warnings = lintBrandDocument(input.document, [&](const std::string &name) {
            return isRegularFile(joinPath(folder, name));
        });
        for (const LintWarning &w : warnings)
            io.out << path << ": " << w.message << "\n";
        if (input.damaged)
            return ExitDamaged;
        return warnings.empty() ? ExitOk : ExitFileError;
    } catch (const Error &e) {
        return fileError(e, io);
    }
}

int runSkin(std::span<const std::string> argv, Output io)
{
    const ParsedArgs args = parseArgs(argv, {}, 2, 2);
    try {
        replaceFile(args.operands[1], compressSkin(readFile(args.operands[0])));
        return ExitOk;
    } catch (const Error &e) {
        return fileError(e, io);
    }
}

int runNew(std::span<const std::string> argv, Output io)
{
    const OptionDef options[] = {ForceOpt};
    const ParsedArgs args = parseArgs(argv, options, 1, 1);
    const std::string &path = args.operands[0];
    struct stat st
    {
    };
    if (!args.has("force") && ::lstat(path.c_str(), &st) == 0) {
        io.err << "lintrel-brand: " << path << " already exists; give --force to replace it\n";
        return ExitFileError;
    }
    try {
        // The user fills in publisher ids and links here: private from the start.
        replaceFile(path, brandTemplate(), 0600);
        return ExitOk;
    } catch (const Error &e) {
        return fileError(e, io);
    }
}

constexpr Command Commands[] = {
    {"show", "CONTAINER|DOCUMENT", "the brand settings as the program reads them", runShow},
    {"lint", "CONTAINER|DOCUMENT", "warn about mistakes the program accepts silently", runLint},
    {"skin", "STYLE.qss SKINFILE", "compress a Qt style sheet into a skin file", runSkin},
    {"new", "DOCUMENT", "write a commented starting brand document", runNew},
};

} // namespace

std::span<const Command> brandCommands()
{
    return Commands;
}

std::string passwordOrDefault(const ParsedArgs &args)
{
    const std::string *given = args.value("password");
    std::string password = given ? *given : std::string(SettingsPassword);
    if (password.size() > aes_lib::MaxPasswordLength)
        throw UsageError("the password is longer than 128 bytes");
    return password;
}

BrandInput readBrandInput(const std::string &path, std::string_view password, Output io)
{
    std::string bytes = readFile(path);
    DecryptedSettings opened = decryptSettings(asBytes(bytes), password);
    // The verifier is only two bytes, so about one plain document in 65536 passes it and then
    // fails the code: such a file is still a plain document when only its raw bytes hold tags.
    const bool plainLookalike =
        opened.result == DecryptResult::Damaged && holdsTags(bytes) && !holdsTags(opened.document);
    if (opened.result == DecryptResult::Ok)
        return {std::move(opened.document), true, false};
    if (opened.result == DecryptResult::Damaged && !plainLookalike) {
        io.err << "lintrel-brand: " << path
               << ": damaged container (authentication code mismatch or file cut short); "
                  "reading its text as the program does\n";
        return {std::move(opened.document), true, true};
    }
    if (!holdsTags(bytes))
        io.err << "lintrel-brand: " << path
               << ": does not decrypt with the password and holds no brand fields as a plain "
                  "document (wrong --password?)\n";
    return {std::move(bytes), false, false};
}

} // namespace lintrel::brand_tool
