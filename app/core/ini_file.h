// INI files read and written with the semantics of the classic profile functions, on bytes:
// a missing file, section or key reads as absent; a new key goes to the end of its section and a
// new section to the end of the file; file order is kept. Names match without regard to ASCII
// case, the first matching section and key win, and names and values are trimmed of blanks and
// tabs around "=". Lines end in CR LF when written (LF alone is read too). Nothing is cut at any
// length. Every write replaces the file atomically: a temporary file next to it, then a rename.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kerbolt::ini {

// The value of a key, or nothing when the file, the section or the key is missing.
std::optional<std::string> ReadValue(const std::string& path, std::string_view section,
                                     std::string_view key);

// Sets a key, creating the file (not its folder) and the section as needed. False when the file
// could not be read or written; the file then stays as it was.
bool WriteValue(const std::string& path, std::string_view section, std::string_view key,
                std::string_view value);

// The section names in file order (empty for a missing file).
std::vector<std::string> SectionNames(const std::string& path);

// Replaces a file's content atomically. False on any failure, which leaves no temporary file.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace kerbolt::ini
