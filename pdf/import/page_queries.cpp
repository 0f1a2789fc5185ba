#include "pdf/import/page_queries.h"

#include "pdf/import/inflate.h"
#include "pdf/import/object_syntax.h"
#include "pdf/import/reader_errors.h"
#include "pdf/import/source_access.h"
#include "pdf/import/stream_filters.h"

#include <algorithm>
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

namespace {

const PageTreeNode& TreeNode(SourceReader& reader, std::int32_t number) {
    auto& nodes = reader.doc.page_tree_nodes;
    if (const auto found = nodes.find(number); found != nodes.end()) return found->second;
    const std::string text = GetObjectText(reader, number);
    PageTreeNode node;
    if (const auto at = FindDictKey(text, "Parent")) node.parent = ReferenceAt(text, *at);
    for (const std::string_view key : kInheritedKeys) {
        if (auto value = OwnValue(reader, text, key)) {
            node.inherited.emplace_back(std::string(key), std::move(*value));
        }
    }
    return nodes.emplace(number, std::move(node)).first->second;
}

std::int32_t ParentOf(std::string_view text) {
    const auto at = FindDictKey(text, "Parent");
    return at ? ReferenceAt(text, *at) : 0;
}

} // namespace

std::string GetInheritedAttribute(SourceReader& reader, std::string_view page_text,
                                  std::string_view key) {
    if (auto value = OwnValue(reader, page_text, key)) return std::move(*value);
    // Every object is entered once: a Parent that leads back into the chain is a loop.
    std::unordered_set<std::int32_t> entered;
    std::int32_t parent = ParentOf(page_text);
    for (int step = 0; parent != 0; ++step) {
        if (step == kMaxParentChain || !entered.insert(parent).second) {
            RaiseError(kErrInvalidFileFormat, kImportOperation);
        }
        const PageTreeNode& node = TreeNode(reader, parent);
        for (const auto& [name, value] : node.inherited) {
            if (name == key) return value;
        }
        parent = node.parent;
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
        // No bytes under a filter are empty content; written with the filter, they would be
        // damaged data to every reader of the output.
        if (content.data.empty()) return content;
        content.filter = std::move(object.filter);
        content.decode_parms = std::string(DictValue(object.text, "DecodeParms"));
        // Copied as stored, but decoded once to be sure it can be: damaged data or data that
        // expands past its bound is refused as the page query refuses it, not copied on into a
        // page no reader can draw.
        if (content.filter == "/FlateDecode" || content.filter == "/Fl") {
            CheckStreamData(content.data, ExpansionBound(content.data.size()), kImportOperation);
        } else {
            // A chain of filters is rare: decoded whole, within the same bound, and let go.
            DecodeFilters(content.data, content.filter, content.decode_parms);
        }
        return content;
    }
    // The parts together are held to the bound of all their stored bytes: each part may use
    // what the parts before it left.
    std::size_t stored = 0;
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        SourceObject object = ReadObject(reader, numbers[i], true);
        stored += object.data.size();
        const std::size_t bound = ExpansionBound(stored);
        const std::size_t left = bound - std::min(bound, content.data.size());
        std::vector<std::uint8_t> part;
        if (object.filter.empty()) {
            part = std::move(object.data);
        } else if (auto decoded = DecodeFilters(object.data, object.filter,
                                                DictValue(object.text, "DecodeParms"), left)) {
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
    float width = page->width;
    float height = page->height;
    std::int16_t rotate = page->rotate;
    if (!page->imported) {
        const std::int32_t number = page->object_number;
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
    const std::int32_t number = page->object_number;
    detail::PageContent content =
        detail::WithCurrentSource(*m_, "GetContentPage", [&](detail::SourceReader& reader) {
            const std::string text = detail::GetObjectText(reader, number);
            return detail::ReadPageContent(reader, text, detail::ContentJoin::kAsQueried);
        });
    // One character per byte; CR LF becomes LF, a lone CR stays. Done in place, so that a large
    // page's content is held twice only while it becomes the text handed back.
    std::vector<std::uint8_t>& bytes = content.data;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        bytes[kept++] = bytes[i];
    }
    return std::string(detail::AsText(bytes).substr(0, kept));
}

} // namespace pagora
