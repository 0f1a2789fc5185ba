// The numbered texts and captions of the windows live in tables of four languages.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace kerbolt::texts {

// One text in French, German, English and Italian (UTF-8).
using Texts4 = std::array<const char*, 4>;

// The text for a `Language` (1 French, 2 German, 3 English, 4 Italian); empty for any other.
inline std::string PickLanguage(int language, const Texts4& texts) {
    if (language < 1 || language > 4) return {};
    return texts[static_cast<std::size_t>(language - 1)];
}

// Interface languages, numbered as the tables take them.
inline constexpr std::int16_t kNoLanguage = 0;
inline constexpr std::int16_t kFrench = 1;
inline constexpr std::int16_t kGerman = 2;
inline constexpr std::int16_t kEnglish = 3;
inline constexpr std::int16_t kItalian = 4;

} // namespace kerbolt::texts
