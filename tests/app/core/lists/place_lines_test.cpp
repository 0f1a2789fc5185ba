#include "app/core/lists/place_lines.h"

#include "app/core/lists/text_columns.h"
#include "app/core/store/records.h"
#include "app/core/store/scrambled_ini.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace kerbolt;
using namespace kerbolt::lists;

TEST(PlaceLines, ColumnsOfAStoredSpot) {
    const std::vector<std::string> lines =
        LoadPlaceLines({{"A12", "Rue du Lac 1, 1000 Lausanne", "0"}});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "A12          Rue du Lac 1, 1000 Lausanne                                  "
                        "Proprietaire     0");
    EXPECT_EQ(CharCount(lines[0]), 92u);
    const PlaceCut cut = CutPlaceLine(lines[0]);
    EXPECT_EQ(cut.number, "A12");
    EXPECT_EQ(cut.address, "Rue du Lac 1, 1000 Lausanne");
    EXPECT_EQ(cut.status, "0");
}

TEST(PlaceLines, AccentedWordsAndLongFieldsKeepTheColumns) {
    // Columns count characters, so "Gérance" (two bytes for "é") takes seven places.
    const std::string line = PlaceLine("123456789012345", std::string(70, 'x'), "Gérance", 2);
    EXPECT_EQ(CharCount(line), 92u);
    EXPECT_EQ(CharSlice(line, 74, 15), "Gérance        ");
    const PlaceCut cut = CutPlaceLine(line);
    EXPECT_EQ(cut.number, "123456789012");
    EXPECT_EQ(cut.address, std::string(60, 'x'));
    EXPECT_EQ(cut.status, "2");

    const std::string none = PlaceLine("  7 ", "", "", -1);
    EXPECT_EQ(CharCount(none), 93u);
    EXPECT_EQ(CutPlaceLine(none).number, "7");
    EXPECT_EQ(CutPlaceLine(none).status, "-1");
}

TEST(PlaceLines, AGapInTheNumbersGivesABlankLineWithThePreviousStatus) {
    testing_support::TempDir dir;
    const std::string data = dir.File("KEY");
    ASSERT_TRUE(store::WriteIni("PLACE0", "IdPlace", "A1", data));
    ASSERT_TRUE(store::WriteIni("PLACE0", "Proprietaire", "1", data));
    ASSERT_TRUE(store::WriteIni("PLACE2", "IdPlace", "C3", data));
    ASSERT_TRUE(store::WriteIni("PLACE2", "Proprietaire", " 2 ", data));
    const std::vector<std::string> lines = LoadPlaceLines(store::ReadPlaces(data));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(CutPlaceLine(lines[1]).number, "");
    EXPECT_EQ(CutPlaceLine(lines[1]).status, "1");
    EXPECT_EQ(CharSlice(lines[1], 74, 15), FitColumn("Locataire", 15));
    EXPECT_EQ(CutPlaceLine(lines[2]).status, "2");
    EXPECT_EQ(CharSlice(lines[2], 74, 7), "Gérance");

    // Before any numbered status the line takes owner's index with a blank word.
    const std::vector<std::string> first = LoadPlaceLines({{"Z", "", ""}});
    EXPECT_EQ(first[0],
              FitColumn("Z", 12) + " " + std::string(60, ' ') + " " + std::string(15, ' ') + "  0");
}

TEST(PlaceLines, RecordsFromLinesFollowTheListOrder) {
    const std::vector<store::PlaceRecord> places = PlacesFromLines(
        {PlaceLine(" B2 ", "Quai 3", "Owner", 0), PlaceLine("A1", "Rue 1", "", -1)});
    ASSERT_EQ(places.size(), 2u);
    EXPECT_EQ(places[0].IdPlace, "B2");
    EXPECT_EQ(places[0].adresse, "Quai 3");
    EXPECT_EQ(places[0].Proprietaire, "0");
    EXPECT_EQ(places[1].Proprietaire, "-1");
}

} // namespace
