#include "pdf/fonts/fonts.h"

#include "pdf/fonts/font_dictionary.h"
#include "pdf/fonts/standard_metrics.h"
#include "pdf/writer/writer.h"

namespace pagora::detail {

int WriteFont(Pagora::Members& m, const std::string& alias, const std::string& font_program,
              int program_length, std::string_view descriptor) {
    WriterState& s = m.writer;
    const FontRecord& record = NewestFont(m.fonts);
    const int object = BeginIndirectObject(s);
    // Aliases and base names come from callers and font files: written as PDF names they
    // cannot break the dictionary, and the resource entry and /Name stay the same token.
    const std::string name = FormatName(s.resource_prefix + alias);
    const std::string base_font = FormatName(record.base_name);
    s.font_resources += name + " " + std::to_string(object) + " 0 R ";
    for (const std::string& line :
         FontDictionaryLines(record, std::string_view(name).substr(1),
                             std::string_view(base_font).substr(1), object)) {
        WriteFileLine(s, line);
    }
    EndIndirectObject(s);
    if (!record.truetype) return object;

    BeginIndirectObject(s, object + 1);
    const bool embedded = program_length > 0;
    for (const std::string& line :
         FontDescriptorLines(std::string_view(base_font).substr(1), descriptor, embedded, object)) {
        WriteFileLine(s, line);
    }
    EndIndirectObject(s);
    if (embedded) {
        BeginIndirectObject(s, object + 2);
        WriteFileLine(s, "<<");
        std::string data = font_program.substr(0, static_cast<std::size_t>(program_length));
        WriteStream(s, data, 0, "", program_length, StreamKind::kFile);
        EndIndirectObject(s);
    }
    return object;
}

} // namespace pagora::detail
