// The writer's shared ground: file output, indirect objects, content buffers, number and text
// helpers, errors, versions, streams and records. Every PDF subsystem writes through these. The
// writer's features keep their procedures in headers of their own (protection.h, outlines.h,
// annotations.h, document_metadata.h, attachments.h, stream_encoders.h).
#pragma once

#include "pdf/writer/Pagora.h"
#include "pdf/writer/errors.h"
#include "pdf/writer/writer_state.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

// ---- Errors ------------------------------------------------------------------------------------

// Keeps a failure as the document's last error: source "Pagora." + proc_name, and the
// description followed by " - " + extra when extra is not empty.
void RecordError(WriterState& s, const PdfError& error, std::string_view proc_name,
                 std::string_view extra = {});

// The handler of the public operations that record their failures, as RethrowFailure is of
// those that raise them: a PdfError or a failed allocation (as error 7) is recorded with
// RecordError; anything else goes on unchanged.
void RecordFailure(WriterState& s, std::string_view proc_name, std::string_view extra);

// Raises the PDF version the document needs to 1.3 + level (never lowers it).
void RequireVersion(WriterState& s, int level);

// Raises error 5 when a caller's name holds a NUL byte: no PDF name can carry one, and a text
// cut there would name something else.
void RefuseNulName(std::string_view name, std::string_view operation);

// The error number of a file a caller named that is no regular file to be read: 53 when nothing
// is there, 76 when a folder on its path is missing, 75 for a folder, pipe or device in its
// place, else the number of what went wrong (FileErrorNumber); 0 for a regular file.
int UnreadableFileNumber(const std::string& name);

// The error number of a write to the document's file that failed, from the system's error: 61
// for a full disk (or quota), 57 for anything else.
int WriteFailureNumber();

// The whole of a regular file a caller named (images, fonts), at most max_bytes (error 7 for a
// larger one). Raises 52 for a name holding NUL, the number UnreadableFileNumber gives, and the
// number of what went wrong while reading (no right to read it, a read the device failed).
std::vector<std::uint8_t> ReadCallerFile(const std::string& name, std::uint64_t max_bytes,
                                         std::string_view operation);
// The same into a string, for readers that keep the file's bytes as an image's samples.
std::string ReadCallerFileAsString(const std::string& name, std::uint64_t max_bytes,
                                   std::string_view operation);

// ---- File output, indirect objects and content buffers ------------------------------------------

// Writes text and one LF to the output file. Raises error 52 when no file is open.
void WriteFileLine(WriterState& s, std::string_view text);

// Begins an indirect object: 0 takes the next free number. Records its cross-reference entry,
// writes "n 0 obj", makes it the current object and returns its number.
int BeginIndirectObject(WriterState& s, int number = 0);
// Writes "endobj".
void EndIndirectObject(WriterState& s);

// The content buffer every drawing writes to, by one rule: an open reusable object takes it,
// else an open tiling pattern's cell, else the open page; null when none is open, and what is
// drawn then goes nowhere.
std::string* ContentBuffer(WriterState& s);

// Appends CR and text to the content buffer of ContentBuffer; drops it when none is open.
void WriteContent(WriterState& s, std::string_view text);

// ---- Numbers ------------------------------------------------------------------------------------

// Rounds half away from zero to the document's precision (in double, returned as float).
float RoundValue(const WriterState& s, float value);
// A value rounded to the document's precision as PDF number text: at most seven significant
// digits, "." as decimal sign whatever the locale, never an exponent, "-0", "nan" or "inf".
// A non-finite value raises error 6.
std::string FormatReal(const WriterState& s, float value);
// The same for value × ScaleFactor (a length in user units written in points).
std::string FormatUnits(const WriterState& s, float value);
// The number text of a float that is already rounded: seven significant digits, plain decimal.
std::string FormatSignificant(float value);
// The box between two corners as a /FitR view wants it: left, bottom, right, top.
std::string FitRectangle(const WriterState& s, float x1, float y1, float x2, float y2);
// The same texts appended to out, for lines built without a temporary string per number.
void AppendReal(std::string& out, const WriterState& s, float value);
void AppendUnits(std::string& out, const WriterState& s, float value);
void AppendSignificant(std::string& out, float value);

