// Calls the writer refuses: each raises or records its error, changes nothing, and the document
// that goes on afterwards is still a valid file.
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

// The refusals are tried on files only a POSIX system makes (a pipe, a file no one may read,
// devices that fail): the whole table runs on the Linux side.
#ifndef _WIN32
#include <sys/stat.h>

namespace {

using writer_test::WriterTest;

// A full disk is /dev/full.
KERBOLT_LINUX_ONLY("Refusals.*");
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

// A file this process may not read: a write-only attribute of the kernel, which refuses reading
// even to an administrator, else a file without permissions; "" when neither is refused.
std::string UnreadableFile(const testing_support::TempDir& dir) {
    const auto refused = [](const std::string& path) {
        errno = 0;
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file != nullptr) std::fclose(file);
        return file == nullptr && errno == EACCES;
    };
    if (refused("/sys/bus/pci/rescan")) return "/sys/bus/pci/rescan";
    const std::string locked = dir.File("locked.ttf");
    testing_support::WriteFileBytes(locked, "font");
    chmod(locked.c_str(), 0);
    return refused(locked) ? locked : std::string();
}

KERBOLT_TEST_LABEL(oracle, "Refusals.EachRefusalRaisesItsNumberAndTheDocumentStaysValid");
TEST_F(Refusals, EachRefusalRaisesItsNumberAndTheDocumentStaysValid) {
    const std::string fifo = dir_.File("pipe");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string other = dir_.File("other.pdf");
    // Files that are there but cannot be read, under the names of an image and of a font: a
    // folder, a file without the right to read it, a device that fails every read.
    const std::string folder = dir_.File("pictures.png");
    std::filesystem::create_directory(folder);
    const std::string unreadable = UnreadableFile(dir_);
    const std::string unreadable_image = dir_.File("locked.png");
    if (!unreadable.empty()) std::filesystem::create_symlink(unreadable, unreadable_image);
    const std::string failing = "/proc/self/mem"; // its first page is never mapped
    const std::string failing_image = dir_.File("memory.png");
    std::filesystem::create_symlink(failing, failing_image);
    const std::string nul("a\0b", 3);
    const std::string missing_folder = dir_.File("missing");
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.BeginPage(); // page 2, still open
    pdf_.AddGradient("Shade", 0, "#FF0000", "#0000FF", 0, 0, 100, 0);
    std::string attachment_name = "note" + nul;
    struct Case {
        const char* what;
        std::function<void()> call;
        int raised;   // raised by the call
        int recorded; // left in ErrNumber
    };
    const Case cases[] = {
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
        {"a listed attachment name holding NUL",
         [&] { EXPECT_FALSE(pdf_.AddAttach("/etc/hostname", attachment_name)); }, 0, 5},
        {"a pattern as bookmark colour",
         [&] { pdf_.AddBookmark("Shaded", 0, 0, 0, 0, 0, 0, {}, "Shade"); }, 13, 0},
        {"an unknown bookmark colour",
         [&] { pdf_.AddBookmark("Odd", 0, 0, 0, 0, 0, 0, {}, "0 0 1] /A << /S /URI >> [0"); }, 13,
         0},
        {"a bookmark colour of two components",
         [&] { pdf_.AddBookmark("Short", 0, 0, 0, 0, 0, 0, {}, "@10;20"); }, 13, 0},
        {"a font family holding NUL", [&] { pdf_.SetFont("Arial" + nul, 10); }, 5, 0},
        {"a font alias holding NUL",
         [&] {
             EXPECT_EQ(pdf_.AddFont("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", nul), "");
         },
         0, 5},
        {"a destination name holding NUL", [&] { pdf_.DefineRef(nul); }, 5, 0},
        {"a link to a name holding NUL", [&] { pdf_.LinkTo("ref:" + nul); }, 5, 0},
        {"a layer name holding NUL", [&] { pdf_.BeginLayer(nul); }, 5, 0},
        {"a layer list holding NUL", [&] { pdf_.BeginConditionalLayer(nul); }, 5, 0},
        {"a field name holding NUL", [&] { pdf_.DrawField(nul, 0, 10, 10, 50, 20, "value"); }, 5,
         0},
        {"a field event for a name holding NUL",
         [&] { pdf_.OnFieldEvent(0, nul, "app.alert(1);"); }, 5, 0},
        {"a gradient alias holding NUL",
         [&] { pdf_.AddGradient(nul, 0, "#FF0000", "#0000FF", 0, 0, 100, 0); }, 5, 0},
        {"a tiling alias holding NUL", [&] { pdf_.BeginTiling(nul, 0, 0, 10, 10, 10, 10); }, 5, 0},
        {"an object alias holding NUL", [&] { pdf_.BeginObject(nul); }, 5, 0},
        {"an object name holding NUL", [&] { pdf_.DrawObject(nul); }, 5, 0},
        {"a folder as image", [&] { pdf_.DrawImage(folder, 10, 10); }, 0, 75},
        {"a device failing as image", [&] { pdf_.DrawImage(failing_image, 10, 10); }, 0, 57},
        {"a folder as font", [&] { EXPECT_EQ(pdf_.AddFont(dir_.Path().string()), ""); }, 0, 75},
        {"a device failing as font", [&] { EXPECT_EQ(pdf_.AddFont(failing), ""); }, 0, 57},
        // A file missing is 53; a folder missing on its path names the path as the cause.
        {"an image in a missing folder", [&] { pdf_.DrawImage(missing_folder + "/a.png", 10, 10); },
         0, 76},
        {"a drawing in a missing folder",
         [&] { pdf_.DrawImage(missing_folder + "/a.eps", 10, 10); }, 0, 76},
        {"a font in a missing folder",
         [&] { EXPECT_EQ(pdf_.AddFont(missing_folder + "/a.ttf"), ""); }, 0, 76},
        {"a missing image", [&] { pdf_.DrawImage(dir_.File("absent.png"), 10, 10); }, 0, 53},
        {"an attachment in a missing folder",
         [&] { EXPECT_FALSE(pdf_.AddAttach(missing_folder + "/a.txt")); }, 0, 76},
        {"a source document in a missing folder",
         [&] { EXPECT_EQ(pdf_.GetInfo(missing_folder + "/a.pdf"), 0); }, 0, 76},
        {"a FIFO as source document", [&] { EXPECT_EQ(pdf_.GetInfo(fifo), 0); }, 0, 75},
        {"a device as source document", [&] { EXPECT_EQ(pdf_.GetInfo("/dev/zero"), 0); }, 0, 75},
        {"a folder as source document", [&] { EXPECT_EQ(pdf_.GetInfo(dir_.Path().string()), 0); },
         0, 75},
        {"a missing source document", [&] { EXPECT_EQ(pdf_.GetInfo(dir_.File("a.pdf")), 0); }, 0,
         53},
        // One name is one pattern, whatever its letter case and whichever kind took it first.
        {"a gradient under a taken name",
         [&] { pdf_.AddGradient("SHADE", 0, "#00FF00", "#0000FF", 0, 0, 100, 0); }, 5, 0},
        {"a tiling under a gradient's name",
         [&] { pdf_.BeginTiling(" shade ", 0, 0, 10, 10, 10, 10); }, 5, 0},
    };
    std::vector<Case> all(std::begin(cases), std::end(cases));
    if (!unreadable.empty()) {
        all.push_back({"an image without the right to read it",
                       [&] { pdf_.DrawImage(unreadable_image, 10, 10); }, 0, 70});
        all.push_back({"a font without the right to read it",
                       [&] { EXPECT_EQ(pdf_.AddFont(unreadable), ""); }, 0, 70});
    }
    for (const auto& c : all) {
        SCOPED_TRACE(c.what);
        Writer().last_error_number = 0;
        EXPECT_EQ(Raised(c.call), c.raised);
        EXPECT_EQ(pdf_.ErrNumber(), c.recorded);
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
    // Neither a refused item nor a name with its NUL reached the file.
    const std::string bytes = Bytes();
    for (const char* trace : {"Shaded", "(Odd)", "(Short)", "#00", "/URI", "/PatternType 1"})
        EXPECT_EQ(bytes.find(trace), std::string::npos) << trace;
    // The first gradient alone went into the file, under its one name.
    EXPECT_EQ(bytes.find("/PatternType 2"), bytes.rfind("/PatternType 2"));
    EXPECT_NE(bytes.find("SHADE "), std::string::npos);
    EXPECT_EQ(bytes.find("SHADE "), bytes.rfind("SHADE "));
}

// A full disk is told as such when the document's last bytes cannot be written.
TEST_F(Refusals, AFullDiskEndsTheDocumentWithItsOwnNumber) {
    pdf_.BeginDoc("/dev/full");
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    pdf_.BeginPage();
    pdf_.DrawLine(10, 10, 100, 100);
    EXPECT_EQ(Raised([&] { pdf_.EndDoc(); }), 61);
}

// Coordinates far beyond what readers hold as integers are written as reals.
KERBOLT_TEST_LABEL(oracle, "Refusals.HugeNumbersAreWrittenSoEveryReaderTakesThem");
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
KERBOLT_TEST_LABEL(oracle, "Refusals.InsertedPagesKeepBookmarksOnTheirPages");
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

#endif // _WIN32
