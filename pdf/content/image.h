// The image registry's procedures: the one image object writer and the raster readers.
#pragma once

#include "pdf/content/image_data.h"
#include "pdf/content/image_state.h"
#include "pdf/writer/members.h"

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

// How WriteImage codes the samples.
enum class ImageCoding : std::uint8_t {
    kJpeg = 0,       // the whole JPEG file, DCT-decoded
    kRgb = 1,        // RGB samples, 8 bits per component
    kPattern = 2,    // AddImagePattern's samples, indexed or RGB
    kGif = 3,        // palette indexes
    kBmp = 4,        // palette indexes or RGB
    kPngIndexed = 5, // deflated PNG data over a palette
    kPngDirect = 6,  // deflated PNG data
};

struct ImageObject {
    ImageCoding coding = ImageCoding::kRgb;
    std::string samples;
    std::string palette; // red, green, blue per entry
    std::int32_t width = 0;
    std::int32_t height = 0;
    int bits = 8;
    std::string resource_name; // "/" + prefix + "IMG_" + the record's number from 1
    std::string colour_space;  // JPEG and direct PNG only
    std::string filter;        // empty: the document's image filters apply
    std::string colour_key;    // "/Mask" ranges, empty for none
    // An explicit mask instead (one bit a pixel, 1 transparent, rows as the samples'), written
    // as an image mask object after the image and its palette; empty for none.
    std::string mask;
    std::string decode; // "/Decode" ranges, empty for none
};

// Writes the image object and, for an indexed image, its palette object right after it, then
// its mask object when it has one; an indexed palette shorter than its declared range is padded
// with black so the lookup table always covers every index. Returns the image object's number.
int WriteImage(WriterState& s, ImageObject& image);

// The resource name of the image record at a position: the file numbers images from 1.
std::string ImageResourceName(const WriterState& s, std::size_t index);

// Registers a written image object under its resource name.
void AddImageResource(WriterState& s, std::size_t index, int object_number);

// A 2- or 4-byte little-endian value at a 0-based index; other sizes give 0. Raises error 9 for
// bytes outside the data and error 6 for a 4-byte value of 2^31 or more.
std::int32_t ReadLittleEndian(std::span<const std::uint8_t> data, std::size_t index, int size);

// The red, green and blue bytes of a mask colour argument: a colour string of the "#" form gives
// its components, any other colour 0, 0, 0. Raises the colour parser's errors and error 6 for a
// component outside 0 to 1.
struct MaskColour {
    std::uint8_t red = 0, green = 0, blue = 0;
};
MaskColour ParseMaskColour(const Pagora::Members& m, std::string_view colour,
                           std::string_view operation);

// Reads a bitmap (from the named file when name is not empty, else from data) into the image
// record at `index`, writes its image object and registers its resource. Never raises: a failure
// is recorded for "DrawImage" with the name, and nothing is written.
void ReadBmpImage(Pagora::Members& m, std::size_t index, const std::string& name,
                  std::string_view mask_colour, std::span<const std::uint8_t> data);

// The same for a PNG picture, whose compressed rows go into the image object unchanged. PNG
// forms that the object cannot express are refused with error 5; the mask colour is not used (a
// transparency chunk gives the key).
void ReadPngImage(Pagora::Members& m, std::size_t index, const std::string& name,
                  std::string_view mask_colour, std::span<const std::uint8_t> data);

// What a reader made of an image's bytes: the object to write, or why there is none.
struct RasterOutcome {
    int error = 0;  // refused, nothing written; kRefusedSilently is recorded as error 5
    int damage = 0; // damaged data: recorded, and nothing written either
    ImageObject object;
    ImageKind kind = ImageKind::kJpegOrPng;
    std::int16_t frame = 1;
};

// The road every raster reader shares: reads the named file (or takes data when the name is
// empty), lets `read` turn the bytes into an image object, writes it and fills the record at
// `index`. Never raises: a failure is recorded for "DrawImage" with the name.
void ReadRasterImage(Pagora::Members& m, std::size_t index, const std::string& name,
                     std::span<const std::uint8_t> data,
                     const std::function<RasterOutcome(std::span<const std::uint8_t>)>& read);

// The same road for a reader that fetches its bytes itself: `read` gives the object to write,
// and whatever it read is gone before the object is written.
void PlaceRasterImage(Pagora::Members& m, std::size_t index, const std::string& name,
                      const std::function<RasterOutcome()>& read);

// Copies a decoded picture's samples, palette, size and bits into an image object.
void TakeDecoded(ImageObject& object, const DecodedImage& image);

// The whole file of that name; raises error 53 when there is none and 7 when it is larger than
// any picture a reader accepts.
std::vector<std::uint8_t> ReadImageFile(const std::string& name, std::string_view operation);
// The same into a string, for a reader that hands the buffer on as an image object's samples.
std::string ReadImageFileAsString(const std::string& name, std::string_view operation);

// The GIF (the frame in the record at `index`), JPEG and TGA readers, in the form of
// ReadBmpImage; they take no mask colour.
void ReadGifImage(Pagora::Members& m, std::size_t index, const std::string& name, std::string_view,
                  std::span<const std::uint8_t> data);
void ReadJpegImage(Pagora::Members& m, std::size_t index, const std::string& name, std::string_view,
                   std::span<const std::uint8_t> data);
void ReadTgaImage(Pagora::Members& m, std::size_t index, const std::string& name, std::string_view,
                  std::span<const std::uint8_t> data);

} // namespace pagora::detail
