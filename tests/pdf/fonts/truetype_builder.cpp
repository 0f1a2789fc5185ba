#include "tests/pdf/fonts/truetype_builder.h"

#include <algorithm>
#include <map>
#include <utility>

namespace font_test {

namespace {

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}
void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}
std::string Zeros(std::size_t n) {
    return std::string(n, '\0');
}

std::string CharacterMap(const BuiltFont& font) {
    std::vector<BuiltFont::Segment> segments = font.segments;
    segments.push_back({0xFFFF, 0xFFFF, 1});
    const auto count = static_cast<std::uint32_t>(segments.size());
    std::string ends, starts, deltas, ranges, glyph_array;
    for (std::uint32_t s = 0; s < count; ++s) {
        const BuiltFont::Segment& segment = segments[s];
        Put16(ends, segment.end);
        Put16(starts, segment.start);
        Put16(deltas, static_cast<std::uint16_t>(segment.delta));
        if (segment.glyph_ids.empty()) {
            Put16(ranges, 0);
        } else {
            // From this range offset entry to the segment's first glyph id.
            Put16(ranges, 2 * (count - s) + static_cast<std::uint32_t>(glyph_array.size()));
            for (const std::uint16_t id : segment.glyph_ids)
                Put16(glyph_array, id);
        }
    }
    std::string sub;
    Put16(sub, 4);
    Put16(sub, static_cast<std::uint32_t>(16 + 8 * count + glyph_array.size()));
    Put16(sub, 0);
    Put16(sub, 2 * count);
    Put16(sub, 0);
    Put16(sub, 0);
    Put16(sub, 0);
    sub += ends;
    Put16(sub, 0);
    sub += starts + deltas + ranges + glyph_array;
    std::string table;
    Put16(table, 0);
    Put16(table, 1);
    Put16(table, 3);
    Put16(table, font.cmap_encoding);
    Put32(table, 12);
    return table + sub;
}

std::string NameTable(const BuiltFont& font) {
    std::string records, storage;
    for (const BuiltFont::Name& name : font.names) {
        Put16(records, name.platform);
        Put16(records, name.encoding);
        Put16(records, name.language);
        Put16(records, name.id);
        Put16(records, static_cast<std::uint32_t>(2 * name.text.size()));
        Put16(records, static_cast<std::uint32_t>(storage.size()));
        for (const char c : name.text)
            Put16(storage, static_cast<unsigned char>(c));
    }
    std::string table;
    Put16(table, 0);
    Put16(table, static_cast<std::uint32_t>(font.names.size()));
    Put16(table, static_cast<std::uint32_t>(6 + records.size()));
    return table + records + storage;
}

} // namespace

std::string BuiltFont::Build() const {
    std::map<std::string, std::string> tables;

    std::string head = Zeros(54);
    head = Patch16(head, 18, units_per_em);
    head = Patch16(head, 50, static_cast<std::uint16_t>(index_to_loc_format));
    tables["head"] = head;

    std::string hhea = Zeros(36);
    hhea = Patch16(hhea, 10, max_width);
    hhea = Patch16(hhea, 34, static_cast<std::uint16_t>(advances.size()));
    tables["hhea"] = hhea;

    std::string os2 = Zeros(78);
    os2 = Patch16(os2, 2, static_cast<std::uint16_t>(avg_width));
    os2 = Patch16(os2, 4, weight);
    os2 = Patch16(os2, 74, win_ascent);
    os2 = Patch16(os2, 76, win_descent);
    tables["OS/2"] = os2;

    std::string post = Zeros(32);
    post = Patch16(post, 4, static_cast<std::uint16_t>(italic_whole));
    post = Patch16(post, 6, italic_fraction);
    post = Patch32(post, 12, fixed_pitch);
    tables["post"] = post;

    std::string hmtx;
    for (const std::uint16_t advance : advances) {
        Put16(hmtx, advance);
        Put16(hmtx, 0);
    }
    for (std::uint16_t i = 0; i < short_metrics; ++i)
        Put16(hmtx, short_metric_value);
    tables["hmtx"] = hmtx;

    std::string glyf, loca;
    const auto location = [&](std::size_t at) {
        if (index_to_loc_format == 0) {
            Put16(loca, static_cast<std::uint32_t>(at / 2));
        } else {
            Put32(loca, static_cast<std::uint32_t>(at));
        }
    };
    for (const std::optional<Glyph>& glyph : glyphs) {
        location(glyf.size());
        if (!glyph) continue;
        Put16(glyf, static_cast<std::uint16_t>(glyph->contours));
        for (const std::int16_t v : glyph->box)
            Put16(glyf, static_cast<std::uint16_t>(v));
        Put16(glyf, 0);
    }
    location(glyf.size());
    tables["glyf"] = glyf;
    tables["loca"] = loca;
    tables["cmap"] = CharacterMap(*this);
    tables["name"] = NameTable(*this);

    for (const std::string& tag : omit)
        tables.erase(tag);

    std::string file;
    Put32(file, 0x00010000);
    Put16(file, static_cast<std::uint32_t>(tables.size()));
    file += Zeros(6);
    std::string data;
    const std::size_t data_start = 12 + 16 * tables.size();
    for (const auto& [tag, bytes] : tables) {
        file += tag;
        Put32(file, 0);
        Put32(file, static_cast<std::uint32_t>(data_start + data.size()));
        Put32(file, static_cast<std::uint32_t>(bytes.size()));
        data += bytes;
        data += Zeros((4 - data.size() % 4) % 4);
    }
    return file + data;
}

std::string Patch16(std::string bytes, std::size_t at, std::uint16_t value) {
    bytes.at(at) = static_cast<char>(value >> 8);
    bytes.at(at + 1) = static_cast<char>(value & 0xFF);
    return bytes;
}

std::string Patch32(std::string bytes, std::size_t at, std::uint32_t value) {
    bytes = Patch16(std::move(bytes), at, static_cast<std::uint16_t>(value >> 16));
    return Patch16(std::move(bytes), at + 2, static_cast<std::uint16_t>(value & 0xFFFF));
}

std::size_t TableOffset(const std::string& file, const std::string& tag) {
    const auto byte = [&](std::size_t at) { return static_cast<unsigned char>(file.at(at)); };
    const std::size_t count = (byte(4) << 8) | byte(5);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = 12 + 16 * i;
        if (file.compare(entry, 4, tag) == 0) {
            return (std::size_t{byte(entry + 8)} << 24) | (std::size_t{byte(entry + 9)} << 16) |
                   (std::size_t{byte(entry + 10)} << 8) | byte(entry + 11);
        }
    }
    return 0;
}

} // namespace font_test
