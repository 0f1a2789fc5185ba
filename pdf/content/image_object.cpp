// The image object writer that every raster reader shares, and the little-endian field reader.
#include "pdf/content/image.h"

#include "pdf/writer/writer.h"

#include <cmath>
#include <cstdint>
#include <string>

namespace pagora::detail {

int WriteImage(WriterState& s, ImageObject& image) {
    const ImageCoding coding = image.coding;
    const bool direct_space = coding == ImageCoding::kJpeg || coding == ImageCoding::kPngDirect;
    const std::string base = direct_space ? image.colour_space : "DeviceRGB";
    const std::string bits = std::to_string(image.bits);

    const int number = BeginIndirectObject(s, 0);
    const std::string palette_ref = std::to_string(number + 1) + " 0 R]";
    WriteFileLine(s, "<< /Type /XObject /Subtype /Image /Name " + image.resource_name + " /Width " +
                         std::to_string(image.width) + " /Height " + std::to_string(image.height));
    if (!image.colour_key.empty()) WriteFileLine(s, "/Mask [" + image.colour_key + "]");

    bool has_palette = false;
    std::size_t lookup_bytes = 0;
    if (image.filter == "/FlateDecode") {
        if (coding == ImageCoding::kPngIndexed) {
            // A PNG palette holds at most 256 entries; a longer chunk must not declare more.
            const auto entries =
                std::min<std::size_t>(static_cast<std::size_t>(std::lround(
                                          static_cast<double>(image.palette.size()) / 3)),
                                      256);
            WriteFileLine(s, "/BitsPerComponent " + bits + " /ColorSpace [/Indexed /" + base + " " +
                                 std::to_string(static_cast<long>(entries) - 1) + " " +
                                 palette_ref);
            has_palette = true;
            lookup_bytes = entries * 3;
        } else {
            WriteFileLine(s, "/BitsPerComponent " + bits + " /ColorSpace /" + base);
        }
        const std::string colours = image.colour_space == "DeviceRGB" ? "3" : "1";
        WriteFileLine(s, "/DecodeParms <</Predictor 15 /Colors " + colours + " /BitsPerComponent " +
                             bits + " /Columns " + std::to_string(image.width) + ">>");
    } else if (coding == ImageCoding::kJpeg || coding == ImageCoding::kRgb || image.bits == 24) {
        WriteFileLine(s, "/BitsPerComponent 8 /ColorSpace /" + base);
    } else if (image.bits <= 8) {
        const int highest = (1 << image.bits) - 1;
        WriteFileLine(s, "/BitsPerComponent " + bits + " /ColorSpace [/Indexed /" + base + " " +
                             std::to_string(highest) + " " + palette_ref);
        has_palette = coding != ImageCoding::kPngDirect;
        lookup_bytes = static_cast<std::size_t>(highest + 1) * 3;
    }
    if (!image.decode.empty()) WriteFileLine(s, "/Decode [" + image.decode + "]");
    // A stencil mask, which archived documents allow where they forbid soft masks.
    const int mask = image.mask.empty() ? 0 : number + (has_palette ? 2 : 1);
    if (mask != 0) WriteFileLine(s, "/Mask " + std::to_string(mask) + " 0 R");
    WriteStream(s, image.samples, 0, image.filter, 0, StreamKind::kImage);
    EndIndirectObject(s);

    if (has_palette) {
        // A lookup table shorter than the range the colour space declares would leave indexes
        // without a colour, which readers render unpredictably.
        if (image.palette.size() < lookup_bytes) image.palette.resize(lookup_bytes, '\0');
        BeginIndirectObject(s, 0);
        WriteFileLine(s, "<<");
        WriteStream(s, image.palette, 0, "", 0, StreamKind::kImage);
        EndIndirectObject(s);
    }
    if (mask != 0) {
        BeginIndirectObject(s, 0);
        WriteFileLine(s, "<< /Type /XObject /Subtype /Image /Width " + std::to_string(image.width) +
                             " /Height " + std::to_string(image.height) +
                             " /ImageMask true /BitsPerComponent 1");
        WriteStream(s, image.mask, 0, "", 0, StreamKind::kImage);
        EndIndirectObject(s);
    }
    return number;
}

std::string ImageResourceName(const WriterState& s, std::size_t index) {
    return NumberedName(s, "IMG_", index);
}

void AddImageResource(WriterState& s, std::size_t index, int object_number) {
    s.xobject_resources +=
        ImageResourceName(s, index) + " " + std::to_string(object_number) + " 0 R ";
}

std::int32_t ReadLittleEndian(std::span<const std::uint8_t> data, std::size_t index, int size) {
    if (size != 2 && size != 4) return 0;
    const auto count = static_cast<std::size_t>(size);
    if (index > data.size() || count > data.size() - index) {
        RaiseError(kErrSubscript, "ReadLittleEndian");
    }
    std::uint32_t value = 0;
    for (std::size_t i = count; i-- > 0;)
        value = value << 8 | data[index + i];
    if (value > 0x7FFFFFFFu) RaiseError(kErrOverflow, "ReadLittleEndian");
    return static_cast<std::int32_t>(value);
}

} // namespace pagora::detail
