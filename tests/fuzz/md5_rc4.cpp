// MD5 and RC4 on arbitrary bytes: the first byte chooses the key length (1 to 32) and where the
// message is cut into pieces; no input may crash, RC4 must undo itself, and the digest may not
// depend on how the message was fed.
#include "pdf/writer/md5.h"
#include "pdf/writer/rc4.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t key_length = std::min<std::size_t>(1 + data[0] % 32, size - 1);
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string_view key = bytes.substr(0, key_length);
    const std::string_view message = bytes.substr(key_length);

    pagora::detail::Rc4Cipher rc4;
    const std::string cipher = rc4.CipherRC4(key, message);
    if (cipher.size() != message.size() || rc4.CipherRC4(key, cipher) != message) std::abort();

    pagora::detail::Md5 pieces;
    const std::size_t step = 1 + data[0] % 97;
    for (std::size_t pos = 0; pos < message.size(); pos += step)
        pieces.Update(message.substr(pos, step));
    const auto digest = pieces.Finish();
    if (std::string(digest.begin(), digest.end()) != pagora::detail::GetMD5(message)) std::abort();
    return 0;
}
