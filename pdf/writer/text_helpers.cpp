// Text helpers: literal strings, names, replacement, splitting and byte readers.
#include "pdf/writer/protection.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace pagora::detail {

namespace {

// The letter after the backslash for each byte a literal string must escape, 0 for the others.
constexpr std::array<char, 256> kStringEscapes = [] {
    std::array<char, 256> escapes{};
    escapes['\\'] = '\\';
    escapes['('] = '(';
    escapes[')'] = ')';
    escapes['\r'] = 'r';
    escapes['\n'] = 'n';
    return escapes;
}();

// Whether a byte stands for itself in a name: printable ASCII other than the delimiters and "#".
constexpr std::array<bool, 256> kRegularInName = [] {
    std::array<bool, 256> regular{};
    for (int byte = 0x21; byte < 0x7F; ++byte)
        regular[static_cast<std::size_t>(byte)] = true;
    for (const char delimiter : std::string_view("()<>[]{}/%#"))
        regular[static_cast<unsigned char>(delimiter)] = false;
    return regular;
}();

// Whether any of the eight bytes of a word is one a literal string escapes: a byte equal to b
// leaves a zero byte in the word xor b, which the borrow of subtracting one from each byte shows.
bool HoldsEscapedByte(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
    const auto holds = [word](unsigned char byte) {
        const std::uint64_t x = word ^ (kOnes * byte);
        return (x - kOnes) & ~x & kHighBits;
    };
    return (holds('\\') | holds('(') | holds(')') | holds('\r') | holds('\n')) != 0;
}

} // namespace

void AppendEscaped(std::string& out, std::string_view text) {
    // Runs of plain bytes are appended whole: most text has no byte to escape at all, and it is
    // passed over eight bytes at a time.
    std::size_t from = 0;
    std::size_t i = 0;
    while (i < text.size()) {
        if (i + 8 <= text.size()) {
            std::uint64_t word = 0;
            std::memcpy(&word, text.data() + i, sizeof word);
            if (!HoldsEscapedByte(word)) {
                i += 8;
                continue;
            }
        }
        const std::size_t end = std::min(i + 8, text.size());
        for (; i < end; ++i) {
            const char escape = kStringEscapes[static_cast<unsigned char>(text[i])];
            if (escape == 0) continue;
            out.append(text.substr(from, i - from));
            out += '\\';
            out += escape;
            from = i + 1;
        }
    }
    out.append(text.substr(from));
}

std::string EscapeString(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 8);
    AppendEscaped(out, text);
    return out;
}

std::string FormatLiteral(WriterState& s, std::string_view text) {
    // The caller's text stays plain: a member formatted again inside another object is then
    // enciphered under that object's key.
    std::string bytes(text);
    if (s.encrypted && !bytes.empty()) EncipherForObject(s, s.kept.current_object, bytes);
    return "(" + EscapeString(bytes) + ")";
}

std::string FormatName(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "/";
    out.reserve(text.size() + 1);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (kRegularInName[byte]) {
            out += c;
        } else {
            out += '#';
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                        std::size_t start, int count) {
    if (find.empty() || count < 1 || start >= text.size()) return std::string(text);
    std::string out(text.substr(0, start));
    std::size_t pos = start;
    int done = 0;
    while (done < count) {
        const std::size_t hit = text.find(find, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(replacement);
        pos = hit + find.size();
        ++done;
    }
    out.append(text.substr(pos));
    return out;
}

std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter) {
    std::vector<std::string> pieces;
    if (text.empty() || delimiter.empty()) {
        pieces.emplace_back(text);
        return pieces;
    }
    std::size_t pos = 0;
    for (;;) {
        const std::size_t hit = text.find(delimiter, pos);
        if (hit == std::string_view::npos) break;
        pieces.emplace_back(text.substr(pos, hit - pos));
        pos = hit + delimiter.size();
    }
    pieces.emplace_back(text.substr(pos));
    return pieces;
}

std::int64_t ReadBigEndian(std::string_view bytes, std::size_t position, int size,
                           bool is_unsigned) {
    if (size != 2 && size != 4) return 0;
    const auto n = static_cast<std::size_t>(size);
    if (position > bytes.size() || bytes.size() - position < n) {
        RaiseError(kErrSubscript, "ReadBigEndian");
    }
    std::int64_t v = 0;
    for (std::size_t i = 0; i < n; ++i)
        v = v * 256 + static_cast<unsigned char>(bytes[position + i]);
    if (!is_unsigned) {
        const std::int64_t half = std::int64_t{1} << (8 * n - 1);
        if (v >= half) v -= half * 2;
    }
    return v;
}

std::string HexToBytes(std::string_view hex) {
    auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        RaiseError(kErrInvalidCall, "HexToBytes");
    };
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        out += static_cast<char>(digit(hex[i]) * 16 + digit(hex[i + 1]));
    }
    return out;
}

} // namespace pagora::detail
