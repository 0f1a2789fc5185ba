// RC4 stream cipher (encryption and decryption are the same operation), keeping the key
// schedule of the last key: the strings and streams of one object share one key, so the
// schedule runs once per object instead of once per string.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pagora::detail {

class Rc4Cipher {
public:
    // Every call starts at the beginning of the key stream, whatever came before; the cached
    // schedule only saves work. Keys are 1 to 256 bytes; an empty key is refused.
    void CipherRC4InPlace(std::string_view key, std::span<std::uint8_t> data);
    void CipherRC4InPlace(std::string_view key, std::string& data);
    // Returns the cipher of data and leaves data as it was.
    std::string CipherRC4(std::string_view key, std::string_view data);

private:
    void Schedule(std::string_view key);

    std::string cached_key_; // the key whose permutation state_ holds; empty before first use
    std::array<std::uint8_t, 256> state_{};
};

} // namespace pagora::detail
