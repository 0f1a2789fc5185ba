// The document's life-cycle: Abort, BeginDoc and OpenDoc.
#include "pdf/writer/writer.h"

#include "pdf/content/content.h"
#include "pdf/fonts/fonts.h"
#include "pdf/writer/members.h"
#include "pdf/writer/outlines.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <system_error>
#include <utility>

namespace pagora {
namespace {

// "D:yyyymmddhhmmss" and the local offset from UTC as "+hh'mm'".
std::string CreationDateText(const LocalTime& t) {
    const int offset = t.utc_offset_minutes;
    const int magnitude = offset < 0 ? -offset : offset;
    char text[64];
    std::snprintf(text, sizeof text, "D:%04d%02d%02d%02d%02d%02d%c%02d'%02d'", t.year, t.month,
                  t.day, t.hour, t.minute, t.second, offset < 0 ? '-' : '+', magnitude / 60,
                  magnitude % 60);
    return text;
}

// A random whole number from 0 to 16777215, halves going to the even neighbour.
long RandomPrefixNumber(PagoraHost& host) {
    host.Randomize();
    return static_cast<long>(std::nearbyint(host.Random() * 16777215.0));
}

std::string UpperHex(long value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*lX", width, static_cast<unsigned long>(value));
    return text;
}

// Abort gives every member its default except those it keeps.
void ResetWriterState(detail::WriterState& s) {
    detail::WriterState fresh;
    fresh.kept = std::move(s.kept);
    s = std::move(fresh); // closes an open output file as it stands
}

} // namespace

void Pagora::Abort() try {
    auto& s = m_->writer;
    ResetWriterState(s);
    s.creation_date = CreationDateText(m_->host->Now());
    s.file_id = s.creation_date;
    s.resource_prefix = "A" + UpperHex(RandomPrefixNumber(*m_->host), 1) + "+";
    detail::AddBookmarkRecord(s, s.title, 0, 0);
    detail::ResetFontState(m_->fonts);
    detail::ResetContentState(m_->content);
    m_->import = detail::ImportState{}; // forgets every source document read
} catch (...) {
    detail::RethrowFailure("Abort");
}

std::string Pagora::BeginDoc(const std::string& strFileName) try {
    auto& s = m_->writer;
    std::string name = strFileName;
    // Each step runs even when an earlier one failed; the last failure is what ErrNumber tells.
    auto step = [&](auto&& action) {
        try {
            action();
        } catch (...) {
            detail::RecordFailure(s, "BeginDoc", name);
        }
    };
    // A second document on the same object would carry the first one's pages, fonts and
    // objects into its file: only Abort starts afresh. A name cut short by a NUL byte would
    // open another file than the one asked for.
    if (s.document_begun || name.find('\0') != std::string::npos) {
        const int number = s.document_begun ? detail::kErrInvalidCall : detail::kErrBadFileNumber;
        step([&] { detail::RaiseError(number, "BeginDoc"); });
        return std::string();
    }
    long random_number = 0;
    step([&] { random_number = RandomPrefixNumber(*m_->host); });
    step([&] {
        if (s.output_file_number != 0) s.output.reset();
    });
    step([&] {
        if (name.empty()) name = "~" + UpperHex(random_number, 6) + ".pdf";
    });
    step([&] {
        s.output.reset();
        s.output_file_number = 1;
        s.output_file_name = name;
        s.output_position = 0;
        s.output.reset(std::fopen(name.c_str(), "wb"));
        if (!s.output) {
            detail::RaiseError(
                detail::FileErrorNumber(std::error_code(errno, std::generic_category()),
                                        detail::kErrPathNotFound),
                "BeginDoc");
        }
        s.document_begun = true;
    });
    // Without a file the header cannot be written: the failure that left no file is what the
    // caller is told, not the write that follows from it.
    step([&] {
        if (s.output)
            detail::WriteFileLine(s, "%PDF-1.3\n%\xFF\xFF\xFF\xFF\n% Pagora Library 2020.1");
    });
    step([&] { s.last_object_number = 3; });
    return s.output_file_name;
} catch (...) {
    detail::RecordFailure(m_->writer, "BeginDoc", strFileName);
    return std::string();
}

void Pagora::OpenDoc() try { m_->host->OpenDocument(m_->writer.output_file_name); } catch (...) {
    detail::RethrowFailure("OpenDoc");
}

} // namespace pagora
