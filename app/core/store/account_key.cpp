#include "app/core/store/account_key.h"

#include "pdf/writer/Pagora.h"

namespace kerbolt::store {

namespace {

constexpr const char* kSalt = "Q#m4?";
constexpr std::int64_t kModulus = 2147483647;

// Lower case in Windows-1252, as the system's lower-casing treats the code page's letters.
unsigned char LowerAnsi(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A:
        return 0x9A; // S caron
    case 0x8C:
        return 0x9C; // OE
    case 0x8E:
        return 0x9E; // Z caron
    case 0x9F:
        return 0xFF; // Y diaeresis
    default:
        return c;
    }
}

} // namespace

std::string ToBase36(std::int64_t value) {
    constexpr const char* kDigits = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    if (value <= 0) return "0";
    std::string digits;
    while (value > 0) {
        digits.insert(digits.begin(), kDigits[value % 36]);
        value /= 36;
    }
    return digits;
}

std::string ComputeAccountKey(const std::string& address) {
    const std::string text = pagora::Pagora::FromUtf8(address + kSalt);
    // 64-bit terms: long addresses would overflow 16-bit products and a 32-bit final product;
    // every key the narrow arithmetic could compute comes out the same.
    std::int64_t sum = 0;
    std::int64_t position = 0;
    for (const char c : text) {
        ++position;
        sum = (sum + position * LowerAnsi(static_cast<unsigned char>(c))) % kModulus;
    }
    const std::int64_t value = (sum * 7919) % kModulus;
    const std::string padded = "00000000" + ToBase36(value);
    return padded.substr(padded.size() - 8);
}

} // namespace kerbolt::store
