#include "app/core/lists/place_lines.h"

#include "app/core/lists/text_columns.h"
#include "app/core/store/stored_text.h"

#include <charconv>
#include <limits>

namespace kerbolt::lists {

std::string Statut(int index) {
    switch (index) {
    case 0:
        return "Proprietaire";
    case 1:
        return "Locataire";
    case 2:
        return "Gérance";
    default:
        return {};
    }
}

std::string PlaceLine(const std::string& number, const std::string& address,
                      const std::string& word, int index) {
    return FitColumn(number, kNumberWidth) + " " + FitColumn(address, kAddressWidth) + " " +
           FitColumn(word, kWordWidth) + "  " + std::to_string(index);
}

PlaceCut CutPlaceLine(const std::string& line) {
    const std::size_t length = CharCount(line);
    const std::size_t tail = length >= 4 ? length - 4 : 0;
    return {store::TrimBlanks(CharSlice(line, 0, kNumberWidth)),
            store::TrimBlanks(CharSlice(line, kNumberWidth + 1, kAddressWidth)),
            store::TrimBlanks(CharSlice(line, tail, 4))};
}

bool ParseStatus(const std::string& text, int& index) {
    const std::string trimmed = store::TrimBlanks(text);
    if (trimmed.empty()) return false;
    long value = 0;
    const char* first = trimmed.data();
    const char* last = first + trimmed.size();
    if (*first == '+') ++first;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc() || end != last) return false;
    if (value < std::numeric_limits<short>::min() || value > std::numeric_limits<short>::max())
        return false;
    index = static_cast<int>(value);
    return true;
}

std::vector<std::string> LoadPlaceLines(const std::vector<store::PlaceRecord>& places) {
    std::vector<std::string> lines;
    int index = 0;
    std::string word;
    for (const store::PlaceRecord& place : places) {
        int parsed = 0;
        if (ParseStatus(place.Proprietaire, parsed)) {
            index = parsed;
            word = Statut(index);
        }
        lines.push_back(PlaceLine(place.IdPlace, place.adresse, word, index));
    }
    return lines;
}

std::vector<store::PlaceRecord> PlacesFromLines(const std::vector<std::string>& lines) {
    std::vector<store::PlaceRecord> places;
    places.reserve(lines.size());
    for (const std::string& line : lines) {
        PlaceCut cut = CutPlaceLine(line);
        places.push_back({std::move(cut.number), std::move(cut.address), std::move(cut.status)});
    }
    return places;
}

} // namespace kerbolt::lists
