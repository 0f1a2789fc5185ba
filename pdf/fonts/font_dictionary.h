// The text of a font's dictionary and descriptor objects, line by line.
#pragma once

#include "pdf/fonts/font_state.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

// The lines of font dictionary object N, between its "N 0 obj" and "endobj" lines. The
// resource name and base font name are given as PDF name tokens without their "/" (already
// escaped). A TrueType font refers to its descriptor, object N + 1, and lists its widths.
std::vector<std::string> FontDictionaryLines(const FontRecord& record,
                                             std::string_view resource_name,
                                             std::string_view base_font, std::int32_t object);

// The lines of a TrueType font's descriptor, object N + 1: the descriptor entries, and a
// reference to the font program, object N + 2, when one is embedded.
std::vector<std::string> FontDescriptorLines(std::string_view base_font,
                                             std::string_view descriptor, bool embedded,
                                             std::int32_t object);

} // namespace pagora::detail
