// Encryption and decryption of the settings container: in memory (what the program uses),
// between a container and a plain file, and the password-taking forms the tools use.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel {

// The program's settings password and chunk size.
inline constexpr std::string_view SettingsPassword = "pelmowtrax";
inline constexpr std::int32_t SettingsChunkSize = 0x40000;

enum class DecryptResult {
    Ok,
    WrongPassword, // the verifier does not match: wrong password or not a container
    Damaged,       // the code does not match, or the container is cut short
};

// Decrypts the container at sourcePath into a new plain file at destinationPath, created
// readable and writable by its owner only (an existing file is replaced). On WrongPassword
// the plain file is empty; on Damaged it holds the whole decrypted text. Throws
// lintrel::Error "Cannot open file ..." / "Cannot create file ..." (and "Cannot read/write
// file ..." when a read or write fails part way).
DecryptResult DecryptSettingsFile(const std::string &sourcePath,
                                  const std::string &destinationPath);

// Encrypts the plain file at sourcePath into a container at destinationPath with a fresh
// salt. The container is replaced all at once: on any failure the old one stays intact.
// Throws lintrel::Error as above.
void EncryptSettingsFile(const std::string &sourcePath, const std::string &destinationPath);

struct DecryptedSettings
{
    DecryptResult result = DecryptResult::WrongPassword;
    std::string document; // empty on WrongPassword; the whole text on Damaged
};

DecryptedSettings decryptSettings(std::span<const std::uint8_t> container,
                                  std::string_view password = SettingsPassword);
// Throws lintrel::Error when the password is longer than 128 bytes.
std::vector<std::uint8_t> encryptSettings(std::string_view document,
                                          std::string_view password = SettingsPassword);

// What decryptFile does with the text of a damaged container.
enum class DamagedOutput { Discard, Keep };

// Tool forms with a chosen password. decryptFile replaces destinationPath atomically and only
// when the result is Ok (or Damaged with Keep); verifyFile writes nothing.
DecryptResult decryptFile(const std::string &sourcePath, const std::string &destinationPath,
                          std::string_view password, DamagedOutput damaged);
DecryptResult verifyFile(const std::string &sourcePath, std::string_view password);
void encryptFile(const std::string &sourcePath, const std::string &destinationPath,
                 std::string_view password);

} // namespace lintrel
