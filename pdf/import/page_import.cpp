#include "pdf/import/page_import.h"

#include "pdf/content/content.h"
#include "pdf/import/inflate.h"
#include "pdf/import/object_syntax.h"
#include "pdf/import/page_queries.h"
#include "pdf/import/pdfa_import.h"
#include "pdf/import/reader_errors.h"
#include "pdf/import/source_access.h"
#include "pdf/import/stream_filters.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/protection.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "ImportPage";

int CharAt(std::string_view text, std::size_t pos) {
    return pos < text.size() ? static_cast<unsigned char>(text[pos]) : -1;
}

bool AllDigits(std::string_view token) {
    return !token.empty() &&
           std::all_of(token.begin(), token.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string HexText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "<";
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        text += kDigits[b >> 4];
        text += kDigits[b & 15];
    }
    return text + ">";
}

constexpr std::int64_t kTooLarge = std::numeric_limits<std::int64_t>::max();

// A token that came before: where it begins in the output and, for a whole number, its value.
struct Token {
    std::size_t out_begin = 0;
    std::int64_t value = -1; // -1: not a whole number without sign
};

// The end of a comment, which runs to the line's end.
std::size_t CommentEnd(std::string_view text, std::size_t pos) {
    std::size_t end = pos;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n')
        ++end;
    return end;
}

// Copies the literal or hexadecimal string at pos, through `strings` when it is complete, and
// returns where it ends.
std::size_t CopyString(std::string_view text, std::size_t pos, std::string& out,
                       const std::function<std::string(std::string_view)>& strings) {
    const int c = CharAt(text, pos);
    const std::size_t end = c == '(' ? LiteralStringEnd(text, pos) : [&] {
        const std::size_t close = text.find('>', pos + 1);
        return close == std::string_view::npos ? text.size() : close + 1;
    }();
    const std::string_view written = text.substr(pos, end - pos);
    const bool complete =
        written.size() >= 2 && (c == '(' ? written.back() == ')' : written.back() == '>');
    if (strings && complete) {
        out += strings(c == '(' ? DecodeLiteralString(written) : DecodeHexString(written));
    } else {
        out.append(written);
    }
    return end;
}

// The end of the name or of the delimiter of arrays and dictionaries at pos.
std::size_t NameOrDelimiterEnd(std::string_view text, std::size_t pos) {
    const int c = CharAt(text, pos);
    std::size_t end = pos + 1;
    if (c == '/') {
        while (end < text.size() && IsPdfRegular(CharAt(text, end)))
            ++end;
    } else if ((c == '<' || c == '>') && CharAt(text, pos + 1) == c) {
        end = pos + 2;
    }
    return end;
}

// A whole number's value; a number too large for an object number still stands in a reference,
// which then names no object.
std::int64_t WholeNumber(std::string_view token) {
    if (!AllDigits(token)) return -1;
    std::int64_t value = token.size() <= 10 ? std::stoll(std::string(token)) : kTooLarge;
    if (value > std::numeric_limits<std::int32_t>::max()) value = kTooLarge;
    return value;
}

} // namespace

std::string RewriteObjectText(std::string_view text,
                              const std::function<std::string(std::int64_t)>& reference,
                              const std::function<std::string(std::string_view)>& strings) {
    std::string out;
    out.reserve(text.size() + 16);
    // The two tokens before the current one, when only white space separates them from it.
    Token before[2];
    int count = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const int c = CharAt(text, pos);
        if (IsPdfWhite(c)) {
            out += static_cast<char>(c);
            ++pos;
            continue;
        }
        std::size_t end = pos;
        if (c == '%') {
            // Nothing in a comment is a reference.
            end = CommentEnd(text, pos);
            out.append(text.substr(pos, end - pos));
        } else if (c == '(' || (c == '<' && CharAt(text, pos + 1) != '<')) {
            end = CopyString(text, pos, out, strings);
        } else if (c == '/' || !IsPdfRegular(c)) {
            end = NameOrDelimiterEnd(text, pos);
            out.append(text.substr(pos, end - pos));
        } else {
            while (end < text.size() && IsPdfRegular(CharAt(text, end)))
                ++end;
            const std::string_view token = text.substr(pos, end - pos);
            pos = end;
            if (token == "R" && count == 2 && before[0].value >= 0 && before[1].value >= 0) {
                // The reference replaces the number, the generation and the "R".
                out.resize(before[0].out_begin);
                out += reference(before[0].value);
                count = 0;
                continue;
            }
            const Token current{out.size(), WholeNumber(token)};
            out.append(token);
            if (count == 2) {
                before[0] = before[1];
                count = 1;
            }
            before[count++] = current;
            continue;
        }
        // Whatever is not a plain token parts the tokens before it from a reference.
        pos = end;
        count = 0;
    }
    return out;
}

