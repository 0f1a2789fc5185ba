// The lines of the spots list: fixed-width columns that are read back by position, so that the
// list itself holds the spots while the user edits them.
#pragma once

#include "app/core/store/records.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kerbolt::lists {

inline constexpr std::size_t kNumberWidth = 12;
inline constexpr std::size_t kAddressWidth = 60;
inline constexpr std::size_t kWordWidth = 15;

// The French status word of an index 0 to 2, whatever the language; empty for any other.
std::string Statut(int index);

// number (12) " " address (60) " " word (15) "  " index.
std::string PlaceLine(const std::string& number, const std::string& address,
                      const std::string& word, int index);

// What a line reads back as: characters 1-12, 14-73 and the last four, each without its blanks.
struct PlaceCut {
    std::string number;
    std::string address;
    std::string status; // the status index as text ("-1" when none was chosen)
};
PlaceCut CutPlaceLine(const std::string& line);

// The lines of the stored spots. A status that is no number keeps the index and word of the line
// before (0 and a blank word before the first line).
std::vector<std::string> LoadPlaceLines(const std::vector<store::PlaceRecord>& places);

// The records the lines stand for, in list order.
std::vector<store::PlaceRecord> PlacesFromLines(const std::vector<std::string>& lines);

// The status index of a stored or cut status text when it is a whole number, after blanks.
bool ParseStatus(const std::string& text, int& index);

} // namespace kerbolt::lists
