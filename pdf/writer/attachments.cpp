// Embedded files and document scripts: AddAttach and OnDocEvent store them, EndDoc writes the
// script streams, the name trees and the catalog's actions.
#include "pdf/writer/attachments.h"

#include "pdf/writer/members.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/writer.h"

#include <algorithm>
#include <cstdio>

namespace pagora::detail {
namespace {

std::string Ref(int number) {
    return std::to_string(number) + " 0 R";
}

// The part of a path after its last folder separator, else after a drive colon.
std::string NameFromPath(const std::string& path) {
    std::size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) cut = path.rfind(':');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The whole file, or a raised error: 53 missing, 76 a folder of its path missing, 75 not
// readable.
std::string ReadWholeFile(const std::string& path) {
    // A name cut short by a NUL byte would name another file.
    if (path.find('\0') != std::string::npos) RaiseError(kErrBadFileNumber, "AddAttach");
    // Only a regular file has an end: a FIFO would block the caller and a device such as
    // /dev/zero would be read until memory runs out.
    if (const int number = UnreadableFileNumber(path); number != 0) RaiseError(number, "AddAttach");
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) RaiseError(kErrPathFileAccess, "AddAttach");
    std::string bytes;
    bool failed = false;
    try {
        char buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            bytes.append(buffer, got);
        failed = std::ferror(file) != 0;
    } catch (const std::bad_alloc&) {
        std::fclose(file);
        RaiseError(kErrOutOfMemory, "AddAttach");
    }
    std::fclose(file);
    if (failed) RaiseError(kErrPathFileAccess, "AddAttach");
    return bytes;
}

// The /Names array of the embedded-file tree, its keys as literals of the current object. A name
// tree's keys must be in byte order for a viewer to find them, whatever order the calls had.
std::string EmbeddedFilesTree(WriterState& s) {
    std::vector<const EmbeddedFileRecord*> sorted;
    for (const auto& file : s.embedded_files)
        sorted.push_back(&file);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [](const auto* a, const auto* b) { return a->name < b->name; });
    std::string names;
    for (const auto* file : sorted)
        names += FormatLiteral(s, file->name) + " " + Ref(file->filespec_object) + " ";
    return "/EmbeddedFiles << /Names [ " + names + "] >>";
}

std::string JavaScriptAction(int number) {
    return "<< /Type /Action /S /JavaScript /JS " + Ref(number) + " >>";
}

int WriteScript(WriterState& s, const std::string& script) {
    return script.empty() ? 0 : WriteTextStream(s, script);
}

} // namespace

DocumentScriptObjects WriteDocumentScripts(WriterState& s) {
    DocumentScriptObjects o;
    o.doc_open = WriteScript(s, s.doc_open_script);
    o.will_close = WriteScript(s, s.will_close_script);
    o.will_save = WriteScript(s, s.will_save_script);
    o.did_save = WriteScript(s, s.did_save_script);
    o.will_print = WriteScript(s, s.will_print_script);
    o.did_print = WriteScript(s, s.did_print_script);
    o.global = WriteScript(s, s.global_script);
    if (o.global != 0) {
        // The key is formatted while this dictionary is the current object, so a protected
        // document encrypts it with this object's key, as a reader decrypts it.
        o.names = BeginIndirectObject(s, 0);
        std::string line = "<< /JavaScript << /Names [ " + FormatLiteral(s, "globalscript") +
                           " << /S /JavaScript /JS " + Ref(o.global) + " >> ] >>";
        if (!s.embedded_files.empty()) line += " " + EmbeddedFilesTree(s);
        WriteFileLine(s, line + " >>");
        EndIndirectObject(s);
    }
    return o;
}

