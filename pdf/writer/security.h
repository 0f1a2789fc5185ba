// The keys of the standard security handler with RC4: revision 2 (40-bit file key) and
// revision 3 (128-bit file key). Passwords and the document identifier are single-byte text;
// keys are byte strings held in std::string.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pagora::detail {

// The bit of SetProtection's mode that selects revision 3; the other bits grant permissions.
inline constexpr std::int32_t kRevision3Flag = 0x1000;

struct ProtectionKeys {
    int revision = 0;             // 2 or 3
    std::string owner_key;        // the /O value, 32 bytes
    std::string user_key;         // the /U value, 32 bytes
    std::string encryption_key;   // the file key, 5 or 16 bytes
    std::int32_t permissions = 0; // the /P value
    int key_length = 0;           // length of each object's key: 10 or 16

    bool operator==(const ProtectionKeys&) const = default;
};

// The password cut to 32 bytes or filled up to them with the standard padding.
std::string PadPassword(std::string_view password);

// The /P value of a mode: the permission bits of the revision put into its fixed bits. Bits
// that are no permission of the revision are dropped, so the value always has the reserved
// bits the key computation and every reader expect.
std::int32_t PermissionValue(std::int32_t mode);

// Computes /O, /U, the file key and /P. An owner password that is empty or only blanks is
// replaced by the user password.
ProtectionKeys ComputeProtectionKeys(std::int32_t mode, std::string_view owner_password,
                                     std::string_view user_password, std::string_view file_id);

// The RC4 key of one object (generation 0): the first key_length bytes of the MD5 of the file
// key, the object number's three low bytes (least significant first) and two zero bytes.
std::string ComputeObjectKey(std::string_view encryption_key, int key_length,
                             std::int32_t object_number);

} // namespace pagora::detail
