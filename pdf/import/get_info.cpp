// GetInfo: the gate of every reading operation, and the cache of source documents.
#include "pdf/import/source_document.h"

#include "pdf/fonts/code_pages.h"
#include "pdf/import/reader_errors.h"
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <cctype>
#include <new>

namespace pagora {

namespace {

// The cache key of a file name. File systems that ignore case get the upper-cased name, so two
// spellings of one file share a record; elsewhere two names are two files.
std::string SourceKey(const std::string& name) {
#ifdef _WIN32
    std::string key = name;
    std::transform(key.begin(), key.end(), key.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return key;
#else
    return name;
#endif
}

} // namespace

std::int32_t Pagora::GetInfo(const std::string& FileName, std::string* PDFTitle,
                             std::string* PDFSubject, std::string* PDFAuthor, bool* PDFEncrypted,
                             bool* PDFa, std::int16_t* PDFVersion) try {
    auto& state = m_->import;
    auto record = [this, &FileName](const PdfError& error) {
        detail::RecordError(m_->writer, error, "GetInfo", FileName);
    };
    auto fail = [&](int number) {
        record(PdfError(number, "Pagora.GetInfo", detail::ErrorText(number)));
        state.current_source_doc.reset();
        return 0;
    };

    detail::FileStamp stamp;
    if (!detail::StampFile(FileName, stamp)) {
        // The cause, as the image operations give it: a missing folder, a folder or device in
        // the file's place, no right to look.
        const int number = detail::UnreadableFileNumber(FileName);
        return fail(number == 0 ? detail::kErrFileNotFound : number);
    }
    const std::string key = SourceKey(FileName);
    const auto cached = std::find_if(state.source_docs.begin(), state.source_docs.end(),
                                     [&key](const auto& doc) { return doc.name == key; });
    std::optional<std::size_t> found;
    bool encrypted = false;
    if (cached != state.source_docs.end()) {
        found = static_cast<std::size_t>(cached - state.source_docs.begin());
    } else {
        detail::SourceDocRecord doc;
        doc.name = key;
        doc.path = FileName;
        doc.stamp = stamp;
        detail::SourceReadReport report;
        try {
            detail::FileSourceBytes bytes(FileName); // closed on every way out of this block
            detail::ReadSourceDocument(bytes, doc, report);
        } catch (const PdfError& error) {
            record(error);
            state.current_source_doc.reset();
            return 0;
        } catch (const std::bad_alloc&) {
            return fail(detail::kErrOutOfMemory);
        }
        for (int i = 0; i < report.bad_sections; ++i)
            m_->host->ShowMessage(detail::kXrefErrorText);
        for (const PdfError& error : report.errors)
            record(error);
        encrypted = doc.encrypted;
        if (!encrypted) {
            state.source_docs.push_back(std::move(doc));
            found = state.source_docs.size() - 1;
            m_->writer.imports_pages = true;
        }
    }
    if (!found) {
        // Encrypted documents are refused and not kept; the caller still learns why.
        if (encrypted && PDFEncrypted) *PDFEncrypted = true;
        return fail(detail::kErrInvalidFileFormat);
    }
    state.current_source_doc = found;
    const detail::SourceDocRecord& doc = state.source_docs[*found];
    // In the code page the document writes its text in, as FromUtf8 would give it.
    const int charset = m_->fonts.font_encoding;
    if (PDFTitle) *PDFTitle = detail::EncodeCodePage(doc.title, charset);
    if (PDFSubject) *PDFSubject = detail::EncodeCodePage(doc.subject, charset);
    if (PDFAuthor) *PDFAuthor = detail::EncodeCodePage(doc.author, charset);
    if (PDFEncrypted) *PDFEncrypted = doc.encrypted;
    if (PDFa) *PDFa = doc.pdfa;
    if (PDFVersion) *PDFVersion = static_cast<std::int16_t>(doc.version_level + 3);
    return doc.PageCount();
} catch (...) {
    detail::RecordFailure(m_->writer, "GetInfo", FileName);
    return 0;
}

} // namespace pagora
