// Operations called out of order or with sizes the file cannot hold fail with an error and leave
// a document that can still be finished into a valid file.
#include "tests/pdf/writer/writer_fixture.h"

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

TEST_F(WriterTest, PageSizesTheFileCannotHoldKeepThePageOpen) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.SetPaperSize(255, nan, 100);
    EXPECT_EQ(ErrorOf([&] { pdf_.EndPage(); }), 6);
    pdf_.SetPaperSize(0);
    pdf_.SetMargins(nan);
    EXPECT_EQ(ErrorOf([&] { pdf_.BeginPage(); }), 6);
    pdf_.SetMargins();
    // An infinite unit is refused like a zero one: every later length would overflow.
    pdf_.SetScale(255, std::numeric_limits<float>::infinity());
    pdf_.SetScale(255, nan);
    pdf_.DrawLine(1, 2, 3, 4);
    pdf_.EndDoc();
    ExpectValidPdf();
    EXPECT_EQ(pdf_.GetPages(), 1);
    EXPECT_NE(Bytes().find("1 2 m"), std::string::npos);
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
