#include "tests/pdf/fonts/font_file_readers.h"

#include "tests/support/temp_dir.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace font_test {

std::optional<char32_t> IconvCodePoint(const char* code_page, unsigned char byte) {
    iconv_t cd = iconv_open("UTF-32LE", code_page);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("no iconv converter");
    char in[1] = {static_cast<char>(byte)};
    std::array<unsigned char, 8> out{};
    char* in_ptr = in;
    std::size_t in_left = 1;
    char* out_ptr = reinterpret_cast<char*>(out.data());
    std::size_t out_left = out.size();
    const std::size_t done = iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left);
    iconv_close(cd);
    if (done == static_cast<std::size_t>(-1) || out_left != out.size() - 4) return std::nullopt;
    return static_cast<char32_t>(out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24));
}

namespace {

class Bytes {
public:
    explicit Bytes(std::string data) : data_(std::move(data)) {}
    unsigned U16(std::size_t at) const {
        Check(at, 2);
        return (Byte(at) << 8) | Byte(at + 1);
    }
    std::uint32_t U32(std::size_t at) const {
        return (static_cast<std::uint32_t>(U16(at)) << 16) | U16(at + 2);
    }

private:
    unsigned Byte(std::size_t at) const { return static_cast<unsigned char>(data_[at]); }
    void Check(std::size_t at, std::size_t n) const {
        if (at + n > data_.size()) throw std::runtime_error("font file too short");
    }
    std::string data_;
};

} // namespace

TrueTypeWidths::TrueTypeWidths(const std::string& path) {
    const std::string data = testing_support::ReadFileBytes(path);
    if (data.empty()) throw std::runtime_error("cannot read " + path);
    const Bytes f(data);
    std::map<std::string, std::size_t> tables;
    const unsigned count = f.U16(4);
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = 12 + 16 * static_cast<std::size_t>(i);
        tables[data.substr(entry, 4)] = f.U32(entry + 8);
    }
    for (const char* tag : {"head", "hhea", "hmtx", "cmap"}) {
        if (tables.count(tag) == 0) throw std::runtime_error(std::string("no table ") + tag);
    }
    units_per_em_ = static_cast<int>(f.U16(tables["head"] + 18));
    const unsigned long_metrics = f.U16(tables["hhea"] + 34);
    for (unsigned g = 0; g < long_metrics; ++g) {
        advances_.push_back(static_cast<std::uint16_t>(f.U16(tables["hmtx"] + 4 * g)));
    }
    const std::size_t cmap = tables["cmap"];
    const unsigned subtables = f.U16(cmap + 2);
    for (unsigned i = 0; i < subtables; ++i) {
        const std::size_t entry = cmap + 4 + 8 * static_cast<std::size_t>(i);
        const std::size_t sub = cmap + f.U32(entry + 4);
        if (f.U16(entry) != 3 || f.U16(entry + 2) != 1 || f.U16(sub) != 4) continue;
        const std::size_t segments = f.U16(sub + 6) / 2;
        const std::size_t ends = sub + 14;
        const std::size_t starts = ends + 2 * segments + 2;
        const std::size_t deltas = starts + 2 * segments;
        const std::size_t offsets = deltas + 2 * segments;
        for (std::size_t s = 0; s < segments; ++s) {
            const unsigned end = f.U16(ends + 2 * s);
            const unsigned start = f.U16(starts + 2 * s);
            const unsigned delta = f.U16(deltas + 2 * s);
            const unsigned range_offset = f.U16(offsets + 2 * s);
            for (unsigned c = start; c <= end && c != 0xFFFF; ++c) {
                unsigned glyph = 0;
                if (range_offset == 0) {
                    glyph = (c + delta) & 0xFFFF;
                } else {
                    glyph = f.U16(offsets + 2 * s + range_offset + 2 * (c - start));
                    if (glyph != 0) glyph = (glyph + delta) & 0xFFFF;
                }
                if (glyph != 0) glyphs_[c] = static_cast<std::uint16_t>(glyph);
            }
        }
        return;
    }
    throw std::runtime_error("no Unicode cmap of format 4");
}

std::optional<int> TrueTypeWidths::Advance(char32_t code_point) const {
    const auto it = glyphs_.find(code_point);
    if (it == glyphs_.end() || advances_.empty()) return std::nullopt;
    // Glyphs past the long metrics share the last advance.
    const std::size_t g = std::min<std::size_t>(it->second, advances_.size() - 1);
    return advances_[g];
}

std::map<int, int> ReadAfmWidths(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::map<int, int> widths;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("C ", 0) != 0) continue;
        int code = -1;
        int width = 0;
        std::istringstream fields(line);
        std::string token;
        while (fields >> token) {
            if (token == "C") fields >> code;
            if (token == "WX") fields >> width;
        }
        if (code >= 0) widths[code] = width;
    }
    return widths;
}

} // namespace font_test
