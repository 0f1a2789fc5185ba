// The numbered texts of the mandate document in the four interface languages, and the
// operator's details that the document prints.
#pragma once

#include "app/platform/config.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace kerbolt::mandate {

// The operator as the mandate names it: the agent's block, the return address and the place
// where the general conditions are published.
struct MandateOperator {
    std::string web_domain;   // the agent's name
    std::string web_host;     // where the general conditions can be read
    std::string company;      // "Velquin Sàrl"
    std::string street_line;  // street and number
    std::string town_line;    // postcode and town
    std::string contact_mail; // where the signed mandate may be sent
};

// The operator of this build: the product's domain and web host, the payee's postal address.
MandateOperator DefaultMandateOperator(const ServerConfig& config = DefaultServerConfig());

// The number of entries; 1 to kMandateTextCount are defined in every language.
inline constexpr std::int16_t kMandateTextCount = 31;

// Entry `number` in `language` (1 French, 2 German, 3 English, 4 Italian), UTF-8, the lines of a
// several-line entry joined by CR LF. A number outside 1 to 31 gives the language's word for a
// missing text; any other language gives the French notice "Langue non prise en charge".
std::string MandateText(std::int16_t number, std::int16_t language,
                        const MandateOperator& op = DefaultMandateOperator());

// `text` with every `marker` replaced by `value`.
std::string ReplaceAll(std::string text, std::string_view marker, const std::string& value);

} // namespace kerbolt::mandate
