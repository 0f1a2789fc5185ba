// Fuzz target: the whole reading of a source document from a memory buffer. It must end, never
// raise, keep what it reports consistent, and stay inside the buffer.
#include "pdf/import/source_document.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pagora::detail::MemorySourceBytes bytes(std::span(data, size));
    pagora::detail::SourceDocRecord doc;
    pagora::detail::SourceReadReport report;
    pagora::detail::ReadSourceDocument(bytes, doc, report);
    if (doc.pages.size() > 32767) std::abort();
    if (report.bad_sections > static_cast<int>(report.errors.size())) std::abort();
    for (const auto& error : report.errors) {
        const int n = error.Number();
        if (n != 6 && n != 7 && n != 9 && n != 13 && n != 62 && n != 321) std::abort();
    }
    return 0;
}
