// AesLib against OpenSSL libcrypto on random inputs around the block sizes, on both code
// paths, and streaming in pieces against the one-shot result.
#include "brand/aes_lib/aes.h"
#include "brand/aes_lib/hmac_sha1.h"
#include "brand/aes_lib/pbkdf2.h"
#include "brand/aes_lib/sha1.h"
#include "brand/aes_lib/aes_lib_support.h"

#include <openssl/evp.h>
#include <openssl/hmac.h>

namespace lintrel::aes_lib {
namespace {

using test::Bytes;

Bytes opensslAesEcb(const Bytes &key, const Bytes &plain)
{
    const EVP_CIPHER *cipher = key.size() == 16   ? EVP_aes_128_ecb()
                               : key.size() == 24 ? EVP_aes_192_ecb()
                                                  : EVP_aes_256_ecb();
    EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
    EVP_EncryptInit_ex(ctx, cipher, nullptr, key.data(), nullptr);
    EVP_CIPHER_CTX_set_padding(ctx, 0);
    Bytes out(plain.size());
    int len = 0;
    EVP_EncryptUpdate(ctx, out.data(), &len, plain.data(), static_cast<int>(plain.size()));
    EVP_CIPHER_CTX_free(ctx);
    return out;
}

Bytes opensslSha1(const Bytes &data)
{
    Bytes out(20);
    unsigned len = 0;
    EVP_Digest(data.data(), data.size(), out.data(), &len, EVP_sha1(), nullptr);
    return out;
}

Bytes opensslHmac(const Bytes &key, const Bytes &data)
{
    Bytes out(20);
    unsigned len = 0;
    // OpenSSL refuses a null key pointer even with length 0.
    static const std::uint8_t none[1] = {0};
    HMAC(EVP_sha1(), key.empty() ? none : key.data(), static_cast<int>(key.size()),
         data.empty() ? none : data.data(), data.size(), out.data(), &len);
    return out;
}

class AesLibDiff : public test::BothPaths
{
protected:
    std::mt19937 rng{20261209};
};
LINTREL_BOTH_PATHS(AesLibDiff);

TEST_P(AesLibDiff, AesBlocksMatchOpenSsl)
{
    for (std::size_t keyLen : {16u, 24u, 32u}) {
        for (int trial = 0; trial < 20; ++trial) {
            const Bytes key = test::randomBytes(rng, keyLen);
            const Bytes plain = test::randomBytes(rng, 16 * 5);
            AesKey schedule;
            ASSERT_TRUE(aesSetKey(schedule, key));
            Bytes ours(plain.size());
            for (std::size_t b = 0; b < plain.size(); b += 16)
                aesEncryptBlock(schedule, std::span<const std::uint8_t, 16>(plain.data() + b, 16),
                                std::span<std::uint8_t, 16>(ours.data() + b, 16));
            EXPECT_EQ(ours, opensslAesEcb(key, plain)) << "key length " << keyLen;
        }
    }
}

TEST_P(AesLibDiff, CounterModeMatchesEncryptedCounterBlocksIncludingWrap)
{
    // Block counts around the eight-block batches; counters near 2^64 wrap to zero.
    for (std::size_t keyLen : {16u, 24u, 32u}) {
        for (std::uint64_t start : {0ull, 255ull, 0xFFFFFFFFFFFFFFFDull}) {
            for (std::size_t nblocks : {0u, 1u, 7u, 8u, 9u, 15u, 16u, 17u, 31u, 32u, 33u}) {
                const Bytes key = test::randomBytes(rng, keyLen);
                Bytes data = test::randomBytes(rng, 16 * nblocks);
                Bytes counters(16 * nblocks, 0);
                for (std::size_t b = 0; b < nblocks; ++b)
                    for (int i = 0; i < 8; ++i)
                        counters[16 * b + i] =
                            static_cast<std::uint8_t>((start + b + 1) >> (8 * i));
                Bytes expected = opensslAesEcb(key, counters);
                for (std::size_t i = 0; i < data.size(); ++i)
                    expected[i] ^= data[i];
                AesKey schedule;
                ASSERT_TRUE(aesSetKey(schedule, key));
                Bytes narrow = data;
                EXPECT_EQ(aesCtr64Xor(schedule, start, data.data(), nblocks), start + nblocks);
                EXPECT_EQ(data, expected) << keyLen << " " << start << " " << nblocks;
                // Where the wide VAES path is taken, check the 128-bit AES-NI one as well.
                if (cpuHasAesNi() && !GetParam()) {
                    detail::aesCtr64XorNi(schedule, start, narrow.data(), nblocks);
                    EXPECT_EQ(narrow, expected) << "AES-NI " << nblocks;
                }
            }
        }
    }
}

TEST_P(AesLibDiff, Sha1MatchesOpenSslAroundBlockSizes)
{
    for (std::size_t len = 0; len <= 300; ++len) {
        const Bytes data = test::randomBytes(rng, len);
        const Sha1Digest ours = sha1(data);
        EXPECT_EQ(Bytes(ours.begin(), ours.end()), opensslSha1(data)) << len;
    }
}

TEST_P(AesLibDiff, Sha1InPiecesEqualsOneShotAtEverySplit)
{
    const Bytes data = test::randomBytes(rng, 200);
    const Sha1Digest whole = sha1(data);
    for (std::size_t i = 0; i <= data.size(); ++i) {
        for (std::size_t j = i; j <= data.size(); j += 7) {
            Sha1Ctx ctx;
            sha1Init(ctx);
            sha1Update(ctx, std::span(data).subspan(0, i));
            sha1Update(ctx, std::span(data).subspan(i, j - i));
            sha1Update(ctx, std::span(data).subspan(j));
            Sha1Digest d;
            sha1Final(ctx, d);
            ASSERT_EQ(d, whole) << i << "," << j;
        }
    }
}

TEST_P(AesLibDiff, HmacMatchesOpenSslForKeyAndDataLengths)
{
    for (std::size_t keyLen : {0u, 1u, 20u, 63u, 64u, 65u, 100u, 200u}) {
        for (std::size_t dataLen : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 128u, 1000u}) {
            const Bytes key = test::randomBytes(rng, keyLen);
            const Bytes data = test::randomBytes(rng, dataLen);
            Bytes ours(20);
            hmacSha1(key, data, ours);
            EXPECT_EQ(ours, opensslHmac(key, data)) << keyLen << "/" << dataLen;
        }
    }
}

TEST_P(AesLibDiff, HmacKeyAndDataInPiecesEqualOneShotAtEverySplit)
{
    for (std::size_t keyLen : {30u, 130u}) {
        const Bytes key = test::randomBytes(rng, keyLen);
        const Bytes data = test::randomBytes(rng, 150);
        const Bytes expected = opensslHmac(key, data);
        for (std::size_t k = 0; k <= key.size(); ++k) {
            for (std::size_t d = 0; d <= data.size(); d += (k % 5) + 1) {
                HmacSha1Ctx ctx;
                hmacSha1Init(ctx);
                hmacSha1Key(ctx, std::span(key).subspan(0, k));
                hmacSha1Key(ctx, std::span(key).subspan(k));
                hmacSha1Update(ctx, std::span(data).subspan(0, d));
                hmacSha1Update(ctx, std::span(data).subspan(d));
                Bytes out(20);
                hmacSha1Final(ctx, out);
                ASSERT_EQ(out, expected) << keyLen << " split " << k << "/" << d;
            }
        }
    }
}

TEST_P(AesLibDiff, Pbkdf2MatchesOpenSsl)
{
    for (std::size_t outLen : {1u, 19u, 20u, 21u, 34u, 40u, 41u, 50u, 66u, 101u}) {
        for (std::uint32_t iterations : {1u, 2u, 3u, 77u}) {
            const Bytes password = test::randomBytes(rng, rng() % 140);
            const Bytes salt = test::randomBytes(rng, rng() % 40);
            Bytes ours(outLen), theirs(outLen);
            pbkdf2HmacSha1(password, salt, iterations, ours);
            PKCS5_PBKDF2_HMAC_SHA1(reinterpret_cast<const char *>(password.data()),
                                   static_cast<int>(password.size()), salt.data(),
                                   static_cast<int>(salt.size()), static_cast<int>(iterations),
                                   static_cast<int>(outLen), theirs.data());
            EXPECT_EQ(ours, theirs) << outLen << " c=" << iterations;
        }
    }
}

} // namespace
} // namespace lintrel::aes_lib
