#include "pdf/import/stream_filters.h"

#include "pdf/import/inflate.h"
#include "pdf/import/reader_errors.h"

#include <string>

namespace pagora::detail {

namespace {

constexpr std::string_view kOperation = "GetContentPage";

[[noreturn]] void Damaged() {
    RaiseError(kErrInvalidFileFormat, kOperation);
}

bool IsWhite(std::uint8_t c) {
    return c == 0 || c == 9 || c == 10 || c == 12 || c == 13 || c == 32;
}

// The names of a /Filter value, in order.
std::vector<std::string> FilterNames(std::string_view filter) {
    std::vector<std::string> names;
    std::size_t pos = 0;
    while ((pos = filter.find('/', pos)) != std::string_view::npos) {
        std::size_t end = pos + 1;
        while (end < filter.size() && filter[end] != '/' && filter[end] != ' ' &&
               filter[end] != ']' && filter[end] != '[' && filter[end] != '\t' &&
               filter[end] != '\r' && filter[end] != '\n')
            ++end;
        names.emplace_back(filter.substr(pos + 1, end - pos - 1));
        pos = end;
    }
    return names;
}

void CheckBound(std::size_t size, std::size_t bound) {
    if (size > bound) RaiseError(kErrOutOfMemory, kOperation, kExpansionText);
}

} // namespace

std::size_t ExpansionBound(std::size_t stored_size) {
    if (stored_size >= (kMaxInflatedBytes - kMinExpansionBound) / kExpansionFactor) {
        return kMaxInflatedBytes;
    }
    return kMinExpansionBound + kExpansionFactor * stored_size;
}

namespace {

// Runs an inflate of stream data: the decoder's errors become the reader's (damage of the file
// is 321, whatever the decoder calls it; passing the cap is 7 with its reason), and so do
// reserved blocks and stored blocks of the wrong length, which are damage, not data.
template <typename Decode>
void GuardInflate(std::span<const std::uint8_t> data, std::string_view operation, Decode decode) {
    if (data.size() < 2) RaiseError(kErrInvalidFileFormat, operation);
    int status = kInflateOk;
    try {
        status = decode(data.subspan(2));
    } catch (const PdfError& error) {
        if (error.Number() == kErrOutOfMemory) {
            RaiseError(kErrOutOfMemory, operation, kExpansionText);
        }
        RaiseError(kErrInvalidFileFormat, operation);
    }
    if (status < 0) RaiseError(kErrInvalidFileFormat, operation);
}

} // namespace

std::vector<std::uint8_t> InflateStreamData(std::span<const std::uint8_t> data, std::size_t cap,
                                            std::string_view operation, FlateMemory memory) {
    if (data.empty()) return {};
    InflateOptions options;
    options.output_cap = cap;
    if (memory == FlateMemory::kExact) {
        std::size_t size = 0;
        GuardInflate(data, operation, [&](std::span<const std::uint8_t> raw) {
            return InflateTo(raw, options,
                             [&size](std::span<const std::uint8_t> part) { size += part.size(); });
        });
        options.initial_size = size;
    }
    InflateResult result;
    GuardInflate(data, operation, [&](std::span<const std::uint8_t> raw) {
        result = InflateBytes(raw, options);
        return result.status;
    });
    return std::move(result.bytes);
}

void CheckStreamData(std::span<const std::uint8_t> data, std::size_t cap,
                     std::string_view operation) {
    if (data.empty()) return;
    InflateOptions options;
    options.output_cap = cap;
    GuardInflate(data, operation, [&](std::span<const std::uint8_t> raw) {
        return InflateTo(raw, options, [](std::span<const std::uint8_t>) {});
    });
}

std::vector<std::uint8_t> DecodeASCII85(std::span<const std::uint8_t> data, std::size_t bound) {
    std::vector<std::uint8_t> out;
    std::uint32_t group = 0;
    int count = 0;
    auto flush = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<std::uint8_t>(value >> (24 - 8 * i)));
    };
    for (std::size_t i = 0; i < data.size(); ++i) {
        const std::uint8_t c = data[i];
        if (IsWhite(c)) continue;
        if (c == '~') break; // the end mark "~>"
        if (c == 'z' && count == 0) {
            flush(0, 4);
            continue;
        }
        if (c < '!' || c > 'u') Damaged();
        const std::uint64_t next = std::uint64_t{group} * 85 + (c - '!');
        if (count == 4 && next > 0xFFFFFFFFu) Damaged();
        group = static_cast<std::uint32_t>(next);
        if (++count == 5) {
            flush(group, 4);
            group = 0;
            count = 0;
            CheckBound(out.size(), bound);
        }
    }
    if (count == 1) Damaged();
    if (count > 1) {
        // A last group of n characters stands for n - 1 bytes, padded with "u" (84).
        std::uint64_t value = group;
        for (int i = count; i < 5; ++i)
            value = value * 85 + 84;
        if (value > 0xFFFFFFFFu) Damaged();
        flush(static_cast<std::uint32_t>(value), count - 1);
    }
    return out;
}

std::vector<std::uint8_t> DecodeASCIIHex(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    int high = -1;
    for (const std::uint8_t c : data) {
        if (IsWhite(c)) continue;
        if (c == '>') break;
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) Damaged();
        if (high < 0) {
            high = digit;
        } else {
            out.push_back(static_cast<std::uint8_t>(high * 16 + digit));
            high = -1;
        }
    }
    if (high >= 0) out.push_back(static_cast<std::uint8_t>(high * 16));
    return out;
}

std::vector<std::uint8_t> DecodeRunLength(std::span<const std::uint8_t> data, std::size_t bound) {
    std::vector<std::uint8_t> out;
    std::size_t i = 0;
    while (i < data.size()) {
        const std::uint8_t length = data[i++];
        if (length == 128) break;
        if (length < 128) {
            const std::size_t n = std::size_t{length} + 1;
            if (data.size() - i < n) Damaged();
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                       data.begin() + static_cast<std::ptrdiff_t>(i + n));
            i += n;
        } else {
            if (i >= data.size()) Damaged();
            out.insert(out.end(), std::size_t{257} - length, data[i++]);
        }
        CheckBound(out.size(), bound);
    }
    return out;
}

std::optional<std::vector<std::uint8_t>> DecodeFilters(std::vector<std::uint8_t> data,
                                                       std::string_view filter,
                                                       std::string_view decode_parms,
                                                       std::optional<std::size_t> given_bound,
                                                       FlateMemory memory) {
    // Predictors and other parameters are not applied here: such data is left as it is.
    if (decode_parms.find('/') != std::string_view::npos) return std::nullopt;
    const std::vector<std::string> names = FilterNames(filter);
    for (const std::string& name : names) {
        if (name != "FlateDecode" && name != "Fl" && name != "ASCII85Decode" && name != "A85" &&
            name != "ASCIIHexDecode" && name != "AHx" && name != "RunLengthDecode" &&
            name != "RL") {
            return std::nullopt;
        }
    }
    // The bound comes from the bytes as stored, whatever the chain does in between.
    const std::size_t bound = given_bound.value_or(ExpansionBound(data.size()));
    for (const std::string& name : names) {
        if (name == "FlateDecode" || name == "Fl") {
            data = InflateStreamData(data, bound, kOperation, memory);
        } else if (name == "ASCII85Decode" || name == "A85") {
            data = DecodeASCII85(data, bound);
        } else if (name == "ASCIIHexDecode" || name == "AHx") {
            data = DecodeASCIIHex(data);
        } else {
            data = DecodeRunLength(data, bound);
        }
    }
    return data;
}

} // namespace pagora::detail