std::vector<std::int64_t> ReferencedNumbers(std::string_view text) {
    std::vector<std::int64_t> numbers;
    RewriteObjectText(text, [&numbers](std::int64_t number) {
        numbers.push_back(number);
        return std::string();
    });
    return numbers;
}

namespace {

// One source object read for copying, with the number its copy takes.
struct PendingCopy {
    std::int32_t source = 0;
    std::int32_t number = 0; // 0 until assigned
    bool done = false;       // its references have all been visited
    std::string text;        // empty: written as null
    bool has_stream = false;
    std::vector<std::uint8_t> data;
};

// The closure of the objects a page's texts refer to, read before anything is written.
class CopyPlan {
public:
    CopyPlan(SourceReader& reader, std::int32_t first_number)
        : reader_(reader), next_number_(first_number) {}

    // Reads every object the text refers to, and everything those refer to, that has no copy
    // yet. Numbers are given in post-order (an object after everything it refers to), and on a
    // cycle the object still being read takes its number when the cycle reaches it again.
    void Visit(std::string_view text) {
        struct Frame {
            std::size_t index; // into objects_
            std::vector<std::int64_t> refs;
            std::size_t next = 0;
        };
        std::vector<Frame> stack;
        auto enter = [&](std::int64_t number) {
            if (!Copyable(number)) return;
            const auto n = static_cast<std::int32_t>(number);
            if (reader_.doc.objects.Find(n) != nullptr && reader_.doc.objects.Find(n)->copied_as)
                return;
            if (const auto found = index_.find(n); found != index_.end()) {
                PendingCopy& seen = objects_[found->second];
                if (!seen.done && seen.number == 0) seen.number = next_number_++;
                return;
            }
            PendingCopy copy;
            copy.source = n;
            SourceObject object = ReadObject(reader_, n, true);
            copy.text = std::move(object.text);
            copy.has_stream = object.has_stream;
            copy.data = std::move(object.data);
            bytes_ += copy.text.size() + copy.data.size();
            if (bytes_ > kMaxInflatedBytes) RaiseError(kErrOutOfMemory, kOperation);
            std::vector<std::int64_t> refs = ReferencedNumbers(copy.text);
            index_.emplace(n, objects_.size());
            objects_.push_back(std::move(copy));
            stack.push_back({objects_.size() - 1, std::move(refs)});
        };
        for (const std::int64_t number : ReferencedNumbers(text)) {
            enter(number);
            while (!stack.empty()) {
                Frame& frame = stack.back();
                if (frame.next < frame.refs.size()) {
                    enter(frame.refs[frame.next++]);
                    continue;
                }
                PendingCopy& finished = objects_[frame.index];
                finished.done = true;
                if (finished.number == 0) finished.number = next_number_++;
                stack.pop_back();
            }
        }
    }

    // The number a reference of the text names in the output: its copy, or none (null) for
    // numbers no object can have.
    std::string Target(std::int64_t number) const {
        if (!Copyable(number)) return "null";
        const auto n = static_cast<std::int32_t>(number);
        std::int32_t copied = 0;
        if (const auto found = index_.find(n); found != index_.end()) {
            copied = objects_[found->second].number;
        } else if (const SourceXrefRecord* record = reader_.doc.objects.Find(n)) {
            copied = record->copied_as;
        }
        return copied != 0 ? std::to_string(copied) + " 0 R" : "null";
    }

    std::vector<PendingCopy>& Objects() { return objects_; }

private:
    bool Copyable(std::int64_t number) const {
        return number > 0 && number <= reader_.doc.objects.UpperBound();
    }

