#include "pdf/import/source_document.h"

#include "pdf/import/cross_reference.h"
#include "pdf/import/object_reader.h"
#include "pdf/import/object_syntax.h"
#include "pdf/import/reader_errors.h"
#include "pdf/import/text_string.h"

#include <algorithm>
#include <new>
#include <unordered_set>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "GetInfo";
// The tail in which the last "startxref" is looked for.
constexpr std::size_t kTailBytes = 1024;
constexpr std::int32_t kMaxPageCount = 32767;

// Runs one step; a failure is reported and the next step runs all the same.
template <typename F> void Step(SourceReadReport& report, F&& step) {
    try {
        step();
    } catch (const PdfError& error) {
        report.errors.push_back(error);
    } catch (const std::bad_alloc&) {
        report.errors.emplace_back(kErrOutOfMemory, "Pagora.GetInfo", ErrorText(kErrOutOfMemory));
    } catch (const std::length_error&) {
        report.errors.emplace_back(kErrOutOfMemory, "Pagora.GetInfo", ErrorText(kErrOutOfMemory));
    }
}

// The header: CR and LF before it are counted (offsets written from its "%" still land right),
// then the version: the minor version after "PDF-1.", or for a later major version (2.0) the
// major version's tens plus the minor version, so that levels keep their order. Returns the
// count of bytes up to and with the "%".
std::int64_t ReadHeader(SourceBytes& bytes, SourceDocRecord& doc) {
    std::int64_t skip = 0;
    std::uint8_t byte = 0;
    do {
        if (bytes.ReadAt(skip, std::span(&byte, 1)) == 0) {
            RaiseError(kErrInvalidFileFormat, kOperation); // nothing but line ends
        }
        ++skip;
    } while (byte == '\r' || byte == '\n');
    std::string version = bytes.Text(skip, 8);
    int major = 1;
    if (version.size() > 6 && version.starts_with("PDF-") && version[4] >= '2' &&
        version[4] <= '9' && version[5] == '.') {
        major = version[4] - '0';
        version.erase(0, 6);
    }
    for (std::size_t at; (at = version.find("PDF-1.")) != std::string::npos;)
        version.erase(at, 6);
    const std::size_t from = SkipPdfWhite(version, 0);
    std::size_t end = from;
    while (end < version.size() && version[end] >= '0' && version[end] <= '9')
        ++end;
    const bool trailing_white =
        SkipPdfWhite(version, end) == version.size() || version[SkipPdfWhite(version, end)] == '%';
    if (end == from || end - from > 4 || !trailing_white) {
        RaiseError(kErrTypeMismatch, kOperation);
    }
    const int minor = std::stoi(version.substr(from, end - from));
    doc.version_level = (major == 1 ? minor : major * 10 + minor) - 3;
    return skip;
}

// The offset after the last "startxref" of the file's tail; 0 when there is none.
std::int64_t ReadTail(SourceBytes& bytes) {
    const std::int64_t size = bytes.Size();
    const std::int64_t from =
        std::max<std::int64_t>(0, size - static_cast<std::int64_t>(kTailBytes));
    const std::string tail = bytes.Text(from, kTailBytes);
    const std::size_t at = tail.rfind("startxref");
    if (at == std::string::npos) return 0;
    const auto offset = IntegerAt(tail, at + 9);
    return offset && *offset >= 0 ? *offset : 0;
}

// A value of the document information as UTF-8: a string (also one an indirect reference
// names) decoded from its encoding, any other value as the value parser gives it. Read from the
// text as written, since a UTF-16 string holds NUL bytes and line ends.
std::string InformationText(SourceReader& reader, std::string_view text, std::size_t at) {
    std::string target;
    std::size_t pos = SkipPdfWhite(text, at);
    if (const std::int32_t ref = ReferenceAt(text, pos); ref != 0) {
        target = GetWrittenObjectText(reader, ref);
        text = target;
        pos = SkipPdfWhite(text, 0);
    }
    const std::size_t end = SkipPdfValue(text, pos);
    const std::string_view written = text.substr(pos, end - pos);
    if (written.starts_with('(') && written.size() >= 2 && written.ends_with(')')) {
        return TextStringToUtf8(DecodeLiteralString(written));
    }
    if (written.starts_with('<') && !written.starts_with("<<") && written.ends_with('>')) {
        return TextStringToUtf8(DecodeHexString(written));
    }
    return ParsedValueAt(text, pos);
}

void ReadInformation(SourceReader& reader, std::int32_t info) {
    const std::string text = GetWrittenObjectText(reader, info);
    SourceDocRecord& doc = reader.doc;
    const std::pair<const char*, std::string*> fields[] = {
        {"Title", &doc.title},       {"Author", &doc.author},   {"Creator", &doc.creator},
        {"Producer", &doc.producer}, {"Subject", &doc.subject},
    };
    for (const auto& [key, field] : fields) {
        if (const auto at = FindDictKey(text, key)) *field = InformationText(reader, text, *at);
    }
}

