#include "pdf/writer/rc4.h"

#include <stdexcept>
#include <utility>

namespace pagora::detail {

void Rc4Cipher::Schedule(std::string_view key) {
    if (key.empty()) throw std::invalid_argument("RC4 key is empty");
    if (key == cached_key_) return;
    for (std::size_t i = 0; i < state_.size(); ++i)
        state_[i] = static_cast<std::uint8_t>(i);
    std::uint8_t j = 0;
    for (std::size_t i = 0; i < state_.size(); ++i) {
        j = static_cast<std::uint8_t>(j + state_[i] +
                                      static_cast<std::uint8_t>(key[i % key.size()]));
        std::swap(state_[i], state_[j]);
    }
    cached_key_.assign(key);
}

void Rc4Cipher::CipherRC4InPlace(std::string_view key, std::span<std::uint8_t> data) {
    Schedule(key);
    // Work on a copy so the cached permutation stays as the key schedule left it.
    std::array<std::uint8_t, 256> s = state_;
    std::uint8_t i = 0, j = 0;
    for (std::uint8_t& byte : data) {
        i = static_cast<std::uint8_t>(i + 1);
        j = static_cast<std::uint8_t>(j + s[i]);
        std::swap(s[i], s[j]);
        byte ^= s[static_cast<std::uint8_t>(s[i] + s[j])];
    }
}

void Rc4Cipher::CipherRC4InPlace(std::string_view key, std::string& data) {
    CipherRC4InPlace(key, std::span(reinterpret_cast<std::uint8_t*>(data.data()), data.size()));
}

std::string Rc4Cipher::CipherRC4(std::string_view key, std::string_view data) {
    std::string out(data);
    CipherRC4InPlace(key, out);
    return out;
}

} // namespace pagora::detail
