#include "pdf/content/png_reader.h"

#include "pdf/content/image_data.h"
#include "pdf/import/inflate.h"
#include "pdf/writer/deflate.h"
#include "pdf/writer/errors.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <utility>

namespace pagora::detail {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {137, 80, 78, 71, 13, 10, 26, 10};
constexpr std::size_t kFirstChunk = 33; // signature, then the 13-byte header chunk with its CRC

constexpr int kGrey = 0;
constexpr int kTruecolour = 2;
constexpr int kIndexed = 3;

struct PngFailure {
    int number;
};

// The chunk checksum (CRC-32, reflected polynomial 0xEDB88320), one table lookup per byte.
constexpr std::array<std::uint32_t, 256> kCrcTable = [] {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}();

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (const std::uint8_t b : bytes)
        c = kCrcTable[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> data, std::size_t at) {
    if (at > data.size() || data.size() - at < 4) throw PngFailure{kErrSubscript};
    return static_cast<std::uint32_t>(data[at]) << 24 |
           static_cast<std::uint32_t>(data[at + 1]) << 16 |
           static_cast<std::uint32_t>(data[at + 2]) << 8 | data[at + 3];
}

bool IsChunk(std::span<const std::uint8_t> data, std::size_t at, const char* type) {
    for (std::size_t i = 0; i < 4; ++i) {
        if (data[at + i] != static_cast<std::uint8_t>(type[i])) return false;
    }
    return true;
}

// The depths the format defines for each colour type; anything else is no picture we know.
bool IsKnownForm(int colour_type, int bits) {
    switch (colour_type) {
    case kGrey:
    case kIndexed:
        return bits == 1 || bits == 2 || bits == 4 || bits == 8;
    case kTruecolour:
        return bits == 8;
    default:
        return false; // alpha channels (4, 6) have no place in a colour-keyed image
    }
}

// The palette entries of an indexed picture that its transparency chunk makes transparent: an
// alpha below half is none, the rest full (a colour key or a stencil mask says no more).
std::vector<std::uint8_t> TransparentEntries(std::span<const std::uint8_t> chunk) {
    std::vector<std::uint8_t> entries(chunk.size());
    for (std::size_t i = 0; i < chunk.size(); ++i)
        entries[i] = chunk[i] < 128 ? 1 : 0;
    return entries;
}

// The colour key of a transparency chunk: a minimum and maximum equal to the transparent grey
// or colour for direct colours; for an indexed picture the run of transparent entries, when
// they form one (empty otherwise: the picture needs a mask).
std::string ColourKey(std::span<const std::uint8_t> chunk, int colour_type) {
    std::string key;
    if (colour_type == kIndexed) {
        const std::vector<std::uint8_t> entries = TransparentEntries(chunk);
        const auto first = std::find(entries.begin(), entries.end(), 1);
        if (first == entries.end()) return key;
        const auto last = std::find(entries.rbegin(), entries.rend(), 1).base() - 1;
        if (std::find(first, last, 0) != last) return key;
        return std::to_string(first - entries.begin()) + " " +
               std::to_string(last - entries.begin());
    }
    const std::size_t components = colour_type == kTruecolour ? 3 : 1;
    // A chunk too short for the picture's components is no key at all: a partial one would
    // give the mask a wrong number of ranges.
    if (chunk.size() < 2 * components) return key;
    for (std::size_t i = 0; i < components; ++i) {
        const std::string value = std::to_string(chunk[2 * i + 1]);
        key += value + " " + value + " ";
    }
    return key;
}

// The rows of an indexed picture undone from their filters as they decode, each turned into
// one row of the picture's mask: a pixel is masked when its entry is transparent.
class IndexedMaskBuilder {
public:
    IndexedMaskBuilder(const PngResult& png, std::size_t row_bytes,
                       std::vector<std::uint8_t> transparent)
        : width_(static_cast<std::size_t>(png.width)), bits_(static_cast<unsigned>(png.bits)),
          rows_(static_cast<std::size_t>(png.height)), row_bytes_(row_bytes),
          transparent_(std::move(transparent)), previous_(row_bytes), current_(row_bytes),
          mask_((width_ + 7) / 8 * rows_, 0) {}

