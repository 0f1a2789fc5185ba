// Whole documents with EPS, Illustrator and metafile drawings, checked by independent renderers:
// each fixture drawn at its natural size looks as a PostScript interpreter or the metafile
// library's own renderer draws it, files of other forms still give valid documents, and files
// cut short anywhere leave valid documents with balanced content.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/fuzz/content_paths.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::WriteFileBytes;

std::string FixtureScript() {
    return testing_support::SourceDir() + "/tests/pdf/content/vector_fixtures.py";
}

// Rendering resolution of both sides: two pixels per point.
constexpr int kDpi = 144;

// The pixel tolerance of the comparisons: both renderers smooth edges their own way, so pixels
// on an edge may differ; a pixel counts as differing when a channel differs by more than 64 on
// white, and at most this share of them may differ.
constexpr double kMaxDifferingShare = 0.02;
constexpr double kMaxMeanDifference = 4.0;

KERBOLT_TEST_LABEL(oracle, "VectorDocuments.*");
class VectorDocuments : public writer_test::WriterTest {
protected:
    static void SetUpTestSuite() {
        files_ = new testing_support::TempDir();
        const auto made =
            RunCommand("/usr/bin/python3 " + FixtureScript() + " make " + files_->Path().string());
        ASSERT_EQ(made.status, 0);
    }
    static void TearDownTestSuite() {
        delete files_;
        files_ = nullptr;
    }
    static std::string Fixture(const std::string& name) { return files_->File(name); }

    // Renders every page at kDpi with mutool ("page1.png", ...); no error may be reported.
    void RenderPages() {
        const auto drawn = Run("mutool draw -q -r " + std::to_string(kDpi) + " -o '" +
                               dir_.File("page%d.png") + "' %f 2>&1");
        ASSERT_EQ(drawn.status, 0) << drawn.out;
        EXPECT_EQ(drawn.out.find("error"), std::string::npos) << drawn.out;
    }

    // "differing total mean" of the comparison of a reference picture with a page's top-left.
    struct Difference {
        long differing = -1, total = 0;
        double mean = 0;
    };
    Difference Compare(const std::string& reference, int page) {
        const auto run =
            RunCommand("/usr/bin/python3 " + FixtureScript() + " compare " + reference + " " +
                       dir_.File("page" + std::to_string(page) + ".png"));
        Difference d;
        EXPECT_EQ(std::sscanf(run.out.c_str(), "%ld %ld %lf", &d.differing, &d.total, &d.mean), 3)
            << run.out;
        return d;
    }

    // The content of the page being built, between its drawing's "q" and "Q", must be whole
    // path objects.
    void ExpectWholePaths(const std::string& name) {
        const std::string& text = Writer().page_content;
        const std::size_t first = text.find("\rq");
        const std::size_t last = text.rfind("\rQ");
        if (first == std::string::npos) {
            EXPECT_EQ(last, std::string::npos) << name;
            return;
        }
        ASSERT_NE(last, std::string::npos) << name;
        EXPECT_EQ(fuzz_check::PathObjectFault(text.substr(first + 2, last - first - 2)), "")
            << name;
    }

    // A fixture and the size it is placed at, in points: its natural size.
    struct Sized {
        const char* name;
        float width, height;
    };

    // One page per fixture, drawn at its size at the top-left corner; then the pages rendered.
    void DrawEachOnAPage(const std::vector<Sized>& files) {
        pdf_.BeginDoc(Path());
        for (const Sized& file : files) {
            pdf_.BeginPage();
            pdf_.DrawImage(Fixture(file.name), 0, 0, file.width, file.height);
            EXPECT_EQ(pdf_.ErrNumber(), 0) << file.name;
            ExpectWholePaths(file.name);
            pdf_.EndPage();
        }
        pdf_.EndDoc();
        ExpectValidPdf();
        RenderPages();
    }

    // The page looks like the reference picture of the fixture within the tolerance below.
    void ExpectLike(const std::string& reference, int page, const Sized& file) {
        const Difference d = Compare(reference, page);
        EXPECT_EQ(d.total, static_cast<long>(file.width * file.height * 4)) << file.name;
        EXPECT_LE(d.differing, d.total * kMaxDifferingShare) << file.name;
        EXPECT_LE(d.mean, kMaxMeanDifference) << file.name;
    }

