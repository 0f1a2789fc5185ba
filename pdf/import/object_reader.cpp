#include "pdf/import/object_reader.h"

#include "pdf/import/inflate.h"
#include "pdf/import/object_syntax.h"
#include "pdf/import/reader_errors.h"
#include "pdf/import/stream_filters.h"

#include <algorithm>
#include <array>
#include <limits>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "GetInfo";
constexpr std::size_t kBlockSize = 4096;
// References inside values (an indirect Length, an object stream holding the Length of another)
// may nest this deep; deeper means a cycle in a damaged or hostile file.
constexpr int kMaxReadDepth = 32;

// The fault is named at each call for whoever reads the code; the caller is told 321.
[[noreturn]] void BadFormat(const char* /*fault*/) {
    RaiseError(kErrInvalidFileFormat, kOperation);
}

[[noreturn]] void PastEnd() {
    RaiseError(kErrInputPastEnd, kOperation, kInputPastEndText);
}

struct DepthGuard {
    explicit DepthGuard(SourceReader& r) : reader(r) {
        if (++reader.depth > kMaxReadDepth) {
            --reader.depth;
            BadFormat("references nested too deep");
        }
    }
    ~DepthGuard() { --reader.depth; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;
    SourceReader& reader;
};

// The file's bytes from a start offset, read in blocks as far as a search needs them.
class BlockText {
public:
    BlockText(SourceBytes& bytes, std::int64_t start) : bytes_(bytes), start_(start) {}
    int At(std::size_t i) {
        while (i >= text_.size()) {
            if (!More()) return -1;
        }
        return static_cast<unsigned char>(text_[i]);
    }
    bool Matches(std::size_t i, std::string_view word) {
        for (std::size_t k = 0; k < word.size(); ++k) {
            if (At(i + k) != static_cast<unsigned char>(word[k])) return false;
        }
        return true;
    }
    const std::string& Text() const { return text_; }

private:
    bool More() {
        std::array<std::uint8_t, kBlockSize> block{};
        const std::size_t got =
            bytes_.ReadAt(start_ + static_cast<std::int64_t>(text_.size()), block);
        text_.append(reinterpret_cast<const char*>(block.data()), got);
        return got > 0;
    }
    SourceBytes& bytes_;
    std::int64_t start_;
    std::string text_;
};

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

std::int64_t ReadDigits(BlockText& block, std::size_t& i) {
    std::int64_t value = 0;
    const std::size_t from = i;
    while (IsDigit(block.At(i))) {
        if (i - from >= 18) BadFormat("number too long");
        value = value * 10 + (block.At(i) - '0');
        ++i;
    }
    if (i == from) BadFormat("no object header");
    return value;
}

void SkipWhite(BlockText& block, std::size_t& i) {
    while (IsPdfWhite(block.At(i)))
        ++i;
}

struct FoundValue {
    std::size_t begin = 0;      // after the header
    std::size_t end = 0;        // where the end keyword begins
    std::size_t data_begin = 0; // after "stream" and its line end
    bool stream = false;
};

// Finds the end of the value that begins at i: "endobj" or "stream" standing as a keyword of
// their own (after white space or a delimiter), strings and comments passed over, so a name
// such as /octet-stream or a string holding the word never cuts the value.
FoundValue FindValueEnd(BlockText& block, std::size_t i) {
    FoundValue found;
    found.begin = i;
    int before = ' ';
    while (true) {
        const int c = block.At(i);
        if (c < 0) PastEnd();
        if (c == '(') {
            std::size_t depth = 0;
            for (++i;; ++i) {
                const int s = block.At(i);
                if (s < 0) PastEnd();
                if (s == '\\') {
                    ++i;
                } else if (s == '(') {
                    ++depth;
                } else if (s == ')') {
                    if (depth == 0) break;
                    --depth;
                }
            }
            before = ')';
            ++i;
            continue;
        }
        if (c == '%') {
            while (block.At(i) >= 0 && block.At(i) != '\r' && block.At(i) != '\n')
                ++i;
            before = ' ';
            continue;
        }
        const bool keyword_start = !IsPdfRegular(before);
        if (keyword_start && c == 'e' && block.Matches(i, "endobj") &&
            !IsPdfRegular(block.At(i + 6))) {
            found.end = i;
            return found;
        }
        if (keyword_start && c == 's' && block.Matches(i, "stream")) {
            std::size_t k = i + 6;
            while (block.At(k) == ' ')
                ++k;
            const int eol = block.At(k);
            if (eol == '\r' || eol == '\n') {
                found.end = i;
                found.stream = true;
                ++k;
                if (eol == '\r' && block.At(k) == '\n') ++k;
                found.data_begin = k;
                return found;
            }
        }
        before = c;
        ++i;
    }
}

std::int64_t DeclaredLength(SourceReader& reader, std::string_view text, bool& present) {
    const auto key = FindDictKey(text, "Length");
    present = key.has_value();
    if (!key) return 0;
    if (const std::int32_t ref = ReferenceAt(text, *key); ref != 0) {
        const std::string target = GetObjectText(reader, ref);
        return IntegerAt(target, 0).value_or(0);
    }
    const auto value = IntegerAt(text, *key);
    if (!value) RaiseError(kErrTypeMismatch, kOperation);
    return *value;
}

void SetType(SourceObject& object) {
    if (const auto key = FindDictKey(object.text, "Type")) {
        const std::string_view name = NameAt(object.text, *key);
        if (!name.empty()) object.type = std::string(name.substr(1));
    }
}

// How an object's text is handed on: normalised, or as written (strings keep their NUL bytes and
// line ends).
enum class TextForm { kNormalised, kAsWritten };

std::string FormText(std::string_view written, TextForm form) {
    return form == TextForm::kNormalised ? NormaliseObjectText(written) : std::string(written);
}

SourceObject ReadFromFile(SourceReader& reader, std::int64_t start, std::int32_t expected,
                          bool with_stream, TextForm form = TextForm::kNormalised) {
    if (start < 0 || start >= reader.bytes.Size()) PastEnd();
    BlockText block(reader.bytes, start);
    SourceObject object;
    // The header: number, generation, "obj". Its number must be the one asked for, so that a
    // stale or damaged offset never yields another object's text in silence.
    std::size_t i = 0;
    SkipWhite(block, i);
    const std::int64_t number = ReadDigits(block, i);
    SkipWhite(block, i);
    ReadDigits(block, i);
    SkipWhite(block, i);
    if (!block.Matches(i, "obj")) BadFormat("no object header");
    i += 3;
    if (number > std::numeric_limits<std::int32_t>::max()) BadFormat("object number too large");
    object.number = static_cast<std::int32_t>(number);
    if (expected != 0 && object.number != expected) BadFormat("object header does not match");
    if (block.At(i) == '\r') ++i;
    if (block.At(i) == '\n') ++i;
    const FoundValue value = FindValueEnd(block, i);
    object.text =
        FormText(std::string_view(block.Text()).substr(value.begin, value.end - value.begin), form);
    SetType(object);
    if (!value.stream || !with_stream) return object;

    bool present = false;
    const std::int64_t length = DeclaredLength(reader, object.text, present);
    if (!present) return object; // a stream without its length carries no data for this reader
    object.has_stream = true;
    object.filter = NormaliseFilter(DictValue(object.text, "Filter"));
    if (length <= 0) return object;
    const std::int64_t data_start = start + static_cast<std::int64_t>(value.data_begin);
    // Checked before anything is reserved: a declared length can be any number.
    if (length > reader.bytes.Size() - data_start) PastEnd();
    object.data.resize(static_cast<std::size_t>(length));
    if (reader.bytes.ReadAt(data_start, object.data) != object.data.size()) PastEnd();
    return object;
}

const ObjectStreamCache& LoadObjectStream(SourceReader& reader, std::int32_t stream_number) {
    auto& streams = reader.doc.object_streams;
    if (const auto found = streams.find(stream_number); found != streams.end()) {
        return found->second;
    }
    const SourceXrefRecord* record = reader.doc.objects.Find(stream_number);
    if (record == nullptr || record->kind != 1) BadFormat("object stream not in the file");
    // A stream whose own Length lies inside itself would otherwise load itself without end.
    if (!reader.loading.insert(stream_number).second) BadFormat("object stream holds itself");
    struct Unmark {
        SourceReader& r;
        std::int32_t n;
        ~Unmark() { r.loading.erase(n); }
    } unmark{reader, stream_number};

    const SourceObject object = ReadObject(reader, stream_number, true);
    const auto count = IntegerAt(DictValue(object.text, "N"), 0);
    const auto first = IntegerAt(DictValue(object.text, "First"), 0);
    if (!count || !first) RaiseError(kErrTypeMismatch, kOperation);
    std::vector<std::uint8_t> decoded = DecodeStreamData(object);
    if (*count < 0 || *first < 0 || *first > static_cast<std::int64_t>(decoded.size()) ||
        *count > static_cast<std::int64_t>(decoded.size())) {
        BadFormat("object stream header");
    }
    const auto first_byte = static_cast<std::size_t>(*first);
    const std::string_view all(reinterpret_cast<const char*>(decoded.data()), decoded.size());
    // The header is the first First bytes, whatever separates it from the objects.
    const std::string_view header = all.substr(0, first_byte);
    ObjectStreamCache cache;
    cache.text = std::string(all.substr(first_byte));
    std::size_t pos = 0;
    for (std::int64_t k = 0; k < *count; ++k) {
        std::size_t end = 0;
        const auto object_number = IntegerAt(header, pos, &end);
        if (!object_number) BadFormat("object stream header");
        const auto offset = IntegerAt(header, end, &pos);
        if (!offset || *object_number < 0 || *object_number > kMaxSourceObjects || *offset < 0 ||
            *offset > static_cast<std::int64_t>(cache.text.size())) {
            BadFormat("object stream header");
        }
        cache.object_numbers.push_back(static_cast<std::int32_t>(*object_number));
        cache.object_offsets.push_back(*offset);
    }
    cache.object_offsets.push_back(static_cast<std::int64_t>(cache.text.size()));
    // Decoded streams stay for the document's life: all of them together are held to the same
    // bound as one inflated stream.
    reader.doc.object_stream_bytes += static_cast<std::int64_t>(cache.text.size());
    if (reader.doc.object_stream_bytes > static_cast<std::int64_t>(kMaxInflatedBytes)) {
        RaiseError(kErrOutOfMemory, kOperation);
    }
    return streams.emplace(stream_number, std::move(cache)).first->second;
}

SourceObject ReadFromObjectStream(SourceReader& reader, std::int32_t number,
                                  const SourceXrefRecord& record,
                                  TextForm form = TextForm::kNormalised) {
    const ObjectStreamCache& cache = LoadObjectStream(reader, record.stream_number);
    const std::size_t count = cache.object_numbers.size();
    SourceObject object;
    // A stream of one object serves it whatever index the entry gives.
    std::size_t index = count == 1 ? 0 : static_cast<std::size_t>(record.stream_index);
    if (index >= count) return object;
    if (cache.object_numbers[index] != number) {
        // An entry whose index is off: the stream's own list says where the object is.
        const auto it = std::find(cache.object_numbers.begin(), cache.object_numbers.end(), number);
        if (it == cache.object_numbers.end()) BadFormat("object not in its object stream");
        index = static_cast<std::size_t>(it - cache.object_numbers.begin());
    }
    const std::int64_t begin = cache.object_offsets[index];
    const std::int64_t end = cache.object_offsets[index + 1];
    if (end < begin) BadFormat("object stream offsets out of order");
    object.text = FormText(
        std::string_view(cache.text)
            .substr(static_cast<std::size_t>(begin), static_cast<std::size_t>(end - begin)),
        form);
    SetType(object);
    return object;
}

// The object a number names, located through the document's index.
SourceObject ReadIndexed(SourceReader& reader, std::int32_t number, bool with_stream,
                         TextForm form) {
    DepthGuard guard(reader);
    const SourceXrefRecord* record = reader.doc.objects.Find(number);
    if (record == nullptr) {
        // Beyond every number the sections declared: no such object.
        if (number < 0 || number > reader.doc.objects.UpperBound()) {
            RaiseError(kErrSubscript, kOperation);
        }
        return {};
    }
    if (record->kind == 1) return ReadFromFile(reader, record->offset, number, with_stream, form);
    if (record->kind == 2) return ReadFromObjectStream(reader, number, *record, form);
    return {};
}

} // namespace

