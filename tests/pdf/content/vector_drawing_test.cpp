// EPS, Illustrator and metafile drawings placed by DrawImage: the content lines they become, and
// hostile files that must leave balanced content and a recorded error.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/fuzz/content_paths.h"
#include "tests/pdf/content/content_fixture.h"
#include "tests/pdf/content/wmf_builder.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

using content_test::Lines;
using wmf_test::Wmf;

Lines Concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// An Illustrator file in the line-oriented form: lines before "%%EndSetup" and after
// "%%PageTrailer" lie outside the artwork.
std::string AiFile(const Lines& artwork, const std::string& box = "0 0 200 100",
                   const std::string& end = "\n") {
    std::string text = "%!PS-Adobe-3.0 EPSF-3.0" + end + "%%BoundingBox: " + box + end +
                       "%%EndComments" + end + "%%BeginSetup" + end + "0 0 m" + end + "%%EndSetup" +
                       end;
    for (const std::string& line : artwork)
        text += line + end;
    return text + "%%PageTrailer" + end + "5 5 m" + end + "%%EOF" + end;
}

class VectorDrawings : public content_test::PageContent {
protected:
    // Writes the bytes to a file of that name, places it and returns the lines written.
    Lines Place(const std::string& name, const std::string& bytes, float x = 10, float y = 20,
                float width = 100, float height = 0) {
        const std::string path = dir_.File(name);
        testing_support::WriteFileBytes(path, bytes);
        Inner().writer.last_error_number = 0;
        pdf.DrawImage(path, x, y, width, height);
        // A hostile file must never make the converter hang; these files are tiny.
        const Lines lines = Written();
        ExpectBalanced(lines, name);
        return lines;
    }

    // Either nothing, or one "q" first and one "Q" last around whole path objects of operators
    // that cannot unbalance the content.
    static void ExpectBalanced(const Lines& lines, const std::string& name) {
        if (lines.empty()) return;
        EXPECT_EQ(lines.front(), "q") << name;
        EXPECT_EQ(lines.back(), "Q") << name;
        std::string inside;
        for (std::size_t i = 1; i + 1 < lines.size(); ++i)
            inside += "\r" + lines[i];
        EXPECT_EQ(fuzz_check::PathObjectFault(inside), "") << name;
    }

    void ExpectError(int number, const std::string& name) {
        EXPECT_EQ(pdf.ErrNumber(), number) << name;
        if (number == 0) return;
        EXPECT_EQ(pdf.ErrSource(), "Pagora.DrawImage") << name;
        EXPECT_NE(pdf.ErrDescription().find(" - " + dir_.File(name)), std::string::npos)
            << pdf.ErrDescription();
    }

    testing_support::TempDir dir_;
};

// The placement of a box 0 0 200 100 at (10, 20), 100 wide, at one point per unit.
const Lines kPlaced = {"q", "0.5 0 0 0.5 10 20 cm", "1 0 0 -1 0 100 cm"};

