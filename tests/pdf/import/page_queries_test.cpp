// The page queries against the independent readers: every page of every source document of the
// corpus has the size and rotation pdfinfo reports and the content qpdf decodes; and the edges
// of the queries on hand-made pages.
#include "pdf/import/page_queries.h"
#include "pdf/writer/Pagora.h"
#include "tests/pdf/import/reader_corpus.h"
#include "tests/support/fixed_host.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using reader_testing::CorpusFile;
using testing_support::RunCommand;
using testing_support::ShellQuoted;

struct ToolPage {
    double width = 0, height = 0;
    int rotate = 0;
};

// pdfinfo's size and rotation of one page.
ToolPage PdfinfoPage(const std::string& file, int page) {
    const std::string out =
        RunCommand("pdfinfo -box -f " + std::to_string(page) + " -l " + std::to_string(page) + " " +
                   ShellQuoted(file) + " 2>/dev/null")
            .out;
    ToolPage result;
    std::smatch m;
    static const std::regex size(R"(Page +\d+ size: +([0-9.]+) x ([0-9.]+) pts)");
    static const std::regex rot(R"(Page +\d+ rot: +(-?\d+))");
    if (std::regex_search(out, m, size)) {
        result.width = std::stod(m[1]);
        result.height = std::stod(m[2]);
    }
    if (std::regex_search(out, m, rot)) result.rotate = std::stoi(m[1]);
    return result;
}

// The page's content streams as qpdf decodes them, joined, CR LF made LF.
std::string QpdfContent(const std::string& file, int page) {
    const std::string pages =
        RunCommand("qpdf --show-pages " + ShellQuoted(file) + " 2>/dev/null").out;
    std::istringstream lines(pages);
    std::string line;
    int current = 0;
    std::vector<std::string> objects;
    static const std::regex header(R"(^page (\d+):)");
    static const std::regex stream(R"(^\s+(\d+) 0 R)");
    bool in_content = false;
    while (std::getline(lines, line)) {
        std::smatch m;
        if (std::regex_search(line, m, header)) {
            current = std::stoi(m[1]);
            in_content = false;
        } else if (line.find("content:") != std::string::npos) {
            in_content = true;
        } else if (in_content && current == page && std::regex_search(line, m, stream)) {
            objects.push_back(m[1]);
        }
    }
    std::string joined;
    for (const std::string& number : objects) {
        joined += RunCommand("qpdf --show-object=" + number + " --filtered-stream-data " +
                             ShellQuoted(file) + " 2>/dev/null")
                      .out;
    }
    std::string text;
    for (std::size_t i = 0; i < joined.size(); ++i) {
        if (joined[i] == '\r' && i + 1 < joined.size() && joined[i + 1] == '\n') continue;
        text += joined[i];
    }
    return text;
}

class PageQueriesCorpus : public testing::TestWithParam<const char*> {};

TEST_P(PageQueriesCorpus, SizeRotationAndContentAgreeWithPdfinfoAndQpdf) {
    const std::string file = CorpusFile(GetParam());
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    const std::int32_t pages = pdf.GetInfo(file);
    ASSERT_GT(pages, 0) << pdf.ErrDescription();
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        float width = -1, height = -1;
        std::int16_t rotate = -1;
        ASSERT_TRUE(pdf.GetInfoPage(file, page, &width, &height, &rotate));
        const ToolPage tool = PdfinfoPage(file, page);
        // The query cuts to a tenth of a unit; pdfinfo rounds to a hundredth.
        EXPECT_NEAR(width, std::floor(tool.width * 10 + 1e-6) / 10, 0.011);
        EXPECT_NEAR(height, std::floor(tool.height * 10 + 1e-6) / 10, 0.011);
        // pdfinfo gives the turn modulo 360; the query gives it as written.
        EXPECT_EQ(((rotate % 360) + 360) % 360, tool.rotate);
        EXPECT_EQ(pdf.GetContentPage(file, page), QpdfContent(file, page));
    }
    EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
}