    void Add(std::span<const std::uint8_t> piece) {
        for (const std::uint8_t byte : piece) {
            if (row_ >= rows_) return; // data beyond the rows
            if (column_ < 0) {
                filter_ = byte;
                column_ = 0;
                continue;
            }
            const auto c = static_cast<std::size_t>(column_);
            const unsigned left = c > 0 ? current_[c - 1] : 0;
            const unsigned up = previous_[c];
            const unsigned up_left = c > 0 ? previous_[c - 1] : 0;
            unsigned value = byte;
            switch (filter_) {
            case 1:
                value += left;
                break;
            case 2:
                value += up;
                break;
            case 3:
                value += (left + up) / 2;
                break;
            case 4:
                value += Paeth(left, up, up_left);
                break;
            default:
                break;
            }
            current_[c] = static_cast<std::uint8_t>(value);
            if (++column_ == static_cast<long>(row_bytes_)) EndRow();
        }
    }

    std::vector<std::uint8_t> Take() { return std::move(mask_); }

private:
    static unsigned Paeth(unsigned a, unsigned b, unsigned c) {
        const int p = static_cast<int>(a + b) - static_cast<int>(c);
        const int pa = std::abs(p - static_cast<int>(a));
        const int pb = std::abs(p - static_cast<int>(b));
        const int pc = std::abs(p - static_cast<int>(c));
        if (pa <= pb && pa <= pc) return a;
        return pb <= pc ? b : c;
    }

