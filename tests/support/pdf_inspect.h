// What an independent reader (pikepdf) finds in a written PDF file: one named query of
// tests/support/pdf_inspect.py, run on the file, with what it printed (standard error included)
// and its exit status. The script lists the queries and the form of their lines.
#pragma once

#include "tests/support/temp_dir.h"

#include <cstddef>
#include <string>
#include <vector>

namespace testing_support {

CommandResult InspectPdf(const std::string& path, const std::string& query,
                         const std::vector<std::string>& arguments = {},
                         const std::string& password = "");
// The same for the script's queries on other files (pictures, XML packets), which PIL or
// ElementTree read, and for the ones that make the pictures a test starts from.
CommandResult InspectFile(const std::string& path, const std::string& query,
                          const std::vector<std::string>& arguments = {});

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

// How often what occurs in text, overlapping occurrences included.
std::size_t Count(const std::string& text, const std::string& what);

} // namespace testing_support
