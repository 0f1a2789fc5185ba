// Windows metafiles built record by record for the converter's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace wmf_test {

using Point = std::pair<int, int>;

class Wmf {
public:
    // A record of the given function and parameter bytes; the size field counts 16-bit words.
    Wmf& Record(std::uint16_t function, std::string params = {}) {
        if (params.size() % 2 != 0) params += '\0';
        Dword(body_, static_cast<std::uint32_t>(3 + params.size() / 2));
        Word(body_, function);
        body_ += params;
        return *this;
    }
    // A record header whose size field is given as it stands.
    Wmf& RawRecord(std::uint32_t size, std::uint16_t function, const std::string& params = {}) {
        Dword(body_, size);
        Word(body_, function);
        body_ += params;
        return *this;
    }
    Wmf& Pen(int style, int width, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return Record(0x02FA, Words({style, width, 0}) + Octets({r, g, b, 0}));
    }
    Wmf& Brush(int style, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        return Record(0x02FC, Words({style}) + Octets({r, g, b, 0}) + Words({0}));
    }
    Wmf& Font() {
        return Record(0x02FB, Words({12, 0, 0, 0, 400}) + std::string(8, '\0') + "Arial");
    }
    Wmf& Select(int index) { return Record(0x012D, Words({index})); }
    Wmf& Delete(int index) { return Record(0x01F0, Words({index})); }
    Wmf& Origin(int x, int y) { return Record(0x020B, Words({y, x})); }
    Wmf& Extent(int x, int y) { return Record(0x020C, Words({y, x})); }
    Wmf& FillMode(int mode) { return Record(0x0106, Words({mode})); }
    Wmf& Polygon(std::initializer_list<Point> points) { return Poly(0x0324, points); }
    Wmf& Polyline(std::initializer_list<Point> points) { return Poly(0x0325, points); }
    Wmf& PolyPolygon(std::initializer_list<std::vector<Point>> polygons) {
        std::string params = Words({static_cast<int>(polygons.size())});
        for (const auto& polygon : polygons)
            params += Words({static_cast<int>(polygon.size())});
        for (const auto& polygon : polygons)
            params += Points(polygon);
        return Record(0x0538, params);
    }
    Wmf& End() { return Record(0x0000); }

    // The file: the 18-byte header and the records, after the 22-byte placeable header when
    // asked for.
    std::string Bytes(bool placeable = false) const {
        std::string header;
        Word(header, 1);
        Word(header, 9);
        Word(header, 0x300);
        Dword(header, static_cast<std::uint32_t>((18 + body_.size()) / 2));
        Word(header, 16);
        Dword(header, 64);
        Word(header, 0);
        if (!placeable) return header + body_;
        std::string key;
        Dword(key, 0x9AC6CDD7u);
        key += Words({0, 0, 0, 1000, 500, 1440}) + std::string(4, '\0') + Words({0});
        return key + header + body_;
    }

    static std::string Words(std::initializer_list<int> values) {
        std::string out;
        for (const int v : values)
            Word(out, static_cast<std::uint16_t>(v));
        return out;
    }
    static std::string Octets(std::initializer_list<std::uint8_t> values) {
        return std::string(values.begin(), values.end());
    }

private:
    static void Word(std::string& out, std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    }
    static void Dword(std::string& out, std::uint32_t v) {
        Word(out, static_cast<std::uint16_t>(v & 0xFFFF));
        Word(out, static_cast<std::uint16_t>(v >> 16));
    }
    static std::string Points(const std::vector<Point>& points) {
        std::string out;
        for (const auto& [x, y] : points)
            out += Words({x, y});
        return out;
    }
    Wmf& Poly(std::uint16_t function, std::initializer_list<Point> points) {
        return Record(function, Words({static_cast<int>(points.size())}) +
                                    Points(std::vector<Point>(points)));
    }

    std::string body_;
};

} // namespace wmf_test
