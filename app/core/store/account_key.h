// The account key: eight characters from 0-9 and A-Z derived from the e-mail address. It names
// the data file here and on the server and begins every ticket reference.
#pragma once

#include <cstdint>
#include <string>

namespace kerbolt::store {

// The key of an address (any case; UTF-8).
std::string ComputeAccountKey(const std::string& address);

// The base-36 digits ("0"-"9", "A"-"Z") of a non-negative number, most significant first.
std::string ToBase36(std::int64_t value);

} // namespace kerbolt::store