// ---- Text
// ----------------------------------------------------------------------------------------

// PDF literal escapes: "\" "(" ")" CR LF; other bytes stay as they are.
std::string EscapeString(std::string_view text);
// The same escaped text appended to out.
void AppendEscaped(std::string& out, std::string_view text);
// "(" + escaped text + ")"; in a protected document the text is enciphered first under the key
// of the current object (the empty text never).
std::string FormatLiteral(WriterState& s, std::string_view text);
// "/" + text as a PDF name: bytes outside the regular characters are written as #xx, so any
// caller text (aliases, reference names) gives a valid name; regular names stay unchanged.
std::string FormatName(std::string_view text);

// Replaces up to count non-overlapping occurrences of find, searching from the index start; the
// text before start is kept. An empty find changes nothing.
std::string ReplaceText(std::string_view text, std::string_view find, std::string_view replacement,
                        std::size_t start = 0, int count = 2147483647);
// Splits at every occurrence of delimiter; empty pieces are kept. An empty text or delimiter
// gives one piece, the text.
std::vector<std::string> SplitText(std::string_view text, std::string_view delimiter);

// A 2- or 4-byte big-endian integer at a 0-based position, signed or unsigned (other sizes give
// 0). A position outside the bytes raises error 9.
std::int64_t ReadBigEndian(std::string_view bytes, std::size_t position, int size,
                           bool is_unsigned);
// Pairs of hexadecimal digits to bytes. A character that is no hexadecimal digit raises error
// 5; an odd last digit is ignored.
std::string HexToBytes(std::string_view hex);

// ---- Streams
// -------------------------------------------------------------------------------------

// Finishes a stream object whose "<<" and own entries the caller has written: applies the
// encoders of the kind's filter settings (run-length, deflate and LZW only when filter_text is
// empty), enciphers, writes /Filter, /Length1 (when above 0), /Length, the data and
// "endstream". On return data holds the bytes written. object_number 0 means the current
// object. filter_text "none" applies no encoder at all and names no filter.
void WriteStream(WriterState& s, std::string& data, int object_number, std::string_view filter_text,
                 int length1, StreamKind kind);
// Writes text as a stream object of its own (content kind) and returns its number.
int WriteTextStream(WriterState& s, std::string_view text);

// ---- Document
// ------------------------------------------------------------------------------------

// The number of pages begun, the open one included.
inline int PageCount(const WriterState& s) {
    return static_cast<int>(s.pages.size());
}
// The page at a position as the public operations number them (1 = first), which must exist.
inline PageRecord& PageAt(WriterState& s, int position) {
    return s.pages[s.page_order[static_cast<std::size_t>(position - 1)]];
}
inline const PageRecord& PageAt(const WriterState& s, int position) {
    return s.pages[s.page_order[static_cast<std::size_t>(position - 1)]];
}

// The room a full record vector of n records grows to: by n × memory_factor / 5 + 10 records, and
// at least twice n, so that adding costs amortised constant time and few copies.
inline std::size_t GrownCapacity(std::size_t n, int memory_factor) {
    const std::size_t step = (n * static_cast<std::size_t>(memory_factor) + 2) / 5 + 10;
    return n + (step > n ? step : n);
}

// The name of the record at a position, as the file numbers records from 1: "/", the document's
// resource prefix, the kind ("IMG_", "LAY_", "LINK_") and the number.
inline std::string NumberedName(const WriterState& s, std::string_view kind, std::size_t index) {
    std::string name = "/" + s.resource_prefix;
    name += kind;
    name += std::to_string(index + 1);
    return name;
}

// Appends a default record and returns it (the reference holds until the next append). The first
// record reserves room for 10 × memory_factor records; a full vector grows to GrownCapacity.
template <typename T> T& AppendRecord(std::vector<T>& records, int memory_factor) {
    const std::size_t n = records.size();
    if (records.capacity() == 0) {
        records.reserve(static_cast<std::size_t>(10 * memory_factor));
    } else if (n == records.capacity()) {
        records.reserve(GrownCapacity(n, memory_factor));
    }
    return records.emplace_back();
}

} // namespace pagora::detail
