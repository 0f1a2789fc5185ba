#include "pdf/writer/writer.h"

#include "pdf/writer/members.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

namespace {

using namespace pagora::detail;
using testing_support::ReadFileBytes;
using testing_support::TempDir;

TEST(FileOutput, ObjectsGetNumbersAndTheirFilePositions) {
    TempDir dir;
    pagora::Pagora pdf;
    WriterState& s = pagora::detail::StateOf(pdf).writer;
    pdf.BeginDoc(dir.File("a.pdf"));
    ASSERT_EQ(pdf.ErrNumber(), 0);
    EXPECT_EQ(pdf.FileSize(), 39);
    EXPECT_EQ(s.last_object_number, 3);

    EXPECT_EQ(BeginIndirectObject(s), 4);
    EXPECT_EQ(s.object_offsets[4], 39);
    EndIndirectObject(s);
    EXPECT_EQ(BeginIndirectObject(s, 7), 7); // reserves 5 and 6
    EXPECT_EQ(s.last_object_number, 7);
    EXPECT_EQ(s.object_offsets[5], -1); // free in the cross-reference
    EXPECT_EQ(s.kept.current_object, 7);
    EndIndirectObject(s);
    for (int i = 0; i < 40; ++i)
        BeginIndirectObject(s);
    const std::int64_t before = s.output_position;
    EXPECT_EQ(BeginIndirectObject(s, 2), 2); // a reserved number keeps the count
    EXPECT_EQ(s.last_object_number, 47);
    EXPECT_EQ(s.object_offsets[2], before);
    WriteFileLine(s, "");
    pdf.Abort();
    const std::string bytes = ReadFileBytes(dir.File("a.pdf"));
    EXPECT_EQ(bytes.substr(39, 14), "4 0 obj\nendobj");
    EXPECT_EQ(bytes.back(), '\n');
}

TEST(FileOutput, ContentGoesToTheInnermostOpenBuffer) {
    WriterState s;
    WriteContent(s, "q"); // nothing open: dropped
    EXPECT_TRUE(s.page_content.empty());
    s.in_page = true;
    WriteContent(s, "q");
    WriteContent(s, "Q");
    EXPECT_EQ(s.page_content, "\rq\rQ");
    s.in_tiling = true;
    WriteContent(s, "t");
    s.in_object = true;
    WriteContent(s, "o");
    EXPECT_EQ(s.tiling_content, "\rt");
    EXPECT_EQ(s.object_content, "\ro");
    s.page_content.clear();
    EXPECT_TRUE(s.page_content.empty());
}

TEST(FileOutput, WritingWithoutAFileRaisesBadFileNumber) {
    WriterState s;
    try {
        WriteFileLine(s, "x");
        FAIL();
    } catch (const pagora::PdfError& e) {
        EXPECT_EQ(e.Number(), 52);
    }
}

} // namespace
