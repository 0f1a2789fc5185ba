#include "tests/pdf/writer/annotation_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace {

using pagora::Pagora;

using AnnotationDocument = writer_test::AnnotationFixture;

// Notes, icons, stamps and an embedded file read back with their texts (decrypted in the
// protected document) and the file's bytes whole.
TEST_P(AnnotationDocument, EveryKindReadsBack) {
    const std::string attached = dir_.File("data (1).bin");
    std::string bytes;
    for (int i = 0; i < 3000; ++i)
        bytes += static_cast<char>(i * 7 % 256);
    std::ofstream(attached, std::ios::binary) << bytes;

    Begin();
    pdf_.BeginPage();
    pdf_.SetColorFill("#FFFF00");
    pdf_.SetColorLine("@0;100;0;0");
    pdf_.DrawNote("Note (with) \\ text", 10, 10, 100, 30, 4, 1, 3, 2, 4);
    std::string content = "Help me";
    pdf_.DrawPlaceHolder(content, 2, 50, 50);
    content = "Stamped";
    pdf_.DrawPlaceHolder(content, 263, 10, 100, 120, 40);
    content = "Unnamed icon";
    pdf_.DrawPlaceHolder(content, 99, 5, 5);
    content = attached + "|The data";
    pdf_.DrawPlaceHolder(content, 514, 80, 80);
    EXPECT_EQ(content, attached);

    const std::vector<std::string> lines = Finish();
    const std::vector<std::string> expected = {
        "form none",
        "page 1 /FreeText F=4 T=Oskelbrann Q=1 DA=/" + Writer().resource_prefix +
            "Arial 12 Tf 0 1 0 0 k Contents=Note (with) \\ text",
        "page 1 /Text F=4 T=Oskelbrann Contents=Help me Name=/Help",
        "page 1 /Stamp F=4 T=Oskelbrann Contents=Stamped Name=/Final",
        "page 1 /Text F=4 T=Oskelbrann Contents=Unnamed icon",
        "page 1 /FileAttachment F=4 T=Oskelbrann Contents=The data Name=/Paperclip "
        "file=data (1).bin:3000",
    };
    EXPECT_EQ(lines, expected);

    // The embedded stream's bytes equal the file's.
    const auto extracted =
        Run("/usr/bin/python3 -W ignore '" + testing_support::SourceDir() +
            "/tests/support/pdf_inspect.py' annotation-file %f 4 | cmp - '" + attached + "'");
    EXPECT_EQ(extracted.status, 0) << extracted.out;
}

KERBOLT_TEST_LABEL(oracle, "PlainAndProtected/AnnotationDocument.*");
INSTANTIATE_TEST_SUITE_P(PlainAndProtected, AnnotationDocument, ::testing::Bool());

class AnnotationRecords : public writer_test::WriterTest {};

// The note's rectangle, colours and border style as written; a missing attachment writes no
// object and no reference.
KERBOLT_TEST_LABEL(oracle, "AnnotationRecords.*");
TEST_F(AnnotationRecords, NoteAndMissingAttachment) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.SetScale(2); // millimetres
    pdf_.SetColorFill("%20");
    pdf_.SetColorLine("#FF0000");
    pdf_.DrawNote("n", 10, 20, 30, 5, 2, 1, 2.5f, 1);
    const int before = Writer().last_object_number;
    std::string missing = dir_.File("nothing.bin") + "|gone";
    pdf_.DrawPlaceHolder(missing, 512, 10, 10);
    EXPECT_EQ(missing, dir_.File("nothing.bin"));
    EXPECT_EQ(Writer().last_object_number, before);
    EXPECT_EQ(Writer().page_annots, std::to_string(before) + " 0 R ");
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string file = Bytes();
    EXPECT_NE(file.find("<< /Type /Annot /Subtype /FreeText\r/Rect [28.346 785.307 113.386 "
                        "771.134]\r /F 0\r/Q 2\r/C [0.8]\r/BS << /Type /Border /W 1/S /D /D [2.5 "
                        "1]>>\r /T (Oskelbrann) /Contents (n) /DA (0 Tf 1 0 0 rg) >>"),
              std::string::npos)
        << file;
}

} // namespace
