#include "pdf/writer/writer.h"

#include "pdf/writer/document_metadata.h"
#include "pdf/writer/outlines.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using writer_test::WriterTest;

using PagesTest = WriterTest;

KERBOLT_TEST_LABEL(oracle, "PagesTest.SizesFollowInsertionAndSwaps");
TEST_F(PagesTest, SizesFollowInsertionAndSwaps) {
    pdf_.BeginDoc(Path());
    for (const int paper : {0, 2, 8}) {
        pdf_.SetPaperSize(paper);
        pdf_.BeginPage();
        pdf_.EndPage();
    }
    pdf_.SetPaperSize(4);
    EXPECT_EQ(pdf_.BeginPage(1), 1); // inserted in front
    EXPECT_EQ(pdf_.GetPage(), 1);
    pdf_.SetPageView(1); // this page only
    pdf_.EndPage();
    pdf_.SwapPages(3, 4);
    pdf_.SwapPages(1, 9); // out of range: nothing
    pdf_.SwapPages(2, 2);
    pdf_.SetPaperSize(1);
    EXPECT_EQ(pdf_.BeginPage(42), 5); // a position past the end appends
    pdf_.EndPage();
    EXPECT_EQ(pdf_.GetPages(), 5);
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto info = Run("pdfinfo -f 1 -l 5 %f");
    const char* expected[] = {
        "Page    1 size:  298 x 421 pts",          "Page    1 rot:   270",
        "Page    2 size:  596 x 842 pts (A4)",     "Page    2 rot:   0",
        "Page    3 size:  612 x 792 pts (letter)", "Page    4 size:  421 x 596 pts (A5)",
        "Page    5 size:  842 x 596 pts",
    };
    std::size_t at = 0;
    for (const char* line : expected) {
        const std::size_t found = info.out.find(line, at);
        EXPECT_NE(found, std::string::npos) << line << "\n" << info.out;
        if (found != std::string::npos) at = found;
    }
}

TEST_F(PagesTest, FirstPageNumbersAndDictionary) {
    pdf_.BeginDoc(Path());
    EXPECT_EQ(pdf_.BeginPage(), 1);
    pdf_.EndPage();
    const auto& s = Writer();
    EXPECT_EQ(s.pages[0].object_number, 4);
    EXPECT_EQ(s.last_object_number, 5);
    EXPECT_EQ(s.pages[0].dictionary.substr(0, 15), "/Parent 1 0 R \r");
    pdf_.EndPage(); // no page open: nothing
    EXPECT_EQ(s.last_object_number, 5);
    pdf_.Abort();
    EXPECT_EQ(Bytes().substr(39),
              "5 0 obj\n<<\n/Length 19 >>\rstream\n1 0 0 -1 0 842 cm \r\nendstream\nendobj\n");
}

KERBOLT_TEST_LABEL(oracle, "PagesTest.MarginsWithClippingStartTheContent");
TEST_F(PagesTest, MarginsWithClippingStartTheContent) {
    pdf_.BeginDoc(Path());
    pdf_.SetMargins(20, 20, 30, 30, true);
    pdf_.BeginPage();
    pagora::detail::WriteContent(Writer(), "0 0 m 10 10 l S");
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto stream = Run("qpdf --show-object=5 --filtered-stream-data %f");
    EXPECT_EQ(stream.out, "1 0 0 -1 20 812 cm \r0 0 556 782 re W n\r\r0 0 m 10 10 l S");
}

KERBOLT_TEST_LABEL(oracle, "PagesTest.OverlayAddsASecondContentStream");
TEST_F(PagesTest, OverlayAddsASecondContentStream) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.BeginOnPage(1);
    pagora::detail::WriteContent(Writer(), "0 0 10 10 re f");
    Writer().page_annots = "20 0 R ";
    pdf_.EndOnPage();
    EXPECT_EQ(Writer().pages[0].annots, "20 0 R ");
    Writer().pages[0].annots.clear(); // no such annotation object exists in the file
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto page = Run("mutool show %f 4 2>/dev/null");
    EXPECT_NE(page.out.find("/Contents [ 5 0 R 8 0 R ]"), std::string::npos) << page.out;
    const auto overlay = Run("qpdf --show-object=8 --filtered-stream-data %f");
    EXPECT_EQ(overlay.out, "\r0 0 0 rg\r0 0 0 RG\r0 0 10 10 re f");
}

KERBOLT_TEST_LABEL(oracle, "PagesTest.OverlayLeftOpenIsClosedByTheNextPageAndByEndDoc");
TEST_F(PagesTest, OverlayLeftOpenIsClosedByTheNextPageAndByEndDoc) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.BeginOnPage(1);
    pdf_.BeginPage(); // closes the overlay as EndOnPage
    pdf_.EndPage();
    pdf_.BeginOnPage(2);
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(Writer().pages[0].extra_contents, "6 0 R ");
    EXPECT_EQ(Writer().pages[1].extra_contents, "9 0 R ");
    const auto info = Run("pdfinfo %f");
    EXPECT_NE(info.out.find("Pages:           2"), std::string::npos) << info.out;
    EXPECT_THROW(pdf_.BeginOnPage(3), pagora::PdfError);
}

