// Files as other producers write them, read as qpdf and poppler read them: a hybrid file whose
// objects only its additional stream lists, empty compressed content, object streams under a
// chain of filters, document information in every text encoding, PDF 2.0, a page tree that hands
// its values down, and content that is damaged or expands a thousandfold.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/import/reader_corpus.h"
#include "tests/support/fixed_host.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

using reader_testing::Check;
using reader_testing::DifferingShare;
using reader_testing::Gray;
using reader_testing::PageText;
using reader_testing::PdfInfo;
using reader_testing::Render;
using reader_testing::WildFile;
using testing_support::RunCommand;
using testing_support::ShellQuoted;
using testing_support::TempDir;

int QpdfPages(const std::string& file) {
    return std::stoi(RunCommand("qpdf --show-npages " + ShellQuoted(file) + " 2>/dev/null").out);
}

// A page's content as qpdf decodes it: its content streams' data joined, CR LF made LF.
std::string QpdfContent(const std::string& file, int page) {
    const std::string pages = RunCommand("qpdf --show-pages " + ShellQuoted(file)).out;
    const std::regex heading("page " + std::to_string(page) +
                             ": [^\n]*\n  content:\n((    \\d+ "
                             "0 R\n)*)");
    std::smatch m;
    if (!std::regex_search(pages, m, heading)) return "no page";
    std::string joined;
    std::istringstream refs(m[1].str());
    for (int number = 0, generation = 0; refs >> number >> generation;) {
        refs.ignore(3); // " R"
        joined += RunCommand("qpdf --show-object=" + std::to_string(number) +
                             " --filtered-stream-data " + ShellQuoted(file))
                      .out;
    }
    return std::regex_replace(joined, std::regex("\r\n"), "\n");
}

// Every page imported at its own size, one a sheet.
void ImportEveryPage(const std::string& source, int pages, const std::string& out) {
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.SetPaperSize(255, 612, 792);
    pdf.BeginDoc(out);
    for (int page = 1; page <= pages; ++page) {
        pdf.BeginPage();
        pdf.ImportPage(source, page, 0, 0);
        pdf.EndPage();
    }
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
}

class WildFiles : public testing::TestWithParam<const char*> {};

// The file as qpdf reads it (pages, each page's content), and its pages imported read and render
// as the pages of qpdf's rewriting of it, which every reader reads.
TEST_P(WildFiles, ReadsAndImportsAsQpdfDoes) {
    const std::string source = WildFile(GetParam());
    TempDir dir;
    const std::string rewritten = dir.File("rewritten.pdf");
    ASSERT_EQ(RunCommand("qpdf " + ShellQuoted(source) + " " + ShellQuoted(rewritten)).status, 0);
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    const int pages = pdf.GetInfo(source);
    EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    ASSERT_EQ(pages, QpdfPages(source));
    for (int page = 1; page <= pages; ++page)
        EXPECT_EQ(pdf.GetContentPage(source, page), QpdfContent(source, page)) << page;

    const std::string out = dir.File("out.pdf");
    ImportEveryPage(source, pages, out);
    const auto check = Check(out);
    EXPECT_EQ(check.status, 0) << check.out;
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(PageText(out, page), PageText(rewritten, page));
        const Gray before = Render(rewritten, page, dir.File("source"));
        const Gray after = Render(out, page, dir.File("imported"));
        EXPECT_LE(DifferingShare(before, after), 0.005);
    }
}

