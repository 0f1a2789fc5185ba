// Protection of a document: SetProtection, the key of each object and the encryption
// dictionary that EndDoc writes.
#include "pdf/writer/protection.h"

#include "pdf/writer/members.h"
#include "pdf/writer/pdfa_rules.h"
#include "pdf/writer/security.h"
#include "pdf/writer/writer.h"

#include <utility>

namespace pagora::detail {

std::string GetObjectKey(const WriterState& s, int& object_number) {
    if (object_number == 0) object_number = s.kept.current_object;
    return ComputeObjectKey(s.kept.encryption_key, s.kept.key_length, object_number);
}

void EncipherForObject(WriterState& s, int object_number, std::string& bytes) {
    const std::string key = GetObjectKey(s, object_number);
    s.rc4.CipherRC4InPlace(key, bytes);
}

int WriteEncryptionDictionary(WriterState& s) {
    const int number = BeginIndirectObject(s, 0);
    // /O and /U are written as they are: a reader needs them before it can decrypt anything.
    WriteFileLine(s, "<< /Filter /Standard \r/O (" + EscapeString(s.kept.owner_key) + ")\r/U (" +
                         EscapeString(s.kept.user_key) + ")\r/P " +
                         std::to_string(s.kept.permissions) + "\r" +
                         (s.kept.key_length == 10 ? "/V 1 /R 2 >>" : "/V 2 /R 3 /Length 128 >>"));
    EndIndirectObject(s);
    return number;
}

} // namespace pagora::detail

namespace pagora {

void Pagora::SetProtection(int Mode, const std::string& OwnerPwd, const std::string& UserPwd) try {
    auto& s = m_->writer;
    // Strings and streams written before would stay plain in a file that readers decrypt
    // whole, which would garble them.
    if (s.output_file_number != 0 && s.last_object_number > 3)
        detail::RaiseError(detail::kErrInvalidCall, "SetProtection",
                           "Protection must be set before the first object is written");
    detail::ProtectionKeys keys = detail::ComputeProtectionKeys(Mode, OwnerPwd, UserPwd, s.file_id);
    s.encrypted = true;
    s.kept.encryption_key = std::move(keys.encryption_key);
    s.kept.owner_key = std::move(keys.owner_key);
    s.kept.user_key = std::move(keys.user_key);
    s.kept.permissions = keys.permissions;
    s.kept.key_length = keys.key_length;
    if (keys.revision == 3) detail::RequireVersion(s, 1);
    // The protection the caller asked for is kept, never weakened for the archive's sake: the
    // file can no longer claim to be archival, since no archival file is encrypted.
    detail::DropPdfaClaim(s, detail::kErrInvalidCall, "SetProtection", "an encrypted document");
} catch (...) {
    detail::RethrowFailure("SetProtection");
}

} // namespace pagora