    static testing_support::TempDir* files_;
};

testing_support::TempDir* VectorDocuments::files_ = nullptr;

TEST_F(VectorDocuments, EpsDrawingsLookAsAPostScriptInterpreterDrawsThem) {
    const std::vector<Sized> cases = {
        {"shapes.eps", 200, 120},
        {"variants.ai", 160, 100},
        {"offset.eps", 160, 100},
        {"crlf.eps", 100, 100},
    };
    DrawEachOnAPage(cases);
    int page = 0;
    for (const Sized& c : cases) {
        const std::string reference = dir_.File(std::string(c.name) + ".png");
        const auto drawn = RunCommand(
            "gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pngalpha -dEPSCrop -r" +
            std::to_string(kDpi) + " -o '" + reference + "' '" + Fixture(c.name) + "' 2>&1");
        ASSERT_EQ(drawn.status, 0) << drawn.out;
        ExpectLike(reference, ++page, c);
    }
    // Poppler reads the same content without complaint.
    const auto poppler = Run("pdftoppm -r 36 -png %f '" + dir_.File("poppler") + "' 2>&1");
    EXPECT_EQ(poppler.status, 0);
    EXPECT_EQ(poppler.out, "");
}

TEST_F(VectorDocuments, MetafilesLookAsTheMetafileLibraryDrawsThem) {
    const std::vector<Sized> cases = {
        {"lines.wmf", 200, 100}, {"polygons.wmf", 200, 100}, {"fillmodes.wmf", 400, 200},
        {"slots.wmf", 200, 100}, {"origin.wmf", 200, 100},   {"placeable.wmf", 200, 100},
    };
    DrawEachOnAPage(cases);
    int page = 0;
    for (const Sized& c : cases) {
        const std::string svg = dir_.File(std::string(c.name) + ".svg");
        const std::string reference = dir_.File(std::string(c.name) + ".png");
        // The library's drawing, scaled to the same size; its polylines leave their fill to the
        // drawing format's default (black), which a metafile polyline never has.
        const std::string size = "--maxwidth=" + std::to_string(int(c.width) * kDpi / 72) +
                                 " --maxheight=" + std::to_string(int(c.height) * kDpi / 72);
        const auto drawn = RunCommand(
            "wmf2svg " + size + " --maxpect -o '" + svg + "' '" + Fixture(c.name) +
            "' 2>&1 && sed -i 's/style=\"stroke-width/style=\"fill:none; stroke-width/' '" + svg +
            "' && rsvg-convert -o '" + reference + "' '" + svg + "' 2>&1");
        ASSERT_EQ(drawn.status, 0) << drawn.out;
        ExpectLike(reference, ++page, c);
    }
}

TEST_F(VectorDocuments, DashedPensBreakTheirLinesAsTheMetafileLibraryDoes) {
    // The pattern is measured in the file's units: at 2 points per unit (4 pixels), the rows of
    // the dash, dot and dash-dot pens are broken in both renderings, the null pen's is empty.
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.DrawImage(Fixture("dashes.wmf"), 0, 0, 400, 200);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    RenderPages();
    const std::string svg = dir_.File("dashes.svg");
    const std::string reference = dir_.File("dashes.png");
    const auto drawn =
        RunCommand("wmf2svg --maxwidth=800 --maxheight=400 --maxpect -o '" + svg + "' '" +
                   Fixture("dashes.wmf") +
                   "' && sed -i 's/style=\"stroke-width/style=\"fill:none; "
                   "stroke-width/' '" +
                   svg + "' && rsvg-convert -o '" + reference + "' '" + svg + "' 2>&1");
    ASSERT_EQ(drawn.status, 0) << drawn.out;
    const auto share = [](const std::string& picture, int row) {
        const auto run = RunCommand("/usr/bin/python3 " + FixtureScript() + " ink " + picture +
                                    " " + std::to_string(row) + " 60 740");
        return std::stod(run.out);
    };
    for (const std::string& picture : {reference, dir_.File("page1.png")}) {
        for (const int row : {80, 160, 240}) {
            EXPECT_GT(share(picture, row), 0.3) << picture << " row " << row;
            EXPECT_LT(share(picture, row), 0.95) << picture << " row " << row;
        }
        EXPECT_LT(share(picture, 320), 0.05) << picture; // the null pen draws nothing
    }
}

