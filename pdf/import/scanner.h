// The reader's text layer: a cursor over one object's text, one trailer or one value, white
// space, number tokens, indirect references and lists of them, single values of any kind, the
// key search and the unescaping of literal strings. Byte strings throughout; positions are
// 0-based indexes into the text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

// The reader's text cursor: the bytes being parsed and the index of the next one. An index
// beyond the last byte means the end has been reached.
struct ScanState {
    std::string source;
    std::int32_t pos = 0;
};

// As a start position: the cursor, whose position the call hands back where it says so.
inline constexpr std::int32_t kScanCursor = -1;
// What a search gives when the text does not occur.
inline constexpr std::int32_t kScanNotFound = -1;

// ---- Primitives (none fails on a position outside the text)
// --------------------------------------

void ScanSetSource(ScanState& scan, std::string text);
std::int32_t ScanGetPos(const ScanState& scan);
void ScanSetPos(ScanState& scan, std::int32_t position);
void ScanAdvance(ScanState& scan, std::int32_t count);
std::int32_t ScanLength(const ScanState& scan);
// The position of the first occurrence of text at or after start; kScanNotFound for none.
std::int32_t ScanFind(const ScanState& scan, std::string_view text,
                      std::int32_t start = kScanCursor);
// Up to count characters from start; kScanCursor means the cursor and receives its position.
std::string ScanMid(const ScanState& scan, std::int32_t count, std::int32_t& start);

// ---- Readers at the cursor ---------------------------------------------------------------------

// Moves past CR, blank, LF and TAB.
void SkipWhitespace(ScanState& scan);

// The number token at the cursor ("-", digits and at most one "."), 0 when there is none; the
// cursor ends past the token and the white space after it. A token that is no number ("-",
// "1-2", "1.2.3") raises error 13. Whole-number tokens are read exactly; others as 32-bit floats.
double ReadNumberToken(ScanState& scan);

// A token's value as a 32-bit whole number, halves to the even neighbour. Raises error 6 outside
// the 32-bit range.
std::int32_t ToWholeNumber(double value);

// The object number of the indirect reference ("n g R") at the cursor, past its "R"; 0 when there
// is none, the cursor then past the number tokens read.
std::int32_t ReadReference(ScanState& scan);

// The object numbers of a reference or an array of references at the cursor, in written order,
// into numbers. The vector is left as given when none is found. Elements of an array that are
// not references are passed over.
void ReadReferenceList(ScanState& scan, std::vector<std::int32_t>& numbers);

// The value at the cursor as text, the cursor past it: a name ("/" up to a delimiter); an array or
// a dictionary with CR and LF as blanks and runs of blanks shortened to one; a literal string
// unescaped; a hexadecimal string as its printable bytes; a number as a whole number; a
// reference as "n g R". Anything else (true, false, null, a closing bracket, the end) gives the
// empty text and leaves the cursor alone. Raises error 321 for an array, dictionary or string
// without its end, and error 13 for a hexadecimal string with other characters than digits.
std::string ParseValue(ScanState& scan);

// Looks for "/" + key at the first nesting level of the dictionary that begins at or after start
// (kScanCursor: the cursor, whose position start then receives). Found: the cursor right after the
// key. The match is a plain prefix match ("Length" finds "/Length1"); callers add a blank where
// that matters.
bool FindKey(ScanState& scan, std::string_view key, std::int32_t& start);

// ---- Texts given as arguments ------------------------------------------------------------------

// The characters of a literal string (without its parentheses), escapes decoded: \( \) \\ and
// octal escapes of up to three digits; other escaped characters are dropped, and so are the bytes
// 0, 254 and 255 (the marks and high bytes of UTF-16 text).
std::string UnescapeLiteral(std::string_view text);

// The references of an array value given as text (such as "[4 0 R 9 0 R]") into numbers, as
// ReadReferenceList does. It reads with a cursor of its own, so the document's scanner is left
// as it was, whatever happens.
void ParseReferenceArray(std::string_view text, std::vector<std::int32_t>& numbers);

} // namespace pagora::detail