TEST_F(VectorDrawings, ArtworkLinesBecomeContentOperators) {
    // A path painted after the lines looked at, so that every drawing shows something.
    const Lines tail = {"0 0 m", "1 1 l", "S"};
    const struct {
        Lines artwork;
        Lines content; // empty: nothing written at all
        int error;     // 321 when something was not drawn, or nothing could be
    } cases[] = {
        // Illustrator's variants are lower-cased; a fill is written once per path, always with
        // the even-odd rule, and the stroke of a filled path is dropped.
        {{"0 0 m", "10 0 L", "10 10 l", "f", "S"}, {"0 0 m", "10 0 l", "10 10 l", "f*"}, 0},
        {{"0 0 m", "5 5 l", "b", "B"}, {"0 0 m", "5 5 l", "b*"}, 0},
        {{"0 0 m", "5 5 l", "B"}, {"0 0 m", "5 5 l", "B*"}, 0},
        {{"0 0 m", "5 5 l", "s", "S"}, {"0 0 m", "5 5 l", "s"}, 0},
        {Concat({"0 0 m", "1 2 3 4 5 6 C", "7 8 9 1 V", "2 3 4 5 Y", "N"}, tail),
         Concat({"0 0 m", "1 2 3 4 5 6 c", "7 8 9 1 v", "2 3 4 5 y", "n"}, tail), 0},
        // Colours and line style pass unchanged; Illustrator's RGB fill becomes "rg".
        {Concat({"0.5 0.2 0.1 Xa", "1 0 0 0 k", "0 1 0 0 K", "0.5 g", "0.25 G"}, tail),
         Concat({"0.5 0.2 0.1 rg", "1 0 0 0 k", "0 1 0 0 K", "0.5 g", "0.25 G"}, tail), 0},
        {Concat({"2 w", "1 J", "1 j", "4 M", "[3 2] 0 d", "[ ] 0 d", "0 i 0 J 0 j 1 w 4 M []0 d"},
                tail),
         Concat({"2 w", "1 J", "1 j", "4 M", "[3 2] 0 d", "[ ] 0 d", "0 i 0 J 0 j 1 w 4 M []0 d"},
                tail),
         0},
        // Illustrator's marks of groups, layers, locks and guides draw nothing: passed over.
        {Concat({"u", "*u", "1 XR", "0 A", "(Layer 1) Ln", "0 O", "0 D", "(N) *", "*U", "U", "  "},
                tail),
         tail, 0},
        // Definitions, strings, other operators and a blank after the operator are not drawn:
        // a drawing of nothing else is refused.
        {{"/a 1 def", "(text) show", "% 0 0 m", "gsave", "0 0 moveto", "0 0 m "}, {}, 321},
        // A line is copied only when it is whole operations on numbers: nothing it holds can
        // unbalance the content or open a string.
        {{"0 0 (x m", "Q 0 0 m", "q 1 0 0 1 0 0 cm 0 0 m", "1e3 0 m", "0 0 0 m", "16#F 0 m",
          "[3 x] 0 d", "3 0 d", "1 2 Xa", "BI 0 0 m", "1" + std::string(40, '0') + " 0 m"},
         {},
         321},
        // A segment needs a path begun by a moveto, and painting needs a path; painting no
        // path loses nothing, a segment of none is not drawn.
        {{"10 10 l", "0.5 g", "S", "0 0 m 5 5 l S", "f", "n"}, {"0.5 g", "0 0 m 5 5 l S"}, 321},
        // A rectangle before the fill on its line is not read.
        {Concat({"0 0 10 10 re f"}, tail), tail, 321},
        // A path the file leaves open is ended before the drawing is closed.
        {Concat(tail, {"0 0 m", "5 5 l"}), Concat(tail, {"0 0 m", "5 5 l", "n"}), 0},
        // A path never painted shows nothing.
        {{"0 0 m", "5 5 l"}, {}, 321},
    };
    for (const auto& c : cases) {
        const Lines lines = Place("case.ai", AiFile(c.artwork));
        EXPECT_EQ(lines, c.content.empty() ? Lines{} : Concat(Concat(kPlaced, c.content), {"Q"}))
            << c.artwork.front();
        ExpectError(c.error, "case.ai");
    }
    // The error says what was not drawn.
    Place("case.ai", AiFile(Concat({"1 0 0 0 (Red) 0 x", "/F 12 Tf", "(Hello) Tj"}, tail)));
    EXPECT_EQ(pdf.ErrDescription(),
              "Invalid file format (drawn without 3 lines of PostScript it does not draw: x, Tf, "
              "Tj) - " +
                  dir_.File("case.ai"));
    Place("case.ai", AiFile({"gsave", "0 0 moveto"}));
    EXPECT_EQ(pdf.ErrDescription(),
              "Invalid file format (nothing it can draw; 2 lines of PostScript it does not draw: "
              "gsave, moveto) - " +
                  dir_.File("case.ai"));
}

