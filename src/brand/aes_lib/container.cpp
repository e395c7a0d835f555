// TCrypt key set-up and keystream; TEncryption's chunked EncryptStream and DecryptStream.
#include "brand/aes_lib/container.h"

#include "brand/aes_lib/cpu_features.h"
#include "brand/aes_lib/ctr_sha1.h"
#include "brand/aes_lib/pbkdf2.h"
#include "brand/aes_lib/secure.h"

#include <algorithm>
#include <stdexcept>

namespace lintrel::aes_lib {

namespace {

std::uint64_t load64le(const std::uint8_t *p)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

void store64le(std::uint8_t *p, std::uint64_t v)
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::span<const std::uint8_t> bytesOf(std::string_view s)
{
    return {reinterpret_cast<const std::uint8_t *>(s.data()), s.size()};
}

} // namespace

ContainerState::~ContainerState()
{
    secureWipeObject(counter);
    secureWipeObject(keystream);
}

TCrypt::TCrypt(std::string_view password, std::int32_t chunkSize)
    : password_(password), chunkSize_(chunkSize), mode_(modeForPasswordLength(password.size()))
{
    if (chunkSize <= 0)
        throw std::invalid_argument("chunk size must be positive");
    chunk_.resize(static_cast<std::size_t>(chunkSize));
    state_.passwordLength = password.size();
    state_.mode = mode_;
}

TCrypt::~TCrypt()
{
    secureWipe(password_.data(), password_.size());
    secureWipe(chunk_.data(), chunk_.size());
}

int TCrypt::modeForPasswordLength(std::size_t length) noexcept
{
    return length < 32 ? 1 : length < 48 ? 2 : 3;
}

bool TCrypt::DeriveContainerKeys(std::span<const std::uint8_t> salt,
                                 std::array<std::uint8_t, ContainerVerifierSize> &verifier)
{
    if (password_.size() > MaxPasswordLength)
        return false;
    const std::size_t k = keyLength();
    std::array<std::uint8_t, 66> material{};
    const std::span<std::uint8_t> derived(material.data(), 2 * k + ContainerVerifierSize);
    pbkdf2HmacSha1(bytesOf(password_), salt, ContainerIterations, derived);
    aesSetKey(state_.aes, derived.first(k));
    hmacSha1Init(state_.hmac);
    hmacSha1Key(state_.hmac, derived.subspan(k, k));
    hmacSha1Update(state_.hmac, {});
    verifier = {derived[2 * k], derived[2 * k + 1]};
    secureWipeObject(material);
    state_.counter.fill(0);
    state_.keystream.fill(0);
    state_.position = 16;
    state_.passwordLength = password_.size();
    state_.mode = mode_;
    return true;
}

void TCrypt::applyKeystream(std::span<std::uint8_t> data)
{
    std::uint8_t *p = data.data();
    std::size_t n = data.size();
    ContainerState &s = state_;
    for (; n != 0 && s.position < 16; --n)
        *p++ ^= s.keystream[s.position++];
    // Whole blocks go through the bulk counter-mode path; the position stays at 16.
    const std::size_t blocks = n / 16;
    if (blocks != 0) {
        const std::uint64_t last = aesCtr64Xor(s.aes, load64le(s.counter.data()), p, blocks);
        store64le(s.counter.data(), last);
        p += 16 * blocks;
        n -= 16 * blocks;
    }
    if (n != 0) {
        store64le(s.counter.data(), load64le(s.counter.data()) + 1);
        aesEncryptBlock(s.aes, s.counter, s.keystream);
        s.position = 0;
        for (; n != 0; --n)
            *p++ ^= s.keystream[s.position++];
    }
}

std::span<std::uint8_t> TCrypt::fusedGroups(std::span<std::uint8_t> data, bool encrypting)
{
    ContainerState &s = state_;
    // The HMAC's inner hash: its buffer is empty whenever its count is a multiple of 64.
    Sha1Ctx &inner = s.hmac.inner;
    const std::size_t groups = data.size() / Sha1BlockSize;
    if (groups == 0 || !s.hmac.keyed || s.position != 16 || inner.count % Sha1BlockSize != 0 ||
        !useAesNi() || !useShaNi())
        return data;
    const std::uint64_t counter = load64le(s.counter.data());
    if (encrypting)
        detail::ctrXorThenSha1Ni(s.aes, counter, inner.h, data.data(), groups);
    else
        detail::sha1ThenCtrXorNi(s.aes, counter, inner.h, data.data(), groups);
    store64le(s.counter.data(), counter + 4 * groups);
    inner.count += Sha1BlockSize * groups;
    return data.subspan(Sha1BlockSize * groups);
}

void TCrypt::encryptAndAuthenticate(std::span<std::uint8_t> data)
{
    data = fusedGroups(data, true);
    applyKeystream(data);
    hmacSha1Update(state_.hmac, data);
}

void TCrypt::authenticateAndDecrypt(std::span<std::uint8_t> data)
{
    data = fusedGroups(data, false);
    hmacSha1Update(state_.hmac, data);
    applyKeystream(data);
}

TEncryption::TEncryption(std::string_view password, std::int32_t chunkSize)
    : TEncryption(password, chunkSize, systemEntropy)
{}

TEncryption::TEncryption(std::string_view password, std::int32_t chunkSize, EntropySource entropy)
    : TCrypt(password, chunkSize)
{
    pool_.seed(std::move(entropy));
}

TEncryption::~TEncryption()
{
    pool_.wipe();
}

void TEncryption::progress(std::uint8_t action, std::int64_t count)
{
    if (OnProgress)
        OnProgress(*this, action, count);
}

bool TEncryption::WriteHeader(Stream &destination)
{
    std::array<std::uint8_t, 16> salt{};
    const std::span<std::uint8_t> s(salt.data(), saltLength());
    pool_.draw(s);
    std::array<std::uint8_t, ContainerVerifierSize> verifier{};
    if (!DeriveContainerKeys(s, verifier))
        return false;
    destination.write(s);
    destination.write(verifier);
    return true;
}

void TEncryption::WriteTrailer(Stream &destination)
{
    std::array<std::uint8_t, ContainerCodeSize> code{};
    hmacSha1Final(state_.hmac, code);
    destination.write(code);
}

bool TEncryption::ReadHeader(Stream &source)
{
    std::array<std::uint8_t, 16> salt{};
    const std::span<std::uint8_t> s(salt.data(), saltLength());
    if (source.read(s) != s.size())
        return false;
    std::array<std::uint8_t, ContainerVerifierSize> derived{};
    if (!DeriveContainerKeys(s, derived))
        return false;
    std::array<std::uint8_t, ContainerVerifierSize> stored{};
    if (source.read(stored) != stored.size())
        return false;
    return constantTimeEqual(stored, derived);
}

bool TEncryption::VerifyTrailer(Stream &source)
{
    std::array<std::uint8_t, ContainerCodeSize> computed{};
    hmacSha1Final(state_.hmac, computed);
    std::array<std::uint8_t, ContainerCodeSize> stored{};
    if (source.read(stored) != stored.size())
        return false;
    return constantTimeEqual(stored, computed);
}

ContainerCheck TEncryption::encryptChunks(Stream &source, Stream &destination)
{
    if (!WriteHeader(destination))
        return ContainerCheck::WrongPassword;
    const std::span<std::uint8_t> chunk = chunkBuffer();
    std::int64_t total = 0;
    for (;;) {
        const std::size_t n = source.read(chunk);
        total += static_cast<std::int64_t>(n);
        progress(ProgressEncrypted, total);
        const std::span<std::uint8_t> data = chunk.first(n);
        encryptAndAuthenticate(data);
        destination.write(data);
        if (n < chunk.size())
            break;
    }
    WriteTrailer(destination);
    return ContainerCheck::Ok;
}

ContainerCheck TEncryption::decryptChunks(Stream &source, Stream *destination,
                                          std::int64_t totalLength)
{
    if (!ReadHeader(source))
        return ContainerCheck::WrongPassword;
    const std::int64_t overhead =
        static_cast<std::int64_t>(saltLength() + ContainerVerifierSize + ContainerCodeSize);
    std::int64_t remaining = std::max<std::int64_t>(totalLength - overhead, 0);
    const std::span<std::uint8_t> chunk = chunkBuffer();
    do {
        const auto request =
            static_cast<std::size_t>(std::min<std::int64_t>(remaining, chunkSize()));
        const std::size_t m = source.read(chunk.first(request));
        progress(ProgressDecrypted, static_cast<std::int64_t>(m));
        const std::span<std::uint8_t> data = chunk.first(m);
        authenticateAndDecrypt(data);
        if (destination != nullptr)
            destination->write(data);
        remaining -= static_cast<std::int64_t>(m);
        if (m == 0 && remaining > 0)
            return ContainerCheck::Damaged;
    } while (remaining > 0);
    return VerifyTrailer(source) ? ContainerCheck::Ok : ContainerCheck::Damaged;
}

bool TEncryption::EncryptStream(Stream &source, Stream &destination)
{
    lastError_.clear();
    try {
        lastCheck_ = encryptChunks(source, destination);
    } catch (const StreamError &e) {
        lastCheck_ = ContainerCheck::StreamFailed;
        lastError_ = e.what();
    }
    secureWipe(chunkBuffer().data(), chunkBuffer().size());
    return lastCheck_ == ContainerCheck::Ok;
}

bool TEncryption::DecryptStream(Stream &source, Stream *destination, std::int64_t totalLength)
{
    lastError_.clear();
    try {
        progress(ProgressDecryptStart, -source.size());
        lastCheck_ = decryptChunks(source, destination, totalLength);
    } catch (const StreamError &e) {
        lastCheck_ = ContainerCheck::StreamFailed;
        lastError_ = e.what();
    }
    secureWipe(chunkBuffer().data(), chunkBuffer().size());
    return lastCheck_ == ContainerCheck::Ok;
}

} // namespace lintrel::aes_lib
