// Fuzz target: page import from a memory buffer into a document being written. Every page (the
// first few) is copied twice and drawn; each import must end, either placing the page or
// raising one of the reader's errors, and the finished document may hold no object number
// without its object.
#include "pdf/import/page_import.h"
#include "pdf/import/source_document.h"
#include "pdf/writer/members.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

namespace {

class QuietHost final : public pagora::PagoraHost {
public:
    pagora::LocalTime Now() override { return {}; }
    void Randomize() override {}
    double Random() override { return 0.5; }
    void OpenDocument(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
};

bool Expected(int number) {
    for (const int n : {6, 7, 9, 11, 13, 62, 321})
        if (n == number) return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string out =
        (std::filesystem::temp_directory_path() / "kerbolt_fuzz_import_page.pdf").string();
    namespace d = pagora::detail;
    pagora::Pagora pdf(std::make_shared<QuietHost>());
    pdf.BeginDoc(out);
    pdf.BeginPage();
    d::MemorySourceBytes bytes(std::span(data, size));
    d::SourceDocRecord doc;
    doc.name = doc.path = "memory";
    d::SourceReadReport report;
    d::ReadSourceDocument(bytes, doc, report);
    auto& m = d::StateOf(pdf);
    if (!doc.encrypted) {
        m.import.source_docs.push_back(std::move(doc));
        d::SourceReader reader{bytes, m.import.source_docs.back()};
        const std::int32_t pages = std::min(m.import.source_docs.back().PageCount(), 4);
        for (std::int32_t page = 1; page <= pages; ++page) {
            for (int twice = 0; twice < 2; ++twice) {
                try {
                    d::CopySourcePage(m, reader, 0, page);
                    d::DrawSourcePage(m, 0, page, 10, 10, 0, 0);
                } catch (const pagora::PdfError& error) {
                    if (!Expected(error.Number())) std::abort();
                }
            }
        }
    }
    pdf.EndPage();
    pdf.EndDoc();
    if (pdf.ErrNumber() != 0) std::abort();
    const auto& offsets = m.writer.object_offsets;
    for (int n = 1; n <= m.writer.last_object_number; ++n) {
        if (static_cast<std::size_t>(n) >= offsets.size() ||
            offsets[static_cast<std::size_t>(n)] < 0)
            std::abort(); // a number taken and never written
    }
    std::remove(out.c_str());
    return 0;
}
