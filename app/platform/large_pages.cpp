#include "app/platform/large_pages.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kerbolt {

void AdviseLargePages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t size) {
#ifdef __linux__
    constexpr std::size_t kLargePage = std::size_t{2} << 20;
    constexpr std::size_t kSmallest = std::size_t{8} << 20;
    if (data == nullptr || size < kSmallest) return;
    // The part of the buffer from its first large-page boundary to its last one.
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::size_t skipped = (kLargePage - start % kLargePage) % kLargePage;
    const std::size_t advised = (size - skipped) / kLargePage * kLargePage;
    // A hint: a system that declines it (large pages switched off) leaves the buffer as it is.
    if (advised > 0) madvise(static_cast<char*>(data) + skipped, advised, MADV_HUGEPAGE);
#endif
}

} // namespace kerbolt