// The page tree below a node, depth first in the order of the Kids arrays (document order).
// Walked with a stack of its own, so no tree can exhaust the call stack; a node met twice is a
// loop and ends the walk, keeping the pages found.
void CollectPages(SourceReader& reader, std::int32_t root) {
    struct Frame {
        std::vector<std::int32_t> kids;
        std::size_t next = 0;
    };
    SourceDocRecord& doc = reader.doc;
    std::unordered_set<std::int32_t> entered{root};
    auto kids_of = [&reader](std::int32_t node) {
        const std::string text = GetObjectText(reader, node);
        const auto at = FindDictKey(text, "Kids");
        return at ? ReferencesAt(text, *at) : std::vector<std::int32_t>{};
    };
    std::vector<Frame> stack;
    stack.push_back({kids_of(root)});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        if (frame.next == frame.kids.size()) {
            stack.pop_back();
            continue;
        }
        const std::int32_t kid = frame.kids[frame.next++];
        const std::string text = GetObjectText(reader, kid);
        const auto at = FindDictKey(text, "Type");
        if (!at) continue; // a kid without a type is not counted
        const std::string_view type = NameAt(text, *at);
        if (type == "/Page") {
            if (doc.PageCount() == kMaxPageCount) RaiseError(kErrOverflow, kOperation);
            doc.pages.push_back({kid, 0, 0, 0, false});
        } else if (type == "/Pages") {
            if (!entered.insert(kid).second) RaiseError(kErrInvalidFileFormat, kOperation);
            if (stack.size() >= static_cast<std::size_t>(kMaxPageTreeDepth)) {
                RaiseError(kErrInvalidFileFormat, kOperation);
            }
            const auto at_kids = FindDictKey(text, "Kids");
            stack.push_back({at_kids ? ReferencesAt(text, *at_kids) : std::vector<std::int32_t>{}});
        }
    }
}

void ReadPageTree(SourceReader& reader, const std::string& catalog) {
    const auto at = FindDictKey(catalog, "Pages");
    if (!at) return;
    const std::int32_t pages = ReferenceAt(catalog, *at);
    if (pages != 0) CollectPages(reader, pages);
}

// PDF/A: the XMP packet as stored names the PDF/A schema, or (without metadata) an output
// intent of the PDF/A kind.
void ReadConformance(SourceReader& reader, const std::string& catalog) {
    SourceDocRecord& doc = reader.doc;
    if (const auto at = FindDictKey(catalog, "Metadata")) {
        const std::int32_t metadata = ReferenceAt(catalog, *at);
        if (metadata == 0) return;
        const SourceObject object = ReadObject(reader, metadata, true);
        const std::string_view stored(reinterpret_cast<const char*>(object.data.data()),
                                      object.data.size());
        doc.pdfa = stored.find("xmlns:pdfaid=") != std::string_view::npos;
        return;
    }
    const auto at = FindDictKey(catalog, "OutputIntents");
    if (!at) return;
    const std::string intents = ResolvedValueAt(reader, catalog, *at);
    if (intents.empty()) return;
    if (intents.find("<<") != std::string::npos) {
        doc.pdfa = intents.find("/GTS_PDFA1") != std::string::npos;
        return;
    }
    const std::vector<std::int32_t> refs = ReferencesAt(intents, 0);
    if (refs.empty()) return;
    doc.pdfa = GetObjectText(reader, refs.front()).find("/GTS_PDFA1") != std::string::npos;
}

} // namespace

void ReadSourceDocument(SourceBytes& bytes, SourceDocRecord& doc, SourceReadReport& report) {
    SourceReader reader{bytes, doc};
    std::int64_t skip = 1;
    std::int64_t offset = 0;
    Step(report, [&] { skip = ReadHeader(bytes, doc); });
    doc.offset_base = skip - 1;
    Step(report, [&] { offset = ReadTail(bytes); });
    doc.objects.Clear();
    doc.object_streams.clear();
    TrailerNumbers numbers;
    Step(report, [&] {
        ParseCrossReference(reader, offset + doc.offset_base, numbers, [&report] {
            ++report.bad_sections;
            report.errors.emplace_back(kErrInvalidFileFormat, "Pagora.GetInfo", kXrefErrorText);
        });
    });
    if (doc.encrypted) return;
    if (numbers.info != 0) Step(report, [&] { ReadInformation(reader, numbers.info); });
    if (numbers.root == 0) return;
    std::string catalog;
    Step(report, [&] { catalog = GetObjectText(reader, numbers.root); });
    Step(report, [&] { ReadPageTree(reader, catalog); });
    Step(report, [&] { ReadConformance(reader, catalog); });
}

std::unique_ptr<FileSourceBytes> ReopenSource(const SourceDocRecord& doc,
                                              std::string_view operation) {
    FileStamp now;
    if (!StampFile(doc.path, now)) RaiseError(kErrFileNotFound, operation);
    if (!(now == doc.stamp)) RaiseError(kErrInvalidFileFormat, operation);
    return std::make_unique<FileSourceBytes>(doc.path);
}

} // namespace pagora::detail
