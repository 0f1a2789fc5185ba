// Fuzz target: the inflate decoder over arbitrary bytes, with zlib as the oracle. Whatever zlib
// decodes must come out byte for byte the same; anything else must either raise or be one of the
// decoder's deliberate extensions (reserved blocks, mismatched stored lengths, length symbols
// 286 and 287, distance codes 30 and 31) - never crash, hang or read out of bounds. The streaming
// form must agree with the whole-output one.
#include "pdf/import/inflate.h"

#include "pdf/writer/Pagora.h"

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

namespace {

constexpr std::size_t kCap = 4u * 1024 * 1024;

// zlib's decoding, or false when zlib refuses the data or it expands past the cap.
bool ZlibInflate(const std::uint8_t* data, std::size_t size, std::vector<std::uint8_t>& out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    std::uint8_t chunk[16384];
    int ret = Z_OK;
    while (ret == Z_OK && out.size() <= kCap) {
        z.next_out = chunk;
        z.avail_out = sizeof chunk;
        ret = inflate(&z, Z_NO_FLUSH);
        out.insert(out.end(), chunk, chunk + (sizeof chunk - z.avail_out));
        if (ret == Z_BUF_ERROR) break; // the input ended before the final block
    }
    inflateEnd(&z);
    return ret == Z_STREAM_END && out.size() <= kCap;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pagora::detail::InflateOptions options;
    options.output_cap = kCap;
    std::vector<std::uint8_t> expected;
    const bool zlib_accepts = ZlibInflate(data, size, expected);
    int error = 0;
    pagora::detail::InflateResult result;
    try {
        result = pagora::detail::InflateBytes({data, size}, options);
        if (zlib_accepts && (result.status != 0 || result.bytes != expected)) std::abort();
    } catch (const pagora::PdfError& e) {
        if (zlib_accepts) std::abort();
        error = e.Number();
    }
    // The streaming form decodes the same bytes, or refuses with the same error.
    std::vector<std::uint8_t> joined;
    try {
        const int status = pagora::detail::InflateTo(
            {data, size}, options, [&](std::span<const std::uint8_t> piece) {
                joined.insert(joined.end(), piece.begin(), piece.end());
            });
        if (error != 0 || status != result.status || joined != result.bytes) std::abort();
    } catch (const pagora::PdfError& e) {
        if (e.Number() != error) std::abort();
    }
    return 0;
}
