#include "pdf/import/page_queries.h"

#include "pdf/import/inflate.h"
#include "pdf/import/object_syntax.h"
#include "pdf/import/reader_errors.h"
#include "pdf/import/source_access.h"
#include "pdf/import/stream_filters.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace pagora::detail {

namespace {

constexpr std::string_view kImportOperation = "ImportPage";

// The value of a key of the text's dictionary, a reference resolved; none when the key is absent.
std::optional<std::string> OwnValue(SourceReader& reader, std::string_view text,
                                    std::string_view key) {
    const auto at = FindDictKey(text, key);
    if (!at) return std::nullopt;
    if (const std::int32_t ref = ReferenceAt(text, *at); ref != 0) {
        return GetObjectText(reader, ref);
    }
    return std::string(DictValue(text, key));
}

std::string_view AsText(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

std::string GetInheritedAttribute(SourceReader& reader, std::string_view page_text,
                                  std::string_view key) {
    std::string text(page_text);
    // Every object is entered once: a Parent that leads back into the chain ends the search.
    std::unordered_set<std::int32_t> entered;
    for (int step = 0; step < kMaxParentChain; ++step) {
        if (auto value = OwnValue(reader, text, key)) return std::move(*value);
        const auto at = FindDictKey(text, "Parent");
        if (!at) return {};
        const std::int32_t parent = ReferenceAt(text, *at);
        if (parent == 0 || !entered.insert(parent).second) return {};
        text = GetObjectText(reader, parent);
    }
    return {};
}

double LeadingNumber(std::string_view text) {
    std::size_t pos = SkipPdfWhite(text, 0);
    std::size_t end = pos;
    if (end < text.size() && (text[end] == '-' || text[end] == '+')) ++end;
    bool dot = false;
    while (end < text.size() &&
           ((text[end] >= '0' && text[end] <= '9') || (text[end] == '.' && !dot))) {
        dot = dot || text[end] == '.';
        ++end;
    }
    if (pos < end && text[pos] == '+') ++pos;
    double value = 0;
    const auto result = std::from_chars(text.data() + pos, text.data() + end, value);
    if (result.ec != std::errc() || !std::isfinite(value)) return 0;
    return value;
}

PageBox ParsePageBox(std::string_view text) {
    float corners[4] = {0, 0, 0, 0};
    std::size_t pos = SkipPdfWhite(text, 0);
    if (pos < text.size() && text[pos] == '[') ++pos;
    for (float& corner : corners) {
        pos = SkipPdfWhite(text, pos);
        if (pos >= text.size() || text[pos] == ']') break;
        const double value = LeadingNumber(text.substr(pos));
        // Corners beyond any float are no page a reader could show.
        corner = std::abs(value) < 1e30 ? static_cast<float>(value) : 0.0f;
        while (pos < text.size() && !IsPdfWhite(static_cast<unsigned char>(text[pos])) &&
               text[pos] != ']')
            ++pos;
    }
    return {corners[0], corners[1], corners[2], corners[3]};
}

std::int16_t ParseRotate(std::string_view text) {
    const double value = std::nearbyint(LeadingNumber(text)); // halves to even by default
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        RaiseError(kErrOverflow, kImportOperation);
    }
    return static_cast<std::int16_t>(value);
}

std::vector<std::int32_t> ContentStreamNumbers(SourceReader& reader, std::string_view page_text) {
    const auto at = FindDictKey(page_text, "Contents");
    if (!at) return {};
    const std::int32_t ref = ReferenceAt(page_text, *at);
    if (ref != 0) {
        // A reference to an array object names the streams there; to a stream, that stream.
        const std::string target = GetObjectText(reader, ref);
        const std::size_t first = SkipPdfWhite(target, 0);
        if (first < target.size() && target[first] == '[') return ReferencesAt(target, first);
        return {ref};
    }
    return ReferencesAt(page_text, *at);
}

PageContent ReadPageContent(SourceReader& reader, std::string_view page_text, ContentJoin join) {
    PageContent content;
    const std::vector<std::int32_t> numbers = ContentStreamNumbers(reader, page_text);
    if (numbers.empty()) return content;
    content.has_stream = true;
    if (numbers.size() == 1 && join == ContentJoin::kForImport) {
        SourceObject object = ReadObject(reader, numbers.front(), true);
        content.data = std::move(object.data);
        content.filter = std::move(object.filter);
        content.decode_parms = std::string(DictValue(object.text, "DecodeParms"));
        return content;
    }
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        SourceObject object = ReadObject(reader, numbers[i], true);
        std::vector<std::uint8_t> part;
        if (object.filter.empty()) {
            part = std::move(object.data);
        } else if (auto decoded = DecodeFilters(object.data, object.filter,
                                                DictValue(object.text, "DecodeParms"))) {
            part = std::move(*decoded);
        } else if (join == ContentJoin::kAsQueried) {
            part = std::move(object.data); // a filter this reader does not decode: as stored
        } else {
            // Joined into one unfiltered stream, data left encoded would be drawn as garbage.
            RaiseError(kErrInvalidFileFormat, kImportOperation);
        }
        if (join == ContentJoin::kForImport && i > 0) content.data.push_back('\n');
        content.data.insert(content.data.end(), part.begin(), part.end());
        if (content.data.size() > kMaxInflatedBytes) RaiseError(kErrOutOfMemory, kImportOperation);
    }
    return content;
}

} // namespace pagora::detail

namespace pagora {

bool Pagora::GetInfoPage(const std::string& FileName, std::int32_t PageNumber, float* Width,
                         float* Height, std::int16_t* Rotate) {
    GetInfo(FileName);
    detail::SourcePageRecord* page = detail::CurrentSourcePage(*m_, PageNumber);
    if (page == nullptr) return false;
    float width = page->Width;
    float height = page->Height;
    std::int16_t rotate = page->Rotate;
    if (page->ObjectNumber > 0) {
        const std::int32_t number = page->ObjectNumber;
        detail::WithCurrentSource(*m_, "GetInfoPage", [&](detail::SourceReader& reader) {
            const std::string text = detail::GetObjectText(reader, number);
            const detail::PageBox box =
                detail::ParsePageBox(detail::GetInheritedAttribute(reader, text, "MediaBox"));
            width = box.x2 - box.x1;
            height = box.y2 - box.y1;
            rotate = detail::ParseRotate(detail::GetInheritedAttribute(reader, text, "Rotate"));
        });
    }
    // In user units, cut (not rounded) to a tenth.
    const double k = m_->writer.scale_factor;
    if (Width) *Width = static_cast<float>(std::floor(width * 10.0 / k) / 10.0);
    if (Height) *Height = static_cast<float>(std::floor(height * 10.0 / k) / 10.0);
    if (Rotate) *Rotate = rotate;
    return true;
}

std::string Pagora::GetContentPage(const std::string& FileName, std::int32_t PageNumber) {
    GetInfo(FileName);
    const detail::SourcePageRecord* page = detail::CurrentSourcePage(*m_, PageNumber);
    if (page == nullptr) return {};
    const std::int32_t number = std::abs(page->ObjectNumber);
    const detail::PageContent content =
        detail::WithCurrentSource(*m_, "GetContentPage", [&](detail::SourceReader& reader) {
            const std::string text = detail::GetObjectText(reader, number);
            return detail::ReadPageContent(reader, text, detail::ContentJoin::kAsQueried);
        });
    // One character per byte; CR LF becomes LF, a lone CR stays.
    const std::string_view bytes = detail::AsText(content.data);
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += bytes[i];
    }
    return text;
}

} // namespace pagora
