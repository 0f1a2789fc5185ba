// The bitmap and PNG readers as the registry calls them, and what every reader shares.
#include "pdf/content/image.h"

#include "pdf/content/bmp_reader.h"
#include "pdf/content/content.h"
#include "pdf/content/number_parsing.h"
#include "pdf/content/png_reader.h"
#include "pdf/writer/writer.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

namespace pagora::detail {

namespace {

// No picture a reader accepts comes from a larger file, so nothing larger is read into memory.
constexpr std::uint64_t kMaxFileBytes = 2 * kMaxSampleBytes;

std::uint8_t ComponentByte(double fraction, std::string_view operation) {
    const double value = std::nearbyint(fraction * 255);
    if (!(value >= 0 && value <= 255)) RaiseError(kErrOverflow, operation);
    return static_cast<std::uint8_t>(value);
}

} // namespace

std::vector<std::uint8_t> ReadImageFile(const std::string& name, std::string_view operation) {
    return ReadCallerFile(name, kMaxFileBytes, operation);
}

std::string ReadImageFileAsString(const std::string& name, std::string_view operation) {
    return ReadCallerFileAsString(name, kMaxFileBytes, operation);
}

MaskColour ParseMaskColour(const Pagora::Members& m, std::string_view colour,
                           std::string_view operation) {
    const ParsedColor parsed = ParseColor(m, colour, operation);
    MaskColour mask;
    if (parsed.color.empty() || parsed.color.front() != '#') return mask;
    const std::vector<std::string> parts = SplitText(parsed.color.substr(1), " ");
    std::uint8_t* components[] = {&mask.red, &mask.green, &mask.blue};
    for (std::size_t i = 0; i < 3 && i < parts.size(); ++i) {
        *components[i] = ComponentByte(ReadNumber(parts[i]), operation);
    }
    return mask;
}

void ReadBmpImage(Pagora::Members& m, int index, const std::string& name,
                  std::string_view mask_colour, std::span<const std::uint8_t> data) {
    ReadRasterImage(m, index, name, data, [&](std::span<const std::uint8_t> bytes) {
        const BmpResult bmp = ReadBmp(bytes);
        RasterOutcome outcome;
        outcome.error = bmp.error;
        if (bmp.error != 0) return outcome;
        if (!mask_colour.empty()) {
            const MaskColour mask = ParseMaskColour(m, mask_colour, "DrawImage");
            outcome.object.colour_key = ColourKeyFor(bmp.image, mask.red, mask.green, mask.blue);
        }
        TakeDecoded(outcome.object, bmp.image);
        outcome.object.coding = ImageCoding::kBmp;
        outcome.kind = ImageKind::kBmp;
        return outcome;
    });
}

void ReadPngImage(Pagora::Members& m, int index, const std::string& name,
                  std::string_view /*mask_colour*/, std::span<const std::uint8_t> data) {
    PlaceRasterImage(m, index, name, [&] {
        // A file's own buffer becomes the samples: a large picture is never held twice.
        PngResult png =
            name.empty() ? ReadPng(data) : ReadPngFile(ReadImageFileAsString(name, "DrawImage"));
        RasterOutcome outcome;
        // A form refused without a record.
        outcome.error = png.error != 0 ? png.error : png.accepted ? 0 : kRefusedSilently;
        if (outcome.error != 0) return outcome;
        ImageObject& object = outcome.object;
        object.coding = png.indexed ? ImageCoding::kPngIndexed : ImageCoding::kPngDirect;
        object.samples = std::move(png.data);
        object.palette.assign(png.palette.begin(), png.palette.end());
        object.width = png.width;
        object.height = png.height;
        object.bits = png.bits;
        object.colour_space = png.colour_space;
        object.filter = "/FlateDecode";
        object.colour_key = std::move(png.colour_key);
        outcome.kind = ImageKind::kJpegOrPng;
        return outcome;
    });
}

} // namespace pagora::detail
