// Page import checked by the independent readers: a page placed at its own size on a sheet of
// its size reads and renders as the source page does; shared objects are copied once; a
// protected document enciphers what it copies; damaged pages fail before anything is written.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/import/reader_corpus.h"
#include "tests/support/fixed_host.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

namespace {

using reader_testing::Check;
using reader_testing::CorpusFile;
using reader_testing::DifferingShare;
using reader_testing::Gray;
using reader_testing::PageText;
using reader_testing::Render;
using testing_support::Count;
using testing_support::ReadFileBytes;
using testing_support::RunCommand;
using testing_support::ShellQuoted;
using testing_support::TempDir;

// The page's size in points as pdfinfo gives it.
std::pair<float, float> PageSize(const std::string& file, int page) {
    const std::string out =
        RunCommand("pdfinfo -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                   ShellQuoted(file) + " 2>/dev/null")
            .out;
    std::smatch m;
    static const std::regex size(R"(size: +([0-9.]+) x ([0-9.]+) pts)");
    if (!std::regex_search(out, m, size)) return {0, 0};
    return {std::stof(m[1]), std::stof(m[2])};
}

struct NaturalSize {
    const char* file;
    int page;
};

class ImportNaturalSize : public testing::TestWithParam<NaturalSize> {};

TEST_P(ImportNaturalSize, ReadsAndRendersAsTheSourcePage) {
    const NaturalSize& c = GetParam();
    const std::string source = CorpusFile(c.file);
    TempDir dir;
    const std::string out = dir.File("out.pdf");
    const auto [width, height] = PageSize(source, c.page);
    ASSERT_GT(width, 0);
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.SetPaperSize(255, width, height);
    pdf.BeginDoc(out);
    pdf.BeginPage();
    pdf.ImportPage(source, c.page, 0, 0);
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();

    const auto check = Check(out);
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(PageText(out, 1), PageText(source, c.page));
    const Gray before = Render(source, c.page, dir.File("source"));
    const Gray after = Render(out, 1, dir.File("imported"));
    EXPECT_LE(DifferingShare(before, after), 0.005);
}

// Every unturned page of the corpus: producers' files, a MediaBox off the origin, content in
// parts (joined with operators touching, one of them ASCIIHex) and through an array object, a
// stream of another filter copied as stored, resources with cycles, odd references and tiny
// streams, a page without content or resources.
KERBOLT_TEST_LABEL(oracle, "Corpus/ImportNaturalSize.*");
INSTANTIATE_TEST_SUITE_P(
    Corpus, ImportNaturalSize,
    testing::Values(NaturalSize{"base.pdf", 1}, NaturalSize{"base.pdf", 2},
                    NaturalSize{"base.pdf", 3}, NaturalSize{"os.pdf", 2}, NaturalSize{"qdf.pdf", 3},
                    NaturalSize{"lin.pdf", 1}, NaturalSize{"lin_os.pdf", 2},
                    NaturalSize{"inc_os.pdf", 1}, NaturalSize{"gs.pdf", 1},
                    NaturalSize{"gs.pdf", 3}, NaturalSize{"origin.pdf", 1},
                    NaturalSize{"multi_stream.pdf", 1}, NaturalSize{"multi_stream.pdf", 2},
                    NaturalSize{"hex_content.pdf", 1}, NaturalSize{"hex_parts.pdf", 1},
                    NaturalSize{"odd_resources.pdf", 1}, NaturalSize{"blank.pdf", 1},
                    NaturalSize{"four.pdf", 4}));

// Pages 1, 1 and 2 of one file: two forms, three placements, the shared font once.
void ImportSharedPages(pagora::Pagora& pdf, const std::string& source, const std::string& out) {
    pdf.BeginDoc(out);
    pdf.BeginPage();
    pdf.ImportPage(source, 1, 0, 0, 200);
    pdf.ImportPage(source, 1, 200, 0, 200);
    pdf.ImportPage(source, 2, 400, 0, 200);
    pdf.EndPage();
    pdf.EndDoc();
}

KERBOLT_TEST_LABEL(oracle, "ImportPage.*");
TEST(ImportPage, SharedObjectsAreCopiedOnce) {
    TempDir dir;
    const std::string source = CorpusFile("base.pdf");
    const std::string out = dir.File("shared.pdf");
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    ImportSharedPages(pdf, source, out);
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    EXPECT_EQ(Check(out).status, 0) << Check(out).out;
    const std::string json = RunCommand("qpdf --json=2 --json-key=qpdf " + ShellQuoted(out)).out;
    EXPECT_EQ(Count(json, R"("/Subtype": "/Form")"), 2u);
    EXPECT_EQ(Count(json, R"("/BaseFont": "/Helvetica")"), 1u);
    const std::string file = ReadFileBytes(out);
    EXPECT_EQ(Count(file, " Do"), 3u);
    EXPECT_EQ(Count(file, "/AABC12+PDF_1.1 Do"), 2u);
    EXPECT_EQ(Count(file, "/AABC12+PDF_1.2 Do"), 1u);
    // Both forms name the one copy of the page's font dictionary.
    std::smatch m;
    const std::regex font(R"(/Resources << /Font (\d+) 0 R)");
    std::vector<std::string> targets;
    for (auto it = std::sregex_iterator(file.begin(), file.end(), font);
         it != std::sregex_iterator(); ++it)
        targets.push_back((*it)[1]);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_EQ(targets[0], targets[1]);
    // Each source page reads in the output as in the source.
    EXPECT_NE(PageText(out, 1).find("Page 1 of the base document"), std::string::npos);
    EXPECT_NE(PageText(out, 1).find("Page 2 of the base document"), std::string::npos);
}

TEST(ImportPage, ProtectedDocumentsEncipherWhatIsCopied) {
    TempDir dir;
    for (const int mode : {0, 0x1000}) {
        SCOPED_TRACE(mode);
        const std::string out = dir.File("protected" + std::to_string(mode) + ".pdf");
        pagora::Pagora pdf(testing_support::MakeFixedHost());
        pdf.SetProtection(mode, "o", "u");
        ImportSharedPages(pdf, CorpusFile("base.pdf"), out);
        ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
        const auto check = Check(out, "u");
        EXPECT_EQ(check.status, 0) << check.out;
        const std::string text = PageText(out, 1, "u");
        EXPECT_NE(text.find("Page 1 of the base document"), std::string::npos) << text;
        EXPECT_NE(text.find("Page 2 of the base document"), std::string::npos) << text;

        // Strings of copied objects come out as written, under the keys of their new objects.
        const std::string odd = dir.File("odd" + std::to_string(mode) + ".pdf");
        pagora::Pagora layers(testing_support::MakeFixedHost());
        layers.SetProtection(mode, "o", "u");
        layers.SetPaperSize(255, 612, 792);
        layers.BeginDoc(odd);
        layers.BeginPage();
        layers.ImportPage(CorpusFile("odd_resources.pdf"), 1, 0, 0);
        layers.EndPage();
        layers.EndDoc();
        EXPECT_EQ(Check(odd, "u").status, 0) << Check(odd, "u").out;
        const std::string plain =
            RunCommand("qpdf --password=u --decrypt --qdf --object-streams=disable " +
                       ShellQuoted(odd) + " -")
                .out;
        EXPECT_NE(plain.find("/Name (Layer one \\(5 0 R\\) stream)"), std::string::npos);
        EXPECT_NE(plain.find("/Name (Layer \\(two\\))"), std::string::npos);
        EXPECT_NE(PageText(odd, 1, "u").find("Odd resources 7 0 R"), std::string::npos);
        EXPECT_LE(DifferingShare(Render(CorpusFile("odd_resources.pdf"), 1, dir.File("a")),
                                 Render(odd, 1, dir.File("b"), "u")),
                  0.005);
    }
}

TEST(ImportPage, OddReferencesBecomeNullOrTheirCopies) {
    TempDir dir;
    const std::string out = dir.File("odd.pdf");
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.BeginDoc(out);
    pdf.BeginPage();
    pdf.ImportPage(CorpusFile("odd_resources.pdf"), 1, 0, 0);
    pdf.EndPage();
    pdf.EndDoc();
    const std::string file = ReadFileBytes(out);
    // Number 0, a number past the index and a freed object name nothing; generation 1 is read
    // as the only generation the reader knows.
    EXPECT_NE(file.find("/Zero null /Beyond null"), std::string::npos);
    EXPECT_EQ(file.find("999 0 R"), std::string::npos);
    EXPECT_EQ(file.find(" 1 R"), std::string::npos);
    const std::regex freed(R"(/Freed (\d+) 0 R)");
    std::smatch m;
    ASSERT_TRUE(std::regex_search(file, m, freed));
    EXPECT_NE(file.find("\n" + m[1].str() + " 0 obj\nnull\nendobj"), std::string::npos);
    // Strings and names that look like references or keywords are left alone; the layers'
    // cycle and the form naming itself are copied once each and point at their copies.
    EXPECT_NE(file.find("(Layer one \\(5 0 R\\) stream)"), std::string::npos);
    EXPECT_NE(file.find("/Kind /octet-stream"), std::string::npos);
    EXPECT_EQ(Count(file, "/Type /OCG"), 2u);
    EXPECT_EQ(Count(file, "/Subtype /Image"), 1u);
    EXPECT_EQ(Count(file, "/BBox [0 0 10 10]"), 1u);
    const std::regex self(
        R"(\n(\d+) 0 obj\n<< /Type /XObject /Subtype /Form /BBox \[0 0 10 10\] /Resources << /XObject << /Self (\d+) 0 R)");
    ASSERT_TRUE(std::regex_search(file, m, self));
    EXPECT_EQ(m[1], m[2]);
    // The one-byte image keeps its stream.
    EXPECT_NE(file.find("\nstream\r\n\x80\rendstream"), std::string::npos);
    const auto check = Check(out);
    EXPECT_EQ(check.status, 0) << check.out;
}

TEST(ImportPage, PagesThatCannotBeCopiedFailBeforeWritingAnything) {
    struct Case {
        const char* file;
        int error;
    };
    // Content parts with a predictor cannot be decoded to be joined; a page whose box loops
    // away through its Parent chain has no size to place by.
    for (const Case& c : {Case{"predicted_parts.pdf", 321}, Case{"parent_loop.pdf", 321}}) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const std::string out = dir.File("out.pdf");
        const std::string source = CorpusFile(c.file); // made before the clock starts
        pagora::Pagora pdf(testing_support::MakeFixedHost());
        pdf.BeginDoc(out);
        pdf.BeginPage();
        const auto before = pdf.FileSize();
        try {
            pdf.ImportPage(source, 1, 0, 0);
            ADD_FAILURE() << "imported";
        } catch (const pagora::PdfError& error) {
            EXPECT_EQ(error.Number(), c.error);
            EXPECT_EQ(error.Source(), "Pagora.ImportPage");
        }
        EXPECT_EQ(pdf.FileSize(), before);
        pdf.ImportPage(CorpusFile("base.pdf"), 1, 0, 0);
        pdf.EndPage();
        pdf.EndDoc();
        const auto check = Check(out);
        EXPECT_EQ(check.status, 0) << check.out;
        EXPECT_NE(PageText(out, 1).find("Page 1 of the base document"), std::string::npos);
    }
}

TEST(ImportPage, VersionRisesToTheSources) {
    struct Case {
        const char* file;
        const char* header;
    };
    for (const Case& c : {Case{"v16.pdf", "%PDF-1.6"}, Case{"base.pdf", "%PDF-1.3"}}) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        const std::string out = dir.File("out.pdf");
        pagora::Pagora pdf(testing_support::MakeFixedHost());
        pdf.BeginDoc(out);
        pdf.BeginPage();
        pdf.ImportPage(CorpusFile(c.file), 1, 0, 0);
        pdf.EndPage();
        pdf.EndDoc();
        EXPECT_EQ(ReadFileBytes(out).substr(0, 8), c.header);
    }
}

