// The preview's column headings in the four interface languages.
#pragma once

#include <string_view>

namespace kerbolt::texts {

// The heading of preview label 2 (payee), 7 (amount) or 10 (message) in `language`
// (1 French, 2 German, 3 English, 4 Italian). Any other language keeps the French design
// heading; any other label has none ("").
std::string_view PreviewHeading(int language, int label);

} // namespace kerbolt::texts
