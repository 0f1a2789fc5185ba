// Protection as the writer applies it: each object's key, the encipherment of its strings and
// streams, and the encryption dictionary.
#pragma once

#include "pdf/writer/writer_state.h"

#include <string>

namespace pagora::detail {

// The RC4 key of an object of the protected document; 0 stands for the current object, and the
// number is then set to it.
std::string GetObjectKey(const WriterState& s, int& object_number);
// Replaces bytes by their encipherment under the key of an object of the protected document.
void EncipherForObject(WriterState& s, int object_number, std::string& bytes);
// Writes the encryption dictionary as a new object and returns its number.
int WriteEncryptionDictionary(WriterState& s);

} // namespace pagora::detail
