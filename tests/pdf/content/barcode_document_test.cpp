// Barcodes on a written page, rendered and read back by an independent decoder.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace {

KERBOLT_TEST_LABEL(oracle, "BarcodeDocument.*");
class BarcodeDocument : public writer_test::WriterTest {
protected:
    void Begin() {
        pdf_.BeginDoc(Path());
        pdf_.BeginPage();
        pdf_.SetColorFill("Black");
    }
    void End() {
        pdf_.EndPage();
        pdf_.EndDoc();
        ExpectValidPdf();
        // Without anti-aliasing, as a printer prints: a module of 3.9 pixels would otherwise give
        // grey seams between the rectangles of neighbouring dark modules.
        const auto render =
            Run("mutool draw -q -A 0 -r 300 -o '" + dir_.File("page.png") + "' %f 2>&1");
        ASSERT_EQ(render.status, 0) << render.out;
    }
    std::string Image() const { return "'" + dir_.File("page.png") + "'"; }
};

std::vector<std::string> SortedLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    std::ranges::sort(lines);
    return lines;
}

TEST_F(BarcodeDocument, EverySymbologyButPostnetDecodesToItsData) {
    std::string printable;
    for (char c = ' '; c <= '~'; ++c)
        printable += c;
    const struct {
        int type;
        std::string code;
        bool check;
        std::string read;
    } symbols[] = {
        {0, "123456789012", false, "EAN-13:1234567890128"},
        {5, "1234567", false, "EAN-8:12345670"},
        {1, "ABC", false, "CODE-39:ABC"},
        {1, "HELLO-39", true, "CODE-39:HELLO-39G"},
        {2, "12345", false, "I2/5:012345"},
        {2, "12345", true, "I2/5:123457"},
        {4, printable.substr(0, 32), false, "CODE-128:" + printable.substr(0, 32)},
        {4, printable.substr(32, 32), false, "CODE-128:" + printable.substr(32, 32)},
        {4, printable.substr(64), false, "CODE-128:" + printable.substr(64)},
        {4, "AB12345678", false, "CODE-128:AB12345678"},
        {4, "12345", false, "CODE-128:12345"},
        {4, "9a8b7c6d5e4f3g2h1i0", false, "CODE-128:9a8b7c6d5e4f3g2h1i0"},
    };
    Begin();
    float y = 20;
    std::vector<std::string> expected;
    for (const auto& s : symbols) {
        // Symbols stacked with room for their texts; the tall EAN ones take more.
        const float width = pdf_.DrawBarCode(s.type, s.code, 20, y, true, 1, 0, s.check);
        EXPECT_GT(width, 0) << s.code;
        y += s.type == 0 || s.type == 5 ? 95 : 45;
        expected.push_back(s.read);
    }
    End();
    const auto read =
        testing_support::RunCommand("zbarimg -q --nodbus " + Image() + " 2>/dev/null");
    std::ranges::sort(expected);
    EXPECT_EQ(SortedLines(read.out), expected) << read.out;
}

// The bars of a POSTNET symbol read from the rendered page: '1' for a bar at least as tall as
// two thirds of the tallest, else '0'.
std::string ReadPostnetBars(const std::string& image, int left, int top, int right, int bottom) {
    const auto result = testing_support::InspectFile(
        image, "postnet-bars",
        {std::to_string(left), std::to_string(top), std::to_string(right), std::to_string(bottom)});
    EXPECT_EQ(result.status, 0) << result.out;
    std::string bars = result.out;
    while (!bars.empty() && (bars.back() == '\n' || bars.back() == '\r'))
        bars.pop_back();
    return bars;
}

// Digits from the bars between the frame bars, by the weights 7, 4, 2, 1, 0 of the two full bars
// in each group of five (11 stands for 0); "?" for a group that is no digit.
std::string DecodePostnet(const std::string& bars) {
    if (bars.size() < 7 || bars.front() != '1' || bars.back() != '1' || (bars.size() - 2) % 5)
        return "?";
    std::string digits;
    const int weights[] = {7, 4, 2, 1, 0};
    for (std::size_t at = 1; at + 5 < bars.size(); at += 5) {
        int full = 0;
        int value = 0;
        for (int k = 0; k < 5; ++k) {
            if (bars[at + k] == '1') {
                ++full;
                value += weights[k];
            }
        }
        if (full != 2) return "?";
        digits += static_cast<char>('0' + (value == 11 ? 0 : value));
    }
    return digits;
}

TEST_F(BarcodeDocument, PostnetBarsReadBackAsTheZipCodeAndItsCheckDigit) {
    const struct {
        std::string code;
        std::string digits; // check digit last
    } symbols[] = {{"12345", "123455"},
                   {"12345-6789", "1234567895"},
                   {"123456789", "123455"},
                   {"90210", "902108"}};
    Begin();
    for (std::size_t i = 0; i < std::size(symbols); ++i)
        pdf_.DrawBarCode(3, symbols[i].code, 20, 20 + 40 * static_cast<float>(i));
    End();
    for (std::size_t i = 0; i < std::size(symbols); ++i) {
        // The bar band in pixels at 300 dpi: from y to y + 9 points, over the page's width.
        const int top = static_cast<int>((20 + 40 * static_cast<double>(i)) * 300 / 72) - 4;
        const std::string bars = ReadPostnetBars(dir_.File("page.png"), 0, top, 2400, top + 46);
        EXPECT_EQ(bars.size(), symbols[i].digits.size() * 5 + 2) << bars;
        const std::string digits = DecodePostnet(bars);
        EXPECT_EQ(digits, symbols[i].digits) << bars;
        int sum = 0;
        for (const char d : digits)
            sum += d - '0';
        EXPECT_EQ(sum % 10, 0) << digits;
    }
}

