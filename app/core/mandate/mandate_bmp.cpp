#include "app/core/mandate/mandate_bmp.h"

#include <cstdio>
#include <limits>
#include <memory>

namespace kerbolt::mandate {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 3780; // 96 dots per inch

void Put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void Put32(std::string& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

std::string EncodeBmp24(const RgbImage& image) {
    if (image.empty()) return {};
    const auto width = static_cast<std::uint64_t>(image.width);
    const auto height = static_cast<std::uint64_t>(image.height);
    if (image.rgb.size() != width * height * 3) return {};
    const std::uint64_t row_size = (width * 3 + 3) / 4 * 4;
    const std::uint64_t data_size = row_size * height;
    const std::uint64_t file_size = kFileHeaderSize + kInfoHeaderSize + data_size;
    if (file_size > std::numeric_limits<std::uint32_t>::max()) return {};

    std::string out;
    out.reserve(static_cast<std::size_t>(file_size));
    out += "BM";
    Put32(out, static_cast<std::uint32_t>(file_size));
    Put32(out, 0); // reserved
    Put32(out, kFileHeaderSize + kInfoHeaderSize);
    Put32(out, kInfoHeaderSize);
    Put32(out, static_cast<std::uint32_t>(image.width));
    Put32(out, static_cast<std::uint32_t>(image.height)); // positive: bottom-up rows
    Put16(out, 1);                                        // planes
    Put16(out, 24);                                       // bits per pixel
    Put32(out, 0);                                        // no compression
    Put32(out, static_cast<std::uint32_t>(data_size));
    Put32(out, kPixelsPerMetre);
    Put32(out, kPixelsPerMetre);
    Put32(out, 0); // colours used: none, no palette
    Put32(out, 0); // important colours
    const std::size_t padding = static_cast<std::size_t>(row_size - width * 3);
    for (std::uint64_t row = height; row-- > 0;) {
        const std::uint8_t* pixel = image.rgb.data() + row * width * 3;
        for (std::uint64_t x = 0; x < width; ++x, pixel += 3) {
            out += static_cast<char>(pixel[2]);
            out += static_cast<char>(pixel[1]);
            out += static_cast<char>(pixel[0]);
        }
        out.append(padding, '\0');
    }
    return out;
}

bool SaveBmp24(const std::string& path, const RgbImage& image) {
    const std::string bytes = EncodeBmp24(image);
    if (bytes.empty()) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                         &std::fclose);
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    return std::fclose(file.release()) == 0 && written;
}

} // namespace kerbolt::mandate
