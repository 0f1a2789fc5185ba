// One registered font's record: its name, metrics and widths. The metric tables fill it without
// knowing the font state that holds it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pagora::detail {

// One registered font: a standard font chosen by SetFont or a TrueType font.
struct FontRecord {
    std::string key;                        // lookup key, upper case
    bool truetype = false;                  // loaded from a TrueType file
    std::string base_name;                  // /BaseFont name: family and style suffix
    std::array<std::int16_t, 256> widths{}; // advance widths in 1/1000 em by byte code
    std::int16_t line_height = 0;           // 1/1000 em
    std::int32_t descent = 0;               // 1/1000 em, negative
    std::int32_t charset = 0;               // Windows charset as the caller gave it
    std::string differences;                // /Differences array text, or empty
    // The resource alias the font's dictionary was written under. The current font is named
    // by it, so content always names a resource that exists, whatever letter case or charset
    // a later selection used.
    std::string alias;
};

} // namespace pagora::detail
