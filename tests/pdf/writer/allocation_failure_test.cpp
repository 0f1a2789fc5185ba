// Allocation failures inside the library reach the caller as error 7. Every allocation an
// operation makes is failed in turn (this test program replaces the global allocation functions
// to do so): each time the caller meets PdfError 7, or ErrNumber 7 from the operations that
// record their failures, and never a std::bad_alloc.
#include "pdf/writer/Pagora.h"
#include "tests/pdf/fonts/truetype_builder.h"
#include "tests/support/fixed_host.h"
#include "tests/support/png_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

namespace {

// The allocation, counted from 1 since the test armed it, that fails; 0 fails none. Only the
// thread that arms it is affected.
thread_local std::size_t fail_at = 0;
thread_local std::size_t allocations = 0;

void* Allocate(std::size_t size) {
    if (fail_at != 0 && ++allocations == fail_at) throw std::bad_alloc();
    if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
    throw std::bad_alloc();
}

} // namespace

// The replaceable allocation functions, all on malloc and free so that every pair matches.
void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

namespace {

using pagora::Pagora;

struct Operation {
    const char* name;
    // Brings a fresh document to the point where the operation runs.
    std::function<void(Pagora&, const testing_support::TempDir&)> prepare;
    std::function<void(Pagora&, const testing_support::TempDir&)> run;
};

// A document with a page open, a font selected and one line of text.
void OpenPage(Pagora& pdf, const testing_support::TempDir& dir) {
    pdf.BeginDoc(dir.File("out.pdf"));
    pdf.BeginPage();
    pdf.SetFont("Arial", 12);
    pdf.DrawText(20, 40, "Line");
}

TEST(AllocationFailure, EveryFailedAllocationIsErrorSeven) {
    testing_support::TempDir dir;
    font_test::BuiltFont font;
    font.names.clear();
    font.glyphs = {font_test::BuiltFont::Glyph{1, {0, 0, 500, 700}}};
    // The names are made before any allocation is failed: only the library's own may fail.
    const std::string output = dir.File("out.pdf");
    const std::string face = dir.File("face.ttf");
    const std::string image = dir.File("dot.png");
    const std::string attachment = dir.File("note.txt");
    testing_support::WriteFileBytes(face, font.Build());
    const std::vector<std::uint8_t> rows = {0, 0, 255, 0, 255, 0, 0, 255, 0, 0, 255, 0};
    const std::vector<std::uint8_t> png = testing_support::PngFile(2, 2, 2, rows);
    testing_support::WriteFileBytes(image, std::string(png.begin(), png.end()));
    testing_support::WriteFileBytes(attachment, "attached\n");

    const auto nothing = [](Pagora&, const testing_support::TempDir&) {};
    const Operation operations[] = {
        {"BeginDoc", nothing, [&](Pagora& pdf, auto&) { pdf.BeginDoc(output); }},
        {"AddFont",
         [](Pagora& pdf, const testing_support::TempDir& d) { pdf.BeginDoc(d.File("out.pdf")); },
         [&](Pagora& pdf, auto&) { pdf.AddFont(face, "My Face", true, 161); }},
        {"SetFont", OpenPage, [](Pagora& pdf, auto&) { pdf.SetFont("Times", 10, 3, 204); }},
        {"DrawText", OpenPage, [](Pagora& pdf, auto&) { pdf.DrawText(20, 60, "Some more text"); }},
        {"DrawTextBox", OpenPage,
         [](Pagora& pdf, auto&) {
             pdf.DrawTextBox(20, 80, 100, 100, "Words that wrap over a few lines of the box");
         }},
        {"DrawImage", OpenPage, [&](Pagora& pdf, auto&) { pdf.DrawImage(image, 20, 200); }},
        {"AddBookmark", OpenPage,
         [](Pagora& pdf, auto&) { pdf.AddBookmark("Chapter", 0, 0, 0, 0, 0, 0, {}, "#FF0000"); }},
        {"DrawField", OpenPage,
         [](Pagora& pdf, auto&) { pdf.DrawField("Name", 0, 20, 300, 100, 20, "Value"); }},
        {"AddAttach", OpenPage, [&](Pagora& pdf, auto&) { pdf.AddAttach(attachment); }},
        {"EndPage", OpenPage, [](Pagora& pdf, auto&) { pdf.EndPage(); }},
        {"EndDoc",
         [](Pagora& pdf, const testing_support::TempDir& d) {
             OpenPage(pdf, d);
             pdf.AddBookmark("Chapter");
             pdf.EndPage();
         },
         [](Pagora& pdf, auto&) { pdf.EndDoc(); }},
        {"FromUtf8", nothing, [](Pagora&, auto&) { Pagora::FromUtf8("Grüße €", 0); }},
    };
    for (const Operation& operation : operations) {
        SCOPED_TRACE(operation.name);
        bool reached_the_end = false;
        // Each pass fails one more allocation, until the operation makes fewer than that.
        for (std::size_t n = 1; !reached_the_end && n < 20000; ++n) {
            Pagora pdf(testing_support::MakeFixedHost());
            operation.prepare(pdf, dir);
            ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
            int raised = 0;
            allocations = 0;
            fail_at = n;
            try {
                operation.run(pdf, dir);
            } catch (const pagora::PdfError& error) {
                raised = error.Number();
            } catch (const std::exception& error) {
                fail_at = 0;
                ADD_FAILURE() << "allocation " << n << " escaped as " << error.what();
                break;
            }
            fail_at = 0;
            reached_the_end = allocations < n;
            if (raised != 0) {
                EXPECT_EQ(raised, 7) << "allocation " << n;
            } else if (!reached_the_end) {
                // Recorded, by the operations that record their failures.
                EXPECT_TRUE(pdf.ErrNumber() == 0 || pdf.ErrNumber() == 7)
                    << "allocation " << n << ": " << pdf.ErrNumber() << " " << pdf.ErrDescription();
            }
        }
        EXPECT_TRUE(reached_the_end);
    }
}

} // namespace
