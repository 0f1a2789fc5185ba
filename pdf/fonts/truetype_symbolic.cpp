#include "pdf/fonts/truetype_symbolic.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace pagora::detail {

namespace {

struct TableRecord {
    std::uint32_t tag = 0;
    std::size_t offset = 0;
    std::size_t length = 0;
};

constexpr std::uint32_t Tag(const char (&name)[5]) {
    return (std::uint32_t{static_cast<unsigned char>(name[0])} << 24) |
           (std::uint32_t{static_cast<unsigned char>(name[1])} << 16) |
           (std::uint32_t{static_cast<unsigned char>(name[2])} << 8) |
           std::uint32_t{static_cast<unsigned char>(name[3])};
}

// Reads inside the file only: a value past its end makes the whole rewrite give up.
class Bytes {
public:
    explicit Bytes(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::optional<std::uint32_t> Read(std::size_t at, std::size_t size) const {
        if (at > bytes_.size() || size > bytes_.size() - at) return std::nullopt;
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value = (value << 8) | bytes_[at + i];
        return value;
    }
    std::size_t size() const { return bytes_.size(); }
    std::span<const std::uint8_t> span() const { return bytes_; }

private:
    std::span<const std::uint8_t> bytes_;
};

std::optional<std::vector<TableRecord>> ReadDirectory(const Bytes& file) {
    const auto count = file.Read(4, 2);
    if (!count || *count == 0) return std::nullopt;
    std::vector<TableRecord> tables;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t entry = 12 + 16 * i;
        const auto tag = file.Read(entry, 4);
        const auto offset = file.Read(entry + 8, 4);
        const auto length = file.Read(entry + 12, 4);
        if (!tag || !offset || !length) return std::nullopt;
        if (*offset > file.size() || *length > file.size() - *offset) return std::nullopt;
        tables.push_back({*tag, *offset, *length});
    }
    return tables;
}

// The glyph of one code point through a Unicode subtable (format 4 or 12) at `sub`; 0 where
// the map has none.
std::uint32_t LookUp(const Bytes& file, std::size_t sub, std::uint32_t format, char32_t point) {
    if (format == 12) {
        const auto groups = file.Read(sub + 12, 4);
        if (!groups) return 0;
        for (std::size_t g = 0; g < *groups; ++g) {
            const std::size_t at = sub + 16 + 12 * g;
            const auto first = file.Read(at, 4);
            const auto last = file.Read(at + 4, 4);
            const auto glyph = file.Read(at + 8, 4);
            if (!first || !last || !glyph) return 0;
            if (point >= *first && point <= *last) return (*glyph + (point - *first)) & 0xFFFF;
        }
        return 0;
    }
    if (point > 0xFFFF) return 0;
    const auto seg_x2 = file.Read(sub + 6, 2);
    if (!seg_x2) return 0;
    const std::size_t segments = *seg_x2 / 2;
    for (std::size_t s = 0; s < segments; ++s) {
        const auto last = file.Read(sub + 14 + 2 * s, 2);
        if (!last) return 0;
        if (point > *last) continue;
        const auto first = file.Read(sub + 16 + 2 * (segments + s), 2);
        const auto delta = file.Read(sub + 16 + 4 * segments + 2 * s, 2);
        const std::size_t range_at = sub + 16 + 6 * segments + 2 * s;
        const auto range_offset = file.Read(range_at, 2);
        if (!first || !delta || !range_offset || point < *first) return 0;
        if (*range_offset == 0) return (point + *delta) & 0xFFFF;
        const auto glyph = file.Read(range_at + *range_offset + 2 * (point - *first), 2);
        if (!glyph || *glyph == 0) return 0;
        return (*glyph + *delta) & 0xFFFF;
    }
    return 0;
}

// The best Unicode subtable: Windows full repertoire (3,10) format 12, then Windows BMP (3,1)
// format 4, then any Unicode-platform subtable of either format.
std::optional<std::pair<std::size_t, std::uint32_t>> UnicodeSubtable(const Bytes& file,
                                                                     const TableRecord& cmap) {
    const auto count = file.Read(cmap.offset + 2, 2);
    if (!count) return std::nullopt;
    std::optional<std::pair<std::size_t, std::uint32_t>> best;
    int best_rank = 0;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t record = cmap.offset + 4 + 8 * i;
        const auto platform = file.Read(record, 2);
        const auto encoding = file.Read(record + 2, 2);
        const auto offset = file.Read(record + 4, 4);
        if (!platform || !encoding || !offset || *offset >= cmap.length) continue;
        const std::size_t sub = cmap.offset + *offset;
        const auto format = file.Read(sub, 2);
        if (!format || (*format != 4 && *format != 12)) continue;
        int rank = 0;
        if (*platform == 3 && *encoding == 10 && *format == 12)
            rank = 4;
        else if (*platform == 3 && *encoding == 1 && *format == 4)
            rank = 3;
        else if (*platform == 0)
            rank = *format == 12 ? 2 : 1;
        if (rank > best_rank) {
            best_rank = rank;
            best = std::pair{sub, *format};
        }
    }
    return best;
}

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>((value >> 8) & 0xFF);
    out += static_cast<char>(value & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value >> 16);
    Put16(out, value & 0xFFFF);
}

