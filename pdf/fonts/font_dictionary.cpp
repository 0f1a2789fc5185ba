#include "pdf/fonts/font_dictionary.h"

#include "pdf/fonts/font_names.h"

namespace pagora::detail {

namespace {

// The /Widths array of codes 32 to 255, sixteen to a line.
std::string WidthsArray(const FontRecord& record) {
    std::string widths = "/Widths [";
    for (std::size_t code = 32; code < 256; ++code) {
        widths += std::to_string(record.widths[code]);
        widths += ' ';
        if (code % 16 == 15) widths += '\r';
    }
    widths += ']';
    return widths;
}

} // namespace

std::vector<std::string> FontDictionaryLines(const FontRecord& record,
                                             std::string_view resource_name,
                                             std::string_view base_font, std::int32_t object) {
    std::vector<std::string> lines;
    std::string header = "<< /Type /Font /Subtype /";
    header += record.truetype ? "TrueType" : "Type1";
    header += " /Name /";
    header += resource_name;
    header += " /BaseFont /";
    header += base_font;
    header += " /FirstChar 32 /LastChar 255";
    lines.push_back(std::move(header));

    // The two symbolic fonts keep their built-in encodings.
    const std::string upper = UpperCase(record.base_name);
    if (upper != "SYMBOL" && upper != "ZAPFDINGBATS") {
        std::string encoding = "/Encoding << /Type /Encoding /BaseEncoding /WinAnsiEncoding ";
        if (!record.differences.empty()) encoding += "/Differences " + record.differences;
        encoding += " >>";
        lines.push_back(std::move(encoding));
    }

    if (!record.truetype) {
        // Arial, TimesNewRoman and CourierNew are not base font names: a viewer that finds no
        // such font and no widths draws every glyph with no advance, so the widths the layout
        // measured with go into the file. The two symbolic fonts are base fonts by name.
        if (upper != "SYMBOL" && upper != "ZAPFDINGBATS") lines.push_back(WidthsArray(record));
        lines.emplace_back(" >>");
        return lines;
    }
    lines.push_back("/FontDescriptor " + std::to_string(object + 1) + " 0 R\r" +
                    WidthsArray(record) + "\r>>");
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
