// The outline tree and the named destinations, read back by an independent PDF library.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using writer_test::WriterTest;

KERBOLT_TEST_LABEL(oracle, "OutlineTest.*");
class OutlineTest : public WriterTest {
protected:
    std::string Dump(const std::string& password = "") {
        const auto r = testing_support::InspectPdf(Path(), "outline", {}, password);
        EXPECT_EQ(r.status, 0) << r.out;
        return r.out;
    }
};

TEST_F(OutlineTest, NoAddedItemWritesNoOutline) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(Dump(), "");
    EXPECT_EQ(Bytes().find("/Outlines"), std::string::npos);
}

// Nesting, level clamping, an orphan item, views of each kind, colours, styles and actions.
TEST_F(OutlineTest, TreeViewsAndActionsReadBack) {
    pdf_.SetDocProperty("Report");
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    EXPECT_EQ(pdf_.AddBookmark("Orphan", -1), "@2"); // one deeper than the title: no parent
    EXPECT_EQ(pdf_.AddBookmark("A", 1, 4, 10, 20, 150), "@3");
    pdf_.AddBookmark("A.1", -1, 3, 10, 20, 30, 40, "", "Red", 3);
    pdf_.AddBookmark("Deep", 5, 2, 100); // lowered to one below A.1
    pdf_.BeginPage();
    pdf_.AddBookmark("B", 1, 1, 50, 0, 0, 0, "", "", 2);
    pdf_.AddBookmark("Web", 0, 5, 0, 0, 0, 0, "https://example.org/a(b)");
    pdf_.AddBookmark("Mail", 0, 5, 0, 0, 0, 0, "mailto:x@example.org");
    pdf_.AddBookmark("Doc", 0, 5, 0, 0, 0, 0, "file:other.pdf");
    pdf_.AddBookmark("Script", 0, 5, 0, 0, 0, 0, "script:app.alert(1);");
    pdf_.AddBookmark("Nowhere", 0, 5, 0, 0, 0, 0, "ftp:x", "", 4);
    EXPECT_EQ(pdf_.AddBookmark("Refused", -2), "");
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(Dump(), "0|Report|0|/FitB|Count=8\n"
                      "1|Orphan|0|/FitB\n"
                      "1|A|0|/XYZ 10 822 1.5\n"
                      "2|A.1|0|/FitR 10 782 40 822|C=1.0 0.0 0.0|F=3\n"
                      "3|Deep|0|/FitH 742\n"
                      "1|B|1|/FitV 50|F=1\n"
                      "1|Web|-|/URI https://example.org/a(b)\n"
                      "1|Mail|-|/URI mailto:x@example.org\n"
                      "1|Doc|-|/GoToR other.pdf\n"
                      "1|Script|-|/JavaScript app.alert(1);\n"
                      "1|Nowhere\n");
    EXPECT_NE(Bytes().find("%PDF-1.4"), std::string::npos);
}

// An item's colour is three RGB components whatever form the caller gave it in: a grey or CMYK
// colour given as such would be an array viewers cannot use.
TEST_F(OutlineTest, ColoursOfEveryFormBecomeRgb) {
    pdf_.SetDocProperty("Report");
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.AddBookmark("Grey", 0, 0, 0, 0, 0, 0, "", "%25");
    pdf_.AddBookmark("Cyan", 0, 0, 0, 0, 0, 0, "", "@100;0;0;0");
    pdf_.AddBookmark("Dark red", 0, 0, 0, 0, 0, 0, "", "@0;100;100;50");
    pdf_.AddBookmark("Hex", 0, 0, 0, 0, 0, 0, "", "#0000FF");
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(Dump(), "0|Report|0|/FitB|Count=4\n"
                      "1|Grey|0|/FitB|C=0.75 0.75 0.75\n"
                      "1|Cyan|0|/FitB|C=0.0 1.0 1.0\n"
                      "1|Dark red|0|/FitB|C=0.5 0.0 0.0\n"
                      "1|Hex|0|/FitB|C=0.0 0.0 1.0\n");
}

// Titles are encrypted with their own object's key: a wrong key would read back as garbage.
TEST_F(OutlineTest, ProtectedTitlesDecrypt) {
    for (const int mode : {0, 0x1000}) {
        pdf_.Abort();
        pdf_.SetProtection(mode, "owner");
        pdf_.BeginDoc(Path());
        pdf_.BeginPage();
        pdf_.AddBookmark("Erste (Seite)");
        pdf_.AddBookmark("Zweite", -1, 5, 0, 0, 0, 0, "http://example.org");
        pdf_.DefineRef("here");
        pdf_.EndDoc();
        ExpectValidPdf();
        EXPECT_EQ(Dump(), "0|(senza titolo)|0|/FitB|Count=1\n1|Erste (Seite)|0|/FitB\n"
                          "2|Zweite|-|/URI http://example.org\n"
                          "D|/" +
                              Writer().resource_prefix + "REF_here|0|/FitB\n")
            << mode;
    }
}

// Named destinations: current position, page before the first, odd names, swapped pages.
TEST_F(OutlineTest, DestinationsReadBack) {
    pdf_.BeginDoc(Path());
    pdf_.DefineRef("early", 7); // no page yet, no view: the first page as a whole
    pdf_.BeginPage();
    pdf_.AddBookmark("On one");
    pdf_.BeginPage();
    pdf_.MoveTo(100, 200);
    pdf_.DefineRef("a b/(c)", 4, 0, 0, 0, 0, 100);
    pdf_.DefineRef("box", 3, 10, 20, 30, 40);
    pdf_.EndPage();
    pdf_.SwapPages(1, 2);
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string p = Writer().resource_prefix;
    const float x = pagora::detail::StateOf(pdf_).content.current_x;
    const float y = Writer().page_height - pagora::detail::StateOf(pdf_).content.current_y;
    char xyz[64];
    std::snprintf(xyz, sizeof xyz, "/XYZ %g %g 1", static_cast<double>(x), static_cast<double>(y));
    // Both the title's item and "On one" were on the first page, which is now the second.
    EXPECT_EQ(Dump(), "0|(senza titolo)|1|/FitB|Count=1\n1|On one|1|/FitB\n"
                      "D|/" +
                          p + "REF_a b/(c)|0|" + xyz +
                          "\n"
                          "D|/" +
                          p +
                          "REF_box|0|/FitR 10 782 40 822\n"
                          "D|/" +
                          p + "REF_early|0|/Fit\n");
}

} // namespace
