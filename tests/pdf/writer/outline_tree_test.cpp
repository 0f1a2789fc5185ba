// The outline tree and the named destinations, read back by an independent PDF library.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "tests/pdf/writer/writer_fixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

using writer_test::WriterTest;

// Prints each outline item as "depth|title|page index|view or action" (children indented by
// depth), then the catalog's destinations as "name|page index|view".
constexpr const char* kDumpScript = R"(
import sys, pikepdf
pdf = pikepdf.open(sys.argv[1], password=sys.argv[2] if len(sys.argv) > 2 else '')
pages = [p.objgen for p in pdf.pages]
def show(item, depth):
    while item is not None:
        line = [str(depth), str(item.Title)]
        if '/Dest' in item:
            d = item.Dest
            line += [str(pages.index(d[0].objgen)), ' '.join(str(x) for x in list(d)[1:])]
        elif '/A' in item:
            a = item.A
            line += ['-', str(a.S) + ' ' + str(a.get('/URI', a.get('/F', a.JS.read_bytes().decode() if '/JS' in a else '')))]
        if '/C' in item: line.append('C=' + ' '.join(str(float(x)) for x in item.C))
        if '/F' in item: line.append('F=' + str(item.F))
        if '/Count' in item: line.append('Count=' + str(item.Count))
        par = item.Parent
        assert par.objgen != (0, 0)
        print('|'.join(line))
        if '/First' in item:
            assert item.First.Parent.objgen == item.objgen
            show(item.First, depth + 1)
        item = item.get('/Next')
root = pdf.Root
if '/Outlines' in root: show(root.Outlines.First, 0)
if '/Dests' in root:
    for k, v in root.Dests.items():
        print('D|' + k + '|' + str(pages.index(v[0].objgen)) + '|' + ' '.join(str(x) for x in list(v)[1:]))
)";

class OutlineTest : public WriterTest {
protected:
    std::string Dump(const std::string& password = "") {
        const std::string script = dir_.File("dump.py");
        std::ofstream(script) << kDumpScript;
        const auto r = Run("/usr/bin/python3 '" + script + "' %f " +
                           (password.empty() ? "" : "'" + password + "'") + " 2>&1");
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
                      "2|A.1|0|/FitR 10 822 40 782|C=1.0 0.0 0.0|F=3\n"
                      "3|Deep|0|/FitH 742\n"
                      "1|B|1|/FitV 50|F=1\n"
                      "1|Web|-|/URI https://example.org/a(b)\n"
                      "1|Mail|-|/URI mailto:x@example.org\n"
                      "1|Doc|-|/GoToR other.pdf\n"
                      "1|Script|-|/JavaScript app.alert(1);\n"
                      "1|Nowhere\n");
    EXPECT_NE(Bytes().find("%PDF-1.4"), std::string::npos);
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
                          "REF_box|0|/FitR 10 822 40 782\n"
                          "D|/" +
                          p + "REF_early|0|/Fit\n");
}

} // namespace
