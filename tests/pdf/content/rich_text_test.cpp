// Rich text drawn into a page: the content lines, positions and the text handed back.
#include "tests/pdf/content/content_fixture.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace {

using content_test::Lines;
using pagora::PdfError;

// A page of a document on disk (fonts write their dictionaries), resource prefix "P", in
// Courier at 10 points: every character 6 points wide, lines 11.33 high with the baseline 8.33
// below their top.
class RichText : public content_test::PageContent {
protected:
    RichText() {
        Inner().writer.in_page = false;
        pdf.BeginDoc(dir.File("rich.pdf"));
        pdf.BeginPage();
        Inner().writer.resource_prefix = "P";
        pdf.SetFont("Courier", 10);
        Written();
    }

    // The x and y of every text line, in order.
    static std::vector<std::pair<float, float>> TextOrigins(const Lines& lines) {
        std::vector<std::pair<float, float>> origins;
        for (const std::string& line : lines) {
            float x = 0, y = 0;
            if (std::sscanf(line.c_str(), "1 0 0 -1 %f %f Tm", &x, &y) == 2)
                origins.emplace_back(x, y);
        }
        return origins;
    }
    static std::vector<float> TextXs(const Lines& lines) {
        std::vector<float> xs;
        for (const auto& origin : TextOrigins(lines))
            xs.push_back(origin.first);
        return xs;
    }
    // The rectangles filled behind the fragments: x, y, width, height.
    static std::vector<std::vector<float>> Backgrounds(const Lines& lines) {
        std::vector<std::vector<float>> boxes;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
            float x = 0, y = 0, w = 0, h = 0;
            if (lines[i + 1] == "f*" &&
                std::sscanf(lines[i].c_str(), "%f %f %f %f re", &x, &y, &w, &h) == 4)
                boxes.push_back({x, y, w, h});
        }
        return boxes;
    }
    static std::string FontOf(const Lines& lines) {
        for (const std::string& line : lines)
            if (line.size() > 4 && line.compare(line.size() - 4, 4, " Tf ") == 0) return line;
        return {};
    }
    static std::vector<std::string> Shown(const Lines& lines) {
        std::vector<std::string> texts;
        for (const std::string& line : lines)
            if (line.size() > 4 && line.compare(line.size() - 3, 3, " Tj") == 0)
                texts.push_back(line.substr(1, line.size() - 5));
        return texts;
    }

    testing_support::TempDir dir;
};

using Xs = std::vector<float>;

TEST_F(RichText, AlignmentPlacesTheFragmentsOfALine) {
    pdf.SetColorFill(""); // no background behind untagged text
    // In 48 points "a b c d " fills the first line; the blank after d goes at the wrap, so the
    // line is 42 wide with three blanks; "eeee" is the paragraph's last line.
    const struct {
        std::int32_t align;
        Xs first_line;
        float last_line;
    } cases[] = {
        {9, {10, 22, 34, 46}, 10},
        {2, {16, 28, 40, 52}, 34}, // ends on the inner right edge
        {4, {13, 25, 37, 49}, 22},
        {64, {10, 24, 38, 52}, 10}, // 6 free points: a gap of 2 after each blank
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pdf.DrawTextRich(10, 20, 48, 0, "a b c d eeee", c.align), "");
        Xs expected = c.first_line;
        expected.push_back(c.last_line);
        EXPECT_EQ(TextXs(Written()), expected) << c.align;
    }
}

