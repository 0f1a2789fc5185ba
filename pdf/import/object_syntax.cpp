#include "pdf/import/object_syntax.h"

#include "pdf/import/reader_errors.h"
#include "pdf/import/scanner.h"

#include <limits>

namespace pagora::detail {

namespace {

int At(std::string_view text, std::size_t pos) {
    return pos < text.size() ? static_cast<unsigned char>(text[pos]) : -1;
}

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

std::size_t HexStringEnd(std::string_view text, std::size_t open) {
    const std::size_t close = text.find('>', open + 1);
    return close == std::string_view::npos ? text.size() : close + 1;
}

// Digits only, no sign; none when there are none or too many to be exact.
std::optional<std::int64_t> DigitsAt(std::string_view text, std::size_t pos, std::size_t& end) {
    std::int64_t value = 0;
    std::size_t i = pos;
    while (IsDigit(At(text, i))) {
        if (i - pos >= 18) return std::nullopt;
        value = value * 10 + (At(text, i) - '0');
        ++i;
    }
    if (i == pos) return std::nullopt;
    end = i;
    return value;
}

// The end of the array or dictionary opened at pos, brackets of both kinds counted together and
// strings passed over whole, so a bracket inside a string never closes anything.
std::size_t ContainerEnd(std::string_view text, std::size_t pos) {
    std::size_t depth = 0;
    std::size_t i = pos;
    while (i < text.size()) {
        const int c = At(text, i);
        if (c == '(') {
            i = LiteralStringEnd(text, i);
            continue;
        }
        if (c == '<' && At(text, i + 1) == '<') {
            ++depth;
            i += 2;
        } else if (c == '>' && At(text, i + 1) == '>') {
            i += 2;
            if (depth > 0 && --depth == 0) return i;
        } else if (c == '<') {
            i = HexStringEnd(text, i);
        } else if (c == '[') {
            ++depth;
            ++i;
        } else if (c == ']') {
            ++i;
            if (depth > 0 && --depth == 0) return i;
        } else {
            ++i;
        }
    }
    return text.size();
}

} // namespace

bool IsPdfWhite(int c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t' || c == '\f' || c == 0;
}

bool IsPdfDelimiter(int c) {
    return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' ||
           c == '}' || c == '/' || c == '%';
}

std::size_t SkipPdfWhite(std::string_view text, std::size_t pos) {
    while (pos < text.size() && IsPdfWhite(At(text, pos)))
        ++pos;
    return pos;
}

std::size_t LiteralStringEnd(std::string_view text, std::size_t open) {
    std::size_t depth = 0;
    for (std::size_t i = open + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            ++i;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (depth == 0) return i + 1;
            --depth;
        }
    }
    return text.size();
}

std::size_t SkipPdfValue(std::string_view text, std::size_t pos) {
    pos = SkipPdfWhite(text, pos);
    const int c = At(text, pos);
    if (c < 0) return pos;
    if (c == '(') return LiteralStringEnd(text, pos);
    if (c == '[' || (c == '<' && At(text, pos + 1) == '<')) return ContainerEnd(text, pos);
    if (c == '<') return HexStringEnd(text, pos);
    if (c == '/') {
        std::size_t i = pos + 1;
        while (IsPdfRegular(At(text, i)))
            ++i;
        return i;
    }
    if (!IsPdfRegular(c)) return pos;
    std::size_t end = pos;
    while (IsPdfRegular(At(text, end)))
        ++end;
    // "n g R" is one value.
    std::size_t after_number = 0;
    std::size_t after_generation = 0;
    if (DigitsAt(text, pos, after_number) && after_number == end) {
        const std::size_t g = SkipPdfWhite(text, end);
        if (g > end && DigitsAt(text, g, after_generation)) {
            const std::size_t r = SkipPdfWhite(text, after_generation);
            if (r > after_generation && At(text, r) == 'R' && !IsPdfRegular(At(text, r + 1))) {
                return r + 1;
            }
        }
    }
    return end;
}

std::optional<std::size_t> FindDictKey(std::string_view text, std::string_view key) {
    // The first dictionary: values before it are passed over whole.
    std::size_t pos = SkipPdfWhite(text, 0);
    while (pos < text.size() && !(At(text, pos) == '<' && At(text, pos + 1) == '<')) {
        const std::size_t next = SkipPdfValue(text, pos);
        pos = SkipPdfWhite(text, next > pos ? next : pos + 1);
    }
    pos += 2;
    while (true) {
        pos = SkipPdfWhite(text, pos);
        const int c = At(text, pos);
        if (c < 0 || (c == '>' && At(text, pos + 1) == '>')) return std::nullopt;
        if (c != '/') {
            // Something that is no key (a damaged dictionary): pass over it.
            const std::size_t next = SkipPdfValue(text, pos);
            pos = next > pos ? next : pos + 1;
            continue;
        }
        std::size_t end = pos + 1;
        while (IsPdfRegular(At(text, end)))
            ++end;
        if (text.substr(pos + 1, end - pos - 1) == key) return end;
        pos = SkipPdfValue(text, end);
        if (pos == end) {
            // A key without a value before ">>" or the end.
            if (At(text, SkipPdfWhite(text, end)) != '/') return std::nullopt;
        }
    }
}

std::string_view DictValue(std::string_view text, std::string_view key) {
    const auto found = FindDictKey(text, key);
    if (!found) return {};
    const std::size_t from = SkipPdfWhite(text, *found);
    return text.substr(from, SkipPdfValue(text, from) - from);
}

