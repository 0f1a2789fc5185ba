// The public loading of TrueType fonts from files.
#include "pdf/writer/Pagora.h"

#include "pdf/fonts/charset_differences.h"
#include "pdf/fonts/code_pages.h"
#include "pdf/fonts/font_names.h"
#include "pdf/fonts/font_registry.h"
#include "pdf/fonts/fonts.h"
#include "pdf/fonts/pdfa_fonts.h"
#include "pdf/fonts/truetype.h"
#include "pdf/fonts/truetype_font.h"
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"

#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <span>

namespace pagora {

namespace {

constexpr std::string_view kOperation = "AddFont";

// Reads the whole file; returns 0 or the run-time error number of the failure.
int ReadFontFile(const std::filesystem::path& path, std::string& bytes) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) return detail::kErrPathFileAccess;
    // The program's length is written as a 32-bit number, and no font is larger.
    if (size > static_cast<std::uintmax_t>(std::numeric_limits<std::int32_t>::max())) {
        return detail::kErrOutOfMemory;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) return detail::kErrPathFileAccess;
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (static_cast<std::uintmax_t>(in.gcount()) != size) {
        bytes.clear();
        return detail::kErrDeviceIo;
    }
    return 0;
}

// The name of a font whose file names none: its file name without blanks, so that the font
// still has an alias to be selected by and a base name.
std::string NameFromPath(const std::filesystem::path& path) {
    std::string name;
    for (const char c : path.stem().string()) {
        if (c != ' ') name += c;
    }
    return name.empty() ? std::string("TrueType") : name;
}

} // namespace

std::string Pagora::AddFont(const std::string& TTFFile, const std::string& FontAlias, bool Embedded,
                            int Encoding) {
    detail::WriterState& s = m_->writer;
    detail::FontState& fonts = m_->fonts;
    const auto record_error = [&](int number, std::string description) {
        detail::RecordError(s, PdfError(number, "", std::move(description)), kOperation, TTFFile);
    };
    // Archived documents embed every font; its charset stays, written in the form they allow.
    if (s.pdfa_mode) Embedded = true;
    std::error_code exists_error;
    const std::filesystem::path path(TTFFile);
    if (TTFFile.empty() || !std::filesystem::is_regular_file(path, exists_error)) {
        record_error(detail::kErrFileNotFound, detail::ErrorText(detail::kErrFileNotFound));
        return std::string();
    }

    try {
        std::string program;
        const int read_error = ReadFontFile(path, program);
        if (read_error != 0) record_error(read_error, detail::ErrorText(read_error));
        const auto bytes =
            std::span(reinterpret_cast<const std::uint8_t*>(program.data()), program.size());
        detail::TrueTypeMetrics metrics =
            detail::ReadTrueType(bytes, detail::GetCharsetUnicodeMap(Encoding));
        for (const detail::TrueTypeFailure& failure : metrics.failures) {
            record_error(failure.number,
                         detail::ErrorText(failure.number) + " (" + failure.step + ")");
        }
        if (metrics.full_name.empty()) metrics.full_name = NameFromPath(path);

        // A second font under a name already taken gets a name of its own, so that the
        // document never holds two fonts under one resource name.
        const std::string alias =
            detail::UniqueAlias(fonts, FontAlias.empty() ? metrics.full_name : FontAlias, Encoding);
        detail::FontRecord& record = detail::AddFontRecord(fonts);
        record.Key = detail::UpperCase(alias);
        record.Alias = alias;
        record.Charset = Encoding;
        if (Encoding != 0) record.Differences = detail::GetCharsetDifferences(Encoding);
        if (!detail::FillTrueTypeRecord(record, metrics)) {
            record_error(detail::kErrOverflow, detail::ErrorText(detail::kErrOverflow));
        }
        const std::string descriptor =
            detail::TrueTypeDescriptor(metrics, detail::FormatReal(s, metrics.italic_angle));
        const int length = Embedded ? static_cast<int>(program.size()) : 0;
        try {
            if (s.pdfa_mode) {
                detail::WritePdfaTrueTypeFont(*m_, alias, program, metrics, Encoding);
            } else {
                detail::WriteFont(*m_, alias, program, length, descriptor);
            }
        } catch (const PdfError& error) {
            // A record without its dictionary would be named in content that no font object
            // answers; a later selection of the alias gets a standard font instead.
            --fonts.FontCount;
            fonts.FontList.pop_back();
            detail::RecordError(s, error, kOperation, TTFFile);
        }
        return alias;
    } catch (const std::bad_alloc&) {
        record_error(detail::kErrOutOfMemory, detail::ErrorText(detail::kErrOutOfMemory));
        return FontAlias;
    }
}

} // namespace pagora
