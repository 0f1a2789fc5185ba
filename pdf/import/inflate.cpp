#include "pdf/import/inflate.h"

#include "pdf/writer/deflate_tables.h"
#include "pdf/writer/errors.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <new>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "Inflate";
constexpr int kMaxBits = 15;

struct Code {
    std::uint16_t extra;
    std::uint32_t base;
};

// Length symbols 257 to 287; 286 and 287 are matches of length 0.
constexpr std::array<Code, 31> kLengthCodes = [] {
    std::array<Code, 31> codes{};
    for (std::size_t i = 0; i < kLengthBase.size(); ++i)
        codes[i] = {kLengthExtra[i], kLengthBase[i]};
    return codes;
}();

// Distance symbols 0 to 31; 30 and 31 are those of the 64 KiB variant.
constexpr std::array<Code, 32> kDistanceCodes = [] {
    std::array<Code, 32> codes{};
    for (std::size_t i = 0; i < kDistanceBase.size(); ++i)
        codes[i] = {kDistanceExtra[i], kDistanceBase[i]};
    codes[30] = {14, 32769};
    codes[31] = {14, 49153};
    return codes;
}();

struct Failure {
    int number;
};

[[noreturn]] void Fail() {
    throw Failure{kErrSubscript};
}

class BitReader {
public:
    explicit BitReader(std::span<const std::uint8_t> input) : input_(input) {}

    // The next count bits (0 to 16), the first one read in the lowest position. Bytes are taken
    // only when their bits are needed, so dropping the held bits aligns on the next byte.
    std::uint32_t Bits(int count) {
        while (held_ < count) {
            if (pos_ >= input_.size()) Fail();
            buffer_ |= static_cast<std::uint32_t>(input_[pos_++]) << held_;
            held_ += 8;
        }
        const std::uint32_t value = buffer_ & ((1u << count) - 1);
        buffer_ >>= count;
        held_ -= count;
        return value;
    }
    void AlignToByte() {
        buffer_ = 0;
        held_ = 0;
    }
    std::uint8_t Byte() {
        if (pos_ >= input_.size()) Fail();
        return input_[pos_++];
    }

private:
    std::span<const std::uint8_t> input_;
    std::size_t pos_ = 0;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

// A canonical prefix code as counts per length and its symbols in code order.
struct Huffman {
    std::array<std::uint16_t, kMaxBits + 1> count{};
    std::array<std::uint16_t, 320> symbol{};
    int max_length = 0;
    int codes = 0;
};

// Builds the code of lengths[0..n). Returns the space left over: negative when the lengths
// over-subscribe the code space, 0 when the code is complete, positive when it is incomplete.
int Build(Huffman& h, const std::uint8_t* lengths, int n) {
    h = Huffman{};
    for (int i = 0; i < n; ++i) {
        ++h.count[lengths[i]];
        h.max_length = std::max<int>(h.max_length, lengths[i]);
    }
    h.codes = n - h.count[0];
    h.count[0] = 0;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
        left = 2 * left - h.count[len];
        if (left < 0) return left;
    }
    std::array<std::uint16_t, kMaxBits + 2> offsets{};
    for (int len = 1; len <= kMaxBits; ++len)
        offsets[len + 1] = static_cast<std::uint16_t>(offsets[len] + h.count[len]);
    for (int i = 0; i < n; ++i) {
        if (lengths[i] != 0) h.symbol[offsets[lengths[i]]++] = static_cast<std::uint16_t>(i);
    }
    return left;
}

// Accepts a complete code, or the incomplete one made of a single code of length 1; an empty
// code only where allowed. Everything else cannot be decoded unambiguously.
void RequireUsable(const Huffman& h, int left, bool empty_allowed) {
    if (left < 0) Fail();
    if (h.codes == 0) {
        if (!empty_allowed) Fail();
        return;
    }
    if (left > 0 && !(h.codes == 1 && h.max_length == 1)) Fail();
}

