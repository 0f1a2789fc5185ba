// Text helpers: literal strings, names, replacement, splitting and byte readers.
#include "pdf/writer/protection.h"
#include "pdf/writer/writer.h"

#include <cstring>

namespace pagora::detail {

void AppendEscaped(std::string& out, std::string_view text) {
    // Runs of plain bytes are appended whole: most text has no byte to escape at all.
    std::size_t from = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char* escape = nullptr;
        switch (c) {
        case '\\':
            escape = "\\\\";
            break;
        case '(':
            escape = "\\(";
            break;
        case ')':
            escape = "\\)";
            break;
        case '\r':
            escape = "\\r";
            break;
        case '\n':
            escape = "\\n";
            break;
        default:
            continue;
        }
        out.append(text.substr(from, i - from));
        out.append(escape, 2);
        from = i + 1;
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
        const bool regular = byte > 0x20 && byte < 0x7F && std::strchr("()<>[]{}/%#", c) == nullptr;
        if (regular) {
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