TEST_F(VectorDrawings, TheBoundingBoxPlacesAndScalesTheDrawing) {
    const Lines art = {"0 0 m", "10 0 l", "f"};
    const Lines converted = {"0 0 m", "10 0 l", "f*", "Q"};
    const struct {
        std::string box;
        float width, height;
        Lines matrices;
    } cases[] = {
        {"0 0 200 100", 100, 0, {"0.5 0 0 0.5 10 20 cm", "1 0 0 -1 0 100 cm"}},
        {"0 0 200 100", 0, 50, {"0.5 0 0 0.5 10 20 cm", "1 0 0 -1 0 100 cm"}},
        {"0 0 200 100", 100, 100, {"0.5 0 0 1 10 20 cm", "1 0 0 -1 0 100 cm"}},
        // Both sizes 0: 20/72 of the box taken in points (about 55.6 by 27.8).
        {"0 0 200 100", 0, 0, {"0.278 0 0 0.278 10 20 cm", "1 0 0 -1 0 100 cm"}},
        // A box away from the origin: its upper-left corner goes to the given point.
        {"100 200 300 350", 100, 0, {"0.5 0 0 0.5 10 20 cm", "1 0 0 -1 -100 350 cm"}},
        {"-10.5 0 189.5 100", 200, 0, {"1 0 0 1 10 20 cm", "1 0 0 -1 10.5 100 cm"}},
    };
    for (const auto& c : cases) {
        const Lines lines = Place("box.eps", AiFile(art, c.box), 10, 20, c.width, c.height);
        EXPECT_EQ(lines, Concat(Concat({"q"}, c.matrices), converted)) << c.box;
    }
    // In other units the position and the size are the caller's, the box stays in points.
    Inner().writer.scale_factor = 2;
    EXPECT_EQ(Place("box.eps", AiFile(art), 10, 20, 100, 0),
              Concat({"q", "1 0 0 1 20 40 cm", "1 0 0 -1 0 100 cm"}, converted));
    // Neither the position nor the last box moves.
    EXPECT_FLOAT_EQ(pdf.GetX(), 0);
    EXPECT_FLOAT_EQ(pdf.GetY(), 0);
}

TEST_F(VectorDrawings, TheArtworkSectionIsFoundByItsMarkers) {
    const std::string header = "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 200 100\n";
    const struct {
        std::string name;
        std::string text;
        Lines content;
    } cases[] = {
        // Without a page trailer the artwork ends at "showpage", which ends it at the start of
        // any line.
        {"showpage",
         header + "%%EndProlog\n0 0 m\n1 1 l\nS\nshowpage\n2 2 m\n",
         {"0 0 m", "1 1 l", "S"}},
        // Without an end nothing is converted: the drawing is refused.
        {"no end", header + "%%EndSetup\n0 0 m\n1 1 l\nS\n", {}},
        // Without "%%EndSetup" or "%%EndProlog" the artwork starts after the bounding box.
        {"after box", header + "0 0 m\n1 1 l\nS\n%%PageTrailer\n", {"0 0 m", "1 1 l", "S"}},
        {"last setup",
         header + "%%EndSetup\n9 9 m\n%%EndSetup\n0 0 m\n1 1 l\nS\nshowpage\n",
         {"0 0 m", "1 1 l", "S"}},
        // A box given at the end: the trailer's box places the drawing, and the artwork still
        // starts after the header's line.
        {"atend",
         "%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: (atend)\n0 0 m\n1 1 l\nS\n%%PageTrailer\n"
         "%%Trailer\n%%BoundingBox: 0 0 200 100\n",
         {"0 0 m", "1 1 l", "S"}},
        // Of several boxes the last with four numbers counts, and the drawing has one "q".
        {"two boxes",
         "%%BoundingBox: 0 0 400 400\n" + header + "%%BoundingBox: 1 2\n0 0 m\nS\nshowpage\n",
         {"0 0 m", "S"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Place("markers.eps", c.text),
                  c.content.empty() ? Lines{} : Concat(Concat(kPlaced, c.content), {"Q"}))
            << c.name;
        ExpectError(c.content.empty() ? 321 : 0, "markers.eps");
    }
    // LF, CR LF and a lone CR end lines alike.
    const Lines art = {"0 0 m", "10 0 L", "f"};
    const Lines lf = Place("lf.ai", AiFile(art));
    EXPECT_EQ(Place("crlf.ai", AiFile(art, "0 0 200 100", "\r\n")), lf);
    EXPECT_EQ(Place("cr.ai", AiFile(art, "0 0 200 100", "\r")), lf);
    EXPECT_EQ(lf.size(), kPlaced.size() + 4);
}

TEST_F(VectorDrawings, AnEpsThatCannotBePlacedWritesNothing) {
    const std::string art = "%%EndSetup\n0 0 m\n1 1 l\nS\n%%PageTrailer\n";
    const struct {
        std::string name;
        std::string text;
        int error;
    } cases[] = {
        {"no_box.eps", art, 5},
        {"atend_only.eps", "%%BoundingBox: (atend)\n" + art, 5},
        {"three_numbers.eps", "%%BoundingBox: 0 0 100\n" + art, 5},
        {"empty.eps", "", 5},
        {"zero_width.ai", "%%BoundingBox: 10 0 10 100\n" + art, 11},
        {"zero_height.eps", "%%BoundingBox: 0 5 100 5\n" + art, 11},
        // A box beyond single precision cannot be written as a number.
        {"huge.eps", "%%BoundingBox: -1" + std::string(40, '0') + " 0 0 100\n" + art, 6},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Place(c.name, c.text).empty()) << c.name;
        ExpectError(c.error, c.name);
    }
    Inner().writer.last_error_number = 0;
    pdf.DrawImage(dir_.File("missing.eps"), 0, 0);
    EXPECT_TRUE(Written().empty());
    ExpectError(53, "missing.eps");
}

