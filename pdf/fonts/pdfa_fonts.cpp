#include "pdf/fonts/pdfa_fonts.h"

#include "pdf/fonts/code_pages.h"
#include "pdf/fonts/font_dictionary.h"
#include "pdf/fonts/fonts.h"
#include "pdf/fonts/standard_metrics.h"
#include "pdf/fonts/truetype_font.h"
#include "pdf/fonts/truetype_symbolic.h"
#include "pdf/writer/writer.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <span>
#include <sstream>

namespace pagora::detail {

namespace {

std::string Hex(std::uint32_t value, int digits) {
    char text[9];
    std::snprintf(text, sizeof text, "%0*X", digits, static_cast<unsigned>(value));
    return text;
}

// The map from byte codes to the charset's characters, for text extraction from a font whose
// program carries only a symbol map.
std::string ToUnicodeMap(const CodePageMap& code_page) {
    std::vector<std::string> pairs;
    for (std::uint32_t code = 32; code < 256; ++code) {
        const char32_t point = code_page[code];
        if (point != 0 && point <= 0xFFFF) {
            pairs.push_back("<" + Hex(code, 2) + "> <" + Hex(point, 4) + ">");
        }
    }
    std::string text = "/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
                       "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
                       "/CMapName /Adobe-Identity-UCS def\n/CMapType 2 def\n"
                       "1 begincodespacerange\n<00> <FF>\nendcodespacerange\n";
    // A block holds at most 100 entries.
    for (std::size_t first = 0; first < pairs.size(); first += 100) {
        const std::size_t count = std::min<std::size_t>(100, pairs.size() - first);
        text += std::to_string(count) + " beginbfchar\n";
        for (std::size_t i = first; i < first + count; ++i)
            text += pairs[i] + "\n";
        text += "endbfchar\n";
    }
    text += "endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend";
    return text;
}

std::string WidthsLine(const FontRecord& record) {
    std::string widths = "/Widths [";
    for (std::size_t code = 32; code < 256; ++code) {
        widths += std::to_string(record.widths[code]);
        widths += code % 16 == 15 ? '\r' : ' ';
    }
    return widths + "]";
}

int WriteEmbedded(Pagora::Members& m, const std::string& alias, const std::string& original,
                  TrueTypeMetrics metrics, std::int32_t charset) {
    WriterState& s = m.writer;
    const FontRecord& record = NewestFont(m.fonts);
    // A damaged or unread program would be embedded as it stands and fail every reader.
    if (!metrics.failures.empty() || original.size() < 12) {
        RaiseError(kErrInvalidFileFormat, "WriteFont");
    }
    const bool symbolic = metrics.symbolic || charset != 0;
    const CodePageMap& code_page = GetCharsetUnicodeMap(charset);
    std::string program = original;
    if (symbolic) {
        program = SymbolicFontProgram(
            std::span(reinterpret_cast<const std::uint8_t*>(original.data()), original.size()),
            code_page);
        if (program.empty()) {
            RaiseError(kErrInvalidFileFormat, "WriteFont");
        }
    }
    metrics.symbolic = symbolic;
    const std::string descriptor = TrueTypeDescriptor(metrics, FormatReal(s, metrics.italic_angle));

    const int object = BeginIndirectObject(s);
    const std::string name = FormatName(s.resource_prefix + alias);
    const std::string base_font = FormatName(TrueTypeBaseName(metrics));
    s.font_resources += name + " " + std::to_string(object) + " 0 R ";
    WriteFileLine(s, "<< /Type /Font /Subtype /TrueType /Name " + name + " /BaseFont " + base_font +
                         " /FirstChar 32 /LastChar 255");
    // Outside the Western charset the WinAnsi names would pick the wrong glyphs, and archived
    // documents allow no other encoding with a TrueType font: such a font is symbolic, its
    // codes reach the glyphs through the program's own map.
    if (!symbolic) WriteFileLine(s, "/Encoding /WinAnsiEncoding");
    std::string tail = "/FontDescriptor " + std::to_string(object + 1) + " 0 R";
    if (symbolic) tail += " /ToUnicode " + std::to_string(object + 3) + " 0 R";
    WriteFileLine(s, tail + "\r" + WidthsLine(record) + "\r>>");
    EndIndirectObject(s);

    BeginIndirectObject(s, object + 1);
    for (const std::string& line :
         FontDescriptorLines(std::string_view(base_font).substr(1), descriptor, true, object)) {
        WriteFileLine(s, line);
    }
    EndIndirectObject(s);

    BeginIndirectObject(s, object + 2);
    WriteFileLine(s, "<<");
    const auto length = static_cast<int>(program.size());
    WriteStream(s, program, 0, "", length, StreamKind::kFile);
    EndIndirectObject(s);

    if (symbolic) {
        BeginIndirectObject(s, object + 3);
        WriteFileLine(s, "<<");
        std::string cmap = ToUnicodeMap(code_page);
        WriteStream(s, cmap, 0, "", 0, StreamKind::kContent);
        EndIndirectObject(s);
    }
    return object;
}

bool ReadWholeFile(const std::string& path, std::string& bytes) {
    std::error_code error;
    if (path.empty() || !std::filesystem::is_regular_file(path, error)) return false;
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    if (!in) return false;
    std::stringstream buffer;
    buffer << in.rdbuf();
    bytes = buffer.str();
    return !in.bad() && !bytes.empty();
}

} // namespace

int WritePdfaStandardFont(Pagora::Members& m, const std::string& alias) {
    WriterState& s = m.writer;
    const FontRecord& record = NewestFont(m.fonts);
    const std::string family = record.base_name.substr(0, record.base_name.find(','));
    std::int32_t style = 0;
    if (record.base_name.find("Bold") != std::string::npos) style |= 1;
    if (record.base_name.find("Italic") != std::string::npos) style |= 2;

    const std::string path = m.host->StandardFontFile(family, style);
    std::string program;
    int failure = kErrFileNotFound;
    if (ReadWholeFile(path, program)) {
        const auto bytes =
            std::span(reinterpret_cast<const std::uint8_t*>(program.data()), program.size());
        TrueTypeMetrics metrics = ReadTrueType(bytes, GetCharsetUnicodeMap(record.charset));
        if (metrics.failures.empty() && !metrics.full_name.empty()) {
            try {
                return WriteEmbedded(m, alias, program, metrics, record.charset);
            } catch (const PdfError& error) {
                if (error.Number() != kErrInvalidFileFormat) throw;
            }
        }
        failure = kErrInvalidFileFormat;
    }
    // A file without this font would claim PDF/A and not be one: the claim goes, the error
    // says why, and the text still shows in the standard font.
    s.pdfa_broken = true;
    std::string what = "no font file to embed " + record.base_name + " in a PDF/A document";
    if (!path.empty()) what += " (" + path + ")";
    RecordError(s, PdfError(failure, "", ErrorText(failure)), "SetFont", what);
    return WriteFont(m, alias, std::string(), 0, std::string_view());
}

int WritePdfaTrueTypeFont(Pagora::Members& m, const std::string& alias, const std::string& program,
                          const TrueTypeMetrics& metrics, std::int32_t charset) {
    return WriteEmbedded(m, alias, program, metrics, charset);
}

} // namespace pagora::detail
