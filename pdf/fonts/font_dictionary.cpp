#include "pdf/fonts/font_dictionary.h"

#include "pdf/fonts/font_names.h"

namespace pagora::detail {

std::vector<std::string> FontDictionaryLines(const FontRecord& record,
                                             std::string_view resource_name,
                                             std::string_view base_font, std::int32_t object) {
    std::vector<std::string> lines;
    std::string header = "<< /Type /Font /Subtype /";
    header += record.TrueType ? "TrueType" : "Type1";
    header += " /Name /";
    header += resource_name;
    header += " /BaseFont /";
    header += base_font;
    header += " /FirstChar 32 /LastChar 255";
    lines.push_back(std::move(header));

    // The two symbolic fonts keep their built-in encodings.
    const std::string upper = UpperCase(record.BaseName);
    if (upper != "SYMBOL" && upper != "ZAPFDINGBATS") {
        std::string encoding = "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding ";
        if (!record.Differences.empty()) encoding += "/Differences " + record.Differences;
        encoding += " >>";
        lines.push_back(std::move(encoding));
    }

    if (!record.TrueType) {
        lines.emplace_back(" >>");
        return lines;
    }
    std::string widths = "/FontDescriptor " + std::to_string(object + 1) + " 0 R\r/Widths [";
    for (std::size_t code = 32; code < 256; ++code) {
        widths += std::to_string(record.Widths[code]);
        widths += ' ';
        if (code % 16 == 15) widths += '\r';
    }
    widths += "]\r>>";
    lines.push_back(std::move(widths));
    return lines;
}

std::vector<std::string> FontDescriptorLines(std::string_view base_font,
                                             std::string_view descriptor, bool embedded,
                                             std::int32_t object) {
    std::vector<std::string> lines;
    std::string first = "<< /Type /FontDescriptor /FontName /";
    first += base_font;
    first += ' ';
    first += descriptor;
    first += ' ';
    lines.push_back(std::move(first));
    lines.push_back(embedded ? "/FontFile2 " + std::to_string(object + 2) + " 0 R >>" : " >>");
    return lines;
}

} // namespace pagora::detail