int Decode(BitReader& in, const Huffman& h) {
    int code = 0;
    int first = 0;
    int index = 0;
    for (int len = 1; len <= h.max_length; ++len) {
        code |= static_cast<int>(in.Bits(1));
        const int count = h.count[static_cast<std::size_t>(len)];
        if (code - count < first) return h.symbol[static_cast<std::size_t>(index + code - first)];
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    Fail(); // a bit sequence that no code matches, or no code at all
}

class Output {
public:
    Output(std::size_t initial, std::size_t cap) : cap_(cap) {
        bytes_.reserve(std::min(initial, cap) + 1);
    }
    void Reserve(std::size_t more) {
        if (more > cap_ - bytes_.size()) throw Failure{kErrOutOfMemory};
    }
    void Append(std::uint8_t byte) {
        Reserve(1);
        bytes_.push_back(byte);
    }
    void Copy(std::size_t distance, std::size_t length) {
        if (length == 0) return; // symbols 286 and 287 copy nothing
        if (distance > bytes_.size()) Fail();
        Reserve(length);
        std::size_t from = bytes_.size() - distance;
        // One byte at a time: a copy may overlap the bytes it produces.
        for (std::size_t i = 0; i < length; ++i)
            bytes_.push_back(bytes_[from++]);
    }
    std::vector<std::uint8_t>& Bytes() { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t cap_;
};

void StoredBlock(BitReader& in, Output& out, int& status) {
    in.AlignToByte();
    const std::uint32_t len = in.Byte() | static_cast<std::uint32_t>(in.Byte()) << 8;
    const std::uint32_t nlen = in.Byte() | static_cast<std::uint32_t>(in.Byte()) << 8;
    if (len != (~nlen & 0xFFFFu)) status = kInflateBadStoredLength;
    out.Reserve(len);
    for (std::uint32_t i = 0; i < len; ++i)
        out.Append(in.Byte());
}

void CodedBlock(BitReader& in, Output& out, const Huffman& literals, const Huffman& distances,
                bool deflate64) {
    for (;;) {
        const int symbol = Decode(in, literals);
        if (symbol < 256) {
            out.Append(static_cast<std::uint8_t>(symbol));
            continue;
        }
        if (symbol == 256) return;
        const Code& length_code = kLengthCodes[static_cast<std::size_t>(symbol - 257)];
        std::uint32_t length = length_code.base + in.Bits(length_code.extra);
        if (deflate64 && symbol == 285) length = 3 + in.Bits(16);
        const Code& distance_code = kDistanceCodes[static_cast<std::size_t>(Decode(in, distances))];
        const std::uint32_t distance = distance_code.base + in.Bits(distance_code.extra);
        out.Copy(distance, length);
    }
}

void FixedBlock(BitReader& in, Output& out, bool deflate64) {
    std::array<std::uint8_t, 288> lengths{};
    std::fill(lengths.begin(), lengths.begin() + 144, std::uint8_t{8});
    std::fill(lengths.begin() + 144, lengths.begin() + 256, std::uint8_t{9});
    std::fill(lengths.begin() + 256, lengths.begin() + 280, std::uint8_t{7});
    std::fill(lengths.begin() + 280, lengths.end(), std::uint8_t{8});
    Huffman literals;
    Build(literals, lengths.data(), 288);
    std::array<std::uint8_t, 32> distance_lengths{};
    distance_lengths.fill(5);
    Huffman distances;
    Build(distances, distance_lengths.data(), 32);
    CodedBlock(in, out, literals, distances, deflate64);
}

void DynamicBlock(BitReader& in, Output& out, bool deflate64) {
    const int hlit = static_cast<int>(in.Bits(5)) + 257;
    const int hdist = static_cast<int>(in.Bits(5)) + 1;
    const int hclen = static_cast<int>(in.Bits(4)) + 4;

    std::array<std::uint8_t, 19> code_length_lengths{};
    for (int i = 0; i < hclen; ++i) {
        code_length_lengths[static_cast<std::size_t>(
            kCodeLengthOrder[static_cast<std::size_t>(i)])] = static_cast<std::uint8_t>(in.Bits(3));
    }
    Huffman code_lengths;
    const int left = Build(code_lengths, code_length_lengths.data(), 19);
    // The code-length code must be complete: an incomplete one is never written by a sound
    // encoder, and decoding with it could take any later bits for lengths.
    if (left != 0 || code_lengths.codes == 0) Fail();

    std::array<std::uint8_t, 288 + 32> lengths{};
    const int total = hlit + hdist;
    int index = 0;
    while (index < total) {
        const int symbol = Decode(in, code_lengths);
        if (symbol < 16) {
            lengths[static_cast<std::size_t>(index++)] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t value = 0;
        int repeat = 0;
        if (symbol == 16) {
            if (index == 0) Fail(); // nothing to repeat
            value = lengths[static_cast<std::size_t>(index - 1)];
            repeat = 3 + static_cast<int>(in.Bits(2));
        } else if (symbol == 17) {
            repeat = 3 + static_cast<int>(in.Bits(3));
        } else {
            repeat = 11 + static_cast<int>(in.Bits(7));
        }
        if (index + repeat > total) Fail(); // a repeat past the lengths the block declared
        while (repeat-- > 0)
            lengths[static_cast<std::size_t>(index++)] = value;
    }
    // Without an end-of-block code the block could never end.
    if (lengths[256] == 0) Fail();

    Huffman literals;
    RequireUsable(literals, Build(literals, lengths.data(), hlit), false);
    Huffman distances;
    RequireUsable(distances, Build(distances, lengths.data() + hlit, hdist), true);
    CodedBlock(in, out, literals, distances, deflate64);
}

} // namespace

InflateResult InflateBytes(std::span<const std::uint8_t> input, const InflateOptions& options) {
    InflateResult result;
    try {
        BitReader in(input);
        Output out(options.initial_size, options.output_cap);
        bool final = false;
        while (!final) {
            final = in.Bits(1) == 1;
            switch (in.Bits(2)) {
            case 0:
                StoredBlock(in, out, result.status);
                break;
            case 1:
                FixedBlock(in, out, options.deflate64);
                break;
            case 2:
                DynamicBlock(in, out, options.deflate64);
                break;
            default:
                result.status = kInflateReservedBlock;
                break;
            }
        }
        result.bytes = std::move(out.Bytes());
    } catch (const Failure& failure) {
        RaiseError(failure.number, kOperation);
    } catch (const std::bad_alloc&) {
        RaiseError(kErrOutOfMemory, kOperation);
    }
    return result;
}

int Inflate(std::vector<std::uint8_t>& data, std::int32_t initial_size, bool deflate64) {
    InflateOptions options;
    options.initial_size = static_cast<std::size_t>(std::max<std::int32_t>(initial_size, 0));
    options.deflate64 = deflate64;
    InflateResult result = InflateBytes(data, options);
    data = std::move(result.bytes);
    return result.status;
}

} // namespace pagora::detail
