#include "pdf/writer/writer.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <string>
#include <vector>

namespace {

using pagora::detail::FormatReal;
using pagora::detail::FormatUnits;
using pagora::detail::WriterState;

constexpr float kMillimetre = std::bit_cast<float>(std::uint32_t{0x40356AD5u});
constexpr float kCentimetre = std::bit_cast<float>(std::uint32_t{0x41E2C58Bu});

struct NumberCase {
    float value;
    int precision;
    float scale; // 0: FormatReal, else FormatUnits with this factor
    const char* text;
};

const NumberCase kNumberCases[] = {
    {12.3456f, 3, 0, "12.346"},
    {1234.5678f, 3, 0, "1234.568"},
    {12345.678f, 3, 0, "12345.68"},
    {841.89f, 3, 0, "841.89"},
    {596.0f, 3, 0, "596"},
    {0.0005f, 3, 0, "0.001"},
    {-0.0005f, 3, 0, "-0.001"},
    {0.00049f, 3, 0, "0"},
    {-0.00049f, 3, 0, "0"}, // never "-0"
    {100.25f, 1, 0, "100.3"},
    {2.5f, 0, 0, "3"},
    {-0.125f, 2, 0, "-0.13"},
    {2.675f, 2, 0, "2.67"},
    {1.0f / 3.0f, 6, 0, "0.333333"},
    {0.0f, 3, 0, "0"},
    {210.0f, 3, kMillimetre, "595.276"},
    {297.0f, 3, kMillimetre, "841.89"},
    {10.0f, 3, kMillimetre, "28.346"},
    {8.27f, 3, 72.0f, "595.44"},
    {2.54f, 3, kCentimetre, "72"},
    // Outside the plain range: still plain decimals with seven significant digits.
    {0.00005f, 6, 0, "0.00005"},
    {-0.0000123f, 6, 0, "-0.000012"},
    {12345678.0f, 3, 0, "12345680"},
    {3.0e20f, 0, 0, "300000000000000000000.0"},
    {3.0e9f, 0, 0, "3000000000.0"},
    {1.0e9f, 0, 0, "1000000000"},
};

std::string Format(const NumberCase& c) {
    WriterState s;
    s.precision = c.precision;
    if (c.scale == 0) return FormatReal(s, c.value);
    s.scale_factor = c.scale;
    return FormatUnits(s, c.value);
}

class NumberText : public ::testing::TestWithParam<NumberCase> {};

// The form that appends to a line being built writes the same text after what it holds.
std::string Append(const NumberCase& c) {
    WriterState s;
    s.precision = c.precision;
    std::string line = "1 0 0 -1 ";
    if (c.scale == 0) {
        AppendReal(line, s, c.value);
    } else {
        s.scale_factor = c.scale;
        AppendUnits(line, s, c.value);
    }
    return line;
}

TEST_P(NumberText, WritesTheRoundedValue) {
    EXPECT_EQ(Format(GetParam()), GetParam().text);
    EXPECT_EQ(Append(GetParam()), "1 0 0 -1 " + std::string(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Table, NumberText, ::testing::ValuesIn(kNumberCases));

// A decimal comma in the process locale must not reach the file.
struct CommaNumpunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(NumberTextLocale, CommaDecimalLocaleStillWritesPoints) {
    const std::locale previous =
        std::locale::global(std::locale(std::locale::classic(), new CommaNumpunct));
    const char* c_locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    if (c_locale == nullptr) c_locale = std::setlocale(LC_NUMERIC, "fr_FR.UTF-8");
    for (const NumberCase& c : kNumberCases)
        EXPECT_EQ(Format(c), c.text);
    std::setlocale(LC_NUMERIC, "C");
    std::locale::global(previous);
}

// Numbers written again come from the texts kept of earlier ones: each value still gets its own
// text, in any order, when thousands of values take turns in the same slots.
TEST(NumberText, ValuesWrittenAgainKeepTheirOwnText) {
    std::vector<float> values;
    std::uint32_t state = 2463534242u;
    for (int i = 0; i < 20000; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const float magnitude = static_cast<float>(state % 100000000u) / 100.0f; // to 1e6
        values.push_back((state & 1u) != 0 ? -magnitude - 0.01f : magnitude + 0.01f);
    }
    const auto expected = [](float value) {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                                       std::chars_format::general, 7);
        return std::string(buffer, end.ptr);
    };
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const float value = values[round == 0 ? i : values.size() - 1 - i];
            ASSERT_EQ(pagora::detail::FormatSignificant(value), expected(value)) << value;
        }
    }
}

TEST(NumberTextErrors, NonFiniteValuesRaiseOverflow) {
    WriterState s;
    for (const float v :
         {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
          std::numeric_limits<float>::quiet_NaN()}) {
        try {
            (void)FormatReal(s, v);
            ADD_FAILURE() << "no error for " << v;
        } catch (const pagora::PdfError& e) {
            EXPECT_EQ(e.Number(), 6);
        }
    }
    s.scale_factor = 1.0e30f; // the product overflows the float
    EXPECT_THROW((void)FormatUnits(s, 1.0e30f), pagora::PdfError);
}

} // namespace