TEST_F(RichText, BackgroundsOfNeighbouringWordsMeet) {
    pdf.SetColorFill("");
    pdf.SetTextTag("h", "", 0, -1, 0, "", "yellow");
    for (const std::int32_t align : {9, 64}) {
        pdf.DrawTextRich(10, 20, 200, 0, "x <h>one two</h> three", align);
        const Lines lines = Written();
        const auto boxes = Backgrounds(lines);
        ASSERT_EQ(boxes.size(), 2u) << align;
        // "one " and its gap, then "two" without the blank that follows the closing tag.
        EXPECT_FLOAT_EQ(boxes[0][0], 22) << align;
        EXPECT_FLOAT_EQ(boxes[0][0] + boxes[0][2], boxes[1][0]) << align;
        EXPECT_FLOAT_EQ(boxes[1][2], 18) << align;
        // From a quarter of the line height below the baseline to three quarters above it.
        EXPECT_NEAR(boxes[0][1], 28.33 + 11.33 / 4, 0.001) << align;
        EXPECT_FLOAT_EQ(boxes[0][3], -11.33f) << align;
        EXPECT_EQ(Shown(lines), (std::vector<std::string>{"x ", "one ", "two ", "three"}));
    }
}

TEST_F(RichText, TextInTheFillColourStaysVisibleOnABackground) {
    pdf.SetColorFill("red");
    pdf.SetColorText("red");
    pdf.SetTextTag("h", "", 0, -1, 0, "", "yellow");
    Written();
    pdf.DrawTextRich(10, 20, 200, 0, "<h>word</h>");
    const Lines lines = Written();
    EXPECT_EQ(lines, (Lines{"1 1 0 rg", "10 31.163 24 -11.33 re", "f*", "1 0 0 rg", "BT",
                            "/PCourierNew 10 Tf ", "1 0 0 -1 10 28.33 Tm", "(word) Tj", "ET",
                            "1 0 0 rg"}));
}

