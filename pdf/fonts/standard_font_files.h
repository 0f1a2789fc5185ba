// Where the free fonts that match the standard families' metrics are installed.
#pragma once

#include <cstdint>
#include <string>

namespace pagora::detail {

// The file name of the Liberation face whose metrics the widths of a standard family were taken
// from: "Arial" sans-serif, "TimesNewRoman" serif, "CourierNew" monospaced; style 1 bold,
// 2 italic. Empty for any other family.
std::string StandardFontFileName(const std::string& family, std::int32_t style);

// The path of that face as installed here: in the folders fontconfig's configuration names, then
// the system's usual font folders (searched with their subfolders); empty when none holds it.
std::string FindStandardFontFile(const std::string& family, std::int32_t style);

} // namespace pagora::detail
