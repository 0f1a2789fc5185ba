// Link annotations read back by an independent PDF library: where each kind of target leads.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using writer_test::WriterTest;

KERBOLT_TEST_LABEL(oracle, "LinkTest.*");
class LinkTest : public WriterTest {
protected:
    std::string Dump() {
        const auto r = testing_support::InspectPdf(Path(), "links");
        EXPECT_EQ(r.status, 0) << r.out;
        return r.out;
    }
};

TEST_F(LinkTest, EveryTargetKindReadsBack) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    const std::string mark = pdf_.AddBookmark("Mark", 1, 2, 100);
    const std::string web = pdf_.AddBookmark("Web", 1, 5, 0, 0, 0, 0, "http://example.org");
    pdf_.BeginPage();
    // Box 10, 832, 110, 812 in page space: the link covers exactly that box.
    pdf_.DrawLine(10, 10, 110, 30);
    pdf_.LinkTo("https://example.org/x", 0, 1);
    pdf_.LinkTo("mailto:a@example.org", 2, 7);
    pdf_.LinkTo("file:other.pdf", 0, 3);
    pdf_.LinkTo("script:app.alert(1);", 0, 0);
    pdf_.LinkTo("layer:ON(a, b) OFF(c) TOGGLE(d'e)", 0, 2);
    pdf_.LinkTo("ref:later one"); // defined after the link
    pdf_.LinkTo("page:1", 0, 9, 4, 20, 40, 0, 0, 200);
    pdf_.LinkTo("page:#next", 0, 9, 2, 0, 100); // word in lower case
    pdf_.LinkTo("page:-5", 0, 9);               // before the first page: the first
    pdf_.LinkTo("page:#LAST", 0, 9, 3, 10, 20, 30, 40);
    pdf_.LinkTo("bookmark:" + mark, 0, 9);
    pdf_.LinkTo("bookmark:" + web, 0, 9); // an action item: the link does the same
    pdf_.LinkTo("bookmark:2", 0, 9);      // no "@": nothing
    pdf_.LinkTo("ftp:nowhere", 0, 9);     // unknown: nothing
    pdf_.DefineRef("later one", 1, 50);
    pdf_.BeginPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string box = "1|10.0 832.0 110.0 812.0|";
    const std::string script = "var ocgArray = this.getOCGs();for (var i=0; i < ocgArray.length; "
                               "i++) {~";
    const std::string test = "if (ocgArray[i].name.toUpperCase() == '";
    EXPECT_EQ(Dump(), box + "0 0 0|/I|uri https://example.org/x\n" + box +
                          "0 0 2|-|uri mailto:a@example.org\n" + box + "0 0 0|/P|file other.pdf\n" +
                          box + "0 0 0|/N|js app.alert(1);\n" + box + "0 0 0|/O|js " + script +
                          test + "A') { ocgArray[i].state = true; };~" + test +
                          "B') { ocgArray[i].state = true; };~" + test +
                          "C') { ocgArray[i].state = false; };~" + test +
                          "D\\'E') { ocgArray[i].state = !ocgArray[i].state; };~}\n" + box +
                          "0 0 0|/N|dest 1 /FitV 50\n" + box + "0 0 0|-|dest 0 /XYZ 20 802 2\n" +
                          box + "0 0 0|-|dest 2 /FitH 742\n" + box + "0 0 0|-|dest 0 /FitB\n" +
                          box + "0 0 0|-|dest 2 /FitR 10 782 40 822\n" + box +
                          "0 0 0|-|dest 0 /FitH 742\n" + box + "0 0 0|-|uri http://example.org\n");
}

// A bad target raises its error and leaves neither an annotation nor a destination behind.
TEST_F(LinkTest, BadTargetsRaiseAndRecordNothing) {
    struct Case {
        const char* destination;
        int error;
    };
    const Case cases[] = {{"page:three", pagora::detail::kErrTypeMismatch},
                          {"page:", pagora::detail::kErrTypeMismatch},
                          {"bookmark:@9", pagora::detail::kErrSubscript},
                          {"bookmark:@0", pagora::detail::kErrSubscript},
                          {"layer:ON(a,b", pagora::detail::kErrInvalidCall}};
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    for (const Case& c : cases) {
        try {
            pdf_.LinkTo(c.destination);
            ADD_FAILURE() << c.destination << " was accepted";
        } catch (const pagora::PdfError& e) {
            EXPECT_EQ(e.Number(), c.error) << c.destination;
        }
        EXPECT_TRUE(Writer().destinations.empty()) << c.destination;
        EXPECT_EQ(Writer().page_annots, "") << c.destination;
    }
    pdf_.EndDoc();
    ExpectValidPdf();
}

} // namespace
