#include "pdf/import/scanner.h"

#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace pagora::detail;

ScanState At(std::string text, std::int32_t pos = 0) {
    ScanState scan;
    ScanSetSource(scan, std::move(text));
    ScanSetPos(scan, pos);
    return scan;
}

// The character at the cursor, "" at the end.
std::string Cursor(const ScanState& scan) {
    std::int32_t start = kScanCursor;
    return ScanMid(scan, 1, start);
}

template <typename F> int ErrorOf(F&& f) {
    try {
        f();
    } catch (const pagora::PdfError& error) {
        return error.Number();
    }
    return 0;
}

TEST(ScannerPrimitives, StayInsideTheText) {
    ScanState scan = At("<< /A 1 >>");
    EXPECT_EQ(ScanLength(scan), 10);
    EXPECT_EQ(ScanFind(scan, "/A"), 3);
    EXPECT_EQ(ScanFind(scan, "<<"), 0);
    EXPECT_EQ(ScanFind(scan, "/A", 4), kScanNotFound);
    EXPECT_EQ(ScanFind(scan, ">>", 10), kScanNotFound);
    EXPECT_EQ(ScanFind(scan, ">>", 98), kScanNotFound);
    std::int32_t start = kScanCursor;
    ScanAdvance(scan, 3);
    EXPECT_EQ(ScanMid(scan, 2, start), "/A");
    EXPECT_EQ(start, 3);
    start = 8;
    EXPECT_EQ(ScanMid(scan, 5, start), ">>");
    start = 10;
    EXPECT_EQ(ScanMid(scan, 1, start), "");
    start = -3;
    EXPECT_EQ(ScanMid(scan, 1, start), "");
}

TEST(ScannerNumbers, TokensReferencesAndTheirCursor) {
    ScanState scan = At("  12 0 R");
    EXPECT_EQ(ReadNumberToken(scan), 12);
    EXPECT_EQ(Cursor(scan), "0");
    scan = At("/Type");
    EXPECT_EQ(ReadNumberToken(scan), 0);
    EXPECT_EQ(Cursor(scan), "/");
    scan = At("+5");
    EXPECT_EQ(ReadNumberToken(scan), 0); // a plus sign ends a token
    EXPECT_FLOAT_EQ(static_cast<float>(ReadNumberToken(scan = At("-.5 "))), -0.5f);

    scan = At("5 0 R]");
    EXPECT_EQ(ReadReference(scan), 5);
    EXPECT_EQ(Cursor(scan), "]");
    scan = At("612 792]");
    EXPECT_EQ(ReadReference(scan), 0);
    EXPECT_EQ(Cursor(scan), "]");
    scan = At("null]");
    EXPECT_EQ(ReadReference(scan), 0);
    EXPECT_EQ(scan.pos, 0);

    // Whole numbers are exact beyond single precision; fractions round half to even.
    EXPECT_EQ(ToWholeNumber(ReadNumberToken(scan = At("16777217"))), 16777217);
    EXPECT_EQ(ToWholeNumber(ReadNumberToken(scan = At("2147483647"))), 2147483647);
    EXPECT_EQ(ToWholeNumber(ReadNumberToken(scan = At("0.5"))), 0);
    EXPECT_EQ(ToWholeNumber(ReadNumberToken(scan = At("1.5"))), 2);
    EXPECT_EQ(ToWholeNumber(ReadNumberToken(scan = At("-2.5"))), -2);
    EXPECT_EQ(ErrorOf([] { ToWholeNumber(2147483648.0); }), 6);

    for (const char* bad : {"-", ".", "1-2", "--5", "1.2.3", "-."}) {
        scan = At(bad);
        EXPECT_EQ(ErrorOf([&] { ReadNumberToken(scan); }), 13) << bad;
    }
}

TEST(ScannerLists, ReferencesOfListsAndArrays) {
    struct Case {
        const char* text;
        std::vector<std::int32_t> numbers;
    };
    const Case cases[] = {
        {"[3 0 R 8 0 R]", {3, 8}},
        {"7 0 R", {7}},
        {"[]", {}},
        {"  [ 4 0 R\r\n9 0 R ]", {4, 9}},
        {"[3 0 R null 5 0 R]", {3, 5}}, // what is no reference is passed over
        {"[6 0 R 2 0 R", {}},           // no closing bracket: no array
        {"[1 2 3 0 R]", {3}},
        {"/Name", {}},
    };
    for (const Case& c : cases) {
        ScanState scan = At(c.text);
        std::vector<std::int32_t> numbers;
        ReadReferenceList(scan, numbers);
        EXPECT_EQ(numbers, c.numbers) << c.text;
    }
    std::vector<std::int32_t> given = {42};
    ScanState scan = At("[]");
    ReadReferenceList(scan, given);
    EXPECT_EQ(given, std::vector<std::int32_t>{42}) << "an empty list leaves the array alone";
    given = {42, 43, 44};
    scan = At("[5 0 R]");
    ReadReferenceList(scan, given);
    EXPECT_EQ(given, std::vector<std::int32_t>{5}) << "a list found replaces what it held";

    // The scanner in use is not disturbed by the parse of an array given as text.
    scan = At("<< /Contents [4 0 R 9 0 R] >>", 4);
    std::vector<std::int32_t> numbers;
    ParseReferenceArray("[4 0 R 9 0 R]", numbers);
    EXPECT_EQ(numbers, (std::vector<std::int32_t>{4, 9}));
    EXPECT_EQ(scan.source, "<< /Contents [4 0 R 9 0 R] >>");
    EXPECT_EQ(scan.pos, 4);
    numbers.clear();
    ParseReferenceArray("4 0 R", numbers);
    EXPECT_TRUE(numbers.empty()) << "a text that is no array gives nothing";
}

