#include "pdf/fonts/truetype.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace pagora::detail {

namespace {

constexpr int kErrOverflow = 6;
constexpr int kErrSubscript = 9;
constexpr int kErrDivisionByZero = 11;

// A failed read or check inside a step; the step records it and the next step runs.
struct StepError {
    int number;
};

// A table as the directory lists it, cut to the bytes the file really holds.
struct Table {
    std::size_t offset = 0;
    std::size_t length = 0;
    bool present = false;
};

class FontFile {
public:
    explicit FontFile(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    // Big-endian values at a position inside a table. Every read is checked against the table
    // as the directory bounds it, so a wrong offset or a cut file never reads past the data.
    std::uint32_t U16(const Table& table, std::size_t at) const { return Read(table, at, 2); }
    std::int32_t S16(const Table& table, std::size_t at) const {
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(Read(table, at, 2)));
    }
    std::uint32_t U32(const Table& table, std::size_t at) const { return Read(table, at, 4); }
    std::uint8_t Byte(const Table& table, std::size_t at) const {
        return static_cast<std::uint8_t>(Read(table, at, 1));
    }

    Table Whole() const { return {0, bytes_.size(), true}; }
    Table Cut(std::uint64_t offset, std::uint64_t length) const {
        Table table;
        table.present = true;
        if (offset >= bytes_.size()) return table; // listed, but nothing of it is in the file
        table.offset = static_cast<std::size_t>(offset);
        table.length =
            static_cast<std::size_t>(std::min<std::uint64_t>(length, bytes_.size() - offset));
        return table;
    }

private:
    std::uint32_t Read(const Table& table, std::size_t at, std::size_t size) const {
        if (!table.present || at > table.length || size > table.length - at) {
            throw StepError{kErrSubscript};
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < size; ++i)
            value = (value << 8) | bytes_[table.offset + at + i];
        return value;
    }

    std::span<const std::uint8_t> bytes_;
};

struct Tables {
    Table os2, head, hhea, hmtx, glyf, loca, post, name, cmap;
};

class Reader {
public:
    Reader(std::span<const std::uint8_t> bytes, const CodePageMap& code_page)
        : file_(bytes), code_page_(code_page) {}

    TrueTypeMetrics Read() {
        ReadDirectory();
        Step("head", [&] {
            const std::uint32_t units = file_.U16(t_.head, 18);
            if (units == 0) throw StepError{kErrDivisionByZero};
            if (units > 32767) throw StepError{kErrOverflow};
            r_.scale = 1000.0F / static_cast<float>(units);
        });
        Step("OS/2", [&] { r_.avg_width = Scaled(file_.S16(t_.os2, 2)); });
        Step("OS/2", [&] { r_.ascent = Scaled(static_cast<std::int32_t>(file_.U16(t_.os2, 74))); });
        Step("OS/2",
             [&] { r_.descent = Scaled(-static_cast<std::int32_t>(file_.U16(t_.os2, 76))); });
        Step("OS/2", [&] { r_.weight = static_cast<std::int32_t>(file_.U16(t_.os2, 4)); });
        Step("head", [&] { r_.short_locations = file_.S16(t_.head, 50) == 0; });
        Step("hhea",
             [&] { r_.max_width = Scaled(static_cast<std::int32_t>(file_.U16(t_.hhea, 10))); });
        Step("hmtx",
             [&] { r_.missing_width = Scaled(static_cast<std::int32_t>(file_.U16(t_.hmtx, 0))); });
        Step("hhea", [&] { long_metrics_ = file_.U16(t_.hhea, 34); });
        Step("post", [&] {
            // The fraction counts in 65535ths; the italic angles written depend on it.
            const float angle = static_cast<float>(file_.S16(t_.post, 4)) +
                                static_cast<float>(file_.U16(t_.post, 6)) / 65535.0F;
            r_.italic_angle =
                static_cast<float>(std::nearbyint(static_cast<double>(angle) * 100.0) / 100.0);
        });
        Step("post", [&] { r_.fixed_pitch = file_.U32(t_.post, 12) != 0; });
        ReadCharacterMap();
        for (std::size_t code = 0; code < 256; ++code)
            ReadCode(code);
        for (std::int32_t& value : r_.box) {
            const std::int32_t unscaled = value;
            value = 0;
            Step("glyf", [&] { value = Scaled(unscaled); });
        }
        ReadFullName();
        return std::move(r_);
    }

private:
    template <typename Action> void Step(const char* name, Action&& action) {
        try {
            action();
        } catch (const StepError& error) {
            // A damaged table fails the same step for many codes: each failure is kept once,
            // at the place of its last occurrence, so the list stays short and ends as the
            // reading did.
            auto& failures = r_.failures;
            std::erase_if(failures, [&](const TrueTypeFailure& f) {
                return f.number == error.number && std::string_view(f.step) == name;
            });
            failures.push_back({error.number, name});
        }
    }

