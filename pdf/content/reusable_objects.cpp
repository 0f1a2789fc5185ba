// Reusable objects: content recorded once as a form and painted by name on any page.
#include "pdf/content/content.h"
#include "pdf/writer/writer.h"

#include <string>
#include <utility>

namespace pagora {

namespace {

using detail::FormObjectRecord;
using detail::WriterState;

// The annotation references an object contributes: those made so far while it is open.
const std::string& AnnotsOf(const WriterState& s, const FormObjectRecord& record) {
    if (s.in_object && &record == &s.form_objects.back()) return s.object_annots;
    return record.annots;
}

std::string PaintLine(const WriterState& s, const std::string& alias) {
    return "q " + detail::FormatName(s.resource_prefix + alias) + " Do Q";
}

std::string Placeholder(const std::string& alias) {
    return "##" + alias + "## ";
}

// Every placeholder of the alias replaced by the object's references.
bool ResolvePlaceholders(std::string& annots, const std::string& alias,
                         const std::string& references) {
    const std::string token = Placeholder(alias);
    bool changed = false;
    for (std::size_t at = annots.find(token); at != std::string::npos;
         at = annots.find(token, at + references.size())) {
        annots.replace(at, token.size(), references);
        changed = true;
    }
    return changed;
}

} // namespace

void Pagora::BeginObject(const std::string& Alias, std::int32_t Options) try {
    detail::RefuseNulName(Alias, "BeginObject");
    auto& s = m_->writer;
    if (s.in_object) return;
    detail::AppendRecord(s.form_objects, s.memory_factor) = FormObjectRecord{Alias, {}, Options};
    // A later object of the same alias leaves the first one painted by name.
    try {
        s.form_object_index.try_emplace(Alias, s.form_objects.size() - 1);
    } catch (...) {
        s.form_objects.pop_back(); // no object that painting by name could not find
        throw;
    }
    s.object_annots.clear();
    s.in_object = true;
    s.object_content.clear();
} catch (...) {
    detail::RethrowFailure("BeginObject");
}

void Pagora::EndObject() try {
    auto& s = m_->writer;
    if (!s.in_object) return;
    if (!s.output) detail::RaiseError(detail::kErrBadFileNumber, "EndObject");
    FormObjectRecord& record = s.form_objects.back(); // the open one
    std::string data = std::move(s.object_content);
    s.object_content.clear();
    const std::string name = detail::FormatName(s.resource_prefix + record.alias);
    const int n = detail::BeginIndirectObject(s, 0);
    detail::WriteFileLine(s, "<< /Type /XObject /Subtype /Form /FormType 1 /Name " + name +
                                 "\r/BBox [" + detail::FormatReal(s, -2 * s.page_width) + " " +
                                 detail::FormatReal(s, -2 * s.page_height) + " " +
                                 detail::FormatReal(s, 2 * s.page_width) + " " +
                                 detail::FormatReal(s, 2 * s.page_height) +
                                 "]\r/Matrix [1 0 0 1 0 0]");
    detail::WriteStream(s, data, 0, "", 0, detail::StreamKind::kContent);
    detail::EndIndirectObject(s);
    s.xobject_resources += name + " " + std::to_string(n) + " 0 R \r";
    s.in_object = false;
    record.annots = std::move(s.object_annots);
    s.object_annots.clear();
    // Pages that painted the object before it existed, the open one included.
    for (detail::PageRecord& page : s.pages) {
        if (page.has_placeholders && ResolvePlaceholders(page.annots, record.alias, record.annots))
            page.has_placeholders = page.annots.find("##") != std::string::npos;
    }
    ResolvePlaceholders(s.page_annots, record.alias, record.annots);
} catch (...) {
    detail::RethrowFailure("EndObject");
}

void Pagora::DrawObject(const std::string& Name) try {
    detail::RefuseNulName(Name, "DrawObject");
    auto& s = m_->writer;
    // An object painting itself would make a form that never ends for every reader.
    if (s.in_object && s.form_objects.back().alias == Name)
        detail::RaiseError(detail::kErrInvalidCall, "DrawObject");
    const auto found = s.form_object_index.find(Name);
    std::string references = found == s.form_object_index.end()
                                 ? Placeholder(Name)
                                 : AnnotsOf(s, s.form_objects[found->second]);
    detail::WriteContent(s, PaintLine(s, Name));
    // An object painted inside another travels with it; outside a page the references would
    // reach whatever page comes next.
    if (s.in_object) {
        if (references.find("##") == std::string::npos) s.object_annots += references;
    } else if (s.in_page) {
        s.page_annots += references;
    }
} catch (...) {
    detail::RethrowFailure("DrawObject");
}

namespace detail {

void PlaceAutoObjects(Pagora::Members& m, bool at_end) {
    WriterState& s = m.writer;
    // Placing while an object is recorded would paint objects into it, possibly into itself.
    if (s.in_object) return;
    const int p = s.current_page;
    for (const FormObjectRecord& record : s.form_objects) {
        const int o = record.options;
        if (o == 0 || ((o & 16) != 0) != at_end) continue;
        const bool placed =
            p == 1 ? (o & 8) == 0 && (o & 5) != 0
                   : (o & 7) == 7 || ((o & 2) != 0 && p % 2 == 0) || ((o & 4) != 0 && p % 2 == 1);
        if (!placed) continue;
        WriteContent(s, PaintLine(s, record.alias));
        s.page_annots += AnnotsOf(s, record);
    }
}

} // namespace detail

} // namespace pagora
