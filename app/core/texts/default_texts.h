// The ticket's default title, text and footer in the four languages.
#pragma once

#include "app/platform/config.h"

#include <cstdint>
#include <string>

namespace kerbolt::texts {

// The defaults of a language 1 to 4 (empty for any other).
std::string DefaultTitle(std::int16_t language);
std::string DefaultText(std::int16_t language);
std::string Footer(std::int16_t language, const ServerConfig& config = DefaultServerConfig());

} // namespace kerbolt::texts