    // Scale × value, rounded half to even.
    std::int32_t Scaled(std::int32_t value) const {
        const float product = r_.scale * static_cast<float>(value);
        return static_cast<std::int32_t>(std::nearbyint(product));
    }

    void ReadDirectory() {
        const Table whole = file_.Whole();
        Step("table directory", [&] {
            const std::uint32_t count = file_.U16(whole, 4);
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::size_t entry = 12 + 16 * static_cast<std::size_t>(i);
                std::string tag;
                for (std::size_t k = 0; k < 4; ++k) {
                    tag += static_cast<char>(file_.Byte(whole, entry + k));
                }
                while (!tag.empty() && tag.back() == ' ')
                    tag.pop_back();
                while (!tag.empty() && tag.front() == ' ')
                    tag.erase(0, 1);
                const Table table =
                    file_.Cut(file_.U32(whole, entry + 8), file_.U32(whole, entry + 12));
                for (auto [wanted, slot] :
                     {std::pair{"OS/2", &t_.os2}, std::pair{"head", &t_.head},
                      std::pair{"hhea", &t_.hhea}, std::pair{"hmtx", &t_.hmtx},
                      std::pair{"glyf", &t_.glyf}, std::pair{"loca", &t_.loca},
                      std::pair{"post", &t_.post}, std::pair{"name", &t_.name},
                      std::pair{"cmap", &t_.cmap}}) {
                    if (tag == wanted) *slot = table;
                }
            }
        });
    }

