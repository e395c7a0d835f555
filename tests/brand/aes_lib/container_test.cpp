// TEncryption: the container format against an independent OpenSSL construction, chunking,
// modes, damage, truncation, progress reports and stream failures, on both code paths.
#include "brand/aes_lib/container.h"
#include "brand/aes_lib/aes_lib_support.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace lintrel::aes_lib {
namespace {

using test::Bytes;
using test::bytesOf;

EntropySource fixedSource(std::uint8_t value)
{
    return [value](std::span<std::uint8_t> out) {
        const std::size_t n = std::min<std::size_t>(out.size(), 8);
        std::fill_n(out.begin(), n, value);
        return n;
    };
}

Bytes encrypt(std::string_view password, const Bytes &doc, std::int32_t chunk = 262144,
              EntropySource source = systemEntropy)
{
    TEncryption engine(password, chunk, std::move(source));
    MemoryStream in(doc), out;
    EXPECT_TRUE(engine.EncryptStream(in, out));
    return out.data();
}

struct Decrypted
{
    bool ok;
    ContainerCheck check;
    Bytes document;
};

Decrypted decrypt(std::string_view password, const Bytes &container, std::int32_t chunk = 262144)
{
    TEncryption engine(password, chunk);
    MemoryStream in(container), out;
    const bool ok = engine.DecryptStream(in, &out, static_cast<std::int64_t>(container.size()));
    return {ok, engine.lastCheck(), out.data()};
}

// The container built from its definition with OpenSSL: PBKDF2 key material, AES over
// little-endian block counters 1, 2, ..., HMAC-SHA1 over the ciphertext cut to 10 bytes.
Bytes referenceContainer(std::string_view password, const Bytes &salt, const Bytes &doc)
{
    const std::size_t mode = password.size() < 32 ? 1 : password.size() < 48 ? 2 : 3;
    const std::size_t k = 8 * mode + 8;
    Bytes material(2 * k + 2);
    PKCS5_PBKDF2_HMAC_SHA1(password.data(), static_cast<int>(password.size()), salt.data(),
                           static_cast<int>(salt.size()), 1000, static_cast<int>(material.size()),
                           material.data());
    const EVP_CIPHER *cipher = k == 16   ? EVP_aes_128_ecb()
                               : k == 24 ? EVP_aes_192_ecb()
                                         : EVP_aes_256_ecb();
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, cipher, nullptr, material.data(), nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    Bytes ct = doc;
    for (std::size_t b = 0; 16 * b < doc.size(); ++b) {
        std::uint8_t counter[16] = {}, stream[16];
        for (int i = 0; i < 8; ++i)
            counter[i] = static_cast<std::uint8_t>((b + 1) >> (8 * i));
        int len = 0;
        EVP_EncryptUpdate(ctx, stream, &len, counter, 16);
        for (std::size_t i = 0; i < 16 && 16 * b + i < ct.size(); ++i)
            ct[16 * b + i] ^= stream[i];
    }
    EVP_CIPHER_CTX_free(ctx);
    std::uint8_t mac[20];
    unsigned macLen = 0;
    static const std::uint8_t none[1] = {0};
    HMAC(EVP_sha1(), material.data() + k, static_cast<int>(k), ct.empty() ? none : ct.data(),
         ct.size(), mac, &macLen);
    Bytes out = salt;
    out.insert(out.end(), material.begin() + 2 * k, material.end());
    out.insert(out.end(), ct.begin(), ct.end());
    out.insert(out.end(), mac, mac + 10);
    return out;
}

class Container : public test::BothPaths
{
protected:
    std::mt19937 rng{42};
};
LINTREL_BOTH_PATHS(Container);

TEST_P(Container, MatchesIndependentConstructionForEachMode)
{
    const std::string passwords[] = {"pelmowtrax", std::string(40, 'p'), std::string(100, 'q')};
    for (const std::string &password : passwords) {
        // 4097 bytes need 257 keystream blocks, the last one from counter 01 01 00 ... 00.
        for (std::size_t len : {0u, 1u, 15u, 16u, 17u, 127u, 128u, 129u, 4097u, 70001u}) {
            const Bytes doc = test::randomBytes(rng, len);
            const Bytes container = encrypt(password, doc);
            const std::size_t s = 4 * TCrypt::modeForPasswordLength(password.size()) + 4;
            ASSERT_EQ(container.size(), s + 12 + len);
            const Bytes salt(container.begin(), container.begin() + static_cast<long>(s));
            EXPECT_EQ(container, referenceContainer(password, salt, doc))
                << password.size() << "/" << len;
            const Decrypted back = decrypt(password, container);
            EXPECT_TRUE(back.ok);
            EXPECT_EQ(back.document, doc);
        }
    }
}

TEST_P(Container, EmptyDocumentGivesTwentyBytesAndDecryptsToNothing)
{
    const Bytes container = encrypt("pelmowtrax", {});
    EXPECT_EQ(container.size(), 20u);
    const Decrypted back = decrypt("pelmowtrax", container);
    EXPECT_TRUE(back.ok);
    EXPECT_EQ(back.check, ContainerCheck::Ok);
    EXPECT_TRUE(back.document.empty());
}

TEST_P(Container, TwoEncryptionsUseDifferentSaltsAndBothDecrypt)
{
    const Bytes doc(bytesOf("<Name>Lintrel</Name>").begin(), bytesOf("<Name>Lintrel</Name>").end());
    const Bytes a = encrypt("pelmowtrax", doc);
    const Bytes b = encrypt("pelmowtrax", doc);
    EXPECT_NE(Bytes(a.begin(), a.begin() + 8), Bytes(b.begin(), b.begin() + 8));
    EXPECT_NE(a, b);
    EXPECT_EQ(decrypt("pelmowtrax", a).document, doc);
    EXPECT_EQ(decrypt("pelmowtrax", b).document, doc);

    // One object used twice draws on from its pool: again a new salt.
    TEncryption engine("pelmowtrax", 1000);
    MemoryStream in1(doc), in2(doc), out1, out2;
    ASSERT_TRUE(engine.EncryptStream(in1, out1));
    ASSERT_TRUE(engine.EncryptStream(in2, out2));
    EXPECT_NE(out1.data(), out2.data());
    EXPECT_EQ(decrypt("pelmowtrax", out2.data()).document, doc);
}

TEST_P(Container, ChunkSizeDoesNotShowInTheOutput)
{
    const Bytes doc = test::randomBytes(rng, 600000);
    const Bytes reference = encrypt("pelmowtrax", doc, 600001, fixedSource(9));
    for (std::int32_t chunk : {262144, 600000, 4096, 16, 17, 1}) {
        EXPECT_EQ(encrypt("pelmowtrax", doc, chunk, fixedSource(9)), reference) << chunk;
        const Decrypted back = decrypt("pelmowtrax", reference, chunk);
        EXPECT_TRUE(back.ok) << chunk;
        EXPECT_EQ(back.document, doc) << chunk;
    }
}

TEST_P(Container, PasswordLengthSelectsTheMode)
{
    const Bytes doc = test::randomBytes(rng, 33);
    const std::pair<std::size_t, int> rows[] = {{0, 1},  {10, 1}, {31, 1}, {32, 2},
                                                {47, 2}, {48, 3}, {128, 3}};
    for (const auto &[length, mode] : rows) {
        const std::string password(length, 'x');
        TEncryption engine(password, 64);
        EXPECT_EQ(engine.mode(), mode) << length;
        const Bytes container = encrypt(password, doc);
        EXPECT_EQ(container.size(), static_cast<std::size_t>(4 * mode + 4) + 12 + doc.size());
        EXPECT_EQ(decrypt(password, container).document, doc) << length;
    }
}

TEST_P(Container, PasswordOverLimitIsRefusedWithoutOutput)
{
    const std::string password(129, 'x');
    TEncryption engine(password, 64);
    MemoryStream in(Bytes(10, 1)), out;
    EXPECT_FALSE(engine.EncryptStream(in, out));
    EXPECT_TRUE(out.data().empty());
    const Decrypted back = decrypt(password, Bytes(40, 0));
    EXPECT_FALSE(back.ok);
    EXPECT_EQ(back.check, ContainerCheck::WrongPassword);
    EXPECT_TRUE(back.document.empty());
}

TEST_P(Container, DamageIsReportedAndWhereItLies)
{
    // A fixed salt keeps the verifier test deterministic (a changed salt or password misses
    // the two verifier bytes except for one salt in 65536).
    const Bytes doc = test::randomBytes(rng, 1000);
    const Bytes container = encrypt("pelmowtrax", doc, 262144, fixedSource(5));
    struct Row
    {
        std::size_t offset;
        ContainerCheck check;
        bool documentWritten;
    };
    const Row rows[] = {
        {0, ContainerCheck::WrongPassword, false},      // salt
        {8, ContainerCheck::WrongPassword, false},      // verifier
        {10, ContainerCheck::Damaged, true},            // first ciphertext byte
        {10 + 999, ContainerCheck::Damaged, true},      // last ciphertext byte
        {10 + 1000 + 9, ContainerCheck::Damaged, true}, // code
    };
    for (const Row &row : rows) {
        Bytes bad = container;
        bad[row.offset] ^= 0x20;
        const Decrypted back = decrypt("pelmowtrax", bad);
        EXPECT_FALSE(back.ok) << row.offset;
        EXPECT_EQ(back.check, row.check) << row.offset;
        if (!row.documentWritten) {
            EXPECT_TRUE(back.document.empty()) << row.offset;
            continue;
        }
        // The whole text is delivered; a flipped ciphertext byte flips the same plain byte.
        Bytes expected = doc;
        if (row.offset >= 10 && row.offset < 1010)
            expected[row.offset - 10] ^= 0x20;
        EXPECT_EQ(back.document, expected) << row.offset;
    }
}

TEST_P(Container, WrongPasswordWritesNothing)
{
    const Bytes container =
        encrypt("pelmowtrax", test::randomBytes(rng, 500), 262144, fixedSource(5));
    const Decrypted back = decrypt("pelmowtraz", container);
    EXPECT_FALSE(back.ok);
    EXPECT_EQ(back.check, ContainerCheck::WrongPassword);
    EXPECT_TRUE(back.document.empty());
}

TEST_P(Container, ShortOrCutContainersAreRejected)
{
    const Bytes empty = encrypt("pelmowtrax", {});
    for (std::size_t len = 0; len < empty.size(); ++len) {
        const Decrypted back =
            decrypt("pelmowtrax", Bytes(empty.begin(), empty.begin() + long(len)));
        EXPECT_FALSE(back.ok) << len;
        EXPECT_EQ(back.check, len < 10 ? ContainerCheck::WrongPassword : ContainerCheck::Damaged)
            << len;
    }
    // A total length that promises more than the source holds.
    const Bytes full = encrypt("pelmowtrax", test::randomBytes(rng, 300));
    TEncryption engine("pelmowtrax", 128);
    MemoryStream in(full), out;
    EXPECT_FALSE(engine.DecryptStream(in, &out, static_cast<std::int64_t>(full.size()) + 50));
    EXPECT_EQ(engine.lastCheck(), ContainerCheck::Damaged);
}

TEST_P(Container, VerifyWithoutDestination)
{
    const Bytes container = encrypt("pelmowtrax", test::randomBytes(rng, 3000));
    TEncryption engine("pelmowtrax", 1024);
    MemoryStream in(container);
    EXPECT_TRUE(engine.DecryptStream(in, nullptr, static_cast<std::int64_t>(container.size())));
}

TEST(ContainerProgress, ReportsChunksAsTheyPass)
{
    using Events = std::vector<std::pair<int, std::int64_t>>;
    for (std::size_t len : {600000u, 524288u}) {
        const Bytes doc(len, 'a');
        TEncryption engine("pelmowtrax", 262144);
        Events events;
        engine.OnProgress = [&](TEncryption &sender, std::uint8_t action, std::int64_t count) {
            EXPECT_EQ(&sender, &engine);
            events.emplace_back(action, count);
        };
        MemoryStream in(doc), out;
        ASSERT_TRUE(engine.EncryptStream(in, out));
        const Events encryptExpected =
            len == 600000 ? Events{{4, 262144}, {4, 524288}, {4, 600000}}
                          : Events{{4, 262144}, {4, 524288}, {4, 524288}}; // final empty read
        EXPECT_EQ(events, encryptExpected);

        events.clear();
        MemoryStream cin(out.data()), plain;
        const auto total = static_cast<std::int64_t>(out.data().size());
        ASSERT_TRUE(engine.DecryptStream(cin, &plain, total));
        const Events decryptExpected =
            len == 600000 ? Events{{1, -total}, {5, 262144}, {5, 262144}, {5, 75712}}
                          : Events{{1, -total}, {5, 262144}, {5, 262144}};
        EXPECT_EQ(events, decryptExpected);
    }
}

// A destination that fails after a number of bytes, like a full disk.
class FailingStream : public Stream
{
public:
    explicit FailingStream(std::size_t budget) : budget_(budget) {}
    std::size_t read(std::span<std::uint8_t>) override { return 0; }
    void write(std::span<const std::uint8_t> data) override
    {
        if (data.size() > budget_)
            throw StreamError("Cannot write file \"x\". No space left on device", 28);
        budget_ -= data.size();
    }
    std::int64_t size() const override { return -1; }

private:
    std::size_t budget_;
};

TEST(ContainerStreams, WriteFailureGivesFalseWithTheReason)
{
    for (std::size_t budget : {0u, 9u, 10u, 5000u}) {
        TEncryption engine("pelmowtrax", 4096);
        MemoryStream in(Bytes(10000, 3));
        FailingStream out(budget);
        EXPECT_FALSE(engine.EncryptStream(in, out)) << budget;
        EXPECT_EQ(engine.lastCheck(), ContainerCheck::StreamFailed);
        EXPECT_NE(engine.lastError().find("No space left"), std::string::npos);
    }
    const Bytes container = encrypt("pelmowtrax", Bytes(10000, 3));
    TEncryption engine("pelmowtrax", 4096);
    MemoryStream in(container);
    FailingStream out(100);
    EXPECT_FALSE(engine.DecryptStream(in, &out, static_cast<std::int64_t>(container.size())));
    EXPECT_EQ(engine.lastCheck(), ContainerCheck::StreamFailed);
}

TEST(ContainerConstruction, RejectsNonPositiveChunkSize)
{
    EXPECT_THROW(TEncryption("pelmowtrax", 0), std::invalid_argument);
    EXPECT_THROW(TEncryption("pelmowtrax", -5), std::invalid_argument);
}

} // namespace
} // namespace lintrel::aes_lib