// Producers (classic tables, object streams, QDF with indirect lengths, linearized files,
// incremental saves, Ghostscript) and hand-made pages: inherited boxes and turns, content in
// parts and through an array object, a stream of another filter, a shifted MediaBox, a page
// without content.
KERBOLT_TEST_LABEL(oracle, "Corpus/PageQueriesCorpus.*");
INSTANTIATE_TEST_SUITE_P(Corpus, PageQueriesCorpus,
                         testing::Values("base.pdf", "os.pdf", "qdf.pdf", "lin.pdf", "lin_os.pdf",
                                         "v16.pdf", "inc.pdf", "inc_os.pdf", "gs.pdf", "plain.pdf",
                                         "objstm.pdf", "hybrid.pdf", "pages_inherit.pdf",
                                         "multi_stream.pdf", "hex_content.pdf", "origin.pdf",
                                         "rot90.pdf", "odd_resources.pdf", "blank.pdf",
                                         "four.pdf"));

KERBOLT_TEST_LABEL(oracle, "PageQueries.EdgesOfTheQueries");
TEST(PageQueries, EdgesOfTheQueries) {
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    const std::string inherit = CorpusFile("pages_inherit.pdf");
    float width = 0, height = 0;
    std::int16_t rotate = 0;
    // A box and a turn given only on the root node reach the page through its Parent.
    ASSERT_TRUE(pdf.GetInfoPage(inherit, 1, &width, &height, &rotate));
    EXPECT_FLOAT_EQ(width, 595.2f);
    EXPECT_FLOAT_EQ(height, 841.8f);
    EXPECT_EQ(rotate, 90);
    // Turned pages keep their unexchanged sizes, and a negative turn stays as written.
    ASSERT_TRUE(pdf.GetInfoPage(inherit, 2, &width, &height, &rotate));
    EXPECT_FLOAT_EQ(width, 612.0f);
    EXPECT_FLOAT_EQ(height, 792.0f);
    EXPECT_EQ(rotate, -90);

    // Page 0, one past the last, and a missing file leave the results as they were.
    for (const auto& [file, page] : std::vector<std::pair<std::string, int>>{
             {inherit, 0}, {inherit, 3}, {CorpusFile("no_such_file.pdf"), 1}}) {
        float w = -7, h = -7;
        std::int16_t r = -7;
        EXPECT_FALSE(pdf.GetInfoPage(file, page, &w, &h, &r));
        EXPECT_EQ(w, -7);
        EXPECT_EQ(h, -7);
        EXPECT_EQ(r, -7);
        EXPECT_EQ(pdf.GetContentPage(file, page), "");
    }

    // Millimetres as the unit: A4 is 210 by 297.
    pagora::Pagora mm(testing_support::MakeFixedHost());
    mm.SetScale(2);
    ASSERT_TRUE(mm.GetInfoPage(inherit, 1, &width, &height));
    EXPECT_FLOAT_EQ(width, 210.0f);
    EXPECT_FLOAT_EQ(height, 297.0f);

    // A Parent chain that loops before the box is found leaves the page without a size: the
    // query fails as the import of a damaged file does, and the results stay as they were.
    const std::string loop = CorpusFile("parent_loop.pdf");
    ASSERT_EQ(pdf.GetInfo(loop), 1);
    width = -1;
    try {
        pdf.GetInfoPage(loop, 1, &width, &height, &rotate);
        ADD_FAILURE() << "answered";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), 321);
        EXPECT_EQ(error.Source(), "Pagora.GetInfoPage");
    }
    EXPECT_EQ(width, -1);

    // Parts joined without separator, Flate parts inflated and CR LF made LF; a Contents that
    // refers to an array object; an ASCIIHex stream decoded; no Contents.
    const std::string multi = CorpusFile("multi_stream.pdf");
    const std::string text = "BT /F1 24 Tf 100 600 Td (Hello) Tj ET";
    const std::string second = "q BT /F1 24 Tf 100 500 Td (Hello) Tj ET Q";
    EXPECT_EQ(pdf.GetContentPage(multi, 1), "q 1 0 0 1 0 0 cm\n" + text + "\nQ" + second);
    EXPECT_EQ(pdf.GetContentPage(multi, 2), second + text);
    EXPECT_EQ(pdf.GetContentPage(CorpusFile("hex_content.pdf"), 1), text);
    EXPECT_EQ(pdf.GetContentPage(CorpusFile("blank.pdf"), 1), "");
}