void WriteScriptCatalogLines(WriterState& s, const DocumentScriptObjects& o) {
    if (o.names != 0) {
        WriteFileLine(s, "/Names " + Ref(o.names));
    } else if (!s.embedded_files.empty()) {
        WriteFileLine(s, "/Names << " + EmbeddedFilesTree(s) + " >>");
    }
    if (o.doc_open != 0) WriteFileLine(s, "/OpenAction " + JavaScriptAction(o.doc_open) + " ");
    const std::pair<const char*, int> events[] = {{"/WC", o.will_close},
                                                  {"/WS", o.will_save},
                                                  {"/DS", o.did_save},
                                                  {"/WP", o.will_print},
                                                  {"/DP", o.did_print}};
    std::string actions;
    for (const auto& [key, number] : events) {
        if (number != 0) actions += " " + std::string(key) + " " + JavaScriptAction(number) + "\r";
    }
    if (!actions.empty()) WriteFileLine(s, "\n/AA <<" + actions + ">> ");
}

} // namespace pagora::detail

namespace pagora {

bool Pagora::AddAttach(const std::string& FilePath, std::string& FileName,
                       const std::string& Description) try {
    auto& s = m_->writer;
    constexpr const char* kOperation = "AddAttach";
    if (s.pdfa_mode) {
        // Nothing is attached, and the caller learns why.
        try {
            detail::RefuseInPdfa(s, kOperation, "an embedded file");
        } catch (const PdfError& error) {
            detail::RecordError(s, error, kOperation, FilePath);
        }
        return false;
    }
    // The file is read whole before anything is written: a file that cannot be read leaves no
    // half-written attachment behind, and the result says it was not attached.
    std::string bytes;
    try {
        // The listed name is the one a viewer saves the file under: cut at a NUL, another.
        detail::RefuseNulName(FileName, kOperation);
        bytes = detail::ReadWholeFile(FilePath);
        if (!s.output) detail::RaiseError(detail::kErrBadFileNumber, kOperation);
    } catch (const PdfError& error) {
        detail::RecordError(s, error, kOperation, FilePath);
        return false;
    }
    if (FileName.empty()) FileName = detail::NameFromPath(FilePath);
    try {
        const int n = detail::BeginIndirectObject(s, 0);
        detail::WriteFileLine(s, "<< /Type /Filespec /F " + detail::FormatLiteral(s, FileName) +
                                     " /EF <</F " + detail::Ref(n + 1) + ">>");
        if (!Description.empty())
            detail::WriteFileLine(s, "/Desc " + detail::FormatLiteral(s, Description));
        detail::WriteFileLine(s, ">>");
        detail::EndIndirectObject(s);
        detail::BeginIndirectObject(s, n + 1);
        detail::WriteFileLine(s, "<< /Type /EmbeddedFile");
        detail::WriteStream(s, bytes, 0, "", 0, detail::StreamKind::kFile);
        detail::EndIndirectObject(s);
        s.embedded_files.push_back({FileName, n});
        detail::RequireVersion(s, 1);
    } catch (const PdfError& error) {
        detail::RecordError(s, error, kOperation, FilePath);
        return false;
    }
    return true;
} catch (...) {
    detail::RecordFailure(m_->writer, "AddAttach", FilePath);
    return false;
}

bool Pagora::AddAttach(const std::string& FilePath) try {
    std::string name;
    return AddAttach(FilePath, name);
} catch (...) {
    detail::RecordFailure(m_->writer, "AddAttach", FilePath);
    return false;
}

void Pagora::OnDocEvent(int EventType, const std::string& Script, bool ResetScript) try {
    auto& s = m_->writer;
    if (s.pdfa_mode) return;
    std::string* const members[] = {&s.page_open_script,  &s.page_close_script, &s.doc_open_script,
                                    &s.will_close_script, &s.will_print_script, &s.will_save_script,
                                    &s.did_print_script,  &s.did_save_script,   &s.global_script};
    if (EventType < 0 || EventType > 8) return;
    std::string& member = *members[EventType];
    if (ResetScript) {
        member = Script;
    } else {
        member += Script;
    }
    if (EventType >= 3 && EventType <= 7) detail::RequireVersion(s, 1);
} catch (...) {
    detail::RethrowFailure("OnDocEvent");
}

} // namespace pagora
