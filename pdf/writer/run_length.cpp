#include "pdf/writer/run_length.h"

namespace pagora::detail {

std::vector<std::uint8_t> EncodeRunLength(std::span<const std::uint8_t> data) {
    constexpr std::size_t kMaxRun = 128;
    std::vector<std::uint8_t> out;
    // A lone byte between pairs of equal bytes codes into two, so the output can outgrow the
    // input by a third and more; the vector grows as it must.
    out.reserve(data.size() + data.size() / 2 + 2);
    const std::size_t n = data.size();
    std::size_t i = 0;
    while (i < n) {
        if (i + 1 == n) {
            out.push_back(0);
            out.push_back(data[i]);
            ++i;
        } else if (data[i] == data[i + 1]) {
            std::size_t count = 1;
            while (data[i] == data[i + 1] && count < kMaxRun) {
                ++i;
                ++count;
                if (i + 1 == n) break;
            }
            out.push_back(static_cast<std::uint8_t>(257 - count));
            out.push_back(data[i]);
            ++i;
        } else {
            const std::size_t length_at = out.size();
            out.push_back(0);
            std::size_t count = 0;
            while (data[i] != data[i + 1] && count < kMaxRun) {
                out.push_back(data[i]);
                ++i;
                ++count;
                if (i + 1 == n) break;
            }
            if (i + 1 == n && count < kMaxRun) {
                out.push_back(data[i]);
                ++i;
                ++count;
            }
            out[length_at] = static_cast<std::uint8_t>(count - 1);
        }
    }
    out.push_back(128);
    return out;
}

} // namespace pagora::detail