// A hybrid file whose table marks free what its stream places; a page whose only content is
// an empty compressed stream, and one where such a stream comes before text; pages and font in
// an object stream stored through ASCII85 and Flate.
KERBOLT_TEST_LABEL(oracle, "Producers/WildFiles.*");
INSTANTIATE_TEST_SUITE_P(Producers, WildFiles,
                         testing::Values("hybrid_free.pdf", "empty_flate.pdf", "objstm_a85.pdf"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

struct InformationCase {
    const char* file;
    int charset;
};

class InformationText : public testing::TestWithParam<InformationCase> {};

// Title, subject and author as pdfinfo decodes them, in the code page of the document's text
// with "?" for what it lacks: UTF-16 as hexadecimal and as literal strings (NUL bytes, escaped
// parentheses, a character beyond 16 bits), an indirect string, the single-byte encoding with
// octal escapes.
TEST_P(InformationText, IsPdfinfosTextInTheDocumentsCodePage) {
    const InformationCase& c = GetParam();
    const std::string source = WildFile(c.file);
    TempDir dir;
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.BeginDoc(dir.File("out.pdf"));
    pdf.SetFont("Arial", 12, 0, c.charset);
    std::string title, subject, author;
    ASSERT_EQ(pdf.GetInfo(source, &title, &subject, &author), 1);
    EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    auto fields = PdfInfo(source);
    EXPECT_EQ(title, pagora::Pagora::FromUtf8(fields["Title"], c.charset));
    EXPECT_EQ(subject, pagora::Pagora::FromUtf8(fields["Subject"], c.charset));
    EXPECT_EQ(author, pagora::Pagora::FromUtf8(fields["Author"], c.charset));
}

KERBOLT_TEST_LABEL(oracle, "Encodings/InformationText.*");
INSTANTIATE_TEST_SUITE_P(Encodings, InformationText,
                         testing::Values(InformationCase{"info_latin.pdf", 0},
                                         InformationCase{"info_latin.pdf", 238},
                                         InformationCase{"info_cyrillic.pdf", 204},
                                         InformationCase{"info_cyrillic.pdf", 0},
                                         InformationCase{"info_ascii.pdf", 0},
                                         InformationCase{"info_ascii.pdf", 204}));

KERBOLT_TEST_LABEL(oracle, "InformationText.*");
TEST(InformationText, PlainAsciiComesBackByteForByte) {
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    std::string title, subject, author;
    pdf.GetInfo(WildFile("info_ascii.pdf"), &title, &subject, &author);
    EXPECT_EQ(title, "Plain (ASCII) title");
    EXPECT_EQ(subject, "Tab\tand Ascii");
    EXPECT_EQ(author, "Ada Lovelace");
    // Western by default: the umlaut is one byte of Windows-1252.
    pdf.GetInfo(WildFile("info_latin.pdf"), &title, &subject, &author);
    EXPECT_EQ(title, "\xDC"
                     "bersicht");
}

KERBOLT_TEST_LABEL(oracle, "WildFiles.*");
TEST(WildFiles, VersionTwoIsReadAndDeclaredByTheOutput) {
    const std::string source = WildFile("v20.pdf");
    TempDir dir;
    const std::string out = dir.File("out.pdf");
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    std::int16_t version = 0;
    EXPECT_EQ(pdf.GetInfo(source, nullptr, nullptr, nullptr, nullptr, nullptr, &version), 1);
    EXPECT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    EXPECT_EQ(version, 20);
    ImportEveryPage(source, 1, out);
    // The header line keeps its nine bytes; the binary comment follows it unharmed.
    const std::string bytes = testing_support::ReadFileBytes(out);
    EXPECT_EQ(bytes.substr(0, 15), "%PDF-2.0\n%\xFF\xFF\xFF\xFF\n");
    EXPECT_EQ(PdfInfo(out)["PDF version"], "2.0");
    const auto check = Check(out);
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_EQ(PageText(out, 1), PageText(source, 1));
}

// An archival document declares PDF 1.x: a page that needs 2.0 takes its claim away, and the
// file says 2.0 without claiming to be archival.
TEST(WildFiles, AVersionTwoPageDropsTheArchivalClaim) {
    TempDir dir;
    const std::string out = dir.File("archival.pdf");
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    pdf.SetPDFa(true);
    pdf.BeginDoc(out);
    pdf.BeginPage();
    pdf.ImportPage(WildFile("v20.pdf"), 1, 0, 0);
    pdf.EndPage();
    pdf.EndDoc();
    EXPECT_EQ(pdf.ErrNumber(), 5);
    EXPECT_NE(pdf.ErrDescription().find("PDF 2.0"), std::string::npos) << pdf.ErrDescription();
    const std::string bytes = testing_support::ReadFileBytes(out);
    EXPECT_EQ(bytes.substr(0, 9), "%PDF-2.0\n");
    EXPECT_EQ(bytes.find("pdfaid"), std::string::npos);
    EXPECT_EQ(bytes.find("GTS_PDFA1"), std::string::npos);
    EXPECT_EQ(Check(out).status, 0) << Check(out).out;
}

// Sizes and turns that come down the tree from the nodes above, as pdfinfo gives them.
TEST(WildFiles, InheritedBoxesAndTurnsArePdfinfos) {
    const std::string source = WildFile("inheriting_tree.pdf");
    const std::string listing =
        RunCommand("pdfinfo -f 1 -l 18 " + ShellQuoted(source) + " 2>/dev/null").out;
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    ASSERT_EQ(pdf.GetInfo(source), 18);
    for (int page = 1; page <= 18; ++page) {
        SCOPED_TRACE(page);
        float width = 0, height = 0;
        std::int16_t rotate = 0;
        ASSERT_TRUE(pdf.GetInfoPage(source, page, &width, &height, &rotate));
        std::smatch m;
        const std::string number = std::to_string(page);
        const std::regex size("Page +" + number + " size: +([0-9.]+) x ([0-9.]+) pts");
        const std::regex rot("Page +" + number + " rot: +(-?[0-9]+)");
        ASSERT_TRUE(std::regex_search(listing, m, size));
        EXPECT_FLOAT_EQ(width, std::stof(m[1]));
        EXPECT_FLOAT_EQ(height, std::stof(m[2]));
        ASSERT_TRUE(std::regex_search(listing, m, rot));
        EXPECT_EQ(rotate, std::stoi(m[1]));
    }
    // A page of the node that hands nothing down takes box and font from the root.
    TempDir dir;
    const std::string out = dir.File("out.pdf");
    pdf.SetPaperSize(255, 612, 792);
    pdf.BeginDoc(out);
    pdf.BeginPage();
    pdf.ImportPage(source, 13, 0, 0);
    pdf.EndPage();
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
    EXPECT_EQ(PageText(out, 1), PageText(source, 13));
    EXPECT_NE(PageText(out, 1).find("Inherited"), std::string::npos);
}

struct Refused {
    const char* file;
    int page;
    int error; // for the query and the import alike
};

class RefusedContent : public testing::TestWithParam<Refused> {};

// Damaged compressed content is damage of the file; content that expands past its bound is
// refused before it takes the memory. The query and the import answer alike, and a refused
// import writes nothing.
TEST_P(RefusedContent, QueryAndImportRefuseAlike) {
    const Refused& c = GetParam();
    const std::string source = WildFile(c.file);
    TempDir dir;
    const std::string out = dir.File("out.pdf");
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    ASSERT_GE(pdf.GetInfo(source), c.page);
    try {
        pdf.GetContentPage(source, c.page);
        ADD_FAILURE() << "read";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), c.error);
        EXPECT_EQ(error.Source(), "Pagora.GetContentPage");
        if (c.error == 7) EXPECT_NE(error.Description().find("expands"), std::string::npos);
    }
    pdf.BeginDoc(out);
    pdf.BeginPage();
    const auto before = pdf.FileSize();
    try {
        pdf.ImportPage(source, c.page, 0, 0);
        ADD_FAILURE() << "imported";
    } catch (const pagora::PdfError& error) {
        EXPECT_EQ(error.Number(), c.error);
        EXPECT_EQ(error.Source(), "Pagora.ImportPage");
    }
    EXPECT_EQ(pdf.FileSize(), before);
    pdf.EndPage();
    pdf.EndDoc();
    const auto check = Check(out);
    EXPECT_EQ(check.status, 0) << check.out;
}

