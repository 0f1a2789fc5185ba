// The symbol code that keeps the INI files free of readable text.
//
// Every character becomes the decimal digits of (its code + 7 × position), written with digit
// symbols and closed by a separator that depends on the position. The tables below are part of
// the file format: files written with other tables read back as wrong or empty text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kerbolt::store {

// Symbols of the decimal digits 0 to 9.
inline constexpr std::string_view kDigitSymbols = "$%&()*+,./";
// Separators that close the groups of positions 1 to 16.
inline constexpr std::string_view kPositionSeparators = "!#:<>?@^_`{|}~K-";
// Separator of every position above 16.
inline constexpr char kSharedSeparator = 'X';
// Accepted on reading in place of the separators of positions 9 and 15.
inline constexpr char kAlternateSeparator9 = 'Q';
inline constexpr char kAlternateSeparator15 = 'W';

// The separator that closes the group of a position (counted from 1).
char Separator(std::int64_t position);
// The alternate separator of a position, or '\0' where there is none.
char AltSeparator(std::int64_t position);

// The group of one byte (a Windows-1252 code) at a position.
std::string ScrambleChar(unsigned char code, std::int64_t position);
// The byte a group stands for at a position; empty when the group spells no code from 0 to 255.
std::string UnscrambleChar(std::string_view group, std::int64_t position);

// Text in Windows-1252 bytes to its scrambled form (pure ASCII) and back. Damaged text decodes
// as far as it can: unknown symbols are skipped, a group that spells no code yields nothing, and
// decoding stops at the first position whose separator is missing.
std::string Scramble(std::string_view ansi);
std::string Unscramble(std::string_view scrambled);

} // namespace kerbolt::store