SourceObject ReadObject(SourceReader& reader, std::int32_t number, bool with_stream,
                        std::int64_t position) {
    if (number == 0) {
        DepthGuard guard(reader);
        return ReadFromFile(reader, position, 0, with_stream);
    }
    return ReadIndexed(reader, number, with_stream, TextForm::kNormalised);
}

std::string GetObjectText(SourceReader& reader, std::int32_t number) {
    return ReadObject(reader, number, false).text;
}

std::string GetWrittenObjectText(SourceReader& reader, std::int32_t number) {
    return ReadIndexed(reader, number, false, TextForm::kAsWritten).text;
}

std::string ResolvedValueAt(SourceReader& reader, std::string_view text, std::size_t pos) {
    if (const std::int32_t ref = ReferenceAt(text, pos); ref != 0) {
        return GetObjectText(reader, ref);
    }
    return ParsedValueAt(text, pos);
}

std::string NormaliseFilter(std::string_view value) {
    const std::size_t pos = SkipPdfWhite(value, 0);
    if (pos < value.size() && value[pos] == '[') {
        const std::size_t first = SkipPdfWhite(value, pos + 1);
        const std::string_view name = NameAt(value, first);
        const std::size_t after = SkipPdfWhite(value, first + name.size());
        if (!name.empty() && after < value.size() && value[after] == ']') return std::string(name);
    }
    return std::string(value.substr(pos));
}

std::vector<std::uint8_t> DecodeStreamData(const SourceObject& object) {
    if (object.filter.empty()) return object.data;
    // The decoders of page content serve here too, so that an object stream is read alike by
    // every operation. Object streams and cross-reference streams hold many small objects and
    // may expand further than content does: only the reader's overall bound applies.
    auto decoded =
        DecodeFilters(object.data, object.filter, {}, kMaxInflatedBytes, FlateMemory::kOnePass);
    if (!decoded) BadFormat("stream filter not supported");
    return std::move(*decoded);
}

} // namespace pagora::detail
