#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

KERBOLT_TEST_LABEL(oracle, "ScriptTest.*");
class ScriptTest : public writer_test::WriterTest {
protected:
    // What a reader sees of the scripts (the "scripts" query).
    std::string Scripts() const {
        return testing_support::InspectPdf(Path(), "scripts", {}, "user").out;
    }
    void Finish() {
        pdf_.EndPage();
        pdf_.EndDoc();
        EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    }
};

TEST_F(ScriptTest, DocumentEventsAccumulateOrAreReplaced) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.OnDocEvent(2, "first();");
    pdf_.OnDocEvent(2, "second();");
    pdf_.OnDocEvent(3, "a();", true); // a reset of an empty script
    pdf_.OnDocEvent(3, "b();");
    for (const int code : {4, 5, 6, 7})
        pdf_.OnDocEvent(code, "e" + std::to_string(code) + "();");
    pdf_.OnDocEvent(9, "ignored();");
    pdf_.OnDocEvent(-1, "ignored();");
    Finish();
    EXPECT_EQ(Scripts(), "open first();second();\n"
                         "/DP e6();\n/DS e7();\n/WC a();b();\n/WP e4();\n/WS e5();\n");
    EXPECT_EQ(Bytes().substr(0, 8), "%PDF-1.4");
    ExpectValidPdf();

    pdf_.Abort();
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.OnDocEvent(2, "first();");
    pdf_.OnDocEvent(2, "second();");
    pdf_.OnDocEvent(2, "third();", true);
    Finish();
    EXPECT_EQ(Scripts(), "open third();\n");
    EXPECT_EQ(Bytes().substr(0, 8), "%PDF-1.3");
}

TEST_F(ScriptTest, AnEmptyEventScriptStillRaisesTheVersion) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.OnDocEvent(4, "");
    Finish();
    EXPECT_EQ(Scripts(), "");
    EXPECT_EQ(Bytes().substr(0, 8), "%PDF-1.4");
    ExpectValidPdf();
}

TEST_F(ScriptTest, PageScriptsBelongToTheirPage) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.OnDocEvent(0, "open1();");
    pdf_.OnDocEvent(1, "close1();");
    pdf_.EndPage();
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.BeginPage();
    pdf_.OnDocEvent(1, "close3();");
    Finish();
    EXPECT_EQ(Scripts(), "page 1 /C close1();\npage 1 /O open1();\npage 3 /C close3();\n");
    ExpectValidPdf();
}

// The document-level script and the attachments share one name dictionary; in a protected
// document its keys decrypt to the names written, with 40- and 128-bit keys alike.
TEST_F(ScriptTest, GlobalScriptAndAttachmentsShareOneNameDictionary) {
    const std::string file = dir_.File("notes.txt");
    testing_support::WriteFileBytes(file, "notes");
    for (const bool protect : {false, true}) {
        for (const int mode : {0, 0x1000}) {
            SCOPED_TRACE(std::to_string(protect) + " " + std::to_string(mode));
            pdf_.Abort();
            if (protect) pdf_.SetProtection(mode, "owner", "user");
            pdf_.BeginDoc(Path());
            pdf_.BeginPage();
            pdf_.OnDocEvent(8, "var total = 0;");
            EXPECT_TRUE(pdf_.AddAttach(file));
            Finish();
            EXPECT_EQ(Scripts(), "tree globalscript var total = 0;\nfile notes.txt\n");
            const auto check = Run("qpdf --check --password=user %f 2>&1");
            EXPECT_EQ(check.status, 0) << check.out;
        }
    }
}

TEST_F(ScriptTest, PdfaModeWritesNoScript) {
    pdf_.SetPDFa(true);
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    for (int code = 0; code <= 8; ++code)
        pdf_.OnDocEvent(code, "x();");
    Finish();
    EXPECT_EQ(Scripts(), "");
    EXPECT_EQ(Bytes().find("JavaScript"), std::string::npos);
}

} // namespace
