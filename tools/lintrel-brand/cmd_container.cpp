// lintrel-brand encrypt / decrypt / verify: the settings container with the program's
// password or one given with --password.
#include "commands.h"

#include "brand/aes_lib/container.h"
#include "brand/settings_file.h"
#include "util/errors.h"

namespace lintrel::brand_tool {

namespace {

constexpr OptionDef ForceOption{"force", false};

// Exit code and message for a verdict on the container at path.
int report(DecryptResult result, const std::string &path, Output io, bool forced)
{
    switch (result) {
    case DecryptResult::Ok:
        return ExitOk;
    case DecryptResult::WrongPassword:
        io.err << "lintrel-brand: " << path
               << ": wrong password, or not a settings container (password verifier mismatch)\n";
        return ExitWrongPassword;
    case DecryptResult::Damaged:
        io.err << "lintrel-brand: " << path
               << ": damaged container (authentication code mismatch or file cut short)"
               << (forced ? "; the decrypted text was written anyway" : "") << "\n";
        return ExitDamaged;
    }
    return ExitDamaged;
}

int runEncrypt(std::span<const std::string> argv, Output io)
{
    const OptionDef options[] = {PasswordOption};
    const ParsedArgs args = parseArgs(argv, options, 2, 2);
    const std::string password = passwordOrDefault(args);
    try {
        encryptFile(args.operands[0], args.operands[1], password);
    } catch (const Error &e) {
        io.err << "lintrel-brand: " << e.what() << "\n";
        return ExitFileError;
    }
    return ExitOk;
}

int runDecrypt(std::span<const std::string> argv, Output io)
{
    const OptionDef options[] = {PasswordOption, ForceOption};
    const ParsedArgs args = parseArgs(argv, options, 2, 2);
    const std::string password = passwordOrDefault(args);
    const bool force = args.has("force");
    try {
        const DecryptResult result =
            decryptFile(args.operands[0], args.operands[1], password,
                        force ? DamagedOutput::Keep : DamagedOutput::Discard);
        return report(result, args.operands[0], io, force);
    } catch (const Error &e) {
        io.err << "lintrel-brand: " << e.what() << "\n";
        return ExitFileError;
    }
}

int runVerify(std::span<const std::string> argv, Output io)
{
    const OptionDef options[] = {PasswordOption};
    const ParsedArgs args = parseArgs(argv, options, 1, 1);
    const std::string password = passwordOrDefault(args);
    try {
        const int code =
            report(verifyFile(args.operands[0], password), args.operands[0], io, false);
        if (code == ExitOk)
            io.out << args.operands[0] << ": OK\n";
        return code;
    } catch (const Error &e) {
        io.err << "lintrel-brand: " << e.what() << "\n";
        return ExitFileError;
    }
}

constexpr Command Commands[] = {
    {"encrypt", "PLAIN CONTAINER", "encrypt a plain brand document into a settings container",
     runEncrypt},
    {"decrypt", "CONTAINER PLAIN", "decrypt a settings container into a plain document",
     runDecrypt},
    {"verify", "CONTAINER", "check the password verifier and the authentication code", runVerify},
};

} // namespace

std::span<const Command> containerCommands()
{
    return Commands;
}

} // namespace lintrel::brand_tool
