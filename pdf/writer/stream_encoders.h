// The encoders of stream data that the filter settings select.
#pragma once

#include <string>

namespace pagora::detail {

// The encoders a stream kind's filter flags select, in the order WriteStream applies them.
enum class StreamEncoder { kRunLength = 1, kFlate = 2, kLzw = 4, kAscii85 = 8, kAsciiHex = 16 };
// Replaces data by its encoded form at the given level and returns true; returns false and
// leaves data alone when the encoder is not available.
bool ApplyStreamEncoder(StreamEncoder encoder, std::string& data, int level);

} // namespace pagora::detail
