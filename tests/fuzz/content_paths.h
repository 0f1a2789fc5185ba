// A check on converted drawing content: CR-separated lines of operators that can never unbalance
// the content, and whole path objects (every path painted or ended, no painting without a path).
#pragma once

#include <string>
#include <string_view>

namespace fuzz_check {

// Empty when the content passes; otherwise what is wrong with it.
inline std::string PathObjectFault(std::string_view content) {
    bool open = false;
    std::size_t i = 0;
    while (i < content.size()) {
        const char c = content[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '[' || c == ']') {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < content.size() && content[end] != ' ' && content[end] != '\t' &&
               content[end] != '\r' && content[end] != '[' && content[end] != ']') {
            ++end;
        }
        const std::string_view token = content.substr(i, end - i);
        i = end;
        const char first = token.front();
        if ((first >= '0' && first <= '9') || first == '-' || first == '+' || first == '.') {
            if (token.find_first_not_of("0123456789.+-") != std::string_view::npos) {
                return "not a number: " + std::string(token);
            }
            continue;
        }
        if (token == "m") {
            open = true;
        } else if (token == "l" || token == "c" || token == "v" || token == "y" || token == "h") {
            if (!open) return "a segment without a path";
        } else if (token == "f" || token == "f*" || token == "b" || token == "b*" ||
                   token == "B*" || token == "s" || token == "S" || token == "n") {
            if (!open) return "painting without a path";
            open = false;
        } else if (token != "k" && token != "K" && token != "g" && token != "G" && token != "J" &&
                   token != "j" && token != "w" && token != "M" && token != "d" && token != "i" &&
                   token != "rg" && token != "RG" && token != "cm") {
            return "an operator out of place: " + std::string(token);
        }
    }
    return open ? "a path left open" : "";
}

} // namespace fuzz_check
