#include "pdf/content/barcode_code128.h"

#include "pdf/writer/errors.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace pagora::detail {

namespace {

constexpr std::array<std::string_view, 107> kPatterns = {
    "11011001100", "11001101100", "11001100110", "10010011000", "10010001100",   "10001001100",
    "10011001000", "10011000100", "10001100100", "11001001000", "11001000100",   "11000100100",
    "10110011100", "10011011100", "10011001110", "10111001100", "10011101100",   "10011100110",
    "11001110010", "11001011100", "11001001110", "11011100100", "11001110100",   "11101101110",
    "11101001100", "11100101100", "11100100110", "11101100100", "11100110100",   "11100110010",
    "11011011000", "11011000110", "11000110110", "10100011000", "10001011000",   "10001000110",
    "10110001000", "10001101000", "10001100010", "11010001000", "11000101000",   "11000100010",
    "10110111000", "10110001110", "10001101110", "10111011000", "10111000110",   "10001110110",
    "11101110110", "11010001110", "11000101110", "11011101000", "11011100010",   "11011101110",
    "11101011000", "11101000110", "11100010110", "11101101000", "11101100010",   "11100011010",
    "11101111010", "11001000010", "11110001010", "10100110000", "10100001100",   "10010110000",
    "10010000110", "10000101100", "10000100110", "10110010000", "10110000100",   "10011010000",
    "10011000010", "10000110100", "10000110010", "11000010010", "11001010000",   "11110111010",
    "11000010100", "10001111010", "10100111100", "10010111100", "10010011110",   "10111100100",
    "10011110100", "10011110010", "11110100100", "11110010100", "11110010010",   "11011011110",
    "11011110110", "11110110110", "10101111000", "10100011110", "10001011110",   "10111101000",
    "10111100010", "11110101000", "11110100010", "10111011110", "10111101110",   "11101011110",
    "11110101110", "11010000100", "11010010000", "11010011100", "1100011101011",
};

constexpr int kCodeC = 99;
constexpr int kCodeB = 100;
constexpr int kStartB = 104;
constexpr int kStartC = 105;
constexpr int kStop = 106;
constexpr std::int32_t kLimit = 32767;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether count characters from position i (0-based) exist and are all digits.
bool DigitsAhead(std::string_view text, std::size_t i, std::size_t count) {
    if (text.size() - i < count) return false;
    for (std::size_t k = i; k < i + count; ++k)
        if (!IsDigit(text[k])) return false;
    return true;
}

class SymbolBuilder {
public:
    explicit SymbolBuilder(Code128Symbol& symbol) : symbol_(symbol) {}

    void Start(int value) {
        sum_ = value;
        Append(value);
    }
    // A data or switch symbol weighted by its position.
    void Add(int value) {
        ++position_;
        const std::int32_t weighted = position_ * value;
        if (weighted > kLimit) RaiseError(kErrOverflow, "DrawBarCode");
        sum_ += weighted;
        Append(value);
    }
    void Finish() {
        symbol_.check = static_cast<int>(sum_ % 103);
        symbol_.modules += kPatterns[static_cast<std::size_t>(symbol_.check)];
        symbol_.modules += kPatterns[kStop];
        if (symbol_.modules.size() > static_cast<std::size_t>(kLimit))
            RaiseError(kErrOverflow, "DrawBarCode");
    }

private:
    void Append(int value) {
        symbol_.values.push_back(value);
        symbol_.modules += kPatterns[static_cast<std::size_t>(value)];
    }

    Code128Symbol& symbol_;
    std::int32_t sum_ = 0;
    std::int32_t position_ = 0;
};

} // namespace

std::optional<Code128Symbol> EncodeCode128(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(kLimit)) RaiseError(kErrOverflow, "DrawBarCode");
    if (text.empty()) return std::nullopt;
    for (const char c : text) {
        const int code = static_cast<unsigned char>(c);
        if (code < 32 || code > 126) return std::nullopt;
    }

    Code128Symbol symbol;
    SymbolBuilder builder(symbol);
    const std::size_t length = text.size();
    bool set_b = true;
    std::size_t i = 0;
    while (i < length) {
        if (set_b) {
            // A run of digits pays for the switch only when it is long enough: four at the
            // start or the end of the text, six elsewhere.
            const std::size_t needed = (i == 0 || i + 4 == length) ? 4 : 6;
            if (DigitsAhead(text, i, needed)) {
                if (i == 0) {
                    builder.Start(kStartC);
                } else {
                    builder.Add(kCodeC);
                }
                set_b = false;
            } else if (i == 0) {
                builder.Start(kStartB);
            }
        }
        if (!set_b) {
            if (i + 1 < length && IsDigit(text[i]) && IsDigit(text[i + 1])) {
                builder.Add((text[i] - '0') * 10 + (text[i + 1] - '0'));
                i += 2;
                continue;
            }
            builder.Add(kCodeB);
            set_b = true;
        }
        builder.Add(static_cast<unsigned char>(text[i]) - 32);
        ++i;
    }
    builder.Finish();
    return symbol;
}

} // namespace pagora::detail