// A new document, no colour ever set, two symbols of one symbology per page: both renderers at
// their default anti-aliasing, both decoders. The bars must be black (the page's real fill) and
// each bar one rectangle, or the seams inside a bar are read as spaces.
TEST_F(BarcodeDocument, EverySymbologyTwicePerPageDecodesInBothRenderersWithNoColourSet) {
    const struct {
        int type;
        std::string first, second;
        bool check;
        std::string zbar_first, zbar_second, zxing_first, zxing_second;
    } pages[] = {
        {0, "123456789012", "590123412345", false, "EAN-13:1234567890128", "EAN-13:5901234123457",
         "1234567890128", "5901234123457"},
        {5, "1234567", "9638507", false, "EAN-8:12345670", "EAN-8:96385074", "12345670",
         "96385074"},
        {1, "ABC", "HELLO-39", true, "CODE-39:ABCX", "CODE-39:HELLO-39G", "ABCX", "HELLO-39G"},
        {2, "12345", "9876543", true, "I2/5:123457", "I2/5:98765430", "123457", "98765430"},
        {4, "AB12345678", "Code 128 {x}", false, "CODE-128:AB12345678", "CODE-128:Code 128 {x}",
         "AB12345678", "Code 128 {x}"},
    };
    pdf_.BeginDoc(Path());
    for (const auto& p : pages) {
        pdf_.BeginPage();
        EXPECT_GT(pdf_.DrawBarCode(p.type, p.first, 20, 20, true, 1, 0, p.check), 0);
        EXPECT_GT(pdf_.DrawBarCode(p.type, p.second, 20, 160, true, 1, 0, p.check), 0);
    }
    // POSTNET, which neither decoder reads: its bars are measured on the renders below.
    pdf_.BeginPage();
    pdf_.DrawBarCode(3, "12345", 20, 20);
    pdf_.DrawBarCode(3, "90210", 20, 160);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();

    const std::string mutool = dir_.File("mutool-%d.png");
    auto render = Run("mutool draw -q -r 300 -o '" + mutool + "' %f 2>&1 | grep -v 'ICC support'");
    EXPECT_EQ(render.out, "");
    EXPECT_EQ(render.out, "");
    render = Run("pdftoppm -r 300 -png %f '" + dir_.File("poppler") + "' 2>&1");
    ASSERT_EQ(render.status, 0) << render.out;
    EXPECT_EQ(render.out, "");
    const auto images = [&](int page) {
        return std::vector<std::string>{dir_.File("mutool-" + std::to_string(page) + ".png"),
                                        dir_.File("poppler-" + std::to_string(page) + ".png")};
    };
    // Each symbol is read from a band of the page around it: the packaged ZXingReader fails an
    // assertion on some pictures holding several linear symbols.
    const auto band = [&](const std::string& image, int symbol) {
        const std::string out = image + "-" + std::to_string(symbol) + ".png";
        const int top = (symbol == 0 ? 20 : 160) * 300 / 72 - 40;
        const auto crop = testing_support::InspectFile(
            image, "crop", {std::to_string(top), std::to_string(top + 460), out});
        EXPECT_EQ(crop.status, 0) << crop.out;
        return out;
    };
    const auto first_line = [](const std::string& text) { return text.substr(0, text.find('\n')); };
    for (std::size_t i = 0; i < std::size(pages); ++i) {
        const auto& p = pages[i];
        for (const std::string& image : images(static_cast<int>(i) + 1)) {
            const auto zbar_page =
                testing_support::RunCommand("zbarimg -q --nodbus '" + image + "' 2>/dev/null");
            EXPECT_EQ(SortedLines(zbar_page.out), SortedLines(p.zbar_first + "\n" + p.zbar_second))
                << image;
            for (int symbol = 0; symbol < 2; ++symbol) {
                const std::string crop = band(image, symbol);
                const auto zbar =
                    testing_support::RunCommand("zbarimg -q --nodbus '" + crop + "' 2>/dev/null");
                EXPECT_EQ(first_line(zbar.out), symbol == 0 ? p.zbar_first : p.zbar_second) << crop;
                const auto zxing =
                    testing_support::RunCommand("ZXingReader -bytes '" + crop + "' 2>/dev/null");
                EXPECT_EQ(zxing.out, symbol == 0 ? p.zxing_first : p.zxing_second) << crop;
            }
        }
    }
    for (const std::string& image : images(static_cast<int>(std::size(pages)) + 1)) {
        SCOPED_TRACE(image);
        EXPECT_EQ(DecodePostnet(ReadPostnetBars(image, 0, 79, 2400, 125)), "123455");
        EXPECT_EQ(DecodePostnet(ReadPostnetBars(image, 0, 662, 2400, 708)), "902108");
    }
}

} // namespace
