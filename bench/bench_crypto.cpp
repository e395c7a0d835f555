// Speed of the container (AES-CTR + HMAC-SHA1 over 64 MiB), PBKDF2 and the bare primitives,
// on the hardware and the portable paths, next to OpenSSL doing the same work.
#include "brand/aes_lib/aes.h"
#include "brand/aes_lib/container.h"
#include "brand/aes_lib/cpu_features.h"
#include "brand/aes_lib/pbkdf2.h"
#include "brand/aes_lib/sha1.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using namespace lintrel::aes_lib;

constexpr std::size_t ContainerBytes = 64u << 20;
constexpr std::int32_t Chunk = 0x40000;

const std::vector<std::uint8_t> &document()
{
    static const std::vector<std::uint8_t> doc = [] {
        std::vector<std::uint8_t> d(ContainerBytes);
        std::mt19937 rng(1);
        for (auto &b : d)
            b = static_cast<std::uint8_t>(rng());
        return d;
    }();
    return doc;
}

// Streams over caller-owned memory, so that no copying of the 64 MiB is measured.
class SpanSource : public Stream
{
public:
    explicit SpanSource(std::span<const std::uint8_t> data) : data_(data) {}
    std::size_t read(std::span<std::uint8_t> out) override
    {
        const std::size_t n = std::min(out.size(), data_.size() - pos_);
        std::memcpy(out.data(), data_.data() + pos_, n);
        pos_ += n;
        return n;
    }
    void write(std::span<const std::uint8_t>) override {}
    std::int64_t size() const override { return static_cast<std::int64_t>(data_.size()); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
};

class BufferSink : public Stream
{
public:
    explicit BufferSink(std::vector<std::uint8_t> &buffer) : buffer_(buffer) {}
    std::size_t read(std::span<std::uint8_t>) override { return 0; }
    void write(std::span<const std::uint8_t> data) override
    {
        std::memcpy(buffer_.data() + pos_, data.data(), data.size());
        pos_ += data.size();
    }
    std::int64_t size() const override { return static_cast<std::int64_t>(pos_); }
    std::size_t written() const { return pos_; }

private:
    std::vector<std::uint8_t> &buffer_;
    std::size_t pos_ = 0;
};

void setPath(benchmark::State &state)
{
    const bool portable = state.range(0) != 0;
    forcePortable(portable);
    state.SetLabel(portable ? "portable"
                            : (cpuHasAesNi() && cpuHasShaNi() ? "AES-NI+SHA-NI" : "hardware n/a"));
}

void BM_ContainerEncrypt(benchmark::State &state)
{
    setPath(state);
    const auto &doc = document();
    std::vector<std::uint8_t> out(doc.size() + 64);
    for (auto _ : state) {
        TEncryption engine("pelmowtrax", Chunk);
        SpanSource in(doc);
        BufferSink sink(out);
        if (!engine.EncryptStream(in, sink))
            state.SkipWithError("encrypt failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
    forcePortable(false);
}

void BM_ContainerDecrypt(benchmark::State &state)
{
    setPath(state);
    const auto &doc = document();
    std::vector<std::uint8_t> container(doc.size() + 64);
    {
        TEncryption engine("pelmowtrax", Chunk);
        SpanSource in(doc);
        BufferSink sink(container);
        engine.EncryptStream(in, sink);
        container.resize(sink.written());
    }
    std::vector<std::uint8_t> out(doc.size());
    for (auto _ : state) {
        TEncryption engine("pelmowtrax", Chunk);
        SpanSource in(container);
        BufferSink sink(out);
        if (!engine.DecryptStream(in, &sink, static_cast<std::int64_t>(container.size())))
            state.SkipWithError("decrypt failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
    forcePortable(false);
}

// OpenSSL's EVP AES-128-CTR followed by HMAC-SHA1 over the same bytes.
void BM_OpenSslCtrThenHmac(benchmark::State &state)
{
    const auto &doc = document();
    std::vector<std::uint8_t> out(doc.size());
    const std::uint8_t key[16] = {1, 2, 3}, iv[16] = {}, macKey[16] = {4, 5, 6};
    for (auto _ : state) {
        EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
        EVP_EncryptInit_ex(ctx, EVP_aes_128_ctr(), nullptr, key, iv);
        int len = 0;
        EVP_EncryptUpdate(ctx, out.data(), &len, doc.data(), static_cast<int>(doc.size()));
        EVP_CIPHER_CTX_free(ctx);
        std::uint8_t mac[20];
        unsigned macLen = 0;
        HMAC(EVP_sha1(), macKey, sizeof macKey, out.data(), out.size(), mac, &macLen);
        benchmark::DoNotOptimize(mac);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * doc.size()));
}

void BM_Pbkdf2(benchmark::State &state)
{
    setPath(state);
    const std::uint8_t salt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t out[34];
    for (auto _ : state) {
        pbkdf2HmacSha1({reinterpret_cast<const std::uint8_t *>("pelmowtrax"), 10}, salt, 1000, out);
        benchmark::DoNotOptimize(out);
    }
    forcePortable(false);
}

void BM_OpenSslPbkdf2(benchmark::State &state)
{
    const std::uint8_t salt[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::uint8_t out[34];
    for (auto _ : state) {
        PKCS5_PBKDF2_HMAC_SHA1("pelmowtrax", 10, salt, sizeof salt, 1000, sizeof out, out);
        benchmark::DoNotOptimize(out);
    }
}

constexpr std::size_t PrimitiveBytes = 1u << 20;

void BM_Sha1(benchmark::State &state)
{
    setPath(state);
    const std::span<const std::uint8_t> data(document().data(), PrimitiveBytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(sha1(data));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * PrimitiveBytes));
    forcePortable(false);
}

void BM_OpenSslSha1(benchmark::State &state)
{
    std::uint8_t md[20];
    unsigned len = 0;
    for (auto _ : state) {
        EVP_Digest(document().data(), PrimitiveBytes, md, &len, EVP_sha1(), nullptr);
        benchmark::DoNotOptimize(md);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * PrimitiveBytes));
}

void BM_AesCtr(benchmark::State &state)
{
    setPath(state);
    std::vector<std::uint8_t> data(document().begin(), document().begin() + PrimitiveBytes);
    AesKey key;
    const std::uint8_t k[16] = {1, 2, 3};
    aesSetKey(key, k);
    for (auto _ : state) {
        aesCtr64Xor(key, 0, data.data(), PrimitiveBytes / 16);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * PrimitiveBytes));
    forcePortable(false);
}

void BM_OpenSslAesCtr(benchmark::State &state)
{
    std::vector<std::uint8_t> data(document().begin(), document().begin() + PrimitiveBytes);
    const std::uint8_t key[16] = {1, 2, 3}, iv[16] = {};
    for (auto _ : state) {
        EVP_CIPHER_CTX *ctx = EVP_CIPHER_CTX_new();
        EVP_EncryptInit_ex(ctx, EVP_aes_128_ctr(), nullptr, key, iv);
        int len = 0;
        EVP_EncryptUpdate(ctx, data.data(), &len, data.data(), static_cast<int>(data.size()));
        EVP_CIPHER_CTX_free(ctx);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * PrimitiveBytes));
}

} // namespace

// Argument 0: hardware path where the CPU has it; 1: portable code forced.
BENCHMARK(BM_ContainerEncrypt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ContainerDecrypt)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenSslCtrThenHmac)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Pbkdf2)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenSslPbkdf2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Sha1)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenSslSha1);
BENCHMARK(BM_AesCtr)->Arg(0)->Arg(1);
BENCHMARK(BM_OpenSslAesCtr);

BENCHMARK_MAIN();