std::optional<std::int64_t> IntegerAt(std::string_view text, std::size_t pos, std::size_t* end) {
    pos = SkipPdfWhite(text, pos);
    bool negative = false;
    std::size_t digits_from = pos;
    if (At(text, pos) == '-' || At(text, pos) == '+') {
        negative = At(text, pos) == '-';
        ++digits_from;
    }
    std::size_t after = 0;
    const auto value = DigitsAt(text, digits_from, after);
    if (!value || IsPdfRegular(At(text, after))) return std::nullopt;
    if (end) *end = after;
    return negative ? -*value : *value;
}

std::int32_t ReferenceAt(std::string_view text, std::size_t pos) {
    pos = SkipPdfWhite(text, pos);
    std::size_t after_number = 0;
    const auto number = DigitsAt(text, pos, after_number);
    if (!number || *number > std::numeric_limits<std::int32_t>::max()) return 0;
    if (SkipPdfValue(text, pos) == after_number) return 0; // a plain number
    return static_cast<std::int32_t>(*number);
}

std::vector<std::int32_t> ReferencesAt(std::string_view text, std::size_t pos) {
    std::vector<std::int32_t> numbers;
    pos = SkipPdfWhite(text, pos);
    if (At(text, pos) != '[') {
        if (const std::int32_t number = ReferenceAt(text, pos); number != 0) {
            numbers.push_back(number);
        }
        return numbers;
    }
    const std::size_t end = SkipPdfValue(text, pos);
    ++pos;
    while (true) {
        pos = SkipPdfWhite(text, pos);
        if (pos >= end || At(text, pos) == ']') break;
        if (const std::int32_t number = ReferenceAt(text, pos); number != 0) {
            numbers.push_back(number);
        }
        const std::size_t next = SkipPdfValue(text, pos);
        pos = next > pos ? next : pos + 1;
    }
    return numbers;
}

std::string_view NameAt(std::string_view text, std::size_t pos) {
    pos = SkipPdfWhite(text, pos);
    if (At(text, pos) != '/') return {};
    return text.substr(pos, SkipPdfValue(text, pos) - pos);
}

std::vector<std::int64_t> IntegerArray(std::string_view value) {
    std::size_t pos = SkipPdfWhite(value, 0);
    if (At(value, pos) != '[') RaiseError(kErrInvalidFileFormat, "GetInfo");
    std::vector<std::int64_t> numbers;
    ++pos;
    while (true) {
        pos = SkipPdfWhite(value, pos);
        if (pos >= value.size()) RaiseError(kErrInvalidFileFormat, "GetInfo");
        if (At(value, pos) == ']') return numbers;
        std::size_t end = 0;
        const auto number = IntegerAt(value, pos, &end);
        if (!number) RaiseError(kErrTypeMismatch, "GetInfo");
        numbers.push_back(*number);
        pos = end;
    }
}

std::string ParsedValueAt(std::string_view text, std::size_t pos) {
    pos = SkipPdfWhite(text, pos);
    const std::size_t end = SkipPdfValue(text, pos);
    // The value alone is handed to the scanner, so its positions stay small whatever the text.
    ScanState scan;
    ScanSetSource(scan, std::string(text.substr(pos, end - pos)));
    return ParseValue(scan);
}

namespace {

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

std::string DecodeHexString(std::string_view written) {
    std::string bytes;
    int high = -1;
    for (const char c : written) {
        const int digit = HexValue(static_cast<unsigned char>(c));
        if (digit < 0) continue;
        if (high < 0) {
            high = digit;
        } else {
            bytes += static_cast<char>(high * 16 + digit);
            high = -1;
        }
    }
    if (high >= 0) bytes += static_cast<char>(high * 16);
    return bytes;
}

std::string DecodeLiteralString(std::string_view written) {
    std::string bytes;
    const std::size_t end = written.size() > 0 && written.back() == ')' ? written.size() - 1 : 0;
    for (std::size_t i = 1; i < end; ++i) {
        const char c = written[i];
        if (c == '\r') {
            // A line end in the string is one line feed, whichever form it was written in.
            if (i + 1 < end && written[i + 1] == '\n') ++i;
            bytes += '\n';
            continue;
        }
        if (c != '\\') {
            bytes += c;
            continue;
        }
        if (++i >= end) break;
        const char e = written[i];
        switch (e) {
        case 'n':
            bytes += '\n';
            break;
        case 'r':
            bytes += '\r';
            break;
        case 't':
            bytes += '\t';
            break;
        case 'b':
            bytes += '\b';
            break;
        case 'f':
            bytes += '\f';
            break;
        case '\r':
            if (i + 1 < end && written[i + 1] == '\n') ++i;
            break; // a line continued: neither byte belongs to the string
        case '\n':
            break;
        default:
            if (e >= '0' && e <= '7') {
                int value = e - '0';
                for (int k = 0;
                     k < 2 && i + 1 < end && written[i + 1] >= '0' && written[i + 1] <= '7'; ++k)
                    value = value * 8 + (written[++i] - '0');
                bytes += static_cast<char>(value & 0xFF);
            } else {
                bytes += e; // \( \) \\ and any other escaped character stand for themselves
            }
        }
    }
    return bytes;
}

std::string NormaliseObjectText(std::string_view raw) {
    if (raw.ends_with("\r\n")) raw.remove_suffix(2);
    if (raw.ends_with('\r')) raw.remove_suffix(1);
    // A blank before a line end goes with it.
    std::string lines;
    lines.reserve(raw.size());
    for (const char c : raw) {
        if ((c == '\n' || c == '\r') && !lines.empty() && lines.back() == ' ') lines.pop_back();
        if (c == 0) continue;
        lines.push_back(c == '\n' || c == '\r' ? ' ' : c);
    }
    std::string out;
    out.reserve(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out.push_back(lines[i]);
        if (lines[i] == ' ' && i + 1 < lines.size() && lines[i + 1] == ' ') ++i;
    }
    return out;
}

} // namespace pagora::detail
