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
#include <limits>
#include <span>

namespace pagora {

namespace {

constexpr std::string_view kOperation = "AddFont";

// No font program is larger: its length is written as a 32-bit number.
constexpr std::uint64_t kMaxFontBytes = std::numeric_limits<std::int32_t>::max();

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
                            int Encoding) try {
    detail::WriterState& s = m_->writer;
    detail::FontState& fonts = m_->fonts;
    const auto record_error = [&](int number, std::string description) {
        detail::RecordError(s, PdfError(number, "", std::move(description)), kOperation, TTFFile);
    };
    // Archived documents embed every font; its charset stays, written in the form they allow.
    if (s.pdfa_mode) Embedded = true;
    // The alias becomes a PDF name, which cannot hold NUL.
    if (FontAlias.find('\0') != std::string::npos) {
        record_error(detail::kErrInvalidCall, detail::ErrorText(detail::kErrInvalidCall));
        return std::string();
    }
    const std::filesystem::path path(TTFFile);

    std::string program;
    try {
        const std::vector<std::uint8_t> file =
            detail::ReadCallerFile(TTFFile, kMaxFontBytes, kOperation);
        program.assign(file.begin(), file.end());
    } catch (const PdfError& error) {
        // Nothing registered: a file that cannot be read gives no font to select.
        detail::RecordError(s, error, kOperation, TTFFile);
        return std::string();
    }
    const auto bytes =
        std::span(reinterpret_cast<const std::uint8_t*>(program.data()), program.size());
    detail::TrueTypeMetrics metrics =
        detail::ReadTrueType(bytes, detail::GetCharsetUnicodeMap(Encoding));
    for (const detail::TrueTypeFailure& failure : metrics.failures) {
        record_error(failure.number, detail::ErrorText(failure.number) + " (" + failure.step + ")");
    }
    // A file the reader could not walk through (text, a cut or damaged font) gives no font: its
    // widths and names would be guesses, and its program would break the document for viewers.
    // Nothing of it is registered or written; a later selection of the alias gets a standard
    // font.
    if (!metrics.failures.empty()) return std::string();
    if (metrics.full_name.empty()) metrics.full_name = NameFromPath(path);

    // The alias is spelled as SetFont spells the family it is given (without blanks, the
    // standard families under their own names, a charset other than Western appended to
    // those), so that SetFont with the alias finds this font and never another. A second font
    // under a name already taken gets a name of its own, so that the document never holds two
    // fonts under one resource name.
    std::string wanted = detail::CanonicalFamily(FontAlias);
    if (wanted.empty()) wanted = detail::CanonicalFamily(metrics.full_name);
    std::string alias =
        detail::UniqueAlias(fonts, detail::FontAlias(wanted, 0, Encoding), Encoding);
    detail::FontRecord& record = detail::AddFontRecord(fonts);
    try {
        record.key = detail::UpperCase(alias);
        record.alias = alias;
        record.charset = Encoding;
        if (Encoding != 0) record.differences = detail::GetCharsetDifferences(Encoding);
        if (!detail::FillTrueTypeRecord(record, metrics)) {
            record_error(detail::kErrOverflow, detail::ErrorText(detail::kErrOverflow));
        }
        const std::string descriptor =
            detail::TrueTypeDescriptor(metrics, detail::FormatReal(s, metrics.italic_angle));
        const int length = Embedded ? static_cast<int>(program.size()) : 0;
        if (s.pdfa_mode) {
            detail::WritePdfaTrueTypeFont(*m_, alias, program, metrics, Encoding);
        } else {
            detail::WriteFont(*m_, alias, program, length, descriptor);
        }
    } catch (...) {
        // A record without its dictionary would be named in content that no font object
        // answers; a later selection of the alias gets a standard font instead.
        fonts.list.pop_back();
        detail::RecordFailure(s, kOperation, TTFFile);
    }
    return alias;
} catch (...) {
    detail::RecordFailure(m_->writer, "AddFont", TTFFile);
    return std::string();
}

} // namespace pagora
