#include "pdf/content/number_parsing.h"

#include "pdf/writer/errors.h"

#include <charconv>
#include <system_error>

namespace pagora::detail {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Scan {
    double value = 0;
    size_t end = 0; // first position after the number
    bool has_digits = false;
};

Scan ScanNumber(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    const size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    bool digits = false;
    while (i < text.size() && IsDigit(text[i]))
        ++i, digits = true;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && IsDigit(text[i]))
            ++i, digits = true;
    }
    Scan scan;
    if (!digits) {
        scan.end = start;
        return scan;
    }
    size_t end = i;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j]))
                ++j;
            end = j;
        }
    }
    // from_chars reads "." whatever the locale; it takes no "+", so the sign is applied here.
    size_t digits_start = start;
    const bool negative = text[start] == '-';
    if (text[start] == '+' || text[start] == '-') ++digits_start;
    double magnitude = 0;
    const auto [ptr, ec] =
        std::from_chars(text.data() + digits_start, text.data() + end, magnitude);
    (void)ptr;
    if (ec == std::errc::result_out_of_range) {
        // Too small a value reads as 0; too large a one cannot be read.
        const size_t e = text.find_first_of("Ee", digits_start);
        if (e >= end || e + 1 >= end || text[e + 1] != '-') RaiseError(6, "ReadNumber");
        magnitude = 0;
    }
    scan.value = negative ? -magnitude : magnitude;
    scan.end = end;
    scan.has_digits = true;
    return scan;
}

} // namespace

double ReadNumber(std::string_view text) {
    return ScanNumber(text).value;
}

std::optional<double> ReadWholeNumber(std::string_view text) {
    const Scan scan = ScanNumber(text);
    if (!scan.has_digits) return std::nullopt;
    size_t i = scan.end;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i != text.size()) return std::nullopt;
    return scan.value;
}

} // namespace pagora::detail
