// Operations called out of order or with sizes the file cannot hold fail with an error and leave
// a document that can still be finished into a valid file.
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

namespace {

using writer_test::WriterTest;

int ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const pagora::PdfError& error) {
        return error.Number();
    }
    return 0;
}

KERBOLT_TEST_LABEL(oracle, "WriterTest.PageEndedBeforeTheFileIsOpenStaysOpenForTheDocument");
TEST_F(WriterTest, PageEndedBeforeTheFileIsOpenStaysOpenForTheDocument) {
    pdf_.BeginPage();
    EXPECT_EQ(ErrorOf([&] { pdf_.EndPage(); }), 52);
    EXPECT_EQ(ErrorOf([&] { pdf_.SetAlpha(50); }), 52); // an object needs the file as well
    EXPECT_EQ(ErrorOf([&] { pdf_.EndDoc(); }), 52);
    pdf_.BeginDoc(Path());
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    pdf_.SetAlpha(50);
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(pdf_.GetPages(), 1);
    EXPECT_NE(Run("pdfinfo %f").out.find("Pages:           1\n"), std::string::npos);
    // The first object after the header is number 4: the refused one took no number.
    EXPECT_NE(Bytes().find("4 0 obj\n<</Type /ExtGState"), std::string::npos);
}

KERBOLT_TEST_LABEL(oracle, "WriterTest.PageSizesTheFileCannotHoldAreRefusedWhereTheyEnter");
TEST_F(WriterTest, PageSizesTheFileCannotHoldAreRefusedWhereTheyEnter) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.SetMargins(10, 10, 10, 10);
    const struct {
        const char* what;
        std::function<void()> call;
    } refused[] = {
        {"NaN width", [&] { pdf_.SetPaperSize(255, nan, 100); }},
        {"infinite height", [&] { pdf_.SetPaperSize(255, 100, -inf); }},
        {"width past what a reader holds", [&] { pdf_.SetPaperSize(255, 3e38f, 100); }},
        {"width whose product overflows",
         [&] {
             pdf_.SetScale(1); // inches
             pdf_.SetPaperSize(255, 1e37f, 10);
         }},
        {"NaN margin", [&] { pdf_.SetMargins(nan); }},
        {"one infinite margin of four", [&] { pdf_.SetMargins(1, 2, 3, inf); }},
        {"NaN showing time", [&] { pdf_.SetPageTransition(1, nan); }},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(ErrorOf(c.call), 6) << c.what;
        pdf_.SetScale(0);
        // The settings are as they were.
        EXPECT_FLOAT_EQ(pdf_.GetPageWidth(), 596) << c.what;
        EXPECT_FLOAT_EQ(pdf_.GetPageHeight(), 842) << c.what;
        EXPECT_FLOAT_EQ(Writer().margin_left, 10) << c.what;
        EXPECT_FLOAT_EQ(Writer().margin_bottom, 10) << c.what;
        EXPECT_TRUE(Writer().kept.page_transition.empty()) << c.what;
    }
    pdf_.EndPage();
    pdf_.BeginPage();
    // An infinite unit is refused like a zero one: every later length would overflow.
    pdf_.SetScale(255, inf);
    pdf_.SetScale(255, nan);
    pdf_.DrawLine(1, 2, 3, 4);
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(pdf_.GetPages(), 2);
    EXPECT_NE(Bytes().find("1 2 m"), std::string::npos);
    const auto info = Run("pdfinfo -f 1 -l 2 %f");
    EXPECT_NE(info.out.find("Page    1 size:  596 x 842 pts (A4)"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Page    2 size:  596 x 842 pts (A4)"), std::string::npos) << info.out;
}

TEST_F(WriterTest, NothingIsWrittenAfterTheDocumentEnds) {
    pdf_.BeginDoc(Path());
    pdf_.EndDoc();
    const std::string finished = Bytes();
    pdf_.BeginPage();
    EXPECT_EQ(ErrorOf([&] { pdf_.SetFont("Times", 12); }), 52);
    EXPECT_EQ(ErrorOf([&] { pdf_.EndPage(); }), 52);
    EXPECT_EQ(ErrorOf([&] { pdf_.EndDoc(); }), 52);
    EXPECT_EQ(Bytes(), finished);
    EXPECT_EQ(pdf_.FileSize(), static_cast<std::int64_t>(finished.size()));
}

} // namespace