    // The first Windows subtable of format 4, expanded into a glyph number per code point.
    void ReadCharacterMap() {
        Step("cmap", [&] {
            const Table& c = t_.cmap;
            const std::uint32_t count = file_.U16(c, 2);
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::size_t record = 4 + 8 * static_cast<std::size_t>(i);
                if (file_.U16(c, record) != 3) continue;
                r_.symbolic = file_.U16(c, record + 2) == 0;
                const std::size_t sub = file_.U32(c, record + 4);
                if (file_.U16(c, sub) != 4) continue;
                ReadFormat4(sub);
                return;
            }
        });
    }

    void ReadFormat4(std::size_t sub) {
        const Table& c = t_.cmap;
        const std::size_t segments = file_.U16(c, sub + 6) / 2;
        for (std::size_t s = 0; s < segments; ++s) {
            std::uint32_t last = file_.U16(c, sub + 14 + 2 * s);
            const std::uint32_t first = file_.U16(c, sub + 16 + 2 * (segments + s));
            const std::int32_t delta = file_.S16(c, sub + 16 + 4 * segments + 2 * s);
            const std::size_t range_at = sub + 16 + 6 * segments + 2 * s;
            const std::uint32_t range_offset = file_.U16(c, range_at);
            const bool reaches_end = last >= kHighestCodePoint;
            if (reaches_end) last = kHighestCodePoint;
            // A glyph read that fails gives up only its own segment.
            Step("cmap", [&] {
                for (std::uint32_t u = first; u <= last; ++u) {
                    std::uint32_t glyph = 0;
                    if (range_offset == 0) {
                        glyph = static_cast<std::uint32_t>(delta + static_cast<std::int32_t>(u));
                    } else {
                        const std::uint32_t g =
                            file_.U16(c, range_at + 2 * (u - first) + range_offset);
                        if (g != 0)
                            glyph =
                                static_cast<std::uint32_t>(static_cast<std::int32_t>(g) + delta);
                    }
                    glyphs_[u] = static_cast<std::uint16_t>(glyph & 0xFFFF);
                }
            });
            if (reaches_end) return;
        }
    }

    void ReadCode(std::size_t code) {
        const char32_t point = code_page_[code];
        if (code >= 128 && point == 0) { // the code page leaves the code undefined
            Step("hmtx", [&] { r_.widths[code] = Width(r_.missing_width); });
            return;
        }
        const std::uint32_t glyph = point <= kHighestCodePoint ? glyphs_[point] : 0;
        Step("hmtx", [&] {
            // Glyphs beyond the long metrics share the last one's advance: what follows the
            // long metrics in the table are side bearings, not advances.
            std::uint32_t metric = glyph;
            if (long_metrics_ > 0) metric = std::min(glyph, long_metrics_ - 1);
            const auto advance =
                static_cast<std::int32_t>(file_.U16(t_.hmtx, 4 * std::size_t{metric}));
            r_.widths[code] = Width(Scaled(advance));
        });
        Step("loca", [&] { WidenBox(glyph); });
    }

    std::int16_t Width(std::int32_t value) const {
        if (value < std::numeric_limits<std::int16_t>::min() ||
            value > std::numeric_limits<std::int16_t>::max()) {
            throw StepError{kErrOverflow};
        }
        return static_cast<std::int16_t>(value);
    }

    void WidenBox(std::uint32_t glyph) {
        std::size_t start = 0;
        std::size_t end = 0;
        if (r_.short_locations) {
            start = 2 * std::size_t{file_.U16(t_.loca, 2 * std::size_t{glyph})};
            end = 2 * std::size_t{file_.U16(t_.loca, 2 * std::size_t{glyph} + 2)};
        } else {
            start = file_.U32(t_.loca, 4 * std::size_t{glyph});
            end = file_.U32(t_.loca, 4 * std::size_t{glyph} + 4);
        }
        // An empty glyph (the space) has no header: the bytes at its position belong to the
        // next glyph and say nothing about this one.
        if (end <= start) return;
        if (file_.S16(t_.glyf, start) < 0) return; // composite glyphs are not measured
        const std::int32_t x_min = file_.S16(t_.glyf, start + 2);
        const std::int32_t y_min = file_.S16(t_.glyf, start + 4);
        const std::int32_t x_max = file_.S16(t_.glyf, start + 6);
        const std::int32_t y_max = file_.S16(t_.glyf, start + 8);
        r_.box[0] = std::min(r_.box[0], x_min);
        r_.box[1] = std::min(r_.box[1], y_min);
        r_.box[2] = std::max(r_.box[2], x_max);
        r_.box[3] = std::max(r_.box[3], y_max);
    }

    void ReadFullName() {
        Step("name", [&] {
            const Table& n = t_.name;
            const std::uint32_t count = file_.U16(n, 2);
            const std::size_t storage = file_.U16(n, 4);
            const std::uint32_t wanted_encoding = r_.symbolic ? 0 : 1;
            bool taken = false;
            for (std::uint32_t i = 0; i < count; ++i) {
                const std::size_t record = 6 + 12 * static_cast<std::size_t>(i);
                if (file_.U16(n, record) != 3 || file_.U16(n, record + 2) != wanted_encoding ||
                    file_.U16(n, record + 6) != 4) {
                    continue;
                }
                const std::uint32_t language = file_.U16(n, record + 4);
                const bool english = language == 1033 || language == 2057 || language == 3081 ||
                                     language == 4105 || language == 5129 || language == 6153;
                if (taken && !english) continue;
                const std::size_t length = file_.U16(n, record + 8);
                const std::size_t at = storage + file_.U16(n, record + 10);
                std::string text;
                for (std::size_t j = 1; j < length; j += 2) {
                    const auto c = static_cast<char>(file_.Byte(n, at + j));
                    // Blanks are dropped from the name; a zero byte can be in no PDF name.
                    if (c != ' ' && c != '\0') text += c;
                }
                r_.full_name = std::move(text);
                if (taken) return;
                taken = true;
            }
        });
    }

    FontFile file_;
    const CodePageMap& code_page_;
    Tables t_;
    std::uint32_t long_metrics_ = 0;
    std::array<std::uint16_t, kHighestCodePoint + 1> glyphs_{};
    TrueTypeMetrics r_;
};

} // namespace

TrueTypeMetrics ReadTrueType(std::span<const std::uint8_t> file, const CodePageMap& code_page) {
    return Reader(file, code_page).Read();
}

} // namespace pagora::detail
