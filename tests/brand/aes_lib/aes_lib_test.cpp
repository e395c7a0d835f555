// Published test vectors for AES, SHA-1, HMAC-SHA1 and PBKDF2, and the SaltPool behaviour.
#include "brand/aes_lib/aes.h"
#include "brand/aes_lib/hmac_sha1.h"
#include "brand/aes_lib/pbkdf2.h"
#include "brand/aes_lib/salt_pool.h"
#include "brand/aes_lib/sha1.h"
#include "brand/aes_lib/aes_lib_support.h"

#include <chrono>
#include <thread>

namespace lintrel::aes_lib {
namespace {

using test::Bytes;
using test::bytesOf;
using test::fromHex;
using test::toHex;

class AesLibVectors : public test::BothPaths
{
};
LINTREL_BOTH_PATHS(AesLibVectors);

TEST_P(AesLibVectors, AesMatchesFips197Examples)
{
    struct Row
    {
        const char *key, *plain, *cipher;
    };
    const Row rows[] = {
        {"2b7e151628aed2a6abf7158809cf4f3c", "3243f6a8885a308d313198a2e0370734",
         "3925841d02dc09fbdc118597196a0b32"},
        {"000102030405060708090a0b0c0d0e0f", "00112233445566778899aabbccddeeff",
         "69c4e0d86a7b0430d8cdb78070b4c55a"},
        {"000102030405060708090a0b0c0d0e0f1011121314151617", "00112233445566778899aabbccddeeff",
         "dda97ca4864cdfe06eaf70a0ec0d7191"},
        {"000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f",
         "00112233445566778899aabbccddeeff", "8ea2b7ca516745bfeafc49904b496089"},
    };
    for (const Row &row : rows) {
        AesKey key;
        ASSERT_TRUE(aesSetKey(key, fromHex(row.key)));
        const Bytes plain = fromHex(row.plain);
        AesBlock out{};
        aesEncryptBlock(key, std::span<const std::uint8_t, 16>(plain.data(), 16), out);
        EXPECT_EQ(toHex(out), row.cipher) << "key " << row.key;
    }
}

TEST(AesLibAes, RejectsOtherKeyLengths)
{
    for (std::size_t len : {0u, 8u, 15u, 17u, 31u, 33u, 64u}) {
        AesKey key;
        EXPECT_FALSE(aesSetKey(key, Bytes(len, 1))) << len;
        EXPECT_EQ(key.rounds, 0);
    }
}

TEST_P(AesLibVectors, Sha1MatchesFips180Examples)
{
    const std::pair<std::string, const char *> rows[] = {
        {"", "da39a3ee5e6b4b0d3255bfef95601890afd80709"},
        {"abc", "a9993e364706816aba3e25717850c26c9cd0d89d"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "84983e441c3bd26ebaae4aa1f95129e5e54670f1"},
        {std::string(1000000, 'a'), "34aa973cd4c4daa4f61eeb2bdbad27316534016f"},
    };
    for (const auto &[message, digest] : rows)
        EXPECT_EQ(toHex(sha1(bytesOf(message))), digest) << message.substr(0, 20);
}

TEST_P(AesLibVectors, BareCompressionOfPaddedBlockGivesDigestWords)
{
    // "abc" padded by hand: one block, compressed from the initial value.
    std::array<std::uint8_t, 64> block{};
    block[0] = 'a';
    block[1] = 'b';
    block[2] = 'c';
    block[3] = 0x80;
    block[63] = 24;
    Sha1ChainingValue h = {0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
    sha1Compress(h, block);
    const Sha1ChainingValue expected = {0xa9993e36, 0x4706816a, 0xba3e2571, 0x7850c26c, 0x9cd0d89d};
    EXPECT_EQ(h, expected);
}

TEST_P(AesLibVectors, HmacMatchesRfc2202)
{
    struct Row
    {
        Bytes key;
        std::string data;
        const char *mac;
    };
    const std::string dd(50, '\xdd'), cd(50, '\xcd');
    const Row rows[] = {
        {Bytes(20, 0x0b), "Hi There", "b617318655057264e28bc0b6fb378c8ef146be00"},
        {Bytes{'J', 'e', 'f', 'e'}, "what do ya want for nothing?",
         "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79"},
        {Bytes(20, 0xaa), dd, "125d7342b9ac11cd91a39af48aa17b4f63f175d3"},
        {fromHex("0102030405060708090a0b0c0d0e0f10111213141516171819"), cd,
         "4c9007f4026250c6bc8414f9bf50c86c2d7235da"},
        {Bytes(20, 0x0c), "Test With Truncation", "4c1a03424b55e07fe7f27be1d58bb9324a9a5a04"},
        {Bytes(80, 0xaa), "Test Using Larger Than Block-Size Key - Hash Key First",
         "aa4ae5e15272d00e95705637ce8a3b55ed402112"},
        {Bytes(80, 0xaa),
         "Test Using Larger Than Block-Size Key and Larger Than One Block-Size Data",
         "e8e99d0f45237d786d6bbaa7965c7808bbff1a91"},
    };
    for (const Row &row : rows) {
        std::array<std::uint8_t, 20> full{};
        hmacSha1(row.key, bytesOf(row.data), full);
        EXPECT_EQ(toHex(full), row.mac) << row.data.substr(0, 20);
        // A truncated output is the prefix of the full value (10 is what the container uses).
        for (std::size_t len : {1u, 10u, 12u, 19u}) {
            Bytes cut(len);
            hmacSha1(row.key, bytesOf(row.data), cut);
            EXPECT_EQ(toHex(cut), std::string(row.mac).substr(0, 2 * len));
        }
    }
}

TEST(AesLibHmac, RejectsOutputLengthsOutsideOneToTwenty)
{
    for (std::size_t len : {0u, 21u}) {
        Bytes out(len);
        EXPECT_THROW(hmacSha1(Bytes(4, 1), Bytes(4, 2), out), std::invalid_argument);
    }
}

TEST_P(AesLibVectors, Pbkdf2MatchesRfc6070)
{
    struct Row
    {
        std::string password, salt;
        std::uint32_t iterations;
        const char *key;
    };
    const Row rows[] = {
        {"password", "salt", 1, "0c60c80f961f0e71f3a9b524af6012062fe037a6"},
        {"password", "salt", 2, "ea6c014dc72d6f8ccd1ed92ace1d41f0d8de8957"},
        {"password", "salt", 4096, "4b007901b765489abead49d926f721d065a429c1"},
        {"passwordPASSWORDpassword", "saltSALTsaltSALTsaltSALTsaltSALTsalt", 4096,
         "3d2eec4fe41c849b80c8d83662c0e44a8b291a964cf2f07038"},
        {std::string("pass\0word", 9), std::string("sa\0lt", 5), 4096,
         "56fa6aa75548099dcc37d7f03425e0c3"},
    };
    for (const Row &row : rows) {
        Bytes out(std::string_view(row.key).size() / 2);
        pbkdf2HmacSha1(bytesOf(row.password), bytesOf(row.salt), row.iterations, out);
        EXPECT_EQ(toHex(out), row.key) << row.password << " c=" << row.iterations;
    }
}

TEST(AesLibPbkdf2, RejectsZeroIterations)
{
    Bytes out(20);
    EXPECT_THROW(pbkdf2HmacSha1(Bytes(1), Bytes(1), 0, out), std::invalid_argument);
}

// A source that hands out a fixed byte pattern: pools seeded with it are reproducible.
EntropySource constantSource(std::uint8_t value)
{
    return [value](std::span<std::uint8_t> out) {
        const std::size_t n = std::min<std::size_t>(out.size(), 8);
        std::fill_n(out.begin(), n, value);
        return n;
    };
}

TEST(AesLibSaltPool, PoolsSeededAtDifferentMomentsDrawDifferently)
{
    SaltPool a, b;
    a.seed(systemEntropy);
    std::this_thread::sleep_for(std::chrono::microseconds(50));
    b.seed(systemEntropy);
    std::array<std::uint8_t, 16> da{}, db{};
    a.draw(da);
    b.draw(db);
    EXPECT_NE(da, db);
}

TEST(AesLibSaltPool, DrawCrossingARefreshContinuesTheSameSequence)
{
    SaltPool whole, pieces;
    whole.seed(constantSource(7));
    pieces.seed(constantSource(7));
    Bytes big(300);
    whole.draw(big);
    Bytes first(8), second(252), third(40);
    pieces.draw(first);
    pieces.draw(second);
    pieces.draw(third);
    Bytes joined = first;
    joined.insert(joined.end(), second.begin(), second.end());
    joined.insert(joined.end(), third.begin(), third.end());
    EXPECT_EQ(big, joined);
    // The bytes after the refresh are new, not the first 40 again.
    EXPECT_NE(Bytes(big.begin(), big.begin() + 40), Bytes(big.begin() + 260, big.end()));
}

TEST(AesLibSaltPool, SeedDependsOnTheSourceAndAStuckSourceDoesNotHang)
{
    SaltPool a, b, stuck;
    a.seed(constantSource(1));
    b.seed(constantSource(2));
    stuck.seed([](std::span<std::uint8_t>) { return std::size_t{0}; });
    std::array<std::uint8_t, 8> da{}, db{}, ds{};
    a.draw(da);
    b.draw(db);
    stuck.draw(ds);
    EXPECT_NE(da, db);
}

TEST(AesLibSaltPool, EntropyReadingsAreLittleEndianWithTickFallback)
{
    std::array<std::uint8_t, 10> out{};
    EXPECT_EQ(entropyFromReadings(out, 0x0102030405060708ull, 0xAABBCCDD), 8u);
    EXPECT_EQ(toHex(out), "08070605040302010000");
    out.fill(0xff);
    EXPECT_EQ(entropyFromReadings(std::span(out).first(3), std::nullopt, 0xAABBCCDD), 3u);
    EXPECT_EQ(toHex(std::span(out).first(4)), "ddccbbff");
    EXPECT_EQ(entropyFromReadings(out, std::nullopt, 0xAABBCCDD), 8u);
    EXPECT_EQ(toHex(std::span(out).first(8)), "ddccbbaa00000000");
    EXPECT_EQ(systemEntropy(out), 8u);
}

} // namespace
} // namespace lintrel::aes_lib
