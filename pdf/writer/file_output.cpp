// File output: lines, indirect objects with their cross-reference entries, content buffers.
#include "pdf/writer/writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

namespace pagora::detail {
namespace {

void WriteBytes(WriterState& s, std::string_view bytes) {
    // A failed BeginDoc leaves a file number without an open file: every write then fails the
    // same way, and never touches a null handle.
    if (!s.output) RaiseError(kErrBadFileNumber, "WriteFileLine");
    errno = 0;
    if (!bytes.empty() &&
        std::fwrite(bytes.data(), 1, bytes.size(), s.output.get()) != bytes.size()) {
        RaiseError(WriteFailureNumber(), "WriteFileLine");
    }
    s.output_position += static_cast<std::int64_t>(bytes.size());
}

} // namespace

void WriteFileLine(WriterState& s, std::string_view text) {
    WriteBytes(s, text);
    WriteBytes(s, "\n");
}

int BeginIndirectObject(WriterState& s, int number) {
    if (number < 0) RaiseError(kErrSubscript, "BeginIndirectObject");
    // Without an open file the object could not be written: its number and cross-reference
    // entry are not taken either, so that a later document does not inherit them.
    if (!s.output) RaiseError(kErrBadFileNumber, "WriteFileLine");
    if (number == 0) number = s.last_object_number + 1;
    if (number > s.last_object_number) s.last_object_number = number;
    const auto index = static_cast<std::size_t>(number);
    if (index >= s.object_offsets.size()) {
        if (s.object_offsets.capacity() == 0) {
            s.object_offsets.reserve(static_cast<std::size_t>(10 * s.memory_factor) + 1);
        } else if (index >= s.object_offsets.capacity()) {
            s.object_offsets.reserve(
                std::max(index + 1, GrownCapacity(s.object_offsets.size(), s.memory_factor)));
        }
        s.object_offsets.resize(index + 1, -1);
    }
    s.object_offsets[index] = s.output_position;
    WriteFileLine(s, std::to_string(number) + " 0 obj");
    s.kept.current_object = number;
    return number;
}

void EndIndirectObject(WriterState& s) {
    WriteFileLine(s, "endobj");
}

std::string* ContentBuffer(WriterState& s) {
    if (s.in_object) return &s.object_content;
    if (s.in_tiling) return &s.tiling_content;
    if (s.in_page) return &s.page_content;
    return nullptr;
}

void WriteContent(WriterState& s, std::string_view text) {
    std::string* target = ContentBuffer(s);
    if (target == nullptr) return;
    *target += '\r';
    target->append(text);
}

} // namespace pagora::detail