// A metafile whose window is 1000 by 500 units from (0, 0).
Wmf Windowed() {
    Wmf wmf;
    wmf.Origin(0, 0).Extent(1000, 500);
    return wmf;
}

TEST_F(VectorDrawings, TheWindowIsMappedOntoTheBox) {
    const Lines placed = {"q", "0.1 0 0 0.1 10 20 cm", "1 0 0 1 0 0 cm"};
    Wmf plain = Windowed();
    plain.Pen(0, 0, 0, 0, 0).Select(0).Polyline({{10, 20}, {30, 40}, {-5, 60}}).End();
    // The points go last to first; the pen writes its dash, colour and width.
    const Lines drawn = {"[ ] 0 d", "0 0 0 RG", "0 w", "1 J 1 j", "-5 60 m",
                         "30 40 l", "10 20 l",  "S",   "Q"};
    EXPECT_EQ(Place("plain.wmf", plain.Bytes()), Concat(placed, drawn));
    ExpectError(0, "plain.wmf");
    // The placeable header changes nothing.
    EXPECT_EQ(Place("placeable.wmf", plain.Bytes(true)), Concat(placed, drawn));

    const struct {
        const char* name;
        Wmf wmf;
        float width, height;
        Lines transform;
    } cases[] = {
        {"height", Windowed(), 0, 50, {"q", "0.1 0 0 0.1 10 20 cm", "1 0 0 1 0 0 cm"}},
        {"both", Windowed(), 100, 100, {"q", "0.1 0 0 0.2 10 20 cm", "1 0 0 1 0 0 cm"}},
        {"default", Windowed(), 0, 0, {"q", "0.278 0 0 0.278 10 20 cm", "1 0 0 1 0 0 cm"}},
        // An origin of (-100, -50) is stored as 65436 and 65486.
        {"origin",
         Wmf().Origin(-100, -50).Extent(1000, 500),
         100,
         0,
         {"q", "0.1 0 0 0.1 10 20 cm", "1 0 0 1 100 50 cm"}},
        // Of two origins before the drawing the later one counts.
        {"two origins",
         Wmf().Origin(7, 7).Extent(1000, 500).Origin(1, 2),
         100,
         0,
         {"q", "0.1 0 0 0.1 10 20 cm", "1 0 0 1 -1 -2 cm"}},
        // Without an extent the drawing stays in the file's units.
        {"no extent", Wmf().Origin(0, 0), 100, 0, {"q"}},
        // A negative extent mirrors the drawing, as it does on the screen.
        {"mirrored",
         Wmf().Origin(0, 0).Extent(-1000, 500),
         100,
         100,
         {"q", "-0.1 0 0 0.2 10 20 cm", "1 0 0 1 0 0 cm"}},
    };
    for (auto c : cases) {
        c.wmf.Brush(0, 255, 128, 0).Select(0).Origin(5, 5).Extent(1, 1); // too late: ignored
        c.wmf.Polygon({{0, 0}, {10, 0}}).End();
        EXPECT_EQ(Place("window.wmf", c.wmf.Bytes(), 10, 20, c.width, c.height),
                  Concat(c.transform, {"1 0.502 0 rg", "10 0 m", "0 0 l", "b", "Q"}))
            << c.name;
        ExpectError(0, "window.wmf");
    }
    // A zero extent cannot be mapped: the error is recorded and the drawing stays unscaled.
    EXPECT_EQ(Place("zero.wmf", Wmf().Origin(0, 0).Extent(0, 500).Polyline({{1, 2}}).End().Bytes()),
              Lines({"q", "1 2 m", "S", "Q"}));
    ExpectError(11, "zero.wmf");
}

