#include "pdf/writer/md5.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace pagora::detail {
namespace {

// The sine table and shift amounts of the four rounds.
constexpr std::array<std::uint32_t, 64> kSine = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

constexpr std::array<int, 16> kShift = {7, 12, 17, 22, 5, 9, 14, 20, 4, 11, 16, 23, 6, 10, 15, 21};

std::uint32_t LoadLittleEndian(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

} // namespace

void Md5::Transform(const std::uint8_t* block) {
    std::array<std::uint32_t, 16> x{};
    for (std::size_t i = 0; i < 16; ++i)
        x[i] = LoadLittleEndian(block + 4 * i);

    std::uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
    for (std::size_t i = 0; i < 64; ++i) {
        std::uint32_t f = 0;
        std::size_t g = 0;
        switch (i / 16) {
        case 0:
            f = (b & c) | (~b & d);
            g = i;
            break;
        case 1:
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
            break;
        }
        const std::uint32_t rotated =
            std::rotl(a + f + kSine[i] + x[g], kShift[(i / 16) * 4 + i % 4]);
        a = d;
        d = c;
        c = b;
        b = b + rotated;
    }
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
}

Md5& Md5::Update(std::span<const std::uint8_t> bytes) {
    length_ += bytes.size();
    std::size_t pos = 0;
    if (buffered_ > 0) {
        const std::size_t take = std::min(bytes.size(), buffer_.size() - buffered_);
        std::memcpy(buffer_.data() + buffered_, bytes.data(), take);
        buffered_ += take;
        pos = take;
        if (buffered_ < buffer_.size()) return *this;
        Transform(buffer_.data());
        buffered_ = 0;
    }
    for (; bytes.size() - pos >= 64; pos += 64)
        Transform(bytes.data() + pos);
    if (pos < bytes.size()) {
        buffered_ = bytes.size() - pos;
        std::memcpy(buffer_.data(), bytes.data() + pos, buffered_);
    }
    return *this;
}

Md5& Md5::Update(std::string_view bytes) {
    return Update(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

Md5Digest Md5::Finish() {
    const std::uint64_t bit_length = length_ * 8;
    // One 0x80 byte, zeros up to 56 bytes into a block, then the 64-bit length.
    std::array<std::uint8_t, 72> tail{};
    tail[0] = 0x80;
    const std::size_t pad = (buffered_ < 56 ? 56 : 120) - buffered_;
    for (std::size_t i = 0; i < 8; ++i)
        tail[pad + i] = static_cast<std::uint8_t>(bit_length >> (8 * i));
    Update(std::span<const std::uint8_t>(tail.data(), pad + 8));

    Md5Digest digest{};
    for (std::size_t i = 0; i < 4; ++i)
        for (std::size_t k = 0; k < 4; ++k)
            digest[4 * i + k] = static_cast<std::uint8_t>(state_[i] >> (8 * k));
    *this = Md5();
    return digest;
}

Md5Digest ComputeMd5(std::span<const std::uint8_t> bytes) {
    return Md5().Update(bytes).Finish();
}

std::string GetMD5(std::string_view text) {
    const Md5Digest digest = Md5().Update(text).Finish();
    return std::string(digest.begin(), digest.end());
}

} // namespace pagora::detail
