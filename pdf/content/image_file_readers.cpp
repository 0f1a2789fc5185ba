// The raster readers' common road from source bytes to image object, and the GIF, JPEG and TGA
// readers as the registry calls them
#include "pdf/content/image.h"

#include "pdf/content/gif_reader.h"
#include "pdf/content/jpeg_reader.h"
#include "pdf/content/tga_reader.h"
#include "pdf/writer/writer.h"

#include <functional>
#include <new>
#include <vector>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "DrawImage";

} // namespace

void ReadRasterImage(Pagora::Members& m, int index, const std::string& name,
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

void PlaceRasterImage(Pagora::Members& m, int index, const std::string& name,
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

        ImageRecord& record = m.content.images.Images[static_cast<std::size_t>(index)];
        record.Width = outcome.object.width;
        record.Height = outcome.object.height;
        record.Kind = outcome.kind;
        record.Frame = outcome.frame;
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
}

void ReadJpegImage(Pagora::Members& m, int index, const std::string& name, std::string_view,
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

void ReadGifImage(Pagora::Members& m, int index, const std::string& name, std::string_view,
                  std::span<const std::uint8_t> data) {
    const std::int16_t frame = m.content.images.Images[static_cast<std::size_t>(index)].Frame;
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

void ReadTgaImage(Pagora::Members& m, int index, const std::string& name, std::string_view,
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
