#include "pdf/content/number_parsing.h"

#include "pdf/writer/Pagora.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using pagora::detail::ReadNumber;
using pagora::detail::ReadWholeNumber;

TEST(NumberText, ReadsTheLeadingNumberAndStopsAtTheFirstOtherCharacter) {
    const struct {
        const char* text;
        double value;
    } cases[] = {{"", 0},       {"abc", 0}, {"  12", 12},   {"-3.5mm", -3.5}, {"+7", 7},
                 {".25", 0.25}, {"5.", 5},  {"1.5.6", 1.5}, {"2e3", 2000},    {"2E-2x", 0.02},
                 {"2e", 2},     {"2e+", 2}, {"3 4", 3},     {"-", 0},         {"- 5", 0},
                 {"1,5", 1},    {"\t5", 0}, {"1e-400", 0},  {"007", 7}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ReadNumber(c.text), c.value) << c.text;
}

TEST(NumberText, TooLargeANumberIsAnOverflow) {
    try {
        ReadNumber("1e999");
        FAIL() << "no error raised";
    } catch (const pagora::PdfError& e) {
        EXPECT_EQ(e.Number(), 6);
    }
}

TEST(NumberText, WholeNumberNeedsTheWholeText) {
    EXPECT_EQ(ReadWholeNumber(" 255 "), std::optional<double>(255));
    EXPECT_EQ(ReadWholeNumber("-1"), std::optional<double>(-1));
    EXPECT_EQ(ReadWholeNumber("1e3"), std::optional<double>(1000));
    EXPECT_EQ(ReadWholeNumber(""), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("12px"), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("."), std::nullopt);
    EXPECT_EQ(ReadWholeNumber("#FF"), std::nullopt);
}

} // namespace