struct ValueCase {
    const char* text;
    const char* value;
    const char* cursor; // the character at the cursor afterwards, "" at the end
};

class ScannerValues : public ::testing::TestWithParam<ValueCase> {};

TEST_P(ScannerValues, ValueAndCursor) {
    const ValueCase& c = GetParam();
    ScanState scan = At(c.text);
    EXPECT_EQ(ParseValue(scan), c.value) << c.text;
    EXPECT_EQ(Cursor(scan), c.cursor) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, ScannerValues,
    ::testing::Values(
        ValueCase{"/Type /Page", "/Type", " "}, ValueCase{"/Type/Page", "/Type", "/"},
        ValueCase{"/Text]", "/Text]", ""}, ValueCase{"/Tail", "/Tail", ""},
        ValueCase{"[0 0 612 792] /X", "[0 0 612 792]", " "},
        ValueCase{"[[1 2]\r\n  [3]]x", "[[1 2] [3]]", "x"},
        ValueCase{"<< /A << /B 1 >> >> /C", "<< /A << /B 1 >> >>", " "},
        ValueCase{"<</A(>>)/B<3E3E>>>!", "<</A(>>)/B<3E3E>>>", "!"},
        ValueCase{"[(a]b) 1]?", "[(a]b) 1]", "?"}, ValueCase{"(A\\(b\\)\\\\c)", "A(b)\\c", ""},
        ValueCase{"(Tab\\there)", "Tabhere", ""},
        ValueCase{"(Report (draft)) x", "Report (draft)", " "},
        ValueCase{"(a\\\\\\\\)", "a\\\\", ""}, ValueCase{"<48656C6C6F>", "Hello", ""},
        ValueCase{"<FEFF00480069>", "Hi", ""}, ValueCase{"<48 65\r\n6C6C 6F7>", "Hello", ""},
        ValueCase{"12 0 R", "12 0 R", ""}, ValueCase{"612 /X", "612", "X"},
        ValueCase{"4 5 6", "", ""}, ValueCase{"612.5]", "612", ""}, ValueCase{"0.5 ", "0", ""},
        ValueCase{"-90 ", "-90", ""}, ValueCase{"true", "", "t"}, ValueCase{"null", "", "n"},
        ValueCase{"-x", "", "-"}, ValueCase{">>", "", ">"}, ValueCase{"", "", ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(ScannerValues, UnterminatedOrDamagedValuesRaiseAtOnce) {
    const std::pair<const char*, int> cases[] = {
        {"<< /A (x", 321}, {"[1 2", 321}, {"<< /A 1", 321}, {"(a\\)", 321},
        {"(abc", 321},     {"<414", 321}, {"<4G>", 13},     {"[(x] 1", 321},
    };
    for (const auto& [text, error] : cases) {
        ScanState scan = At(text);
        EXPECT_EQ(ErrorOf([&] { ParseValue(scan); }), error) << text;
    }
}

TEST(ScannerKeys, FirstLevelSearchWithItsDocumentedLooseness) {
    struct Case {
        const char* text;
        const char* key;
        bool found;
        double token; // the number token after the key
    };
    const Case cases[] = {
        {"<< /Root 1 0 R /Size 9 >>", "Size", true, 9},
        {"<< /Length1 500 /Length 20 >>", "Length", true, 1}, // a prefix match: "/Length1"
        {"<< /Length1 500 /Length 20 >>", "Length ", true, 20},
        {"<< /Parent << /Size 3 >> /Size 7 >>", "Size", true, 7},
        {"<< /A 1 >> /Size 4", "Size", true, 4}, // the dictionary's end is not looked for
        {"<< /A 1 >>", "Size", false, 0},
        {"/Size 4", "Size", false, 0}, // no dictionary at all
        {"<< /A << /Size 2", "Size", false, 0},
    };
    for (const Case& c : cases) {
        ScanState scan = At(c.text, 1);
        std::int32_t start = 0;
        ASSERT_EQ(FindKey(scan, c.key, start), c.found) << c.text;
        if (!c.found) {
            EXPECT_EQ(scan.pos, 1) << "the cursor stays where it was";
            continue;
        }
        EXPECT_EQ(ReadNumberToken(scan), c.token) << c.text;
    }
    // The second /Type is the first level's.
    ScanState scan = At("<< /Parent << /Type /Pages >> /Type /Page >>");
    std::int32_t start = 0;
    ASSERT_TRUE(FindKey(scan, "Type", start));
    EXPECT_EQ(ParseValue(scan), "/Page");
    // kScanCursor searches from the cursor and hands its position back.
    scan = At("<< /A 1 >> << /A 2 >>", 10);
    start = kScanCursor;
    ASSERT_TRUE(FindKey(scan, "A", start));
    EXPECT_EQ(start, 10);
    EXPECT_EQ(ParseValue(scan), "2");
}

TEST(ScannerLiterals, Unescaping) {
    const std::pair<std::string, std::string> cases[] = {
        {"\\\\\\\\", "\\\\"},
        {"end\\", "end\\"},
        {"\\101", "A"},
        {"\\376\\377", ""},
        {"\\0", ""},
        {"\\1010", "A0"},  // three digits at most
        {"\\18", "\x10"},  // 8 and 9 count with their face value
        {"a\\\nb", "ab"},  // an escaped line end is dropped
        {"\\n\\t\\r", ""}, // so are the other escapes
        {std::string("x\0y\xfe\xffz", 6), "xyz"},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(UnescapeLiteral(text), expected) << text;
}

} // namespace
