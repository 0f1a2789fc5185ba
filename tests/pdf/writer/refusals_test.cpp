// Calls the writer refuses: each raises or records its error, changes nothing, and the document
// that goes on afterwards is still a valid file.
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <sys/stat.h>

namespace {

using writer_test::WriterTest;

class Refusals : public WriterTest {
protected:
    // The error number a call raises, 0 when it raises none.
    static int Raised(const std::function<void()>& call) {
        try {
            call();
        } catch (const pagora::PdfError& error) {
            return error.Number();
        }
        return 0;
    }
};

TEST_F(Refusals, EachRefusalRaisesItsNumberAndTheDocumentStaysValid) {
    const std::string fifo = dir_.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string other = dir_.File("other.pdf");
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.BeginPage(); // page 2, still open
    const struct {
        const char* what;
        std::function<void()> call;
        int raised;   // raised by the call
        int recorded; // left in ErrNumber
    } cases[] = {
        {"a swap with the open page", [&] { pdf_.SwapPages(1, 2); }, 5, 0},
        {"EndOnPage on a page not reopened", [&] { pdf_.EndOnPage(); }, 5, 0},
        {"a second BeginDoc", [&] { pdf_.BeginDoc(other); }, 0, 5},
        {"a file name holding NUL", [&] { pdf_.BeginDoc(std::string("x\0.pdf", 6)); }, 0, 5},
        {"a NaN coordinate",
         [&] { pdf_.DrawRect(std::numeric_limits<float>::quiet_NaN(), 0, 1, 1); }, 6, 0},
        {"an infinite coordinate",
         [&] { pdf_.DrawRect(0, std::numeric_limits<float>::infinity(), 1, 1); }, 6, 0},
        {"too few samples for the rows",
         [&] {
             pdf_.AddImagePattern("short", 4, 3, {1, 2, 3}, {});
         },
         5, 0},
        {"too few samples for a 1-bit image",
         [&] {
             pdf_.AddImagePattern("dots", 9, 2, {0xFF, 0xFF, 0xFF}, {0, 0, 0, 255, 255, 255});
         },
         5, 0},
        {"a FIFO as attachment", [&] { EXPECT_FALSE(pdf_.AddAttach(fifo)); }, 0, 75},
        {"a device as attachment", [&] { EXPECT_FALSE(pdf_.AddAttach("/dev/zero")); }, 0, 75},
        {"a folder as attachment", [&] { EXPECT_FALSE(pdf_.AddAttach(dir_.Path().string())); }, 0,
         75},
        {"an attachment name holding NUL",
         [&] { EXPECT_FALSE(pdf_.AddAttach(std::string("/etc/hostname\0x", 15))); }, 0, 52},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Writer().last_error_number = 0;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(Raised(c.call), c.raised);
        EXPECT_EQ(pdf_.ErrNumber(), c.recorded);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    }
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_FALSE(std::filesystem::exists(dir_.File("x")));
    EXPECT_EQ(pdf_.GetPages(), 2);
    Writer().last_error_number = 0;
    pdf_.EndPage();
    pdf_.SwapPages(1, 2); // both pages are finished now
    pdf_.EndDoc();
    EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    ExpectValidPdf();
}

// Coordinates far beyond what readers hold as integers are written as reals.
TEST_F(Refusals, HugeNumbersAreWrittenSoEveryReaderTakesThem) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.DrawLine(0, 0, 1e30f, 1e30f);
    pdf_.DrawRect(-3e9f, 10, 20, 20);
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    ExpectValidPdf();
    EXPECT_NE(Bytes().find("1000000000000000000000000000000.0"), std::string::npos);
    for (const char* render :
         {"pdftoppm -r 10 -gray %f >/dev/null 2>&1", "mutool draw -q -r 10 -o /dev/null %f 2>&1"}) {
        const auto run = Run(render);
        EXPECT_EQ(run.status, 0) << render << ": " << run.out;
        EXPECT_EQ(run.out.find("rror"), std::string::npos) << render << ": " << run.out;
    }
}

// A page inserted before others moves the bookmarks and named destinations of the later pages
// with them, as a swap does.
TEST_F(Refusals, InsertedPagesKeepBookmarksOnTheirPages) {
    pdf_.BeginDoc(Path());
    pdf_.SetFont("Helvetica", 12);
    pdf_.BeginPage();
    pdf_.DrawText(10, 10, "Cover");
    pdf_.EndPage();
    pdf_.BeginPage();
    pdf_.AddBookmark("Chapter 1", 0, 0);
    pdf_.EndPage();
    pdf_.BeginPage(1); // a new first page: the cover and chapter 1 move down by one
    pdf_.EndPage();
    pdf_.BeginPage(2); // between the new first page and the cover
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    ExpectValidPdf();
    const auto outline = testing_support::InspectPdf(Path(), "outline");
    ASSERT_EQ(outline.status, 0) << outline.out;
    // Page indexes from 0: chapter 1 is the fourth page.
    EXPECT_NE(outline.out.find("|Chapter 1|3|"), std::string::npos) << outline.out;
}

} // namespace
