#include "app/core/lists/text_columns.h"

namespace kerbolt::lists {
namespace {

bool IsContinuation(char ch) {
    return (static_cast<unsigned char>(ch) & 0xC0) == 0x80;
}

// The byte offset where character `index` begins (the text's size past its end).
std::size_t OffsetOf(std::string_view utf8, std::size_t index) {
    std::size_t offset = 0;
    while (offset < utf8.size() && index > 0) {
        ++offset;
        while (offset < utf8.size() && IsContinuation(utf8[offset]))
            ++offset;
        --index;
    }
    return offset;
}

} // namespace

std::size_t CharCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char ch : utf8) {
        if (!IsContinuation(ch)) ++count;
    }
    return count;
}

std::string CharSlice(std::string_view utf8, std::size_t first, std::size_t count) {
    const std::size_t begin = OffsetOf(utf8, first);
    const std::size_t end = begin + OffsetOf(utf8.substr(begin), count);
    return std::string(utf8.substr(begin, end - begin));
}

std::string FitColumn(std::string_view utf8, std::size_t width) {
    std::string out = CharSlice(utf8, 0, width);
    const std::size_t have = CharCount(out);
    if (have < width) out.append(width - have, ' ');
    return out;
}

} // namespace kerbolt::lists