TEST_F(VectorDrawings, PensAndBrushesChooseTheColoursAndThePaintingOperator) {
    const struct {
        const char* name;
        Wmf objects; // selects what the polygon and polyline are drawn with
        Lines selected;
        const char* polygon;
        const char* polyline;
    } cases[] = {
        {"solid pen and brush",
         Wmf().Pen(0, 2, 255, 0, 0).Brush(0, 0, 0, 255).Select(0).Select(1),
         {"[ ] 0 d", "1 0 0 RG", "2 w", "1 J 1 j", "0 0 1 rg"},
         "b",
         "S"},
        {"hollow brush",
         Wmf().Pen(0, 2, 255, 0, 0).Brush(1, 0, 0, 255).Select(0).Select(1),
         {"[ ] 0 d", "1 0 0 RG", "2 w", "1 J 1 j"},
         "s",
         "S"},
        {"null pen",
         Wmf().Pen(5, 2, 255, 0, 0).Brush(0, 0, 0, 255).Select(0).Select(1),
         {"0 0 1 rg"},
         "f",
         "n"},
        {"null pen, even-odd",
         Wmf().Pen(5, 2, 255, 0, 0).Brush(0, 0, 0, 255).Select(0).Select(1).FillMode(1),
         {"0 0 1 rg"},
         "f*",
         "n"},
        {"both, even-odd",
         Wmf().Pen(0, 2, 255, 0, 0).Brush(0, 0, 0, 255).Select(0).Select(1).FillMode(1),
         {"[ ] 0 d", "1 0 0 RG", "2 w", "1 J 1 j", "0 0 1 rg"},
         "b*",
         "S"},
        {"winding again",
         Wmf().Pen(5, 2, 255, 0, 0).Brush(0, 0, 0, 255).Select(0).Select(1).FillMode(1).FillMode(2),
         {"0 0 1 rg"},
         "f",
         "n"},
        {"neither",
         Wmf().Pen(5, 2, 255, 0, 0).Brush(1, 0, 0, 255).Select(0).Select(1),
         {},
         "n",
         "n"},
        // The pen styles: dashes, a null pen whose higher bits choose caps, and an inside-frame
        // pen that has no dash line of its own.
        {"dash",
         Wmf().Pen(1, 1, 0, 0, 0).Select(0),
         {"[3 1] 0 d", "0 0 0 RG", "1 w", "0 J 1 j"},
         "b",
         "S"},
        {"dot",
         Wmf().Pen(2, 1, 0, 0, 0).Select(0),
         {"[0.5 0.5] 0 d", "0 0 0 RG", "1 w", "0 J 1 j"},
         "b",
         "S"},
        {"dash dot",
         Wmf().Pen(3, 1, 0, 0, 0).Select(0),
         {"[2 1 0.5 1] 0 d", "0 0 0 RG", "1 w", "0 J 1 j"},
         "b",
         "S"},
        {"dash dot dot",
         Wmf().Pen(4, 1, 0, 0, 0).Select(0),
         {"[2 1 0.5 1 0.5 1] 0 d", "0 0 0 RG", "1 w", "0 J 1 j"},
         "b",
         "S"},
        {"inside frame",
         Wmf().Pen(6, 7, 0, 0, 0).Select(0),
         {"0 0 0 RG", "7 w", "1 J 1 j"},
         "b",
         "S"},
        // The higher bits choose square or flat ends and mitred or bevelled joins.
        {"square, mitred",
         Wmf().Pen(0x2100, 7, 0, 0, 0).Select(0),
         {"[ ] 0 d", "0 0 0 RG", "7 w", "2 J 0 j"},
         "b",
         "S"},
        {"flat, bevelled",
         Wmf().Pen(0x1200, 7, 0, 0, 0).Select(0),
         {"[ ] 0 d", "0 0 0 RG", "7 w", "0 J 2 j"},
         "b",
         "S"},
        {"dashed, square",
         Wmf().Pen(0x0101, 7, 0, 0, 0).Select(0),
         {"[3 1] 0 d", "0 0 0 RG", "7 w", "0 J 1 j"},
         "b",
         "S"},
        {"null pen, flat caps", Wmf().Pen(0x205, 7, 0, 0, 0).Select(0), {}, "f", "n"},
        // Create pen (0) and brush (1), delete the pen, a font takes slot 0 again: slot 1 is
        // still the brush.
        {"slot reuse",
         Wmf().Pen(0, 1, 0, 0, 0).Brush(0, 0, 255, 0).Delete(0).Font().Select(1),
         {"0 1 0 rg"},
         "b",
         "S"},
        // The lowest freed slot is taken first.
        {"lowest slot",
         Wmf()
             .Brush(0, 255, 0, 0)
             .Brush(0, 0, 255, 0)
             .Brush(0, 0, 0, 255)
             .Delete(2)
             .Delete(0)
             .Brush(0, 9, 9, 9)
             .Select(0),
         {"0.035 0.035 0.035 rg"},
         "b",
         "S"},
    };
    for (auto c : cases) {
        Wmf wmf = c.objects;
        wmf.Polygon({{1, 2}, {3, 4}, {5, 6}}).Polyline({{7, 8}, {9, 10}}).End();
        const Lines shapes = {"5 6 m",  "3 4 l", "1 2 l",    c.polygon,
                              "9 10 m", "7 8 l", c.polyline, "Q"};
        // Shapes neither filled nor stroked show nothing: such a drawing is refused.
        const bool shows = std::string_view(c.polygon) != "n";
        EXPECT_EQ(Place("objects.wmf", wmf.Bytes()),
                  shows ? Concat(Concat({"q"}, c.selected), shapes) : Lines{})
            << c.name;
        ExpectError(shows ? 0 : 321, "objects.wmf");
    }
}

