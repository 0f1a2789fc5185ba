// The plain text of a scrambled INI file, line by line in file order ("[INFOS]", "mail=a@b.ch"),
// read straight from the bytes on disk rather than through the store under test.
#pragma once

#include "app/core/store/scramble.h"
#include "tests/support/temp_dir.h"

#include <sstream>
#include <string>
#include <vector>

namespace testing_support {

using namespace kerbolt;

inline std::vector<std::string> DumpIni(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(testing_support::ReadFileBytes(path));
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.front() == '[' && line.back() == ']') {
            lines.push_back("[" + store::Unscramble(line.substr(1, line.size() - 2)) + "]");
            continue;
        }
        const std::size_t eq = line.find('=');
        lines.push_back(store::Unscramble(line.substr(0, eq)) + "=" +
                        (eq == std::string::npos ? "" : store::Unscramble(line.substr(eq + 1))));
    }
    return lines;
}

} // namespace testing_support