TEST_F(RichText, VerticalAlignmentAndTheBottomEdge) {
    pdf.SetColorFill("");
    const struct {
        std::int32_t align;
        float first, second;
    } cases[] = {
        {8, 28.33f, 39.66f},
        {16, 55.67f, 67}, // the second line's bottom on the box's bottom, 70
        {32, 42, 53.33f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(pdf.DrawTextRich(10, 20, 100, 50, "one\r\ntwo", c.align), "");
        const auto origins = TextOrigins(Written());
        ASSERT_EQ(origins.size(), 2u) << c.align;
        EXPECT_NEAR(origins[0].second, c.first, 0.001) << c.align;
        EXPECT_NEAR(origins[1].second, c.second, 0.001) << c.align;
    }
    // Boxes exactly as high as their lines keep every line, whatever the rounding, in points
    // and in millimetres.
    pdf.SetFont("Arial", 10);
    for (const float scale : {1.0f, 72 / 25.4f}) {
        Inner().writer.scale_factor = scale;
        for (int n = 1; n <= 8; ++n) {
            std::string text = "w";
            for (int i = 1; i < n; ++i)
                text += "\rw";
            const float height = static_cast<float>(n) * 12.21f / scale;
            for (const std::int32_t align : {8, 16}) {
                EXPECT_EQ(pdf.DrawTextRich(10, 20, 100, height, text, align), "")
                    << n << " lines, align " << align << ", scale " << scale;
                EXPECT_EQ(Shown(Written()).size(), static_cast<std::size_t>(n));
            }
        }
    }
}

TEST_F(RichText, UntaggedTextHasABackgroundOnlyInAChosenFill) {
    // The page's fill starts black; until the caller picks a fill, untagged words stand on the
    // page itself.
    EXPECT_EQ(Backgrounds(Written()).size(), 0u);
    pdf.DrawTextRich(10, 20, 200, 0, "two words");
    EXPECT_EQ(Backgrounds(Written()).size(), 0u);
    pdf.SetColorFill("yellow");
    Written();
    pdf.DrawTextRich(10, 20, 200, 0, "two words");
    EXPECT_EQ(Backgrounds(Written()).size(), 2u);
    pdf.SetColorFill("");
    pdf.DrawTextRich(10, 20, 200, 0, "two words");
    EXPECT_EQ(Backgrounds(Written()).size(), 0u);
}

TEST_F(RichText, TextTallerThanItsBoxFillsItFromTheTop) {
    pdf.SetColorFill("");
    // Five lines of 11.33 in a box 30 high: two fit, from the top, whatever the alignment; the
    // rest comes back.
    const std::string text = "one\rtwo\rthree\rfour\rfive";
    for (const std::int32_t align : {8, 16, 32, 16 | 2, 32 | 4, 16 | 64}) {
        const std::string rest = pdf.DrawTextRich(10, 20, 100, 30, text, align);
        EXPECT_EQ(rest, "\xFF\x01\xFF\rthree\rfour\rfive") << align;
        const Lines lines = Written();
        EXPECT_EQ(Shown(lines), (std::vector<std::string>{"one", "two"})) << align;
        const auto origins = TextOrigins(lines);
        ASSERT_EQ(origins.size(), 2u) << align;
        EXPECT_NEAR(origins[0].second, 28.33, 0.001) << align;
        EXPECT_NEAR(origins[1].second, 39.66, 0.001) << align;
    }
}

TEST_F(RichText, AFailedCallLeavesTheCallsFontInForce) {
    pdf.SetColorFill("");
    pdf.SetTextTag("h", "", 0, -1, 0, "", "yellow");
    const float sizes[] = {3.4e38f, std::numeric_limits<float>::infinity(),
                           std::numeric_limits<float>::quiet_NaN()};
    for (const float size : sizes) {
        pdf.SetTextTag("huge", "Arial", size, 1, 0, "red");
        // Failing while the text is read and while it is drawn (after a background); the
        // largest size that is a number may be written as it stands.
        for (const char* text : {"a <huge>b</huge> c", "<h>a</h> <huge>b</huge>"}) {
            try {
                pdf.DrawTextRich(10, 20, 200, 0, text);
                EXPECT_TRUE(std::isfinite(size)) << size << " accepted";
            } catch (const PdfError& error) {
                EXPECT_EQ(error.Number(), 6) << size;
            }
            EXPECT_EQ(Inner().fonts.kept.font_resource_name, "CourierNew") << size;
            EXPECT_FLOAT_EQ(Inner().fonts.font_size, 10) << size;
            EXPECT_EQ(Inner().content.text_color, "#0 0 0") << size;
            Written();
            pdf.DrawText(10, 100, "after");
            const Lines lines = Written();
            EXPECT_EQ(FontOf(lines), "/PCourierNew 10 Tf ") << size << " " << text;
            EXPECT_EQ(std::count(lines.begin(), lines.end(), "1 0 0 rg"), 0) << size;
        }
    }
}

TEST_F(RichText, TheRestContinuesInTheSameStylesUnindented) {
    pdf.SetColorFill("");
    pdf.SetTextTag("b", "", 0, 1);
    pdf.SetBoxStyle(1, 12); // first lines of paragraphs indented by 12
    // One line high: "Hello big" fits, "world" does not.
    const std::string rest = pdf.DrawTextRich(10, 20, 80, 11.33f, "Hello <b>big</b> world");
    EXPECT_EQ(rest, "\xFF\x01\xFFworld");
    EXPECT_EQ(TextXs(Written()), (Xs{22, 58}));
    EXPECT_EQ(pdf.DrawTextRich(10, 40, 80, 11.33f, rest), "");
    Lines lines = Written();
    EXPECT_EQ(TextXs(lines), (Xs{10}));
    EXPECT_EQ(FontOf(lines), "/PCourierNew 10 Tf ");

    // An open tag goes over with the rest.
    const std::string open = pdf.DrawTextRich(10, 60, 80, 11.33f, "<b>aaaaaa bbb ccc</b> d");
    EXPECT_EQ(open, std::string("\xFF\x01\xFF\x01\x01"
                                "ccc\x02\x01 d"));
    Written();
    EXPECT_EQ(pdf.DrawTextRich(10, 80, 80, 0, open), "");
    lines = Written();
    EXPECT_EQ(Shown(lines), (std::vector<std::string>{"ccc ", "d"}));
    EXPECT_EQ(FontOf(lines), "/PCourierNew,Bold 10 Tf ");
}

TEST_F(RichText, NothingIsLost) {
    pdf.SetColorFill("");
    // A first line taller than the box: the frame is drawn and the text comes back unchanged.
    pdf.SetFont("Courier", 30);
    const std::string text = "\xFF\x01\xFFtall words";
    EXPECT_EQ(pdf.DrawTextRich(10, 20, 200, 20, text, 9, 0), text);
    const Lines lines = Written();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 2), (Lines{"10 20 200 20 re", "S"}));
    EXPECT_EQ(Shown(lines), std::vector<std::string>{});
    // With Options 0 the position is the baseline of the line that did not fit.
    EXPECT_NEAR(pdf.GetY(), 20 + 24.99, 0.001);

    // Blanks only: nothing at all, not even a move.
    pdf.SetXY(1, 2);
    EXPECT_EQ(pdf.DrawTextRich(10, 20, 200, 20, "   ", 9, 0), "");
    EXPECT_EQ(Written(), Lines{});
    EXPECT_FLOAT_EQ(pdf.GetX(), 1);
    EXPECT_FLOAT_EQ(pdf.GetY(), 2);
}

