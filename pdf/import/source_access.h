// What the public reading operations share: the page record GetInfo's answer points at, and a
// reading of the current document's file, reopened for it and closed on every way out.
#pragma once

#include "pdf/import/object_reader.h"
#include "pdf/import/reader_errors.h"
#include "pdf/import/source_document.h"
#include "pdf/writer/members.h"

#include <new>
#include <string>
#include <string_view>

namespace pagora::detail {

// The record of a page of the document GetInfo just made current; nullptr when there is none,
// when it is encrypted, or for a page number outside its pages.
inline SourcePageRecord* CurrentSourcePage(Pagora::Members& m, std::int32_t page_number) {
    auto& state = m.import;
    if (!state.current_source_doc) return nullptr;
    SourceDocRecord& doc = state.source_docs[*state.current_source_doc];
    if (doc.encrypted || page_number < 1 || page_number > doc.PageCount()) return nullptr;
    return &doc.pages[static_cast<std::size_t>(page_number - 1)];
}

// Runs read(SourceReader&) over the current document's file. The reader's errors reach the
// caller under the operation's name.
template <typename F>
auto WithCurrentSource(Pagora::Members& m, std::string_view operation, F&& read) {
    SourceDocRecord& doc = m.import.source_docs[*m.import.current_source_doc];
    try {
        const auto bytes = ReopenSource(doc, operation);
        SourceReader reader{*bytes, doc};
        return read(reader);
    } catch (const PdfError& error) {
        throw PdfError(error.Number(), "Pagora." + std::string(operation), error.Description());
    } catch (const std::bad_alloc&) {
        RaiseError(kErrOutOfMemory, operation);
    }
}

} // namespace pagora::detail