TEST_F(VectorDrawings, PolyPolygonsAndSkippedRecords) {
    Wmf wmf;
    wmf.Brush(0, 0, 0, 0).Select(0).FillMode(1);
    wmf.Record(0x041B, Wmf::Words({50, 50, 10, 10})); // a rectangle: skipped
    wmf.Record(0x0A32, Wmf::Words({1, 2, 3, 0}));     // text: skipped
    wmf.PolyPolygon({{{0, 0}, {10, 0}, {10, 10}}, {}, {{2, 2}, {4, 2}}});
    wmf.Polygon({}).Polyline({}); // no points: nothing to paint
    wmf.End().Polygon({{1, 1}});  // after the end: never read
    EXPECT_EQ(Place("polypolygon.wmf", wmf.Bytes()),
              Lines({"q", "0 0 0 rg", "10 10 m", "10 0 l", "0 0 l", "4 2 m", "2 2 l", "b*", "Q"}));
    // What was not drawn is told.
    ExpectError(321, "polypolygon.wmf");
    EXPECT_EQ(pdf.ErrDescription(),
              "Invalid file format (drawn without 2 records it does not draw: rectangle, text) - " +
                  dir_.File("polypolygon.wmf"));
    // A metafile of nothing the converter draws is refused.
    Wmf nothing;
    nothing.Brush(0, 0, 0, 0).Select(0);
    nothing.Record(0x0418, Wmf::Words({50, 50, 10, 10})); // an ellipse
    nothing.Record(0x0418, Wmf::Words({60, 60, 10, 10}));
    EXPECT_EQ(Place("ellipses.wmf", nothing.End().Bytes()), Lines{});
    ExpectError(321, "ellipses.wmf");
    EXPECT_EQ(pdf.ErrDescription(),
              "Invalid file format (nothing it can draw; 2 records it does not draw: ellipse) - " +
                  dir_.File("ellipses.wmf"));
}

