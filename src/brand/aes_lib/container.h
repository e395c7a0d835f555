// The settings container engine: TCrypt (keys, counter-mode keystream, code) and
// TEncryption (salt pool, EncryptStream / DecryptStream over streams in chunks).
//
// Container layout: salt (S bytes) | verifier (2) | ciphertext (n) | code (10), where the
// password length selects the mode: below 32 bytes AES-128 with an 8-byte salt, below 48
// AES-192 with 12, otherwise AES-256 with 16. There is no magic number or length field.
#pragma once

#include "brand/aes_lib/aes.h"
#include "brand/aes_lib/hmac_sha1.h"
#include "brand/aes_lib/salt_pool.h"
#include "brand/aes_lib/stream.h"

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace lintrel::aes_lib {

inline constexpr std::size_t MaxPasswordLength = 128;
inline constexpr std::size_t ContainerVerifierSize = 2;
inline constexpr std::size_t ContainerCodeSize = 10;
inline constexpr std::uint32_t ContainerIterations = 1000;

// Engine state of one operation, rebuilt by every header step. Wiped on destruction.
struct ContainerState
{
    std::array<std::uint8_t, 16> counter{};   // bytes 0..7: little-endian block counter
    std::array<std::uint8_t, 16> keystream{}; // the current keystream block
    AesKey aes;
    HmacSha1Ctx hmac;
    unsigned position = 16; // next keystream byte; 16 opens a new block
    std::size_t passwordLength = 0;
    int mode = 1;

    ContainerState() = default;
    ContainerState(const ContainerState &) = delete;
    ContainerState &operator=(const ContainerState &) = delete;
    ~ContainerState();
};

// Why the last operation of a TEncryption ended as it did.
enum class ContainerCheck {
    Ok,
    WrongPassword, // verifier mismatch, too short for a header, or an unusable password
    Damaged,       // code mismatch or ciphertext/code cut short
    StreamFailed,  // a read or write raised an error (see lastError())
};

class TCrypt
{
public:
    // chunkSize must be positive (std::invalid_argument otherwise).
    TCrypt(std::string_view password, std::int32_t chunkSize);
    virtual ~TCrypt();
    TCrypt(const TCrypt &) = delete;
    TCrypt &operator=(const TCrypt &) = delete;

    static int modeForPasswordLength(std::size_t length) noexcept;
    int mode() const noexcept { return mode_; }
    std::size_t saltLength() const noexcept { return 4 * static_cast<std::size_t>(mode_) + 4; }
    std::size_t keyLength() const noexcept { return 8 * static_cast<std::size_t>(mode_) + 8; }
    std::int32_t chunkSize() const noexcept { return chunkSize_; }

protected:
    // Key set-up from the salt: AES schedule, keyed HMAC, verifier, counter reset. Returns
    // false (and sets up nothing) when the password is longer than MaxPasswordLength.
    bool DeriveContainerKeys(std::span<const std::uint8_t> salt,
                             std::array<std::uint8_t, ContainerVerifierSize> &verifier);
    // XORs data with the keystream (encryption and decryption alike).
    void applyKeystream(std::span<std::uint8_t> data);
    // Encrypts data in place and feeds the ciphertext to the HMAC.
    void encryptAndAuthenticate(std::span<std::uint8_t> data);
    // Feeds the ciphertext to the HMAC and decrypts it in place.
    void authenticateAndDecrypt(std::span<std::uint8_t> data);
    std::span<std::uint8_t> chunkBuffer() noexcept { return chunk_; }

    ContainerState state_;

private:
    // Runs whole 64-byte groups through the fused AES-NI/SHA-NI path when both are in use
    // and the keystream and the hash are at group boundaries; returns the rest.
    std::span<std::uint8_t> fusedGroups(std::span<std::uint8_t> data, bool encrypting);

    std::string password_;
    std::int32_t chunkSize_;
    std::vector<std::uint8_t> chunk_;
    int mode_;
};

class TEncryption : public TCrypt
{
public:
    // Action codes passed to OnProgress.
    static constexpr std::uint8_t ProgressDecryptStart = 1; // count: minus the source size
    static constexpr std::uint8_t ProgressEncrypted = 4;    // count: running total read
    static constexpr std::uint8_t ProgressDecrypted = 5;    // count: bytes of this chunk

    using ProgressHandler =
        std::function<void(TEncryption &sender, std::uint8_t action, std::int64_t count)>;

    // Seeds the salt pool from the clock.
    TEncryption(std::string_view password, std::int32_t chunkSize);
    // Seeds the salt pool from the given source (a deterministic source gives a known salt).
    TEncryption(std::string_view password, std::int32_t chunkSize, EntropySource entropy);
    ~TEncryption() override;

    // Writes the container of every byte source delivers from its position on.
    bool EncryptStream(Stream &source, Stream &destination);
    // Reads a container of totalLength bytes; writes the document to destination when there
    // is one (chunk by chunk, before the code is checked). True only when the verifier and
    // the code both match.
    bool DecryptStream(Stream &source, Stream *destination, std::int64_t totalLength);

    ContainerCheck lastCheck() const noexcept { return lastCheck_; }
    // The stream's message when lastCheck() is StreamFailed.
    const std::string &lastError() const noexcept { return lastError_; }

    ProgressHandler OnProgress;

private:
    bool WriteHeader(Stream &destination);
    void WriteTrailer(Stream &destination);
    bool ReadHeader(Stream &source);
    bool VerifyTrailer(Stream &source);
    ContainerCheck encryptChunks(Stream &source, Stream &destination);
    ContainerCheck decryptChunks(Stream &source, Stream *destination, std::int64_t totalLength);
    void progress(std::uint8_t action, std::int64_t count);

    SaltPool pool_;
    ContainerCheck lastCheck_ = ContainerCheck::Ok;
    std::string lastError_;
};

} // namespace lintrel::aes_lib