KERBOLT_TEST_LABEL(oracle, "PageQueries.ImportedPagesAnswerFromTheirRecord");
TEST(PageQueries, ImportedPagesAnswerFromTheirRecord) {
    testing_support::TempDir dir;
    const std::string source = dir.File("source.pdf");
    std::filesystem::copy_file(CorpusFile("pages_inherit.pdf"), source);
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.BeginDoc(dir.File("out.pdf"));
    pdf.BeginPage();
    pdf.ImportPage(source, 2, 0, 0);
    pdf.EndPage();
    pdf.EndDoc();
    // The file changes under the record: a page not imported can no longer be read from it,
    // an imported one answers what its import stored.
    testing_support::WriteFileBytes(source, testing_support::ReadFileBytes(source) + "\n% more\n");
    float width = 0, height = 0;
    std::int16_t rotate = 0;
    EXPECT_TRUE(pdf.GetInfoPage(source, 2, &width, &height, &rotate));
    EXPECT_FLOAT_EQ(width, 612.0f);
    EXPECT_FLOAT_EQ(height, 792.0f);
    EXPECT_EQ(rotate, -90);
    try {
        pdf.GetInfoPage(source, 1, &width, &height, &rotate);
        ADD_FAILURE() << "a changed file was read";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), 321);
        EXPECT_EQ(error.Source(), "Pagora.GetInfoPage");
    }
}

// The number readers of the queries, without any file.
TEST(PageQueries, BoxesAndTurnsAsWritten) {
    struct Box {
        const char* text;
        float x1, y1, x2, y2;
    };
    const Box boxes[] = {
        {"[0 0 612 792]", 0, 0, 612, 792},
        {"[ 0 0 595.28 841.89 ]", 0, 0, 595.28f, 841.89f},
        {"[50 50 662 842]", 50, 50, 662, 842},
        {"[-10.5 -20 100 200]", -10.5f, -20, 100, 200},
        {"[0 0 612]", 0, 0, 612, 0},       // a corner missing reads as 0
        {"[0 x 612 792]", 0, 0, 612, 792}, // an unreadable one too
        {"", 0, 0, 0, 0},
    };
    for (const Box& b : boxes) {
        SCOPED_TRACE(b.text);
        const pagora::detail::PageBox box = pagora::detail::ParsePageBox(b.text);
        EXPECT_FLOAT_EQ(box.x1, b.x1);
        EXPECT_FLOAT_EQ(box.y1, b.y1);
        EXPECT_FLOAT_EQ(box.x2, b.x2);
        EXPECT_FLOAT_EQ(box.y2, b.y2);
    }
    EXPECT_EQ(pagora::detail::ParseRotate(""), 0);
    EXPECT_EQ(pagora::detail::ParseRotate("90"), 90);
    EXPECT_EQ(pagora::detail::ParseRotate("-90"), -90);
    EXPECT_EQ(pagora::detail::ParseRotate("450"), 450);
    EXPECT_EQ(pagora::detail::ParseRotate("2.5"), 2); // halves to the even neighbour
    EXPECT_EQ(pagora::detail::ParseRotate("3.5"), 4);
    EXPECT_THROW(pagora::detail::ParseRotate("40000"), pagora::PdfError);
}

} // namespace
