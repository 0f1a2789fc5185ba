// Throughput of our MD5 and RC4 against OpenSSL's, on the sizes a protected document feeds
// them: short literal strings and object keys, and page streams of some kilobytes to a megabyte;
// and the cost of protection on a whole document.
#include "pdf/writer/md5.h"
#include "pdf/writer/members.h"
#include "pdf/writer/rc4.h"
#include "pdf/writer/security.h"
#include "pdf/writer/writer.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>
#include <openssl/provider.h>

#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

std::string Data(std::size_t size) {
    std::string data(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        data[i] = static_cast<char>(i * 131 + 17);
    return data;
}

void BM_Md5Ours(benchmark::State& state) {
    const std::string data = Data(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(pagora::detail::GetMD5(data));
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Md5Ours)->Arg(21)->Arg(4096)->Arg(1 << 20);

void BM_Md5Openssl(benchmark::State& state) {
    const std::string data = Data(static_cast<std::size_t>(state.range(0)));
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    for (auto _ : state) {
        EVP_Digest(data.data(), data.size(), digest, &size, EVP_md5(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Md5Openssl)->Arg(21)->Arg(4096)->Arg(1 << 20);

// Alternating keys defeat the cached schedule, as when strings of different objects follow
// each other; one key throughout is a stream of one object.
void BM_Rc4Ours(benchmark::State& state) {
    std::string data = Data(static_cast<std::size_t>(state.range(0)));
    const std::string keys[2] = {Data(16), Data(10)};
    const bool alternate = state.range(1) != 0;
    pagora::detail::Rc4Cipher rc4;
    std::size_t i = 0;
    for (auto _ : state) {
        rc4.CipherRC4InPlace(keys[alternate ? (i++ & 1) : 0], data);
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Rc4Ours)->Args({32, 0})->Args({32, 1})->Args({4096, 0})->Args({1 << 20, 0});

void BM_Rc4Openssl(benchmark::State& state) {
    static OSSL_PROVIDER* legacy = OSSL_PROVIDER_load(nullptr, "legacy");
    static OSSL_PROVIDER* fallback = OSSL_PROVIDER_load(nullptr, "default");
    benchmark::DoNotOptimize(legacy);
    benchmark::DoNotOptimize(fallback);
    std::string data = Data(static_cast<std::size_t>(state.range(0)));
    std::string out(data.size() + 16, '\0');
    const std::string key = Data(16);
    EVP_CIPHER* cipher = EVP_CIPHER_fetch(nullptr, "RC4", nullptr);
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    for (auto _ : state) {
        int written = 0;
        // a fresh key schedule every call, as our cipher without its cache
        EVP_EncryptInit_ex2(ctx, cipher, reinterpret_cast<const unsigned char*>(key.data()),
                            nullptr, nullptr);
        EVP_EncryptUpdate(ctx, reinterpret_cast<unsigned char*>(out.data()), &written,
                          reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<int>(data.size()));
        benchmark::DoNotOptimize(out.data());
    }
    EVP_CIPHER_CTX_free(ctx);
    EVP_CIPHER_free(cipher);
    state.SetBytesProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_Rc4Openssl)->Arg(32)->Arg(4096)->Arg(1 << 20);

void BM_ProtectionKeysRevision3(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(pagora::detail::ComputeProtectionKeys(0x1004, "owner", "user",
                                                                       "D:20261210123456+01'00'"));
}
BENCHMARK(BM_ProtectionKeysRevision3);

} // namespace

// A whole document of 200 pages of 60 text lines each, unprotected and protected with 40-bit
// and 128-bit keys: what protection adds to writing a file.
void BM_DocumentProtection(benchmark::State& state) {
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("bench-protection-" + std::to_string(::getpid()) + ".pdf"))
                                 .string();
    const int mode = static_cast<int>(state.range(0));
    std::int64_t bytes = 0;
    for (auto _ : state) {
        pagora::Pagora pdf;
        if (mode >= 0) pdf.SetProtection(mode, "owner", "user");
        pdf.BeginDoc(path);
        auto& s = pagora::detail::StateOf(pdf).writer;
        for (int page = 0; page < 200; ++page) {
            pdf.BeginPage();
            for (int line = 0; line < 60; ++line) {
                pagora::detail::WriteContent(
                    s, "BT /F1 10 Tf 1 0 0 -1 40 " + std::to_string(40 + 12 * line) + " Tm (Line " +
                           std::to_string(line) + " of a page of text) Tj ET");
            }
            pdf.EndPage();
        }
        pdf.EndDoc();
        bytes += pdf.FileSize();
    }
    std::filesystem::remove(path);
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_DocumentProtection)->Arg(-1)->Arg(4)->Arg(0x1004)->Unit(benchmark::kMillisecond);
