#include "pdf/import/scanner.h"

#include "pdf/writer/errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "ParseValue";

// The character at a position, -1 outside the text.
int At(const ScanState& scan, std::int64_t position) {
    if (position < 0 || position >= static_cast<std::int64_t>(scan.source.size())) return -1;
    return static_cast<unsigned char>(scan.source[static_cast<std::size_t>(position)]);
}

int Here(const ScanState& scan) {
    return At(scan, scan.pos);
}

bool IsWhite(int c) {
    return c == '\r' || c == ' ' || c == '\n' || c == '\t';
}
bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}

int HexValue(int c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

[[noreturn]] void Unterminated() {
    RaiseError(kErrInvalidFileFormat, kOperation);
}

// The 0-based index just past the ")" closing the literal string whose "(" is at open. Escaped
// characters are passed over; unescaped parentheses nest, as the file format has them.
std::size_t LiteralEnd(const std::string& s, std::size_t open) {
    int depth = 0;
    for (std::size_t i = open + 1; i < s.size(); ++i) {
        if (s[i] == '\\') {
            ++i;
        } else if (s[i] == '(') {
            ++depth;
        } else if (s[i] == ')') {
            if (depth == 0) return i + 1;
            --depth;
        }
    }
    Unterminated();
}

// The 0-based index just past the ">" closing the hexadecimal string whose "<" is at open.
std::size_t HexEnd(const std::string& s, std::size_t open) {
    const std::size_t close = s.find('>', open + 1);
    if (close == std::string::npos) Unterminated();
    return close + 1;
}

// The 0-based index just past the bracket that closes the array or dictionary opened at open.
// Strings inside are passed over whole, so brackets within them do not count.
std::size_t ContainerEnd(const std::string& s, std::size_t open, bool dictionary) {
    int depth = 1;
    std::size_t i = open + (dictionary ? 2 : 1);
    while (i < s.size()) {
        const char c = s[i];
        const bool two_open = c == '<' && i + 1 < s.size() && s[i + 1] == '<';
        const bool two_close = c == '>' && i + 1 < s.size() && s[i + 1] == '>';
        if (c == '(') {
            i = LiteralEnd(s, i);
        } else if (dictionary && two_open) {
            ++depth;
            i += 2;
        } else if (dictionary && two_close) {
            i += 2;
            if (--depth == 0) return i;
        } else if (c == '<' && !two_open) {
            i = HexEnd(s, i);
        } else if (!dictionary && c == '[') {
            ++depth;
            ++i;
        } else if (!dictionary && c == ']') {
            ++i;
            if (--depth == 0) return i;
        } else {
            i += two_open ? 2 : 1;
        }
    }
    Unterminated();
}

// CR and LF become blanks, and every run of blanks one blank.
std::string NormaliseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r' || c == '\n') c = ' ';
        if (c == ' ' && !out.empty() && out.back() == ' ') continue;
        out.push_back(c);
    }
    return out;
}

std::string HexText(std::string_view digits) {
    std::string out;
    int high = -1;
    for (const char c : digits) {
        // White space inside a hexadecimal string carries nothing.
        if (IsWhite(static_cast<unsigned char>(c)) || c == '\f' || c == '\0') continue;
        const int value = HexValue(static_cast<unsigned char>(c));
        if (value < 0) RaiseError(kErrTypeMismatch, kOperation);
        if (high < 0) {
            high = value;
            continue;
        }
        const int byte = high * 16 + value;
        if (byte >= 32 && byte <= 126) out.push_back(static_cast<char>(byte));
        high = -1;
    }
    return out; // a single digit left over is ignored
}

bool IsNameEnd(int c) {
    return c == ' ' || c == '[' || c == '/' || c == '(' || c == '<' || c == '>' || c == '\r' ||
           c == '\n';
}

bool IsDelimiter(int c) {
    return c == '[' || c == ']' || c == '/' || c == '(' || c == ')' || c == '<' || c == '>';
}

// The references of the array whose "[" is at the cursor into numbers, which keeps what it held
// when there are none.
void ReadReferenceArray(ScanState& scan, std::vector<std::int32_t>& numbers) {
    ScanAdvance(scan, 1);
    const std::int32_t close = ScanFind(scan, "]");
    std::vector<std::int32_t> found;
    while (static_cast<std::int64_t>(scan.pos) <= static_cast<std::int64_t>(close) - 5) {
        const std::int32_t before = scan.pos;
        const std::int32_t number = ReadReference(scan);
        if (number != 0) {
            found.push_back(number);
        } else if (scan.pos == before) {
            // An element that is no reference (null, a name): pass over it and go on.
            SkipWhitespace(scan);
            do {
                ScanAdvance(scan, 1);
            } while (Here(scan) >= 0 && !IsWhite(Here(scan)) && !IsDelimiter(Here(scan)));
        }
    }
    if (!found.empty()) numbers = std::move(found);
}

} // namespace