    void EndRow() {
        const std::size_t mask_row = (width_ + 7) / 8 * row_;
        const unsigned per_byte = 8 / bits_;
        const unsigned all = (1u << bits_) - 1;
        for (std::size_t x = 0; x < width_; ++x) {
            const std::uint8_t byte = current_[x / per_byte];
            const unsigned shift = 8 - bits_ * (1 + static_cast<unsigned>(x % per_byte));
            const std::size_t entry = (byte >> shift) & all;
            if (entry < transparent_.size() && transparent_[entry] != 0)
                mask_[mask_row + x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
        }
        std::swap(previous_, current_);
        ++row_;
        column_ = -1;
    }

    std::size_t width_;
    unsigned bits_;
    std::size_t rows_;
    std::size_t row_bytes_;
    std::vector<std::uint8_t> transparent_;
    std::vector<std::uint8_t> previous_;
    std::vector<std::uint8_t> current_;
    std::vector<std::uint8_t> mask_;
    std::size_t row_ = 0;
    long column_ = -1; // -1: the next byte is the row's filter
    std::uint8_t filter_ = 0;
};

// Decodes the compressed rows and checks them against the header, so that no damaged or cut
// data reaches the document, where it would only show as a broken picture. The rows are checked
// as they decode and then dropped: a large picture never has all its samples in memory. With
// the transparent entries of an indexed picture that no colour key can name, its mask is made
// on the way.
void CheckRows(PngResult& png, int channels, std::vector<std::uint8_t> masked_entries) {
    const std::uint64_t row_bytes =
        (static_cast<std::uint64_t>(png.width) * static_cast<std::uint64_t>(channels * png.bits) +
         7) /
        8;
    const std::uint64_t expected = (row_bytes + 1) * static_cast<std::uint64_t>(png.height);
    if (expected > kMaxSampleBytes) throw PngFailure{kErrOutOfMemory};
    const std::span<const std::uint8_t> z(reinterpret_cast<const std::uint8_t*>(png.data.data()),
                                          png.data.size());
    // Deflate gives at most 1032 bytes per input byte: a header claiming more rows than the
    // data can hold is refused before anything is decoded.
    if (expected > std::uint64_t{1032} * z.size() + 1032) throw PngFailure{kErrOutOfMemory};
    // The zlib header: deflate method, a window the format allows, no preset dictionary.
    if (z.size() < 2 || (z[0] & 0x0F) != 8 || (z[0] >> 4) > 7 || (z[0] << 8 | z[1]) % 31 != 0 ||
        (z[1] & 0x20) != 0) {
        throw PngFailure{kErrSubscript};
    }
    InflateOptions options;
    // Data beyond the rows is ignored by every decoder, so it is allowed, within the limit.
    options.output_cap = kMaxSampleBytes;
    const std::uint64_t stride = row_bytes + 1;
    std::optional<IndexedMaskBuilder> mask;
    if (!masked_entries.empty())
        mask.emplace(png, static_cast<std::size_t>(row_bytes), std::move(masked_entries));
    std::uint64_t decoded = 0;
    std::uint64_t next_row = 0; // where the filter byte of the next row to check lies
    std::uint32_t adler = 1;
    const auto check = [&](std::span<const std::uint8_t> piece) {
        const std::uint64_t end = decoded + piece.size();
        for (; next_row < expected && next_row < end; next_row += stride) {
            if (piece[static_cast<std::size_t>(next_row - decoded)] > 4) {
                throw PngFailure{kErrSubscript}; // no such row filter
            }
        }
        adler = Adler32(piece, adler);
        if (mask) mask->Add(piece);
        decoded = end;
    };
    int status = kInflateOk;
    try {
        status = InflateTo(z.subspan(2), options, check);
    } catch (const PdfError& error) {
        // Memory that ran out is no damage of the rows.
        throw PngFailure{error.Number() == kErrOutOfMemory ? kErrOutOfMemory : kErrSubscript};
    }
    if (status != kInflateOk || decoded < expected) throw PngFailure{kErrSubscript};
    // The zlib checksum of the rows closes the data: a mismatch means damaged rows.
    const std::size_t n = z.size();
    if (n < 6) throw PngFailure{kErrSubscript};
    const std::uint32_t stored = static_cast<std::uint32_t>(z[n - 4]) << 24 |
                                 static_cast<std::uint32_t>(z[n - 3]) << 16 |
                                 static_cast<std::uint32_t>(z[n - 2]) << 8 | z[n - 1];
    if (adler != stored) throw PngFailure{kErrSubscript};
    if (mask) png.mask = mask->Take();
}

// Walks the chunks after the header. The image data goes to png.data; with `owned` (the buffer
// that data views) it is gathered at the buffer's front instead, behind the walk, which never
// looks back at a chunk it has passed, and the buffer then becomes png.data.
void WalkChunks(std::span<const std::uint8_t> data, PngResult& png, int colour_type,
                std::string* owned, std::vector<std::uint8_t>& masked_entries) {
    bool has_palette = false;
    std::size_t gathered = 0;
    std::size_t p = kFirstChunk;
    while (p < data.size()) {
        if (data.size() - p < 8) throw PngFailure{kErrSubscript};
        const std::uint32_t length = BigEndian32(data, p);
        const std::size_t at = p + 8;
        if (length > data.size() - at) throw PngFailure{kErrSubscript};
        const std::span<const std::uint8_t> body = data.subspan(at, length);
        // Every chunk's checksum must match, or its bytes are damaged.
        if (Crc32(data.subspan(p + 4, std::size_t{length} + 4)) != BigEndian32(data, at + length))
            throw PngFailure{kErrSubscript};
        if (IsChunk(data, p + 4, "IEND")) break;
        if (IsChunk(data, p + 4, "PLTE")) {
            // Only an indexed picture uses its palette; a suggested one elsewhere is ignored.
            if (colour_type == kIndexed) {
                const std::size_t entries = std::min<std::size_t>(body.size() / 3, 256);
                png.palette.assign(body.begin(), body.begin() + static_cast<long>(entries * 3));
                has_palette = true;
            }
        } else if (IsChunk(data, p + 4, "tRNS")) {
            png.colour_key = ColourKey(body, colour_type);
            masked_entries.clear();
            if (colour_type == kIndexed && png.colour_key.empty()) {
                masked_entries = TransparentEntries(body);
                if (std::find(masked_entries.begin(), masked_entries.end(), 1) ==
                    masked_entries.end()) {
                    masked_entries.clear();
                }
            }
        } else if (IsChunk(data, p + 4, "IDAT")) {
            if (owned != nullptr) {
                // The front of the buffer holds nothing the walk still needs: the header and
                // the chunks before this one.
                std::memmove(owned->data() + gathered, body.data(), body.size());
            } else {
                // The file's size bounds the data: only the pages written become resident, and
                // the data never moves while it grows.
                if (png.data.empty()) png.data.reserve(data.size());
                png.data.append(reinterpret_cast<const char*>(body.data()), body.size());
            }
            gathered += body.size();
        }
        p = at + length + 4; // past the CRC, which is not compared
    }
    if (colour_type == kIndexed && (!has_palette || png.palette.empty())) {
        throw PngFailure{kErrInvalidCall};
    }
    if (gathered == 0) throw PngFailure{kErrInvalidCall};
    if (owned != nullptr) {
        owned->resize(gathered);
        png.data = std::move(*owned);
    }
}

PngResult ReadPngBytes(std::span<const std::uint8_t> data, std::string* owned) {
    PngResult png;
    if (data.size() < 2) {
        png.error = kErrFileNotFound;
        return png;
    }
    try {
        if (data.size() < kSignature.size()) return png;
        for (std::size_t i = 0; i < kSignature.size(); ++i) {
            if (data[i] != kSignature[i]) return png;
        }
        if (data.size() < kFirstChunk) throw PngFailure{kErrSubscript};
        if (!IsChunk(data, 12, "IHDR")) return png;
        const std::uint32_t width = BigEndian32(data, 16);
        const std::uint32_t height = BigEndian32(data, 20);
        const int bits = data[24];
        const int colour_type = data[25];
        if (!IsKnownForm(colour_type, bits)) return png;
        if (data[26] != 0 || data[27] != 0 || data[28] != 0) return png; // incl. interlacing
        if (BigEndian32(data, 8) != 13) throw PngFailure{kErrSubscript};
        if (Crc32(data.subspan(12, 17)) != BigEndian32(data, 29)) throw PngFailure{kErrSubscript};
        if (width == 0 || height == 0 || width > 0x7FFFFFFFu || height > 0x7FFFFFFFu) {
            throw PngFailure{kErrOverflow};
        }
        if (width > kMaxImageSide || height > kMaxImageSide) throw PngFailure{kErrOutOfMemory};
        png.width = static_cast<std::int32_t>(width);
        png.height = static_cast<std::int32_t>(height);
        png.bits = bits;
        png.indexed = colour_type == kIndexed;
        png.colour_space = colour_type == kTruecolour ? "DeviceRGB" : "DeviceGray";
        std::vector<std::uint8_t> masked_entries;
        WalkChunks(data, png, colour_type, owned, masked_entries);
        CheckRows(png, colour_type == kTruecolour ? 3 : 1, std::move(masked_entries));
        png.accepted = true;
    } catch (const PngFailure& failure) {
        png = PngResult{};
        png.error = failure.number;
    } catch (const std::bad_alloc&) {
        png = PngResult{};
        png.error = kErrOutOfMemory;
    }
    return png;
}

} // namespace

PngResult ReadPng(std::span<const std::uint8_t> data) {
    return ReadPngBytes(data, nullptr);
}

PngResult ReadPngFile(std::string file) {
    const std::span<const std::uint8_t> data(reinterpret_cast<const std::uint8_t*>(file.data()),
                                             file.size());
    return ReadPngBytes(data, &file);
}

} // namespace pagora::detail
