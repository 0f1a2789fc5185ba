// The stream encoders that WriteStream applies: each replaces the data by its encoded bytes.
#include "pdf/writer/stream_encoders.h"

#include "pdf/writer/ascii85.h"
#include "pdf/writer/ascii_hex.h"
#include "pdf/writer/deflate.h"
#include "pdf/writer/lzw.h"
#include "pdf/writer/run_length.h"
#include "pdf/writer/writer.h"

#include <cstdint>
#include <span>
#include <vector>

namespace pagora::detail {
namespace {

std::span<const std::uint8_t> BytesOf(const std::string& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.data()), data.size()};
}

void Replace(std::string& data, const std::vector<std::uint8_t>& encoded) {
    data.assign(reinterpret_cast<const char*>(encoded.data()), encoded.size());
}

// Above this size a stream pays for its own working memory easily, and keeping that much for the
// rest of the thread's life would cost more than it saves.
constexpr std::size_t kReusedFlateInputLimit = std::size_t{8} << 20;

void Deflate(std::string& data, int level) {
    if (data.size() > kReusedFlateInputLimit) {
        Replace(data, EncodeFlate(BytesOf(data), level));
        return;
    }
    // A document writes many small streams (every page's content); their dictionaries and token
    // buffers are kept from one to the next.
    thread_local FlateEncoder encoder;
    thread_local std::vector<std::uint8_t> out;
    encoder.Encode(BytesOf(data), level, out);
    Replace(data, out);
}

} // namespace

bool ApplyStreamEncoder(StreamEncoder encoder, std::string& data, int level) {
    switch (encoder) {
    case StreamEncoder::kRunLength:
        Replace(data, EncodeRunLength(BytesOf(data)));
        return true;
    case StreamEncoder::kFlate:
        Deflate(data, level);
        return true;
    case StreamEncoder::kLzw:
        Replace(data, EncodeLZW(BytesOf(data), level));
        return true;
    case StreamEncoder::kAscii85:
        Replace(data, EncodeASCII85(BytesOf(data)));
        return true;
    case StreamEncoder::kAsciiHex:
        Replace(data, EncodeASCIIHex(BytesOf(data)));
        return true;
    }
    return false;
}

} // namespace pagora::detail
