// Portable AES: key expansion and table-driven encryption, plus the dispatch to AES-NI.
#include "brand/aes_lib/aes.h"

#include "brand/aes_lib/cpu_features.h"
#include "brand/aes_lib/secure.h"

namespace lintrel::aes_lib {

namespace {

// Multiplication in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
constexpr std::uint8_t gmul(std::uint8_t a, std::uint8_t b)
{
    std::uint8_t p = 0;
    for (int i = 0; i < 8; ++i) {
        if (b & 1)
            p ^= a;
        const bool hi = (a & 0x80) != 0;
        a = static_cast<std::uint8_t>(a << 1);
        if (hi)
            a ^= 0x1b;
        b >>= 1;
    }
    return p;
}

constexpr std::uint8_t rotl8(std::uint8_t x, int n)
{
    return static_cast<std::uint8_t>((x << n) | (x >> (8 - n)));
}

// The S-box from its definition: multiplicative inverse followed by the affine map. p walks
// the powers of the generator 3 while q walks the same powers of its inverse, so q = 1/p.
constexpr std::array<std::uint8_t, 256> makeSbox()
{
    std::array<std::uint8_t, 256> box{};
    std::uint8_t p = 1;
    std::uint8_t q = 1;
    do {
        p = static_cast<std::uint8_t>(p ^ (p << 1) ^ ((p & 0x80) ? 0x1b : 0));
        q = static_cast<std::uint8_t>(q ^ (q << 1));
        q = static_cast<std::uint8_t>(q ^ (q << 2));
        q = static_cast<std::uint8_t>(q ^ (q << 4));
        if (q & 0x80)
            q ^= 0x09;
        box[p] = static_cast<std::uint8_t>(q ^ rotl8(q, 1) ^ rotl8(q, 2) ^ rotl8(q, 3) ^
                                           rotl8(q, 4) ^ 0x63);
    } while (p != 1);
    box[0] = 0x63;
    return box;
}

constexpr std::array<std::uint8_t, 256> Sbox = makeSbox();

constexpr std::uint32_t rotr32(std::uint32_t x, int n)
{
    return n == 0 ? x : (x >> n) | (x << (32 - n));
}

// Te[r][x]: SubBytes and MixColumns of one byte as a big-endian column word, rotated by r.
constexpr std::array<std::array<std::uint32_t, 256>, 4> makeTe()
{
    std::array<std::array<std::uint32_t, 256>, 4> te{};
    for (int x = 0; x < 256; ++x) {
        const std::uint8_t s = Sbox[x];
        const std::uint32_t w = (std::uint32_t{gmul(s, 2)} << 24) | (std::uint32_t{s} << 16) |
                                (std::uint32_t{s} << 8) | std::uint32_t{gmul(s, 3)};
        for (int r = 0; r < 4; ++r)
            te[r][x] = rotr32(w, 8 * r);
    }
    return te;
}

constexpr auto Te = makeTe();

inline std::uint32_t load32be(const std::uint8_t *p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
           std::uint32_t{p[3]};
}

inline void store32be(std::uint8_t *p, std::uint32_t v)
{
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

inline std::uint32_t subWord(std::uint32_t w)
{
    return (std::uint32_t{Sbox[w >> 24]} << 24) | (std::uint32_t{Sbox[(w >> 16) & 0xff]} << 16) |
           (std::uint32_t{Sbox[(w >> 8) & 0xff]} << 8) | std::uint32_t{Sbox[w & 0xff]};
}

inline std::uint32_t finalColumn(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    return (std::uint32_t{Sbox[a >> 24]} << 24) | (std::uint32_t{Sbox[(b >> 16) & 0xff]} << 16) |
           (std::uint32_t{Sbox[(c >> 8) & 0xff]} << 8) | std::uint32_t{Sbox[d & 0xff]};
}

inline std::uint32_t tableColumn(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d)
{
    return Te[0][a >> 24] ^ Te[1][(b >> 16) & 0xff] ^ Te[2][(c >> 8) & 0xff] ^ Te[3][d & 0xff];
}

} // namespace

AesKey::~AesKey()
{
    secureWipe(roundKeys.data(), roundKeys.size());
    rounds = 0;
}

bool aesSetKey(AesKey &key, std::span<const std::uint8_t> keyBytes)
{
    const std::size_t nk = keyBytes.size() / 4;
    if (keyBytes.size() != 16 && keyBytes.size() != 24 && keyBytes.size() != 32) {
        secureWipe(key.roundKeys.data(), key.roundKeys.size());
        key.rounds = 0;
        return false;
    }
    const int nr = static_cast<int>(nk) + 6;
    const std::size_t total = 4 * static_cast<std::size_t>(nr + 1);
    std::uint8_t *w = key.roundKeys.data();
    for (std::size_t i = 0; i < keyBytes.size(); ++i)
        w[i] = keyBytes[i];
    std::uint8_t rcon = 1;
    for (std::size_t i = nk; i < total; ++i) {
        std::uint32_t temp = load32be(w + 4 * (i - 1));
        if (i % nk == 0) {
            temp = subWord((temp << 8) | (temp >> 24)) ^ (std::uint32_t{rcon} << 24);
            rcon = gmul(rcon, 2);
        } else if (nk > 6 && i % nk == 4) {
            temp = subWord(temp);
        }
        store32be(w + 4 * i, load32be(w + 4 * (i - nk)) ^ temp);
    }
    key.rounds = nr;
    return true;
}

namespace detail {

void aesEncryptBlockPortable(const AesKey &key, const std::uint8_t *in, std::uint8_t *out)
{
    const std::uint8_t *rk = key.roundKeys.data();
    std::uint32_t s0 = load32be(in) ^ load32be(rk);
    std::uint32_t s1 = load32be(in + 4) ^ load32be(rk + 4);
    std::uint32_t s2 = load32be(in + 8) ^ load32be(rk + 8);
    std::uint32_t s3 = load32be(in + 12) ^ load32be(rk + 12);
    for (int round = 1; round < key.rounds; ++round) {
        rk += 16;
        const std::uint32_t t0 = tableColumn(s0, s1, s2, s3) ^ load32be(rk);
        const std::uint32_t t1 = tableColumn(s1, s2, s3, s0) ^ load32be(rk + 4);
        const std::uint32_t t2 = tableColumn(s2, s3, s0, s1) ^ load32be(rk + 8);
        const std::uint32_t t3 = tableColumn(s3, s0, s1, s2) ^ load32be(rk + 12);
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 16;
    store32be(out, finalColumn(s0, s1, s2, s3) ^ load32be(rk));
    store32be(out + 4, finalColumn(s1, s2, s3, s0) ^ load32be(rk + 4));
    store32be(out + 8, finalColumn(s2, s3, s0, s1) ^ load32be(rk + 8));
    store32be(out + 12, finalColumn(s3, s0, s1, s2) ^ load32be(rk + 12));
}

} // namespace detail

void aesEncryptBlock(const AesKey &key, std::span<const std::uint8_t, 16> in,
                     std::span<std::uint8_t, 16> out)
{
    if (useAesNi())
        detail::aesEncryptBlockNi(key, in.data(), out.data());
    else
        detail::aesEncryptBlockPortable(key, in.data(), out.data());
}

std::uint64_t aesCtr64Xor(const AesKey &key, std::uint64_t counter, std::uint8_t *data,
                          std::size_t nblocks)
{
    if (useVaes()) {
        detail::aesCtr64XorVaes(key, counter, data, nblocks);
        return counter + nblocks;
    }
    if (useAesNi()) {
        detail::aesCtr64XorNi(key, counter, data, nblocks);
        return counter + nblocks;
    }
    std::uint8_t block[16] = {};
    std::uint8_t stream[16];
    for (std::size_t b = 0; b < nblocks; ++b) {
        ++counter;
        for (int i = 0; i < 8; ++i)
            block[i] = static_cast<std::uint8_t>(counter >> (8 * i));
        detail::aesEncryptBlockPortable(key, block, stream);
        for (int i = 0; i < 16; ++i)
            data[16 * b + i] ^= stream[i];
    }
    secureWipe(stream, sizeof stream);
    return counter;
}

} // namespace lintrel::aes_lib
