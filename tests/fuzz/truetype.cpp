// Fuzz target: the TrueType reader over arbitrary bytes. Besides reading nothing outside them,
// what it reports must hold for any input: known error numbers, a box around the origin, a
// name that fits a PDF name, values that do not depend on the code page, and the same result
// for the same bytes.
#include "pdf/fonts/truetype.h"
#include "pdf/fonts/code_pages.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

namespace {

void Check(const pagora::detail::TrueTypeMetrics& metrics) {
    for (const auto& failure : metrics.failures) {
        if (failure.number != 6 && failure.number != 9 && failure.number != 11) std::abort();
    }
    const auto& box = metrics.box;
    if (box[0] > 0 || box[1] > 0 || box[2] < 0 || box[3] < 0) std::abort();
    for (const char c : metrics.full_name) {
        if (c == ' ' || c == '\0') std::abort();
    }
    if (metrics.descent > 0 || metrics.ascent < 0 || metrics.scale < 0.0F) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const auto western =
        pagora::detail::ReadTrueType(bytes, pagora::detail::GetCharsetUnicodeMap(0));
    Check(western);
    const auto cyrillic =
        pagora::detail::ReadTrueType(bytes, pagora::detail::GetCharsetUnicodeMap(204));
    Check(cyrillic);
    // Only the widths and the box follow the code page.
    if (cyrillic.full_name != western.full_name || cyrillic.ascent != western.ascent ||
        cyrillic.descent != western.descent || cyrillic.missing_width != western.missing_width ||
        cyrillic.symbolic != western.symbolic) {
        std::abort();
    }
    const auto again = pagora::detail::ReadTrueType(bytes, pagora::detail::GetCharsetUnicodeMap(0));
    if (again.widths != western.widths || again.box != western.box) std::abort();
    return 0;
}