// The placing lines: the size asked for, the other side in the page's proportions, the page's
// own size in millimetres; the rectangle a following link takes is the placed page.
TEST(ImportPage, PlacingFollowsTheSizeAsked) {
    struct Case {
        int scale;
        float x, y, width, height;
        const char* matrix;
    };
    const Case cases[] = {
        {0, 10, 20, 0, 0, "1 0 0 -1 10 812 cm"},
        {0, 0, 0, 100, 0, "0.163 0 0 -0.163 0 129.412 cm"},
        {0, 0, 0, 0, 100, "0.126 0 0 -0.126 0 100 cm"},
        {0, 0, 0, 306, 198, "0.5 0 0 -0.25 0 198 cm"},
        {2, 0, 0, 0, 0, "1 0 0 -1 0 792 cm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.matrix);
        TempDir dir;
        const std::string out = dir.File("out.pdf");
        pagora::Pagora pdf(testing_support::MakeFixedHost());
        pdf.SetScale(c.scale);
        pdf.BeginDoc(out);
        pdf.BeginPage();
        pdf.ImportPage(CorpusFile("rot90.pdf"), 1, c.x, c.y, c.width, c.height);
        pdf.EndPage();
        pdf.EndDoc();
        EXPECT_NE(
            ReadFileBytes(out).find(std::string("\rq\r") + c.matrix + "\r/AABC12+PDF_1.1 Do\rQ"),
            std::string::npos);
    }
}

// A letterhead under new lines of text, then four pages of another file two by two on one
// sheet: every piece is where it was put. With KERBOLT_KEEP_SAMPLE naming a folder, the sample
// and its renders are kept there for a look.
TEST(ImportPage, LetterheadAndFourPagesOnOneSheet) {
    TempDir dir;
    const std::string out = dir.File("sample.pdf");
    const std::string letterhead = CorpusFile("gs.pdf");
    const std::string four = CorpusFile("four.pdf");
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.SetPaperSize(255, 595.276f, 841.89f);
    pdf.BeginDoc(out);
    pdf.BeginPage();
    pdf.ImportPage(letterhead, 1, 0, 0);
    pdf.SetFont("Helvetica", 16);
    pdf.DrawText(72, 300, "Dear reader, this line is new.");
    pdf.DrawText(72, 330, "So is this one, below the letterhead's own.");
    pdf.EndPage();
    pdf.BeginPage();
    const float w = 595.276f / 2, h = 841.89f / 2;
    for (int page = 1; page <= 4; ++page) {
        const int column = (page - 1) % 2, row = (page - 1) / 2;
        pdf.ImportPage(four, page, static_cast<float>(column) * w, static_cast<float>(row) * h, w);
    }
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    const auto check = Check(out);
    EXPECT_EQ(check.status, 0) << check.out;

    const std::string first = PageText(out, 1);
    EXPECT_NE(first.find("Page 1 of the base document"), std::string::npos) << first;
    EXPECT_NE(first.find("Dear reader, this line is new."), std::string::npos) << first;
    // Each quarter of the sheet holds its own page, corners included.
    for (int page = 1; page <= 4; ++page) {
        SCOPED_TRACE(page);
        const int column = (page - 1) % 2, row = (page - 1) / 2;
        const std::string crop = " -x " + std::to_string(column * 297) + " -y " +
                                 std::to_string(row * 421) + " -W 297 -H 420 ";
        const std::string quarter =
            RunCommand("pdftotext -layout -f 2 -l 2" + crop + ShellQuoted(out) + " - 2>/dev/null")
                .out;
        const std::string n = std::to_string(page);
        EXPECT_NE(quarter.find("Sheet page " + n + ", top left"), std::string::npos) << quarter;
        EXPECT_NE(quarter.find("bottom right " + n), std::string::npos) << quarter;
    }
    if (const char* keep = std::getenv("KERBOLT_KEEP_SAMPLE")) {
        const std::string folder = keep;
        testing_support::WriteFileBytes(folder + "/import_sample.pdf", ReadFileBytes(out));
        RunCommand("pdftoppm -r 50 -png " + ShellQuoted(out) + " " +
                   ShellQuoted(folder + "/import_sample"));
    }
}

} // namespace
