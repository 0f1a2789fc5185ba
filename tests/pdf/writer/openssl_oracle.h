// MD5 and RC4 computed by OpenSSL's libcrypto, the reference our own routines are held to.
#pragma once

#include <string>
#include <string_view>

namespace testing_support {

std::string OpensslMd5(std::string_view bytes);
// RC4 through the legacy provider; keys of any length from 1 byte.
std::string OpensslRc4(std::string_view key, std::string_view data);

std::string ToHex(std::string_view bytes);
std::string FromHex(std::string_view hex);

} // namespace testing_support