TEST_F(VectorDrawings, AHostileMetafileStopsWithItsErrorAndBalancedContent) {
    const std::string drawn_head =
        Wmf().Brush(0, 0, 0, 0).Select(0).Polygon({{1, 1}, {2, 2}}).Bytes();
    const Lines drawn = {"q", "0 0 0 rg", "2 2 m", "1 1 l", "b"};
    const struct {
        const char* name;
        std::string bytes;
        int error;
        Lines lines;
    } cases[] = {
        // No end record: the walk stops at the end of the data, with nothing to report.
        {"no end", drawn_head, 0, Concat(drawn, {"Q"})},
        // Record sizes that cannot be trusted end the walk.
        {"zero size",
         drawn_head + Wmf().RawRecord(0, 0x0324).Polygon({{5, 5}}).End().Bytes().substr(18), 9,
         Concat(drawn, {"Q"})},
        {"size 2", drawn_head + Wmf().RawRecord(2, 0x0324).Bytes().substr(18), 9,
         Concat(drawn, {"Q"})},
        {"huge size",
         drawn_head +
             Wmf().RawRecord(0xFFFFFFFFu, 0x0324, Wmf::Words({1, 5, 5})).Bytes().substr(18),
         9, Concat(drawn, {"Q"})},
        {"past the end",
         drawn_head + Wmf().RawRecord(100, 0x0324, Wmf::Words({1, 5, 5})).Bytes().substr(18), 9,
         Concat(drawn, {"Q"})},
        {"cut header", drawn_head + std::string("\x05\x00\x00", 3), 9, Concat(drawn, {"Q"})},
        {"short file", std::string(10, '\0'), 9, {}},
        {"one byte", std::string(1, '\x01'), 53, {}},
        // A record reading past its own bytes is dropped whole and the walk goes on.
        {"short polygon",
         drawn_head + Wmf()
                          .Record(0x0324, Wmf::Words({40, 5, 5}))
                          .Polyline({{3, 3}})
                          .End()
                          .Bytes()
                          .substr(18),
         9, Concat(drawn, {"3 3 m", "S", "Q"})},
        {"short poly-polygon",
         drawn_head + Wmf()
                          .Record(0x0538, Wmf::Words({2, 1, 60000, 5, 5}))
                          .Polyline({{3, 3}})
                          .Bytes()
                          .substr(18),
         9, Concat(drawn, {"3 3 m", "S", "Q"})},
        {"no parameters", drawn_head + Wmf().Record(0x012D).Polyline({{3, 3}}).Bytes().substr(18),
         9, Concat(drawn, {"3 3 m", "S", "Q"})},
        {"unknown object",
         drawn_head + Wmf().Select(7).Delete(9).Polyline({{3, 3}}).Bytes().substr(18), 9,
         Concat(drawn, {"3 3 m", "S", "Q"})},
        // A pen record too short for its fields still takes its slot: the brush after it keeps
        // the index the file gives it.
        {"short pen",
         Wmf()
             .Record(0x02FA, Wmf::Words({0}))
             .Brush(0, 255, 255, 255)
             .Select(1)
             .Select(0)
             .Polyline({{3, 3}})
             .Bytes(),
         9,
         {"q", "1 1 1 rg", "3 3 m", "S", "Q"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Place("hostile.wmf", c.bytes), c.lines) << c.name;
        ExpectError(c.error, "hostile.wmf");
    }
    Inner().writer.last_error_number = 0;
    pdf.DrawImage(dir_.File("missing.wmf"), 0, 0);
    EXPECT_TRUE(Written().empty());
    ExpectError(53, "missing.wmf");
}

TEST_F(VectorDrawings, ExtensionsChooseTheConverterWhateverTheirCase) {
    const std::string eps = AiFile({"0 0 m", "1 1 l", "S"});
    const std::string wmf = Wmf().Polyline({{1, 1}}).End().Bytes();
    for (const char* name : {"a.EPS", "b.Ai", "c.eps", "d.ai"}) {
        EXPECT_EQ(Place(name, eps).size(), kPlaced.size() + 4) << name;
    }
    for (const char* name : {"e.WMF", "f.Wmf"}) {
        EXPECT_EQ(Place(name, wmf), Lines({"q", "1 1 m", "S", "Q"})) << name;
    }
    // Drawings are converted on every call and never enter the image registry.
    EXPECT_TRUE(Inner().content.images.images.empty());
    EXPECT_TRUE(Inner().writer.xobject_resources.empty());
}

} // namespace