void ScanSetSource(ScanState& scan, std::string text) {
    scan.source = std::move(text);
    scan.pos = 0;
}

std::int32_t ScanGetPos(const ScanState& scan) {
    return scan.pos;
}

void ScanSetPos(ScanState& scan, std::int32_t position) {
    scan.pos = position;
}

void ScanAdvance(ScanState& scan, std::int32_t count) {
    const std::int64_t next = static_cast<std::int64_t>(scan.pos) + count;
    scan.pos = static_cast<std::int32_t>(std::clamp<std::int64_t>(
        next, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t ScanLength(const ScanState& scan) {
    return static_cast<std::int32_t>(scan.source.size());
}

std::int32_t ScanFind(const ScanState& scan, std::string_view text, std::int32_t start) {
    const std::int64_t from = start == kScanCursor ? scan.pos : start;
    if (from < 0 || from > static_cast<std::int64_t>(scan.source.size())) return kScanNotFound;
    const std::size_t found = scan.source.find(text, static_cast<std::size_t>(from));
    return found == std::string::npos ? kScanNotFound : static_cast<std::int32_t>(found);
}

std::string ScanMid(const ScanState& scan, std::int32_t count, std::int32_t& start) {
    if (start == kScanCursor) start = scan.pos;
    if (start < 0 || count <= 0 || static_cast<std::size_t>(start) >= scan.source.size()) return {};
    return scan.source.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(count));
}

void SkipWhitespace(ScanState& scan) {
    while (IsWhite(Here(scan)))
        ++scan.pos;
}

double ReadNumberToken(ScanState& scan) {
    SkipWhitespace(scan);
    std::string token;
    while (IsDigit(Here(scan)) || Here(scan) == '-' || Here(scan) == '.') {
        token.push_back(static_cast<char>(Here(scan)));
        ++scan.pos;
    }
    SkipWhitespace(scan);
    if (token.empty()) return 0;
    // A sign first, then digits with at most one decimal point: nothing else is a number.
    const std::size_t digits_from = token[0] == '-' ? 1 : 0;
    const std::string_view body = std::string_view(token).substr(digits_from);
    const std::size_t point = body.find('.');
    const bool has_digit = body.find_first_of("0123456789") != std::string_view::npos;
    if (!has_digit || body.find('-') != std::string_view::npos ||
        (point != std::string_view::npos && body.find('.', point + 1) != std::string_view::npos)) {
        RaiseError(kErrTypeMismatch, "ReadNumberToken");
    }
    double value = 0;
    const char* first = token.data();
    const char* last = token.data() + token.size();
    if (token[0] == '-' && body.front() == '.') {
        // from_chars wants a digit before the point.
        const std::string padded = "-0" + std::string(body);
        std::from_chars(padded.data(), padded.data() + padded.size(), value);
    } else if (body.front() == '.') {
        const std::string padded = "0" + std::string(body);
        std::from_chars(padded.data(), padded.data() + padded.size(), value);
    } else {
        std::from_chars(first, last, value);
    }
    // Whole numbers stay exact (offsets beyond 16 MiB); fractions have single precision.
    if (point != std::string_view::npos) value = static_cast<float>(value);
    return value;
}

std::int32_t ToWholeNumber(double value) {
    const double rounded = std::nearbyint(value); // halves to even
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        RaiseError(kErrOverflow, "ReadNumberToken");
    }
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ReadReference(ScanState& scan) {
    const std::int32_t number = ToWholeNumber(ReadNumberToken(scan));
    ReadNumberToken(scan); // the generation, which nothing uses
    if (Here(scan) != 'R') return 0;
    ++scan.pos;
    return number;
}

void ReadReferenceList(ScanState& scan, std::vector<std::int32_t>& numbers) {
    SkipWhitespace(scan);
    if (Here(scan) == '[') {
        ReadReferenceArray(scan, numbers);
        return;
    }
    const std::int32_t number = ReadReference(scan);
    if (number != 0) numbers = {number};
}

std::string ParseValue(ScanState& scan) {
    SkipWhitespace(scan);
    const int c = Here(scan);
    const std::string& s = scan.source;
    const auto index = static_cast<std::size_t>(scan.pos);
    auto finish = [&scan](std::size_t end) { scan.pos = static_cast<std::int32_t>(end); };

    if (c == '/') {
        std::size_t end = index + 1;
        while (end < s.size() && !IsNameEnd(static_cast<unsigned char>(s[end])))
            ++end;
        finish(end);
        return s.substr(index, end - index);
    }
    if (c == '[' || (c == '<' && At(scan, scan.pos + 1) == '<')) {
        const std::size_t end = ContainerEnd(s, index, c == '<');
        finish(end);
        return NormaliseBlanks(std::string_view(s).substr(index, end - index));
    }
    if (c == '(') {
        const std::size_t end = LiteralEnd(s, index);
        finish(end);
        return UnescapeLiteral(std::string_view(s).substr(index + 1, end - index - 2));
    }
    if (c == '<') {
        const std::size_t end = HexEnd(s, index);
        std::string text = HexText(std::string_view(s).substr(index + 1, end - index - 2));
        finish(end);
        return text;
    }
    // A number, or a reference; a minus sign belongs to the number (a rotation of -90).
    if (IsDigit(c) || (c == '-' && IsDigit(At(scan, scan.pos + 1)))) {
        const std::int32_t number = ToWholeNumber(ReadNumberToken(scan));
        std::string text;
        if (IsDigit(Here(scan))) {
            const std::int32_t generation = ToWholeNumber(ReadNumberToken(scan));
            if (Here(scan) == 'R') {
                text = std::to_string(number) + " " + std::to_string(generation) + " R";
            }
        } else {
            text = std::to_string(number);
        }
        ScanAdvance(scan, 1);
        return text;
    }
    return {};
}

bool FindKey(ScanState& scan, std::string_view key, std::int32_t& start) {
    if (start == kScanCursor) start = scan.pos;
    const std::string pattern = "/" + std::string(key);
    const std::int64_t length = static_cast<std::int64_t>(scan.source.size());
    std::int64_t p = start;
    int depth = 0;
    auto find = [&scan](std::string_view text, std::int64_t from) -> std::int64_t {
        if (from < 0 || from >= static_cast<std::int64_t>(scan.source.size())) return -1;
        const std::size_t found = scan.source.find(text, static_cast<std::size_t>(from));
        return found == std::string::npos ? -1 : static_cast<std::int64_t>(found);
    };
    while (p < length) {
        if (depth == 0) {
            const std::int64_t open = find("<<", p);
            if (open < 0) return false;
            depth = 1;
            p = open + 2;
        } else if (depth == 1) {
            const std::int64_t open = find("<<", p);
            const std::int64_t k = find(pattern, p);
            if (k < 0) return false;
            if (open < 0 || k < open) {
                scan.pos = static_cast<std::int32_t>(k + static_cast<std::int64_t>(pattern.size()));
                return true;
            }
            depth = 2;
            p = open + 2;
        } else {
            const std::int64_t close = find(">>", p);
            if (close < 0) return false;
            depth = 1;
            p = close + 2;
        }
    }
    return false;
}

std::string UnescapeLiteral(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c != '\\') {
            if (c != 0 && c != 254 && c != 255) out.push_back(static_cast<char>(c));
            continue;
        }
        if (i + 1 == text.size()) {
            out.push_back('\\');
            break;
        }
        const auto next = static_cast<unsigned char>(text[i + 1]);
        if (next == '(' || next == ')' || next == '\\') {
            out.push_back(static_cast<char>(next));
            ++i;
        } else if (IsDigit(next)) {
            int value = 0;
            int digits = 0;
            while (digits < 3 && i + 1 < text.size() &&
                   IsDigit(static_cast<unsigned char>(text[i + 1]))) {
                value = value * 8 + (text[i + 1] - '0');
                ++digits;
                ++i;
            }
            const bool kept = digits == 3 ? value >= 1 && value <= 253 : value != 0;
            if (kept) out.push_back(static_cast<char>(value));
        } else {
            ++i; // an escape this reader does not keep: both characters are dropped
        }
    }
    return out;
}

void ParseReferenceArray(std::string_view text, std::vector<std::int32_t>& numbers) {
    // A scanner of its own: the caller's source and cursor are never touched.
    ScanState scan;
    ScanSetSource(scan, std::string(text));
    SkipWhitespace(scan);
    if (Here(scan) == '[') ReadReferenceArray(scan, numbers);
}

} // namespace pagora::detail
