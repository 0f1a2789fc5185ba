#include "tests/pdf/writer/openssl_oracle.h"

#include <openssl/evp.h>
#include <openssl/provider.h>

#include <memory>
#include <stdexcept>

namespace testing_support {
namespace {

const unsigned char* Bytes(std::string_view s) {
    return reinterpret_cast<const unsigned char*>(s.data());
}

// RC4 lives in the legacy provider. It is loaded into a library context of its own, which is
// released at exit so the leak checker sees nothing left behind.
class LegacyContext {
public:
    LegacyContext()
        : context_(OSSL_LIB_CTX_new()), legacy_(OSSL_PROVIDER_load(context_, "legacy")),
          default_(OSSL_PROVIDER_load(context_, "default")) {}
    ~LegacyContext() {
        if (default_ != nullptr) OSSL_PROVIDER_unload(default_);
        if (legacy_ != nullptr) OSSL_PROVIDER_unload(legacy_);
        OSSL_LIB_CTX_free(context_);
    }
    LegacyContext(const LegacyContext&) = delete;
    LegacyContext& operator=(const LegacyContext&) = delete;

    OSSL_LIB_CTX* Get() const {
        if (legacy_ == nullptr || default_ == nullptr)
            throw std::runtime_error("OpenSSL legacy provider unavailable");
        return context_;
    }

private:
    OSSL_LIB_CTX* context_;
    OSSL_PROVIDER* legacy_;
    OSSL_PROVIDER* default_;
};

OSSL_LIB_CTX* Rc4Context() {
    static const LegacyContext context;
    return context.Get();
}

} // namespace

std::string OpensslMd5(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &size, EVP_md5(), nullptr) != 1)
        throw std::runtime_error("EVP_Digest failed");
    return std::string(reinterpret_cast<const char*>(digest), size);
}

std::string OpensslRc4(std::string_view key, std::string_view data) {
    std::unique_ptr<EVP_CIPHER, decltype(&EVP_CIPHER_free)> cipher(
        EVP_CIPHER_fetch(Rc4Context(), "RC4", nullptr), EVP_CIPHER_free);
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> ctx(EVP_CIPHER_CTX_new(),
                                                                        EVP_CIPHER_CTX_free);
    if (!cipher || !ctx) throw std::runtime_error("RC4 unavailable");
    std::string out(data.size() + 16, '\0');
    int written = 0, final_written = 0;
    auto* out_bytes = reinterpret_cast<unsigned char*>(out.data());
    if (EVP_EncryptInit_ex2(ctx.get(), cipher.get(), nullptr, nullptr, nullptr) != 1 ||
        EVP_CIPHER_CTX_set_key_length(ctx.get(), static_cast<int>(key.size())) != 1 ||
        EVP_EncryptInit_ex2(ctx.get(), nullptr, Bytes(key), nullptr, nullptr) != 1 ||
        EVP_EncryptUpdate(ctx.get(), out_bytes, &written, Bytes(data),
                          static_cast<int>(data.size())) != 1 ||
        EVP_EncryptFinal_ex(ctx.get(), out_bytes + written, &final_written) != 1)
        throw std::runtime_error("RC4 failed");
    out.resize(static_cast<std::size_t>(written + final_written));
    return out;
}

std::string ToHex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return bytes;
}

} // namespace testing_support
