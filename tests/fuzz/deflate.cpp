// Compresses arbitrary data at the level its first byte names and decodes the stream twice: with
// zlib and with the small independent decoder of the tests. Both must give the data back.
#include "pdf/writer/deflate.h"

#include "tests/support/inflate_trace.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    if (size == 0) return 0;
    const int level = bytes[0] & 0x0F;
    const std::span<const std::uint8_t> data(bytes + 1, size - 1);
    const std::vector<std::uint8_t> stream = pagora::detail::EncodeFlate(data, level);

    std::vector<std::uint8_t> inflated(data.size() + 1);
    uLongf inflated_size = static_cast<uLongf>(inflated.size());
    if (uncompress(inflated.data(), &inflated_size, stream.data(),
                   static_cast<uLong>(stream.size())) != Z_OK ||
        inflated_size != data.size() || !std::equal(data.begin(), data.end(), inflated.begin())) {
        std::abort();
    }
    const auto trace = testing_support::InflateWithTrace(stream);
    if (!trace.ok || !std::equal(data.begin(), data.end(), trace.data.begin(), trace.data.end()))
        std::abort();
    return 0;
}
