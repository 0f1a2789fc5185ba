// The image registry: images read once per document and placed any number of times.
#include "pdf/content/image.h"

#include "pdf/content/content.h"
#include "pdf/content/vector_images.h"
#include "pdf/writer/writer.h"

#include <cstddef>
#include <string>
#include <vector>

namespace pagora::detail {

namespace {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

bool EndsWith(std::string_view text, std::string_view end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

using RasterReader = void (*)(Pagora::Members&, std::size_t, const std::string&, std::string_view,
                              std::span<const std::uint8_t>);

// The reader for an upper-cased name's extension; null for extensions without one.
RasterReader ReaderFor(std::string_view upper_name) {
    if (EndsWith(upper_name, ".GIF")) return ReadGifImage;
    if (EndsWith(upper_name, ".JPG")) return ReadJpegImage;
    if (EndsWith(upper_name, ".TGA")) return ReadTgaImage;
    if (EndsWith(upper_name, ".BMP")) return ReadBmpImage;
    if (EndsWith(upper_name, ".PNG")) return ReadPngImage;
    return nullptr;
}

// The key of a file: the file system tells x.bmp and X.BMP apart everywhere but on Windows.
std::string FileKey(std::string_view name) {
#ifdef _WIN32
    return UpperAscii(name);
#else
    return std::string(name);
#endif
}

ImageRecord& Record(Pagora::Members& m, std::size_t index) {
    return m.content.images.images[index];
}

// Appends a default record and returns its position.
std::size_t AddImageRecord(Pagora::Members& m) {
    std::vector<ImageRecord>& images = m.content.images.images;
    AppendRecord(images, m.writer.memory_factor);
    return images.size() - 1;
}

} // namespace

} // namespace pagora::detail

namespace pagora {

void Pagora::DrawImage(std::string_view FileName, float DestX, float DestY, float ImgWidth,
                       float ImgHeight, std::int16_t FrameNumber, std::string_view ColorMask,
                       bool MantainRatio) try {
    detail::WriterState& s = m_->writer;
    const std::string key = detail::UpperAscii(FileName);
    // Drawings are converted into the content on every call, outside the registry.
    if (detail::EndsWith(key, ".EPS") || detail::EndsWith(key, ".AI")) {
        detail::DrawEpsImage(*m_, FileName, DestX, DestY, ImgWidth, ImgHeight);
        return;
    }
    if (detail::EndsWith(key, ".WMF")) {
        detail::DrawWmfImage(*m_, FileName, DestX, DestY, ImgWidth, ImgHeight);
        return;
    }
    const std::string file_key = detail::FileKey(FileName);
    const std::vector<detail::ImageRecord>& images = m_->content.images.images;
    std::size_t index = 0;
    while (index < images.size() &&
           !(images[index].name == (images[index].alias ? key : file_key) &&
             images[index].frame == FrameNumber))
        ++index;
    if (index == images.size()) {
        index = detail::AddImageRecord(*m_);
        detail::ImageRecord& record = detail::Record(*m_, index);
        record.name = file_key;
        record.frame = FrameNumber;
        // The file is opened under the name as given: the upper-cased key only identifies it.
        const std::string name(FileName);
        if (const detail::RasterReader reader = detail::ReaderFor(key)) {
            reader(*m_, index, name, ColorMask, {});
        } else {
            detail::RecordError(
                s,
                PdfError(detail::kErrInvalidCall, "", detail::ErrorText(detail::kErrInvalidCall)),
                "DrawImage", name);
        }
    }
    SetXY(DestX, DestY);

    const detail::ImageRecord& record = detail::Record(*m_, index);
    // An image that could not be read has no object to name and no size to scale by.
    if (record.object_number == 0) return;
    const double pixel_width = record.width;
    const double pixel_height = record.height;
    const double k = s.scale_factor;
    float width = ImgWidth;
    float height = ImgHeight;
    if (!detail::CompleteBox(pixel_width, pixel_height, k, width, height) && MantainRatio) {
        const auto image_ratio = static_cast<float>(pixel_width / pixel_height);
        const auto box_ratio = static_cast<float>(static_cast<double>(width) / height);
        if (box_ratio < image_ratio) {
            height = static_cast<float>(width * pixel_height / pixel_width);
        } else {
            width = static_cast<float>(height * pixel_width / pixel_height);
        }
    }
    const auto kf = static_cast<float>(k);
    const detail::ContentState& c = m_->content;
    detail::SetLastBounds(*m_, c.current_x, s.page_height - c.current_y, c.current_x + width * kf,
                          s.page_height - c.current_y - height * kf);

    // Bitmaps, GIF and TGA rows run from the bottom of the picture up, the others from the top.
    const bool bottom_up = record.kind == detail::ImageKind::kTga ||
                           record.kind == detail::ImageKind::kGif ||
                           record.kind == detail::ImageKind::kBmp;
    const std::string matrix =
        bottom_up
            ? detail::FormatUnits(s, width) + " 0 0 " + detail::FormatUnits(s, height) + " " +
                  detail::FormatUnits(s, DestX) + " " + detail::FormatUnits(s, DestY)
            : detail::FormatUnits(s, width) + " 0 0 " + detail::FormatUnits(s, -height) + " " +
                  detail::FormatUnits(s, DestX) + " " + detail::FormatUnits(s, DestY + height);
    detail::WriteContent(s, "q " + matrix + " cm " + detail::ImageResourceName(s, index) + " Do Q");
} catch (...) {
    detail::RethrowFailure("DrawImage");
}

std::string Pagora::AddImage(std::string_view Alias, const std::vector<std::uint8_t>& ImgSample,
                             std::int16_t FrameNumber, std::string_view ColorMask) try {
    const std::size_t index = detail::AddImageRecord(*m_);
    detail::Record(*m_, index).frame = FrameNumber; // the frame a GIF reader decodes
    const std::string key = detail::UpperAscii(Alias);
    const detail::RasterReader reader = detail::ReaderFor(key);
    if (reader == nullptr) return {};
    reader(*m_, index, {}, ColorMask, ImgSample);
    detail::Record(*m_, index).name = key;
    detail::Record(*m_, index).alias = true;
    return std::string(Alias);
} catch (...) {
    detail::RethrowFailure("AddImage");
}

std::string Pagora::AddImagePattern(std::string_view Alias, std::int32_t ImgWidth,
                                    std::int32_t ImgHeight,
                                    const std::vector<std::uint8_t>& ImgSample,
                                    const std::vector<std::uint8_t>& ImgPalette,
                                    std::string_view ColorMask) try {
    // A picture without pixels has no size to place it by.
    if (ImgWidth <= 0 || ImgHeight <= 0) {
        detail::RaiseError(detail::kErrInvalidCall, "AddImagePattern");
    }
    const std::size_t colours = ImgPalette.size() / 3;
    detail::DecodedImage image;
    image.bits = static_cast<std::uint8_t>(colours == 0    ? 24
                                           : colours == 2  ? 1
                                           : colours == 16 ? 4
                                                           : 8);
    // Rows start on a byte; fewer samples than the rows need give an image viewers draw as
    // nothing.
    const std::size_t row_bytes = (static_cast<std::size_t>(ImgWidth) * image.bits + 7) / 8;
    if (ImgSample.size() < row_bytes * static_cast<std::size_t>(ImgHeight)) {
        detail::RaiseError(detail::kErrInvalidCall, "AddImagePattern");
    }
    image.palette = ImgPalette;
    std::string key;
    if (!ColorMask.empty()) {
        const detail::MaskColour mask = detail::ParseMaskColour(*m_, ColorMask, "AddImagePattern");
        key = detail::ColourKeyFor(image, mask.red, mask.green, mask.blue);
    }

    detail::WriterState& s = m_->writer;
    const std::size_t index = detail::AddImageRecord(*m_);
    detail::ImageRecord& record = detail::Record(*m_, index);
    record.name = detail::UpperAscii(Alias);
    record.alias = true;
    record.frame = 1;
    record.width = ImgWidth;
    record.height = ImgHeight;
    record.kind = detail::ImageKind::kRaw;

    detail::ImageObject object;
    object.coding = detail::ImageCoding::kPattern;
    object.samples.assign(ImgSample.begin(), ImgSample.end());
    object.palette.assign(ImgPalette.begin(), ImgPalette.end());
    object.width = ImgWidth;
    object.height = ImgHeight;
    object.bits = image.bits;
    object.resource_name = detail::ImageResourceName(s, index);
    object.colour_key = std::move(key);
    const int number = detail::WriteImage(s, object);
    detail::Record(*m_, index).object_number = number;
    detail::AddImageResource(s, index, number);
    return std::string(Alias);
} catch (...) {
    detail::RethrowFailure("AddImagePattern");
}

} // namespace pagora