    SourceReader& reader_;
    std::int32_t next_number_;
    std::vector<PendingCopy> objects_;
    std::unordered_map<std::int32_t, std::size_t> index_;
    std::size_t bytes_ = 0;
};

// An object's text for the output: references renumbered and, in a protected document, strings
// enciphered under the key of the object that holds them (written as hexadecimal strings).
std::string OutputText(WriterState& s, const CopyPlan& plan, std::string_view text, int number) {
    std::function<std::string(std::string_view)> strings;
    if (s.encrypted) {
        strings = [&s, number](std::string_view bytes) {
            std::string data(bytes);
            if (!data.empty()) EncipherForObject(s, number, data);
            return HexText(data);
        };
    }
    return RewriteObjectText(
        text, [&plan](std::int64_t n) { return plan.Target(n); }, strings);
}

std::string StreamLine(WriterState& s, std::vector<std::uint8_t> bytes, int number) {
    std::string data(bytes.begin(), bytes.end());
    if (s.encrypted && !data.empty()) EncipherForObject(s, number, data);
    // Archive checkers take only a line feed, alone or after a carriage return, as the end of
    // line before "endstream".
    return "stream\r\n" + data + (s.pdfa_mode ? "\nendstream" : "\rendstream");
}

// The first feature of a page to copy that no archival document may hold: in its resources,
// the objects they bring, its content and the content of the forms it draws. Content that this
// reader cannot decode cannot be vouched for either.
std::string ArchivalObstacle(SourceReader& reader, std::string_view page_text,
                             std::string_view resources, CopyPlan& plan) {
    std::string why = PdfaObjectObstacle(resources);
    for (const PendingCopy& copy : plan.Objects()) {
        if (!why.empty()) return why;
        why = PdfaObjectObstacle(copy.text);
        if (!why.empty() || !copy.has_stream || DictValue(copy.text, "Subtype") != "/Form")
            continue;
        const auto decoded = DecodeFilters(copy.data, DictValue(copy.text, "Filter"),
                                           DictValue(copy.text, "DecodeParms"));
        why = decoded ? PdfaContentObstacle(std::string_view(
                            reinterpret_cast<const char*>(decoded->data()), decoded->size()))
                      : "content in a form this reader cannot check";
    }
    if (!why.empty()) return why;
    const PageContent content = ReadPageContent(reader, page_text, ContentJoin::kAsQueried);
    return PdfaContentObstacle(
        std::string_view(reinterpret_cast<const char*>(content.data.data()), content.data.size()));
}

} // namespace

std::string ImportedPageName(const WriterState& s, std::size_t doc_index,
                             std::int32_t page_number) {
    return s.resource_prefix + "PDF_" + std::to_string(doc_index + 1) + "." +
           std::to_string(page_number);
}

void CopySourcePage(Pagora::Members& m, SourceReader& reader, std::size_t doc_index,
                    std::int32_t page_number) {
    WriterState& s = m.writer;
    SourceDocRecord& doc = reader.doc;
    SourcePageRecord& page = doc.pages[static_cast<std::size_t>(page_number - 1)];
    if (page.imported) return;
    if (!s.output) RaiseError(kErrBadFileNumber, kOperation);

    // ---- Everything read and checked before the first byte is written.
    const std::string text = GetObjectText(reader, page.object_number);
    std::string resources = GetInheritedAttribute(reader, text, "Resources");
    const PageBox box = ParsePageBox(GetInheritedAttribute(reader, text, "MediaBox"));
    const std::int16_t rotate = ParseRotate(GetInheritedAttribute(reader, text, "Rotate"));
    PageContent content = ReadPageContent(reader, text, ContentJoin::kForImport);
    const float width = box.x2 - box.x1;
    const float height = box.y2 - box.y1;
    // The placing matrix divides by both.
    if (width == 0 || height == 0) RaiseError(kErrDivisionByZero, kOperation);
    const std::size_t start = SkipPdfWhite(resources, 0);
    if (start >= resources.size() || resources.compare(start, 2, "<<") != 0) {
        resources = "<< >>"; // no resources anywhere, or a value that is no dictionary
    }
    std::string bbox = "   /BBox [" + FormatReal(s, box.x1) + " " + FormatReal(s, box.y1) + " " +
                       FormatReal(s, box.x2) + " " + FormatReal(s, box.y2) + " ]";
    // A page whose lower-left corner is not the origin is moved there, so that the placing
    // matrix puts the page itself, not the origin, at the caller's corner.
    std::string matrix;
    if (box.x1 != 0 || box.y1 != 0) {
        matrix =
            "   /Matrix [1 0 0 1 " + FormatReal(s, -box.x1) + " " + FormatReal(s, -box.y1) + "]";
    }

    CopyPlan plan(reader, s.last_object_number + 1);
    plan.Visit(resources);
    if (!content.decode_parms.empty()) plan.Visit(content.decode_parms);
    if (s.pdfa_mode) {
        // The page is copied as it is; what it brings decides whether the file stays archival.
        // An archival file declares PDF 1.x: a page that needs 2.0 raises the header past it.
        const std::string why = 3 + doc.version_level >= 20
                                    ? std::string("PDF 2.0")
                                    : ArchivalObstacle(reader, text, resources, plan);
        if (!why.empty()) {
            DropPdfaClaim(s, kErrInvalidCall, kOperation,
                          "page " + std::to_string(page_number) + " of " + doc.name + " brings " +
                              why);
        }
    }

    // ---- Written: the copies in the order of their numbers, then the form.
    // The plan's index stays valid: the copies are written through a sorted list of pointers.
    std::vector<PendingCopy*> order;
    for (PendingCopy& copy : plan.Objects())
        order.push_back(&copy);
    std::sort(order.begin(), order.end(),
              [](const PendingCopy* a, const PendingCopy* b) { return a->number < b->number; });
    for (PendingCopy* copy : order) {
        BeginIndirectObject(s, copy->number);
        WriteFileLine(s, copy->text.empty() ? std::string("null")
                                            : OutputText(s, plan, copy->text, copy->number));
        if (copy->has_stream && !copy->text.empty()) {
            WriteFileLine(s, StreamLine(s, std::move(copy->data), copy->number));
        }
        EndIndirectObject(s);
    }
    for (const PendingCopy* copy : order) {
        if (SourceXrefRecord* record = doc.objects.FindMutable(copy->source)) {
            record->copied_as = copy->number;
        } else {
            // Listed by no section: its null copy is still shared by the next pages.
            doc.objects.Slot(copy->source).copied_as = copy->number;
        }
    }

    const int form = s.last_object_number + 1;
    const std::string resources_text = OutputText(s, plan, resources, form);
    std::string decode_parms;
    if (!content.decode_parms.empty()) {
        decode_parms = OutputText(s, plan, content.decode_parms, form);
    }
    BeginIndirectObject(s, form);
    WriteFileLine(s, "<< /Type /XObject /Subtype /Form /FormType 1");
    WriteFileLine(s, bbox);
    if (!matrix.empty()) WriteFileLine(s, matrix);
    WriteFileLine(s, "   /Resources " + resources_text);
    WriteFileLine(s, "   /Length " + std::to_string(content.data.size()));
    if (!content.filter.empty()) WriteFileLine(s, "   /Filter " + content.filter);
    if (!decode_parms.empty()) WriteFileLine(s, "   /DecodeParms " + decode_parms);
    WriteFileLine(s, ">>");
    WriteFileLine(s, StreamLine(s, std::move(content.data), form));
    EndIndirectObject(s);

    s.xobject_resources +=
        "/" + ImportedPageName(s, doc_index, page_number) + " " + std::to_string(form) + " 0 R \r";
    page.width = width;
    page.height = height;
    page.rotate = rotate;
    page.imported = true;
}

