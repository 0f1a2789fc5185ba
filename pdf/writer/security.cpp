#include "pdf/writer/security.h"

#include "pdf/writer/md5.h"
#include "pdf/writer/rc4.h"

#include <array>

namespace pagora::detail {
namespace {

constexpr std::array<std::uint8_t, 32> kPadding = {
    0x28, 0xBF, 0x4E, 0x5E, 0x4E, 0x75, 0x8A, 0x41, 0x64, 0x00, 0x4E, 0x56, 0xFF, 0xFA, 0x01, 0x08,
    0x2E, 0x2E, 0x00, 0xB6, 0xD0, 0x68, 0x3E, 0x80, 0x2F, 0x0C, 0xA9, 0xFE, 0x64, 0x53, 0x69, 0x7A};

// Permission bits each revision knows, and the bits of /P that are fixed (all others set).
constexpr std::uint32_t kRevision2Permissions = 0x3C;
constexpr std::uint32_t kRevision2Fixed = 0xFFFFFFC0;
constexpr std::uint32_t kRevision3Permissions = 0xF3C;
constexpr std::uint32_t kRevision3Fixed = 0xFFFFF0C0;

std::string PermissionBytes(std::int32_t permissions) {
    const auto value = static_cast<std::uint32_t>(permissions);
    std::string bytes(4, '\0');
    for (std::size_t i = 0; i < 4; ++i)
        bytes[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return bytes;
}

std::string XorEach(std::string_view key, int value) {
    std::string out(key);
    for (char& c : out)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ value);
    return out;
}

// The twenty RC4 passes of revision 3: the key itself, then the key with each byte XOR 1 to 19.
std::string TwentyPasses(Rc4Cipher& rc4, std::string_view key, std::string data) {
    rc4.CipherRC4InPlace(key, data);
    for (int i = 1; i <= 19; ++i)
        rc4.CipherRC4InPlace(XorEach(key, i), data);
    return data;
}

std::string RehashFifty(std::string digest) {
    for (int i = 0; i < 50; ++i)
        digest = GetMD5(digest);
    return digest;
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

std::string PadPassword(std::string_view password) {
    std::string padded(password.substr(0, 32));
    padded.append(kPadding.begin(),
                  kPadding.begin() + static_cast<std::ptrdiff_t>(32 - padded.size()));
    return padded;
}

std::int32_t PermissionValue(std::int32_t mode) {
    const auto bits = static_cast<std::uint32_t>(mode);
    const std::uint32_t value = (mode & kRevision3Flag) != 0
                                    ? kRevision3Fixed | (bits & kRevision3Permissions)
                                    : kRevision2Fixed | (bits & kRevision2Permissions);
    return static_cast<std::int32_t>(value);
}

ProtectionKeys ComputeProtectionKeys(std::int32_t mode, std::string_view owner_password,
                                     std::string_view user_password, std::string_view file_id) {
    if (IsBlank(owner_password)) owner_password = user_password;
    const std::string user_padded = PadPassword(user_password);
    const std::string owner_padded = PadPassword(owner_password);

    ProtectionKeys keys;
    keys.permissions = PermissionValue(mode);
    const std::string p_bytes = PermissionBytes(keys.permissions);
    Rc4Cipher rc4;

    if ((mode & kRevision3Flag) != 0) {
        keys.revision = 3;
        keys.key_length = 16;
        const std::string owner_rc4_key = RehashFifty(GetMD5(owner_padded));
        keys.owner_key = TwentyPasses(rc4, owner_rc4_key, user_padded);
        keys.encryption_key =
            RehashFifty(GetMD5(user_padded + keys.owner_key + p_bytes + std::string(file_id)));
        const std::string check = GetMD5(PadPassword("") + std::string(file_id));
        keys.user_key = TwentyPasses(rc4, keys.encryption_key, check) + std::string(16, ' ');
    } else {
        keys.revision = 2;
        keys.key_length = 10;
        const std::string owner_rc4_key = GetMD5(owner_padded).substr(0, 5);
        keys.owner_key = rc4.CipherRC4(owner_rc4_key, user_padded);
        keys.encryption_key =
            GetMD5(user_padded + keys.owner_key + p_bytes + std::string(file_id)).substr(0, 5);
        keys.user_key = rc4.CipherRC4(keys.encryption_key, PadPassword(""));
    }
    return keys;
}

std::string ComputeObjectKey(std::string_view encryption_key, int key_length,
                             std::int32_t object_number) {
    const auto number = static_cast<std::uint32_t>(object_number);
    std::string input(encryption_key);
    for (int i = 0; i < 3; ++i)
        input += static_cast<char>((number >> (8 * i)) & 0xFF);
    input.append(2, '\0');
    return GetMD5(input).substr(0, static_cast<std::size_t>(key_length));
}

} // namespace pagora::detail
