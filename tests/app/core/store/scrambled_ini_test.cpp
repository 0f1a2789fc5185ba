#include "app/core/store/scrambled_ini.h"

#include "app/core/store/scramble.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kerbolt::store {
namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::TempDir;

KERBOLT_TEST_LABEL(oracle, "ModIni.ValuesRoundTripScrambledWithoutReadableText");
TEST(ModIni, ValuesRoundTripScrambledWithoutReadableText) {
    TempDir dir;
    const std::string path = dir.File("Param.ini");
    const std::string text = "Ligne 1 \xC3\xA9t\xC3\xA9\r\n{adresse}\r\n\r\nfin = 50 \xE2\x82\xAC";
    ASSERT_TRUE(WriteIni("Param", "Texte", text, path));
    ASSERT_TRUE(WriteIni("Param", "Montant", "", path));
    EXPECT_EQ(ReadIni("Param", "Texte", path), text);
    EXPECT_EQ(ReadIni("Param", "Montant", path, "dflt"), "");
    EXPECT_EQ(ReadIni("Param", "Titre", path), "");
    EXPECT_EQ(ReadIni("Param", "Titre", path, "dflt"), "dflt");
    EXPECT_EQ(ReadIni("Other", "Texte", path), "");
    EXPECT_EQ(ReadIni("Param", "Texte", dir.File("missing.ini")), "");

    // One header line and one line per key, nothing readable, pure ASCII.
    const std::string bytes = ReadFileBytes(path);
    EXPECT_EQ(bytes, "[" + Scramble("Param") + "]\r\n" + Scramble("Texte") + "=" +
                         Scramble("Ligne 1 \xE9t\xE9\r\n{adresse}\r\n\r\nfin = 50 \x80") + "\r\n" +
                         Scramble("Montant") + "=\r\n");
    EXPECT_EQ(bytes.find("Param"), std::string::npos);
    EXPECT_EQ(RunCommand("iconv -f ASCII -t ASCII '" + path + "' >/dev/null 2>&1; echo $?").out,
              "0\n");
}

KERBOLT_TEST_LABEL(oracle, "ModIni.TextOutsideWindows1252BecomesQuestionMarks");
TEST(ModIni, TextOutsideWindows1252BecomesQuestionMarks) {
    TempDir dir;
    const std::string path = dir.File("d");
    ASSERT_TRUE(WriteIni("INFOS", "Nom", "\xC5\x91 \xE2\x82\xAC \xC3\xA9", path)); // ő € é
    EXPECT_EQ(ReadIni("INFOS", "Nom", path), "? \xE2\x82\xAC \xC3\xA9");
    ASSERT_TRUE(WriteIni("S", "k", "\xC3\xA9\xE2\x82\xAC", dir.File("plain"), true));
    EXPECT_EQ(ReadFileBytes(dir.File("plain")), "[S]\r\nk=\xE9\x80\r\n");
    EXPECT_EQ(RunCommand("iconv -f WINDOWS-1252 -t UTF-8 '" + dir.File("plain") + "'").out,
              "[S]\r\nk=\xC3\xA9\xE2\x82\xAC\r\n");
}

TEST(ModIni, LongValuesAreReadWhole) {
    TempDir dir;
    const std::string path = dir.File("d");
    std::string text;
    while (text.size() < 10000)
        text += "Un texte de ticket assez long. ";
    ASSERT_TRUE(WriteIni("Param", "Texte", text, path));
    EXPECT_EQ(ReadIni("Param", "Texte", path), text);
}

void WriteSections(const std::string& path, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        ASSERT_TRUE(WriteIni(name, "k", "v", path));
}

TEST(ModIni, ListSectionsInFileOrder) {
    TempDir dir;
    const std::string path = dir.File("d");
    WriteSections(path, {"INFOS", "PLACE0", "INDEMNITE0", "PLACE1", "INDEMNITE1"});
    WriteIni("PLACE0", "adresse", "x", path);
    EXPECT_EQ(ListSections(path),
              (std::vector<std::string>{"INFOS", "PLACE0", "INDEMNITE0", "PLACE1", "INDEMNITE1"}));
    EXPECT_TRUE(ListSections(dir.File("missing")).empty());
}

TEST(ModIni, LastSectionIndexTakesTheLastNumberedSectionInFileOrder) {
    struct Case {
        std::vector<std::string> sections;
        std::int32_t expected;
    };
    const Case cases[] = {
        {{"INFOS", "INDEMNITE0", "INDEMNITE1", "INDEMNITE2"}, 2},
        {{"INDEMNITE0", "INDEMNITE2", "INDEMNITE1"}, 1},
        {{"INDEMNITE0", "INDEMNITE"}, 0},
        {{"INDEMNITE0", "INDEMNITEx", "INDEMNITE1x"}, 0},
        {{"INDEMNITE0", "indemnite3", "Indemnite4"}, 0},
        {{"INDEMNITE0", "INDEMNITE-1", "INDEMNITE 5", "INDEMNITE99999999999"}, 0},
        {{"INFOS", "PLACE0", "PLACE1"}, -1},
        {{"INDEMNITE7", "PLACE9"}, 7},
        // The largest 32-bit number would leave no next number.
        {{"INDEMNITE3", "INDEMNITE2147483647"}, 3},
        {{"INDEMNITE3", "INDEMNITE2147483646"}, 2147483646},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const std::string path = dir.File("d");
        WriteSections(path, c.sections);
        EXPECT_EQ(LastSectionIndex("INDEMNITE", path), c.expected) << c.sections.back();
    }
    TempDir dir;
    EXPECT_EQ(LastSectionIndex("INDEMNITE", dir.File("missing")), -1);
}

TEST(ModIni, LastSectionIndexSeesHundredsOfSections) {
    TempDir dir;
    const std::string path = dir.File("d");
    // Written in one go: a ticket at a time would spend the test's time on disk syncs.
    std::vector<std::string> names = {"INFOS", "PLACE0", "PLACE1"};
    for (int i = 0; i < 300; ++i)
        names.push_back("INDEMNITE" + std::to_string(i));
    std::string bytes;
    for (const std::string& name : names) {
        bytes += "[" + Scramble(name) + "]\r\n" + Scramble("k") + "=" + Scramble("v") + "\r\n";
    }
    testing_support::WriteFileBytes(path, bytes);
    EXPECT_EQ(ListSections(path), names);
    EXPECT_EQ(LastSectionIndex("INDEMNITE", path), 299);
    EXPECT_EQ(LastSectionIndex("PLACE", path), 1);
    // The next ticket gets a number of its own.
    ASSERT_TRUE(WriteIni("INDEMNITE300", "k", "new", path));
    EXPECT_EQ(LastSectionIndex("INDEMNITE", path), 300);
    EXPECT_EQ(ReadIni("INDEMNITE299", "k", path), "v");
}

} // namespace
} // namespace kerbolt::store