// A long text flowed box after box is prepared a piece at a time as far as each box reads; a
// tag whose name holds '<' has every box prepare the whole rest. Both draw the same and hand
// back the same rests.
TEST_F(RichText, AFlowedTextIsTheSamePreparedInPiecesOrWhole) {
    pdf.SetColorFill("");
    pdf.SetTextTag("b", "", 0, 1);
    pdf.SetTextTag("i", "", 12, 2);
    const char* const breaks[] = {" ", " ", " ", "\r\n", "\r", "\r\n\r\n", " <", " a<b"};
    std::string text;
    std::uint32_t state = 2463534242u;
    for (int word = 1; text.size() < 40000; ++word) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        std::string letters;
        for (std::uint32_t i = 0; i < 2 + state % 8; ++i)
            letters += static_cast<char>('a' + (state >> (i + 3)) % 26);
        if (word % 7 == 0) {
            text += "<b>" + letters + "</b>";
        } else if (word % 11 == 0) {
            text += "<i>" + letters + " <b>" + letters + "</b> " + letters + "</i>";
        } else {
            text += letters;
        }
        text += breaks[(state >> 11) % 8];
    }
    const auto flow = [&](Lines& drawn) {
        std::vector<std::string> rests;
        std::string rest = text;
        while (!rest.empty() && rests.size() < 200) {
            rest = pdf.DrawTextRich(10, 20, 300, 400, rest, 9, 1);
            rests.push_back(rest);
            const Lines lines = Written();
            drawn.insert(drawn.end(), lines.begin(), lines.end());
        }
        return rests;
    };
    Lines pieces_drawn;
    const std::vector<std::string> pieces = flow(pieces_drawn);
    pdf.SetTextTag("x<y", "", 0, 4); // in no text
    Lines whole_drawn;
    const std::vector<std::string> whole = flow(whole_drawn);
    EXPECT_GT(pieces.size(), 10u);
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(pieces_drawn, whole_drawn);
}

TEST_F(RichText, PositionAfterwardsAndTheFrameOfAnOpenHeight) {
    pdf.SetColorFill("");
    pdf.SetBoxStyle(1, 0, 2, 3, 2, 5);
    // Options 0: the frame is as high as the text and the paddings, the position where the
    // layout stopped (the bottom of the last line).
    EXPECT_EQ(pdf.DrawTextRich(10, 20, 100, 0, "one\rtwo", 9, 0), "");
    EXPECT_EQ(Written().at(0), "10 20 100 30.66 re");
    EXPECT_FLOAT_EQ(pdf.GetX(), 10);
    EXPECT_NEAR(pdf.GetY(), 45.66, 0.001);
    // Options 1 (no frame): just below the box.
    pdf.DrawTextRich(10, 20, 100, 0, "one\rtwo");
    EXPECT_NEAR(pdf.GetY(), 50.66, 0.001);
    pdf.DrawTextRich(10, 20, 100, 70, "one");
    EXPECT_FLOAT_EQ(pdf.GetY(), 90);
}

