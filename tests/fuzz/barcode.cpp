// Any text through the barcode encoders and DrawBarCode: the symbols keep their structure, their
// check characters agree with a count made here, a Code 128 symbol decodes back to its text, and
// drawing either succeeds with balanced state or fails with the overflow error.
#include "pdf/content/barcode_code128.h"
#include "pdf/content/barcode_code39.h"
#include "pdf/content/barcode_ean.h"
#include "pdf/content/barcode_interleaved.h"
#include "pdf/content/barcode_postnet.h"
#include "pdf/fonts/font_selection.h"
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

using namespace pagora::detail;

void Require(bool condition) {
    if (!condition) std::abort();
}

bool OnlyOf(std::string_view text, std::string_view allowed) {
    return text.find_first_not_of(allowed) == std::string_view::npos;
}

void CheckEan(const EanSymbol& symbol, std::size_t digits) {
    Require(symbol.left_patterns.size() == digits && symbol.right_patterns.size() == digits);
    for (const auto* side : {&symbol.left_patterns, &symbol.right_patterns})
        for (const std::string& p : *side)
            Require(p.size() == 7 && OnlyOf(p, "01"));
    Require(symbol.check_digit >= 0 && symbol.check_digit <= 9);
    Require(symbol.right_piece.back() == '0' + symbol.check_digit);
    // Left digits begin light and end dark, right digits the other way round.
    for (const std::string& p : symbol.left_patterns)
        Require(p.front() == '0' && p.back() == '1');
    for (const std::string& p : symbol.right_patterns)
        Require(p.front() == '1' && p.back() == '0');
}

void CheckCode39(std::string_view text, bool add_check) {
    const auto symbol = EncodeCode39(text, add_check);
    const bool high = std::ranges::any_of(text, [](char c) { return (c & 0x80) != 0; });
    Require(symbol.has_value() == !high);
    if (!symbol || text.empty()) return;
    const std::string& code = symbol->code_characters;
    Require(code.front() == '*' && code.back() == '*');
    constexpr std::string_view kSet = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%*";
    int sum = 0;
    const std::size_t data_end = code.size() - (add_check ? 2 : 1);
    for (std::size_t i = 1; i < data_end; ++i) {
        const std::size_t value = kSet.find(code[i]);
        Require(value != std::string_view::npos);
        if (value != 43) sum += static_cast<int>(value);
    }
    if (add_check) Require(code[code.size() - 2] == kSet[static_cast<std::size_t>(sum % 43)]);
    Require(symbol->patterns.size() == data_end);
    // Nine elements per character, bars and spaces alternating; the last character carries the
    // tail: two narrow spaces before the check character and before the stop.
    std::string elements;
    for (const std::string& p : symbol->patterns)
        elements += p;
    const std::string tail = symbol->patterns.back().substr(9);
    Require(tail.size() == (add_check ? 22u : 11u) && tail.starts_with("ww"));
    if (add_check) Require(tail.substr(11, 2) == "ww");
    Require(OnlyOf(elements, "bwBW"));
    for (std::size_t at = 0; at < elements.size();) {
        const std::string one = elements.substr(at, 9);
        Require(one.size() == 9);
        for (std::size_t i = 0; i < 9; ++i)
            Require((one[i] == 'b' || one[i] == 'B') == (i % 2 == 0));
        Require(std::ranges::count_if(one, [](char c) { return c == 'B' || c == 'W'; }) == 3);
        at += 9;
        if (at >= elements.size() - tail.size() && elements.compare(at, 2, "ww") == 0) at += 2;
    }
}

void CheckInterleaved(std::string_view text, bool add_check) {
    const Interleaved2of5Symbol symbol = EncodeInterleaved2of5(text, add_check);
    Require(symbol.digits.size() % 2 == 0);
    Require(symbol.elements.size() == 5 * symbol.digits.size() + 8);
    // Two wide elements among each digit's five.
    for (std::size_t pair = 0; pair < symbol.digits.size() / 2; ++pair)
        for (std::size_t which = 0; which < 2; ++which) {
            int wide = 0;
            for (std::size_t e = 0; e < 5; ++e)
                wide += symbol.elements[4 + 10 * pair + 2 * e + which] == 'w';
            Require(wide == 2);
        }
}

// Reads the symbol values back into text, sets B and C only.
void CheckCode128(std::string_view text) {
    const auto symbol = EncodeCode128(text);
    const bool printable =
        !text.empty() && std::ranges::all_of(text, [](char c) { return c >= 32 && c <= 126; });
    Require(symbol.has_value() == printable);
    if (!symbol) return;
    const auto& values = symbol->values;
    Require(values.front() == 104 || values.front() == 105);
    bool set_c = values.front() == 105;
    std::string decoded;
    long sum = values.front();
    for (std::size_t n = 1; n < values.size(); ++n) {
        const int v = values[n];
        sum += static_cast<long>(n) * v;
        if (set_c && v == 100) {
            set_c = false;
        } else if (!set_c && v == 99) {
            set_c = true;
        } else if (set_c) {
            Require(v < 100);
            decoded += static_cast<char>('0' + v / 10);
            decoded += static_cast<char>('0' + v % 10);
        } else {
            Require(v < 95);
            decoded += static_cast<char>(v + 32);
        }
    }
    Require(decoded == text);
    Require(symbol->check == sum % 103);
    Require(symbol->modules.size() == 11 * (values.size() + 1) + 13);
}

void CheckPostnet(std::string_view text) {
    const PostnetSymbol symbol = EncodePostnet(text);
    Require(symbol.bars.size() == (text.size() == 10 ? 52u : 32u));
    for (std::size_t at = 1; at + 1 < symbol.bars.size(); at += 5)
        Require(std::count(symbol.bars.begin() + static_cast<long>(at),
                           symbol.bars.begin() + static_cast<long>(at + 5), '1') == 2);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 10 || size > 4096) return 0;
    const int type = data[0] % 8 - 1; // -1 to 6
    const bool show = (data[1] & 1) != 0;
    const bool add_check = (data[1] & 2) != 0;
    float zoom = 0;
    float height = 0;
    std::memcpy(&zoom, data + 2, sizeof zoom);
    std::memcpy(&height, data + 6, sizeof height);
    const std::string text(reinterpret_cast<const char*>(data + 10), size - 10);

    CheckEan(EncodeEan13(text), 6);
    CheckEan(EncodeEan8(text), 4);
    CheckCode39(text, add_check);
    CheckInterleaved(text, add_check);
    CheckCode128(text);
    CheckPostnet(text);

    pagora::Pagora pdf;
    pagora::detail::StateOf(pdf).writer.in_page = true;
    SelectFont(pagora::detail::StateOf(pdf).fonts, "CourierNew", 10, 0, 0,
               [](const std::string&) {});
    float width = 0;
    try {
        width = pdf.DrawBarCode(type, text, 10, 20, show, zoom, height, add_check);
    } catch (const pagora::PdfError& error) {
        // Overflow from a size that cannot be written, or from a counter of Code 128.
        Require(error.Number() == 6);
    }
    Require(pagora::detail::StateOf(pdf).content.state_stack.empty());
    Require(width >= 0 || width != width);
    return 0;
}