void DrawSourcePage(Pagora::Members& m, std::size_t doc_index, std::int32_t page_number, float x,
                    float y, float width, float height) {
    WriterState& s = m.writer;
    const SourceDocRecord& doc = m.import.source_docs[doc_index];
    const SourcePageRecord& page = doc.pages[static_cast<std::size_t>(page_number - 1)];
    SetPosition(m, x, y);
    const double k = s.scale_factor;
    const double page_width = page.width;
    const double page_height = page.height;
    if (page_width == 0 || page_height == 0) RaiseError(kErrDivisionByZero, kOperation);
    CompleteBox(page_width, page_height, k, width, height);
    const auto sx = static_cast<float>(width * k / page_width);
    const auto sy = static_cast<float>(height * k / page_height);
    // Every number is formatted before a line is written: one that cannot be written leaves no
    // "q" without its "Q".
    const std::string placing = FormatReal(s, sx) + " 0 0 " + FormatReal(s, -sy) + " " +
                                FormatUnits(s, x) + " " + FormatUnits(s, y + height) + " cm";
    WriteContent(s, "q");
    WriteContent(s, placing);
    WriteContent(s, "/" + ImportedPageName(s, doc_index, page_number) + " Do");
    WriteContent(s, "Q");
    const auto kf = static_cast<float>(k);
    const ContentState& c = m.content;
    SetLastBounds(m, c.current_x, s.page_height - c.current_y, c.current_x + width * kf,
                  s.page_height - c.current_y - height * kf);
    RequireVersion(s, doc.version_level);
}

} // namespace pagora::detail

namespace pagora {

void Pagora::ImportPage(const std::string& FileName, std::int32_t PageNumber, float DestX,
                        float DestY, float xDim, float YDim) {
    GetInfo(FileName);
    const detail::SourcePageRecord* page = detail::CurrentSourcePage(*m_, PageNumber);
    if (page == nullptr) return;
    const std::size_t doc_index = *m_->import.current_source_doc;
    if (!page->imported) {
        detail::WithCurrentSource(*m_, "ImportPage", [&](detail::SourceReader& reader) {
            detail::CopySourcePage(*m_, reader, doc_index, PageNumber);
        });
    }
    detail::DrawSourcePage(*m_, doc_index, PageNumber, DestX, DestY, xDim, YDim);
}

} // namespace pagora