TEST_F(RichText, AClosingTagWithNothingOpenIsRefused) {
    pdf.SetTextTag("b", "Arial", 0, 1);
    try {
        pdf.DrawTextRich(10, 20, 100, 0, "a <b>b</b></b>");
        ADD_FAILURE() << "accepted";
    } catch (const PdfError& error) {
        EXPECT_EQ(error.Number(), 5);
    }
    EXPECT_EQ(Written(), Lines{});
    EXPECT_EQ(Inner().fonts.kept.font_resource_name, "CourierNew"); // the call's font again
    // Without any font the first fragment has nothing to be measured in.
    pagora::Pagora fresh(std::make_shared<content_test::FixedHost>());
    EXPECT_THROW(fresh.DrawTextRich(10, 20, 100, 0, "a"), PdfError);
}

TEST_F(RichText, TagDefinitions) {
    const auto& tags = Inner().content.kept.rich_text;
    pdf.SetTextTag("b", "", 0, 1, 0, "red", "#00FF00");
    EXPECT_EQ(tags.text_tags[0].font_color, "#1 0 0");
    EXPECT_EQ(tags.text_tags[0].back_color, "#0 1 0");
    // Redefined: same slot, every omitted field back to its default.
    pdf.SetTextTag("B", "Times");
    pdf.SetTextTag("b ", "", 0, 4);
    pdf.SetTextTag("b", "Courier");
    EXPECT_EQ(tags.text_tags.size(), 3u);
    EXPECT_EQ(tags.text_tags[0].name, "b");
    EXPECT_EQ(tags.text_tags[0].font_family, "Courier");
    EXPECT_EQ(tags.text_tags[0].font_style, -1);
    EXPECT_EQ(tags.text_tags[0].font_color, "");
    EXPECT_EQ(tags.text_tags[1].name, "B");
    EXPECT_EQ(tags.text_tags[2].name, "b ");

    // A pattern of the document keeps its name only.
    Inner().writer.pattern_resources = "/PSTRIPES 5 0 R ";
    pdf.SetTextTag("p", "", 0, -1, 0, "stripes|red");
    EXPECT_EQ(tags.text_tags[3].font_color, "STRIPES");
    // A refused colour leaves the tag named, its colours as they were.
    EXPECT_THROW(pdf.SetTextTag("p", "Arial", 0, -1, 0, "#XYZ"), PdfError);
    EXPECT_EQ(tags.text_tags[3].font_family, "Arial");
    EXPECT_EQ(tags.text_tags[3].font_color, "STRIPES");

    // 255 names at most; the last ones can still be redefined.
    for (auto i = tags.text_tags.size() + 1; i <= 256; ++i)
        pdf.SetTextTag("t" + std::to_string(i));
    EXPECT_EQ(tags.text_tags.size(), 255u);
    EXPECT_EQ(tags.text_tags[254].name, "t255");
    pdf.SetTextTag("t255", "", 12);
    EXPECT_FLOAT_EQ(tags.text_tags[254].font_size, 12);

    // An empty name removes them all; the next one is tag 1 in an emptied table.
    pdf.SetTextTag("");
    EXPECT_TRUE(tags.text_tags.empty());
    pdf.SetTextTag("x");
    ASSERT_EQ(tags.text_tags.size(), 1u);
    EXPECT_EQ(tags.text_tags[0].name, "x");
    // Tags belong to the object, not to one document.
    pdf.BeginDoc(dir.File("second.pdf"));
    EXPECT_EQ(tags.text_tags.size(), 1u);
}

} // namespace