// A stream whose Flate data holds a reserved block (qpdf too fails to decode it); 64 MB of
// blanks from 64 KB of Flate, from 200 bytes compressed twice, and in two such parts.
KERBOLT_TEST_LABEL(oracle, "Faults/RefusedContent.*");
INSTANTIATE_TEST_SUITE_P(Faults, RefusedContent,
                         testing::Values(Refused{"bad_flate.pdf", 1, 321},
                                         Refused{"expanding.pdf", 1, 7},
                                         Refused{"expanding.pdf", 2, 7},
                                         Refused{"expanding.pdf", 3, 7}));

KERBOLT_TEST_LABEL(oracle, "RefusedContent.*");
TEST(RefusedContent, DamageIsQpdfsToo) {
    const auto decoded = RunCommand("qpdf --show-object=5 --filtered-stream-data " +
                                    ShellQuoted(WildFile("bad_flate.pdf")) + " 2>&1");
    EXPECT_NE(decoded.status, 0);
}

// Dense content that repeats expands far, but stays below the bound every stream has: it is
// read whole, as qpdf reads it.
TEST(RefusedContent, DenseContentBelowTheBoundIsRead) {
    const std::string source = WildFile("expanding.pdf");
    pagora::Pagora pdf(testing_support::MakeFixedHost());
    ASSERT_EQ(pdf.GetInfo(source), 4);
    const std::string content = pdf.GetContentPage(source, 4);
    EXPECT_GT(content.size(), 12'000'000u);
    EXPECT_TRUE(content == QpdfContent(source, 4));
}

} // namespace
