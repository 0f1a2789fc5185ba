// The fonts subsystem's procedures that other subsystems call.
#pragma once

#include "pdf/fonts/font_state.h"
#include "pdf/writer/members.h"

#include <string>
#include <string_view>

namespace pagora::detail {

// Writes the font dictionary of the newest font, the last of the list, under the resource name
// ResourcePrefix + alias, and adds it to the font resources; a TrueType font also gets its
// descriptor and, when program_length is above 0, its embedded program (the first
// program_length bytes of font_program). Returns the dictionary's object number. Write errors
// pass to the caller.
int WriteFont(Pagora::Members& m, const std::string& alias, const std::string& font_program,
              int program_length, std::string_view descriptor);

} // namespace pagora::detail
