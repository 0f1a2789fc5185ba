// Small TrueType files built field by field, so that each edge of the font reader can be shown
// with a font that has exactly that edge.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace font_test {

struct BuiltFont {
    std::uint16_t units_per_em = 1000;
    std::int16_t avg_width = 500;
    std::uint16_t weight = 400;
    std::uint16_t win_ascent = 800;
    std::uint16_t win_descent = 200;
    std::uint16_t max_width = 1000;
    std::int16_t index_to_loc_format = 0;
    std::int16_t italic_whole = 0;
    std::uint16_t italic_fraction = 0;
    std::uint32_t fixed_pitch = 0;
    std::uint16_t cmap_encoding = 1;

    // A code point range; with glyph_ids it maps through the glyph array, else by delta.
    struct Segment {
        std::uint16_t start;
        std::uint16_t end;
        std::int16_t delta = 0;
        std::vector<std::uint16_t> glyph_ids = {};
    };
    std::vector<Segment> segments; // the closing 0xFFFF segment is added

    std::vector<std::uint16_t> advances = {500}; // the long metrics, glyph 0 first
    // Glyphs past the long metrics; their side bearings hold this value, which a reader taking
    // them for advances would show.
    std::uint16_t short_metrics = 0;
    std::uint16_t short_metric_value = 0x7777;

    struct Glyph {
        std::int16_t contours = 1;
        std::array<std::int16_t, 4> box = {}; // xMin, yMin, xMax, yMax
    };
    std::vector<std::optional<Glyph>> glyphs; // nullopt: an empty glyph (no outline)

    struct Name {
        std::uint16_t platform = 3;
        std::uint16_t encoding = 1;
        std::uint16_t language = 1033;
        std::uint16_t id = 4;
        std::string text; // ASCII, stored as UTF-16BE
    };
    std::vector<Name> names = {Name{}};

    // Tables left out of the directory ("hmtx", ...).
    std::vector<std::string> omit;

    std::string Build() const;
};

// A copy of bytes with the 16-bit or 32-bit big-endian value at a position replaced.
std::string Patch16(std::string bytes, std::size_t at, std::uint16_t value);
std::string Patch32(std::string bytes, std::size_t at, std::uint32_t value);
// The position of a table in a built or real file (0 when not listed).
std::size_t TableOffset(const std::string& file, const std::string& tag);

} // namespace font_test