void Set32(std::string& out, std::size_t at, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i)
        out[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

std::uint32_t CheckSum(const std::string& data, std::size_t at, std::size_t length) {
    std::uint32_t sum = 0;
    for (std::size_t i = 0; i < length; i += 4) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const std::size_t j = at + i + k;
            word = (word << 8) | (j < at + length ? static_cast<unsigned char>(data[j]) : 0u);
        }
        sum += word;
    }
    return sum;
}

// A character map with one subtable (3,0) of format 4: one segment per mapped code, each
// reaching its glyph through the segment's delta, and the closing segment at 0xFFFF.
std::string SymbolMap(const std::array<std::uint32_t, 256>& glyphs) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> segments; // code, glyph
    for (std::uint32_t code = 0; code < 256; ++code) {
        if (glyphs[code] != 0) segments.emplace_back(0xF000 + code, glyphs[code]);
    }
    const auto count = static_cast<std::uint32_t>(segments.size() + 1);
    std::uint32_t range = 1;
    std::uint32_t selector = 0;
    while (range * 2 <= count) {
        range *= 2;
        ++selector;
    }
    std::string sub;
    Put16(sub, 4);
    Put16(sub, 16 + 8 * count); // length
    Put16(sub, 0);              // language
    Put16(sub, 2 * count);
    Put16(sub, 2 * range);
    Put16(sub, selector);
    Put16(sub, 2 * count - 2 * range);
    for (const auto& [code, glyph] : segments)
        Put16(sub, code);
    Put16(sub, 0xFFFF);
    Put16(sub, 0); // reserved pad
    for (const auto& [code, glyph] : segments)
        Put16(sub, code);
    Put16(sub, 0xFFFF);
    for (const auto& [code, glyph] : segments)
        Put16(sub, (glyph - code) & 0xFFFF);
    Put16(sub, 1);
    for (std::uint32_t i = 0; i < count; ++i)
        Put16(sub, 0);

    std::string cmap;
    Put16(cmap, 0); // version
    Put16(cmap, 1); // one subtable
    Put16(cmap, 3);
    Put16(cmap, 0);
    Put32(cmap, 12);
    return cmap + sub;
}

} // namespace

std::string SymbolicFontProgram(std::span<const std::uint8_t> bytes, const CodePageMap& code_page) {
    const Bytes file(bytes);
    const auto version = file.Read(0, 4);
    // A collection holds several fonts and an OpenType file with outlines in CFF is no TrueType
    // program: neither can be embedded as one.
    if (!version || (*version != 0x00010000u && *version != Tag("true"))) return {};
    const auto tables = ReadDirectory(file);
    if (!tables) return {};
    const auto cmap = std::find_if(tables->begin(), tables->end(),
                                   [](const TableRecord& t) { return t.tag == Tag("cmap"); });
    if (cmap == tables->end()) return {};
    const auto unicode = UnicodeSubtable(file, *cmap);
    if (!unicode) return {};

    std::array<std::uint32_t, 256> glyphs{};
    for (std::size_t code = 0; code < 256; ++code) {
        if (code_page[code] != 0) {
            glyphs[code] = LookUp(file, unicode->first, unicode->second, code_page[code]);
        }
    }
    const std::string symbol_map = SymbolMap(glyphs);

    std::vector<TableRecord> kept;
    for (const TableRecord& table : *tables) {
        if (table.tag != Tag("DSIG")) kept.push_back(table);
    }
    std::sort(kept.begin(), kept.end(),
              [](const TableRecord& a, const TableRecord& b) { return a.tag < b.tag; });
    const auto count = static_cast<std::uint32_t>(kept.size());
    std::uint32_t range = 1;
    std::uint32_t selector = 0;
    while (range * 2 <= count) {
        range *= 2;
        ++selector;
    }
    std::string out;
    Put32(out, *version);
    Put16(out, count);
    Put16(out, 16 * range);
    Put16(out, selector);
    Put16(out, 16 * count - 16 * range);
    const std::size_t directory = out.size();
    out.append(16 * kept.size(), '\0');
    std::size_t head_at = 0;
    bool has_head = false;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        const TableRecord& table = kept[i];
        const std::size_t at = out.size();
        std::size_t length = table.length;
        if (table.tag == Tag("cmap")) {
            out += symbol_map;
            length = symbol_map.size();
        } else {
            out.append(reinterpret_cast<const char*>(bytes.data() + table.offset), table.length);
        }
        if (table.tag == Tag("head") && length >= 12) {
            Set32(out, at + 8, 0); // the adjustment counts as 0 in every checksum
            head_at = at;
            has_head = true;
        }
        while (out.size() % 4 != 0)
            out += '\0';
        const std::size_t entry = directory + 16 * i;
        Set32(out, entry, table.tag);
        Set32(out, entry + 4, CheckSum(out, at, length));
        Set32(out, entry + 8, static_cast<std::uint32_t>(at));
        Set32(out, entry + 12, static_cast<std::uint32_t>(length));
    }
    if (has_head) Set32(out, head_at + 8, 0xB1B0AFBAu - CheckSum(out, 0, out.size()));
    return out;
}

} // namespace pagora::detail
