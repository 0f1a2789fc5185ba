#include "pdf/content/barcode_code39.h"

#include "pdf/writer/errors.h"

#include <array>
#include <cstddef>

namespace pagora::detail {

namespace {

constexpr std::string_view kCharacterSet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
constexpr int kStartStop = 43;
constexpr std::size_t kMaxTextLength = 32767;

// Nine elements per character, in the order of the character set.
constexpr std::array<std::string_view, 44> kPatterns = {
    "bwbWBwBwb", "BwbWbwbwB", "bwBWbwbwB", "BwBWbwbwb", "bwbWBwbwB", "BwbWBwbwb", "bwBWBwbwb",
    "bwbWbwBwB", "BwbWbwBwb", "bwBWbwBwb", "BwbwbWbwB", "bwBwbWbwB", "BwBwbWbwb", "bwbwBWbwB",
    "BwbwBWbwb", "bwBwBWbwb", "bwbwbWBwB", "BwbwbWBwb", "bwBwbWBwb", "bwbwBWBwb", "BwbwbwbWB",
    "bwBwbwbWB", "BwBwbwbWb", "bwbwBwbWB", "BwbwBwbWb", "bwBwBwbWb", "bwbwbwBWB", "BwbwbwBWb",
    "bwBwbwBWb", "bwbwBwBWb", "BWbwbwbwB", "bWBwbwbwB", "BWBwbwbwb", "bWbwBwbwB", "BWbwBwbwb",
    "bWBwBwbwb", "bWbwbwBwB", "BWbwbwBwb", "bWBwbwBwb", "bWbWbWbwb", "bWbWbwbWb", "bWbwbWbWb",
    "bwbWbWbWb", "bWbwBwBwb"};

int ValueOf(char c) {
    return static_cast<int>(kCharacterSet.find(c));
}

} // namespace

std::string Code39Sequence(char c) {
    const int code = static_cast<unsigned char>(c);
    if (code > 127) return {};
    const bool own = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') ||
                     std::string_view("-. $/+%*").find(c) != std::string_view::npos;
    if (own) return std::string(1, c);
    const auto pair = [](char shift, int letter) {
        return std::string{shift, static_cast<char>(letter)};
    };
    if (code == 0) return "%U";
    if (code <= 26) return pair('$', code + 64);
    if (code <= 31) return pair('%', code + 38);
    if ((code >= '!' && code <= ',') || code == ':') return pair('/', code + 32);
    if (code >= ';' && code <= '?') return pair('%', code + 11);
    if (code == '@') return "%V";
    if (code >= '[' && code <= '_') return pair('%', code - '[' + 'K');
    if (code == '`') return "%W";
    if (code >= 'a' && code <= 'z') return pair('+', code - 32);
    return pair('%', code - 43); // "{" to 127
}

std::optional<Code39Symbol> EncodeCode39(std::string_view text, bool add_check) {
    if (text.size() > kMaxTextLength) RaiseError(kErrOverflow, "DrawBarCode");
    std::string characters;
    for (const char c : text) {
        const std::string sequence = Code39Sequence(c);
        // Dropping the character would leave bars that disagree with the printed text.
        if (sequence.empty()) return std::nullopt;
        characters += sequence;
    }
    Code39Symbol symbol;
    if (characters.empty()) return symbol;

    int sum = 0;
    symbol.code_characters.push_back('*');
    symbol.patterns.emplace_back(kPatterns[kStartStop]);
    for (const char c : characters) {
        const int value = ValueOf(c);
        if (value != kStartStop) sum += value;
        symbol.code_characters += c;
        symbol.patterns.emplace_back(kPatterns[static_cast<std::size_t>(value)]);
    }
    std::string& tail = symbol.patterns.back();
    tail += "ww";
    if (add_check) {
        const int check = sum % 43;
        symbol.check_character = kCharacterSet[static_cast<std::size_t>(check)];
        symbol.code_characters += symbol.check_character;
        tail += kPatterns[static_cast<std::size_t>(check)];
        tail += "ww";
    }
    tail += kPatterns[kStartStop];
    symbol.code_characters += '*';
    return symbol;
}

} // namespace pagora::detail
