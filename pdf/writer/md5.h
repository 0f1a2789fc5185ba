// MD5 message digest (RFC 1321) over bytes, as the standard security handler needs it for its
// keys. Not for anything that must resist collisions.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pagora::detail {

using Md5Digest = std::array<std::uint8_t, 16>;

// Incremental digest: feed the message in any number of pieces, then take the digest once.
class Md5 {
public:
    Md5& Update(std::span<const std::uint8_t> bytes);
    Md5& Update(std::string_view bytes);
    // The digest of everything fed so far; the object starts over afterwards.
    Md5Digest Finish();

private:
    void Transform(const std::uint8_t* block);

    std::array<std::uint32_t, 4> state_{0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u};
    std::array<std::uint8_t, 64> buffer_{};
    std::size_t buffered_ = 0;
    std::uint64_t length_ = 0; // bytes fed so far
};

Md5Digest ComputeMd5(std::span<const std::uint8_t> bytes);

// The digest of single-byte text as a 16-byte string (the form the key computations join).
std::string GetMD5(std::string_view text);

} // namespace pagora::detail
