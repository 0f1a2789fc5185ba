// Number text for any float and precision: always a plain PDF number (optional "-", digits, at
// most one "."), never "-0", and within half a unit of the last written digit of the value
// rounded to the precision; non-finite values raise the overflow error.
#include "pdf/writer/writer.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 5) return 0;
    float value = 0;
    std::memcpy(&value, data, sizeof value);
    pagora::detail::WriterState s;
    s.precision = data[4] % 7;
    std::string text;
    try {
        text = pagora::detail::FormatReal(s, value);
    } catch (const pagora::PdfError& error) {
        if (std::isfinite(value) || error.Number() != 6) std::abort();
        return 0;
    }
    if (!std::isfinite(value)) std::abort();
    std::size_t i = text[0] == '-' ? 1 : 0;
    int points = 0;
    if (i == text.size()) std::abort();
    for (; i < text.size(); ++i) {
        if (text[i] == '.') {
            ++points;
        } else if (text[i] < '0' || text[i] > '9') {
            std::abort();
        }
    }
    if (points > 1 || text == "-0" || text.back() == '.') std::abort();
    const double written = std::strtod(text.c_str(), nullptr);
    const double rounded = pagora::detail::RoundValue(s, value);
    // Seven significant digits: the written value is within 5e-7 of the rounded one, relatively.
    if (std::fabs(written - rounded) > std::fabs(rounded) * 5.0000001e-7 + 1e-300) std::abort();
    return 0;
}
