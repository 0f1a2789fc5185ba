// The bound of a hang guard: a call on a small damaged input must end, and a test calls it hung
// past this long. Such a call takes milliseconds; the bound leaves room for a loaded machine
// running the sanitizers, since a guard is no speed target (those live in bench/).
#pragma once

#include <chrono>

namespace testing_support {

inline constexpr std::chrono::seconds kHangGuard{30};

} // namespace testing_support
