// The raster readers as the registry calls them (BMP, GIF, JPEG, PNG and TGA), their common road
// from source bytes to image object, and what every reader shares.
#include "pdf/content/image.h"

#include "pdf/content/bmp_reader.h"
#include "pdf/content/content.h"
#include "pdf/content/gif_reader.h"
#include "pdf/content/jpeg_reader.h"
#include "pdf/content/number_parsing.h"
#include "pdf/content/png_reader.h"
#include "pdf/content/tga_reader.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/writer.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

namespace pagora::detail {

namespace {

// No picture a reader accepts comes from a larger file, so nothing larger is read into memory.
constexpr std::uint64_t kMaxFileBytes = 2 * kMaxSampleBytes;

constexpr std::string_view kOperation = "DrawImage";

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

void ReadRasterImage(Pagora::Members& m, std::size_t index, const std::string& name,
                     std::span<const std::uint8_t> data,
                     const std::function<RasterOutcome(std::span<const std::uint8_t>)>& read) {
    PlaceRasterImage(m, index, name, [&] {
        std::vector<std::uint8_t> file;
        if (!name.empty()) {
            file = ReadImageFile(name, kOperation);
            data = file;
        }
        return read(data);
    });
}

void PlaceRasterImage(Pagora::Members& m, std::size_t index, const std::string& name,
                      const std::function<RasterOutcome()>& read) {
    WriterState& s = m.writer;
    try {
        RasterOutcome outcome = read();
        // A picture that cannot be placed is always reported, whatever the reader's reason.
        if (outcome.error == kRefusedSilently) outcome.error = kErrInvalidCall;
        if (outcome.error != 0) RaiseError(outcome.error, kOperation);
        // Damaged data is never embedded: a viewer would show a broken or partial picture.
        if (outcome.damage != 0) RaiseError(outcome.damage, kOperation);
        if (static_cast<std::uint32_t>(outcome.object.width) > kMaxImageSide ||
            static_cast<std::uint32_t>(outcome.object.height) > kMaxImageSide) {
            RaiseError(kErrOutOfMemory, kOperation);
        }
        outcome.object.resource_name = ImageResourceName(s, index);
        const int number = WriteImage(s, outcome.object);
        // A CMYK picture is kept as its file coded it, and an archival document's RGB output
        // profile has no place for it: the picture stays, the claim goes.
        if (outcome.object.colour_space == "DeviceCMYK")
            DropPdfaClaim(s, kErrInvalidCall, kOperation, name + " is a picture in CMYK");

        ImageRecord& record = m.content.images.images[index];
        record.width = outcome.object.width;
        record.height = outcome.object.height;
        record.kind = outcome.kind;
        record.frame = outcome.frame;
        record.object_number = number;
        AddImageResource(s, index, number);
    } catch (const PdfError& error) {
        RecordError(s, error, kOperation, name);
    } catch (const std::bad_alloc&) {
        RecordError(s, PdfError(kErrOutOfMemory, "", ErrorText(kErrOutOfMemory)), kOperation, name);
    }
}

void TakeDecoded(ImageObject& object, const DecodedImage& image) {
    object.samples.assign(image.samples.begin(), image.samples.end());
    object.palette.assign(image.palette.begin(), image.palette.end());
    object.width = image.width;
    object.height = image.height;
    object.bits = image.bits;
    object.mask.assign(image.mask.begin(), image.mask.end());
}

void ReadBmpImage(Pagora::Members& m, std::size_t index, const std::string& name,
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

void ReadGifImage(Pagora::Members& m, std::size_t index, const std::string& name, std::string_view,
                  std::span<const std::uint8_t> data) {
    const std::int16_t frame = m.content.images.images[index].frame;
    ReadRasterImage(m, index, name, data, [frame](std::span<const std::uint8_t> bytes) {
        const GifResult gif = ReadGif(bytes, frame);
        RasterOutcome outcome;
        outcome.error = gif.error;
        outcome.damage = gif.damage;
        if (gif.error != 0) return outcome;
        TakeDecoded(outcome.object, gif.image);
        outcome.object.coding = gif.image.bits == 24 ? ImageCoding::kRgb : ImageCoding::kGif;
        outcome.object.colour_key = gif.colour_key;
        outcome.kind = ImageKind::kGif;
        outcome.frame = frame;
        return outcome;
    });
}

void ReadJpegImage(Pagora::Members& m, std::size_t index, const std::string& name, std::string_view,
                   std::span<const std::uint8_t> data) {
    ReadRasterImage(m, index, name, data, [](std::span<const std::uint8_t> bytes) {
        const JpegResult jpeg = ReadJpeg(bytes);
        RasterOutcome outcome;
        outcome.error = jpeg.error;
        if (jpeg.error != 0) return outcome;
        ImageObject& object = outcome.object;
        object.coding = ImageCoding::kJpeg;
        // Viewers refuse DCT data that does not begin with its start-of-image marker.
        object.samples.assign(bytes.begin() + static_cast<std::ptrdiff_t>(jpeg.start), bytes.end());
        object.width = jpeg.width;
        object.height = jpeg.height;
        object.bits = jpeg.components * 8;
        object.colour_space = jpeg.colour_space;
        object.filter = "/DCTDecode ";
        if (jpeg.components == 4 && jpeg.inverted) object.decode = "1 0 1 0 1 0 1 0";
        outcome.kind = ImageKind::kJpegOrPng;
        return outcome;
    });
}

void ReadPngImage(Pagora::Members& m, std::size_t index, const std::string& name,
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
        object.mask.assign(png.mask.begin(), png.mask.end());
        outcome.kind = ImageKind::kJpegOrPng;
        return outcome;
    });
}

void ReadTgaImage(Pagora::Members& m, std::size_t index, const std::string& name, std::string_view,
                  std::span<const std::uint8_t> data) {
    ReadRasterImage(m, index, name, data, [](std::span<const std::uint8_t> bytes) {
        const TgaResult tga = ReadTga(bytes);
        RasterOutcome outcome;
        outcome.error = tga.error;
        outcome.damage = tga.damage;
        if (tga.error != 0) return outcome;
        TakeDecoded(outcome.object, tga.image);
        outcome.object.coding = ImageCoding::kRgb;
        outcome.object.colour_key = tga.colour_key;
        outcome.kind = ImageKind::kTga;
        return outcome;
    });
}

} // namespace pagora::detail