// Files not in the line-oriented form: Illustrator files with their own procedure sets (as the
// toolkit's logos are), and a file that a PostScript interpreter's EPS writer made of a program.
// Whatever they draw, placing them ends, the document is valid with balanced content, and what
// could not be drawn is recorded.
TEST_F(VectorDocuments, EpsFilesOfOtherFormsGiveValidDocuments) {
    const std::string made = dir_.File("made.eps");
    const auto written = RunCommand("gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=eps2write -o '" +
                                    made + "' '" + Fixture("program.ps") + "' 2>&1");
    ASSERT_EQ(written.status, 0) << written.out;
    const struct {
        std::string file;
        int error;
    } files[] = {
        // The writer's own interpreter of the page's content, around lines of it.
        {made, 321},
        // A custom colour ("x") the converter does not set.
        {"/usr/share/tcltk/tk8.6/images/logo.eps", 321},
        {"/usr/share/tcltk/tk8.6/images/pwrdLogo.eps", 0},
    };
    pdf_.BeginDoc(Path());
    for (const auto& [file, error] : files) {
        ASSERT_FALSE(ReadFileBytes(file).empty()) << file;
        pdf_.BeginPage();
        Writer().last_error_number = 0;
        pdf_.DrawImage(file, 20, 20, 300, 0);
        EXPECT_EQ(pdf_.ErrNumber(), error) << file << ": " << pdf_.ErrDescription();
        ExpectWholePaths(file);
        pdf_.EndPage();
    }
    pdf_.EndDoc();
    ExpectValidPdf();
    RenderPages();
}

// Files cut short anywhere: each placement ends at once, records what it met and leaves whole
// path objects; the document stays valid.
TEST_F(VectorDocuments, FilesCutAnywhereLeaveValidDocuments) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    const auto place = [&](const std::string& bytes, const std::string& name) {
        const std::string path = dir_.File(name);
        WriteFileBytes(path, bytes);
        Writer().last_error_number = 0;
        pdf_.DrawImage(path, 10, 10, 100, 0);
        ExpectWholePaths(name);
        Writer().page_content.clear(); // one placement at a time is checked
        return pdf_.ErrNumber();
    };
    for (const char* name : {"shapes.eps", "variants.ai"}) {
        const std::string whole = ReadFileBytes(Fixture(name));
        const std::size_t box_end = whole.find('\n', whole.find("%%BoundingBox:"));
        std::size_t cut = 0;
        do {
            cut = whole.find('\n', cut + 1);
            const std::string part = whole.substr(0, cut);
            // Before its bounding box's line is whole the file cannot be placed; cut before
            // the end of its drawing, nothing or part of it is drawn, and that is recorded.
            const int error = place(part, std::string("cut_") + name);
            if (part.size() < box_end) {
                EXPECT_EQ(error, 5) << name << " cut at " << part.size();
            } else if (cut == std::string::npos) {
                EXPECT_EQ(error, 0) << name;
            } else {
                EXPECT_TRUE(error == 0 || error == 321) << name << " cut at " << part.size();
            }
        } while (cut != std::string::npos);
    }
    for (const char* name : {"fillmodes.wmf", "slots.wmf"}) {
        const std::string whole = ReadFileBytes(Fixture(name));
        for (std::size_t size = 0; size <= whole.size(); size += 2) {
            const int error = place(whole.substr(0, size), std::string("cut_") + name);
            // Too short to read, a record cut short, cut at a record's end with no error, or
            // cut before anything is drawn.
            EXPECT_TRUE(error == 53 || error == 9 || error == 0 || error == 321)
                << name << " " << size << ": " << error;
        }
    }
    // Something is left to write for the page.
    pdf_.DrawImage(Fixture("slots.wmf"), 0, 0, 100, 0);
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
}

} // namespace
