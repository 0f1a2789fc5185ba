// Number text: every coordinate, size and colour component written into a document.
#include "pdf/writer/writer.h"

#include "pdf/writer/power_tables.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace pagora::detail {

float RoundValue(const WriterState& s, float value) {
    if (!std::isfinite(value)) RaiseError(kErrOverflow, "RoundValue");
    const double t = kPowersOfTen[static_cast<std::size_t>(s.precision)];
    const double v = value;
    const double r = v >= 0 ? std::floor(v * t + 0.5) / t : -std::floor(-v * t + 0.5) / t;
    return static_cast<float>(r);
}

namespace {

// Writes a finite non-zero value as AppendSignificant does.
void AppendSignificantDigits(std::string& out, float value) {
    char buffer[32];
    // Most numbers are coordinates, which the general form already writes without an exponent
    // and without trailing zeros.
    const auto general = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                       std::chars_format::general, 7);
    const std::string_view plain(buffer, static_cast<std::size_t>(general.ptr - buffer));
    if (plain.find('e') == std::string_view::npos) {
        out.append(plain);
        return;
    }
    // Seven significant digits, correctly rounded, as d.dddddde±x; then laid out as a plain
    // decimal, because PDF numbers have no exponent form.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                      std::chars_format::scientific, 6);
    const std::string_view sci(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const bool negative = sci.front() == '-';
    const std::size_t first = negative ? 1 : 0;
    std::string digits;
    digits += sci[first];
    const std::size_t e_pos = sci.find('e');
    digits.append(sci.substr(first + 2, e_pos - first - 2));
    const int exponent = std::atoi(std::string(sci.substr(e_pos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    if (negative) out += '-';
    const int int_digits = exponent + 1; // digits before the decimal sign
    if (int_digits <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-int_digits), '0');
        out += digits;
    } else if (static_cast<std::size_t>(int_digits) >= digits.size()) {
        out += digits;
        out.append(static_cast<std::size_t>(int_digits) - digits.size(), '0');
        // Readers hold integers in 32 bits and refuse longer ones; a decimal sign makes the
        // number a real, which they accept at any size.
        if (std::fabs(static_cast<double>(value)) >= 2147483648.0) out += ".0";
    } else {
        out.append(digits, 0, static_cast<std::size_t>(int_digits));
        out += '.';
        out.append(digits, static_cast<std::size_t>(int_digits));
    }
}

// A number's text costs hundreds of instructions to make, and a document writes the same few
// numbers over and over (the baselines and margins of every page): the text of the last number
// of each slot is kept, a small table per thread.
struct KeptNumber {
    std::uint32_t bits = 0; // the value's bits; 0 (the value 0, never kept) for an empty slot
    std::uint8_t size = 0;
    std::array<char, 23> text{};
};
constexpr int kKeptNumberBits = 9;

} // namespace

void AppendSignificant(std::string& out, float value) {
    if (!std::isfinite(value)) RaiseError(kErrOverflow, "FormatReal");
    if (value == 0.0f) {
        out += '0';
        return;
    }
    thread_local std::array<KeptNumber, std::size_t{1} << kKeptNumberBits> kept;
    const auto bits = std::bit_cast<std::uint32_t>(value);
    KeptNumber& slot = kept[(bits * 0x9E3779B1u) >> (32 - kKeptNumberBits)];
    if (slot.bits == bits) {
        out.append(slot.text.data(), slot.size);
        return;
    }
    const std::size_t before = out.size();
    AppendSignificantDigits(out, value);
    const std::size_t size = out.size() - before;
    if (size <= slot.text.size()) {
        slot.bits = bits;
        slot.size = static_cast<std::uint8_t>(size);
        out.copy(slot.text.data(), size, before);
    }
}

std::string FormatSignificant(float value) {
    std::string out;
    AppendSignificant(out, value);
    return out;
}

void AppendReal(std::string& out, const WriterState& s, float value) {
    AppendSignificant(out, RoundValue(s, value));
}

void AppendUnits(std::string& out, const WriterState& s, float value) {
    AppendReal(out, s, value * s.scale_factor);
}

std::string FormatReal(const WriterState& s, float value) {
    return FormatSignificant(RoundValue(s, value));
}

std::string FitRectangle(const WriterState& s, float x1, float y1, float x2, float y2) {
    return FormatReal(s, std::min(x1, x2)) + " " + FormatReal(s, std::min(y1, y2)) + " " +
           FormatReal(s, std::max(x1, x2)) + " " + FormatReal(s, std::max(y1, y2));
}

std::string FormatUnits(const WriterState& s, float value) {
    const float points = value * s.scale_factor;
    return FormatReal(s, points);
}

} // namespace pagora::detail
