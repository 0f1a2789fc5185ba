#include "app/platform/large_pages.h"

#include <cstdint>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace kerbolt {

void AdviseLargePages([[maybe_unused]] void* data, [[maybe_unused]] std::size_t size) {
#ifdef __linux__
    constexpr std::uintptr_t kLargePage = std::uintptr_t{2} << 20;
    constexpr std::size_t kSmallest = std::size_t{8} << 20;
    if (data == nullptr || size < kSmallest) return;
    const auto start = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (start + kLargePage - 1) & ~(kLargePage - 1);
    const std::uintptr_t last = (start + size) & ~(kLargePage - 1);
    // A hint: a system that declines it (large pages switched off) leaves the buffer as it is.
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

} // namespace kerbolt