TEST_F(PagesTest, SwapMovesDestinationsAndBookmarks) {
    pdf_.BeginDoc(Path());
    for (int i = 0; i < 3; ++i) {
        pdf_.BeginPage();
        pdf_.EndPage();
    }
    auto& s = Writer();
    pagora::detail::AppendRecord(s.destinations, 1).page = 1;
    pagora::detail::AddBookmarkRecord(s, "Second", 0, 0);
    s.bookmarks[1].page = 2;
    pdf_.SwapPages(1, 2);
    EXPECT_EQ(s.destinations[0].page, 2);
    EXPECT_EQ(s.bookmarks[1].page, 1);
    EXPECT_EQ(s.page_order[0], 1U);
    EXPECT_EQ(s.page_order[1], 0U);
}

// Abort forgets the last document's pages and what points at them: the next document holds only
// its own, and its positions count from its own first page.
KERBOLT_TEST_LABEL(oracle, "PagesTest.AbortForgetsThePagesAndTheirTargets");
TEST_F(PagesTest, AbortForgetsThePagesAndTheirTargets) {
    pdf_.BeginDoc(dir_.File("first.pdf"));
    for (int i = 0; i < 3; ++i) {
        pdf_.BeginPage(1);
        pdf_.EndPage();
    }
    pdf_.AddBookmark("Old");
    pdf_.DefineRef("old");
    pdf_.EndDoc();
    pdf_.Abort();
    EXPECT_EQ(pdf_.GetPages(), 0);
    EXPECT_EQ(pdf_.GetPage(), 0);
    EXPECT_THROW(pdf_.BeginOnPage(1), pagora::PdfError);
    pdf_.BeginDoc(Path());
    EXPECT_EQ(pdf_.BeginPage(3), 1);
    pdf_.EndPage();
    pdf_.SwapPages(1, 2); // one page: nothing to swap
    pdf_.DefineRef("new");
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string bytes = Bytes();
    EXPECT_NE(bytes.find("/Type /Pages /Count 1\r/Kids [4 0 R ]"), std::string::npos);
    EXPECT_EQ(bytes.find("/Outlines"), std::string::npos);
    EXPECT_EQ(bytes.find("REF_old"), std::string::npos);
    EXPECT_NE(bytes.find("REF_new [4 0 R /FitB]"), std::string::npos);
}

KERBOLT_TEST_LABEL(oracle, "PagesTest.TransitionsScriptsAndLabelsReachTheFile");
TEST_F(PagesTest, TransitionsScriptsAndLabelsReachTheFile) {
    pdf_.SetPageTransition(13, 2, 1);
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    Writer().page_open_script = "app.alert('hi');";
    pdf_.SetLabel(2, "A-", 1);
    EXPECT_EQ(pagora::detail::PageLabelNumbers(Writer()), "0 <<  /S /R /P (A-) /St 1 >> ");
    pdf_.EndPage();
    pdf_.SetPageTransition(99); // outside the table: no transition
    pdf_.BeginPage();
    pdf_.SetLabel(0, "X"); // no style: nothing
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string bytes = Bytes();
    EXPECT_NE(bytes.find("/Resources 2 0 R\r/Dur 2 /Trans << /Type /Trans /D 1 /S /Dissolve >> "
                         "\n/AA << /O << /Type /Action /S /JavaScript /JS 4 0 R >>\r>> >>"),
              std::string::npos);
    EXPECT_EQ(bytes.find("/Dur", bytes.find("/Dur") + 1), std::string::npos); // second page: none
    EXPECT_NE(bytes.find("/PageLabels << /Nums [ 0 <<  /S /R /P (A-) /St 1 >>  ] >>"),
              std::string::npos);
    const auto labels = testing_support::InspectPdf(Path(), "page-labels");
    EXPECT_NE(labels.out.find("['A-I', 'A-II']"), std::string::npos) << labels.out;
}

// A reusable object placed but never ended leaves "##alias##" in the page's annotation list.
KERBOLT_TEST_LABEL(oracle, "PagesTest.PlaceholdersLeftAtTheEndAreDropped");
TEST_F(PagesTest, PlaceholdersLeftAtTheEndAreDropped) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    Writer().page_annots = "##LOGO## ";
    pdf_.EndPage();
    EXPECT_TRUE(Writer().pages[0].has_placeholders);
    pdf_.BeginPage();
    Writer().page_annots = "##A## ##B## ";
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(Bytes().find("##"), std::string::npos);
    EXPECT_EQ(Bytes().find("/Annots"), std::string::npos);
}

} // namespace
