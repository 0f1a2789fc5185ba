// Token-level reading of object texts: white space, delimiters, values passed over whole
// (strings, arrays and dictionaries with their nesting), keys of a dictionary, whole numbers,
// references and lists of them. Positions are 0-based indexes into the text; nothing here
// raises except where said.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pagora::detail {

bool IsPdfWhite(int c);
bool IsPdfDelimiter(int c);
// A byte that belongs to a name, a number or a keyword.
inline bool IsPdfRegular(int c) {
    return c >= 0 && !IsPdfWhite(c) && !IsPdfDelimiter(c);
}

std::size_t SkipPdfWhite(std::string_view text, std::size_t pos);

// The index just past the literal string whose "(" is at open (escapes passed over, unescaped
// parentheses nested); text.size() when it does not end.
std::size_t LiteralStringEnd(std::string_view text, std::size_t open);

// The index just past the value that begins at pos or after white space there: a string, a
// name, a number, a reference ("n g R" as one value), an array or a dictionary with everything
// nested in it, or a keyword such as true or null. pos when nothing but a closing bracket or the
// end is there; text.size() for an array, dictionary or string without its end.
std::size_t SkipPdfValue(std::string_view text, std::size_t pos);

// The index just past "/key" where key is a key of the first dictionary in the text (its first
// level only, the key's name complete: "Length" does not find "/Length1").
std::optional<std::size_t> FindDictKey(std::string_view text, std::string_view key);

// The value that follows a key of the first dictionary, as its written text (empty when the key
// is absent).
std::string_view DictValue(std::string_view text, std::string_view key);

// The whole number at pos (after white space), exactly, with its sign; end receives the index
// past it. None for anything else, also for a number with a fraction or more than 18 digits.
std::optional<std::int64_t> IntegerAt(std::string_view text, std::size_t pos,
                                      std::size_t* end = nullptr);

// The object number of the reference "n g R" at pos; 0 when there is none.
std::int32_t ReferenceAt(std::string_view text, std::size_t pos);

// The object numbers of a reference or of an array's references at pos, in written order;
// elements of an array that are not references are passed over.
std::vector<std::int32_t> ReferencesAt(std::string_view text, std::size_t pos);

// The name at pos with its "/", or empty.
std::string_view NameAt(std::string_view text, std::size_t pos);

// The whole numbers of an array value (such as "[1 2 1]"). Raises error 13 for an element that
// is no whole number and error 321 when the value is no array.
std::vector<std::int64_t> IntegerArray(std::string_view value);

// The value at pos as the scanner's value parser gives it: a literal string unescaped, a
// hexadecimal string decoded, a name, a number or a reference as text.
std::string ParsedValueAt(std::string_view text, std::size_t pos);

// The bytes of a literal string as written, "(" and ")" included: escapes decoded, a line end
// written in the string (CR, LF or CR LF) one LF.
std::string DecodeLiteralString(std::string_view written);

// The bytes of a hexadecimal string as written, "<" and ">" included: white space and other
// characters passed over, an odd last digit followed by 0.
std::string DecodeHexString(std::string_view written);

// An object's text as the reader returns it: the trailing line end dropped, NUL bytes removed,
// CR and LF made blanks and, in one pass, every pair of blanks made one.
std::string NormaliseObjectText(std::string_view raw);

} // namespace pagora::detail
