#include "tests/pdf/writer/annotation_fixture.h"
#include "tests/support/greymap.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using pagora::Pagora;
using pagora::PdfError;

using FormFieldDocument = writer_test::AnnotationFixture;

// One field of every type on the first page and one on the second: each widget names its own
// page, the literals read back (decrypted in the protected document), and the appearance names
// a font the form's resources hold.
TEST_P(FormFieldDocument, EveryFieldTypeReadsBack) {
    Begin();
    pdf_.BeginPage();
    pdf_.DrawText(20, 20, "Form");
    pdf_.DrawField("name", 0, 10, 10, 100, 20, "Anna (A.) \\ B", 12, "Your name", 16 | 4096);
    pdf_.DrawField("agree", 1, 10, 40, 12, 12, "TRUE", 0, "", 8);
    pdf_.DrawField("list", 2, 10, 60, 100, 40, "one|two|three", std::string(" 2 "));
    pdf_.DrawField("combo", 3, 10, 110, 100, 20, "x|y", 0, "", 2);
    pdf_.DrawField("radio", 4, 10, 140, 12, 12, "false", 0, "", 3);
    pdf_.DrawField("send", 5, 10, 160, 60, 20, "Send", std::string("app.alert(1);"));
    pdf_.BeginPage();
    pdf_.DrawField("second", 0, 10, 10, 100, 20, "");
    const std::vector<std::string> lines = Finish();
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0],
              "form NeedAppearances=True fields=7 co= dr=" + Writer().resource_prefix + "Arial");
    const std::string da = "DA=/" + Writer().resource_prefix + "Arial 12 Tf 0 0 0 rg ";
    const std::vector<std::string> expected = {
        "page 1 /Widget FT=/Tx Ff=4096 F=4 T=name TU=Your name V=Anna (A.) \\ B "
        "DV=Anna (A.) \\ B MaxLen=12 Q=1 " +
            da + " P=ok field=0",
        "page 1 /Widget FT=/Btn Ff=1 F=4 T=agree V=/Yes DV=/Yes AS=/Yes " + da + " P=ok field=1",
        "page 1 /Widget FT=/Ch Ff=0 F=4 T=list V=two DV=two Opt=[one|two|three] " + da +
            " P=ok field=2",
        "page 1 /Widget FT=/Ch Ff=131072 T=combo Opt=[x|y] " + da + " P=ok field=3",
        "page 1 /Widget FT=/Btn Ff=49152 F=2 T=radio V=/Off AS=/Off " + da + " P=ok field=4",
        "page 1 /Widget FT=/Btn Ff=65536 F=4 T=send " + da + " P=ok field=5",
        "page 2 /Widget FT=/Tx Ff=0 F=4 T=second V= DV= " + da + " P=ok field=6",
    };
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i + 1], expected[i]);
    const auto info = Run("pdfinfo %f");
    EXPECT_NE(info.out.find("AcroForm"), std::string::npos) << info.out;
}

// A field drawn on a reopened page is written there, not lost.
TEST_P(FormFieldDocument, FieldOnAnOverlayBelongsToThatPage) {
    Begin();
    pdf_.BeginPage();
    pdf_.BeginPage();
    pdf_.BeginOnPage(1);
    pdf_.DrawField("late", 0, 10, 10, 50, 10, "v");
    pdf_.EndOnPage();
    const std::vector<std::string> lines = Finish();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(lines[0].find("fields=1 ") != std::string::npos) << lines[0];
    EXPECT_TRUE(lines[1].starts_with("page 1 /Widget FT=/Tx")) << lines[1];
    EXPECT_NE(lines[1].find("P=ok field=0"), std::string::npos) << lines[1];
}

KERBOLT_TEST_LABEL(oracle, "PlainAndProtected/FormFieldDocument.*");
INSTANTIATE_TEST_SUITE_P(PlainAndProtected, FormFieldDocument, ::testing::Bool());

class FormFieldRecords : public writer_test::WriterTest {};

// Options become the widget's flags, border, background and rotation exactly as the field
// dictionary is recorded; the line colour must be RGB for a border.
TEST_F(FormFieldRecords, OptionsShapeTheWidgetDictionary) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.SetColorFill("#FF0000");
    pdf_.SetColorLine("#0000FF");
    pdf_.DrawField("a", 0, 10, 20, 30, 40, "", 0, "", 2048 | 32768 | 131072 | 134217728);
    pdf_.DrawField("b", 1, 0, 0, 10, 10, "", 0, "", 3 | 4 | 16384 | 8388608 | 8192);
    pdf_.SetColorLine("%50");
    pdf_.DrawField("c", 0, 0, 0, 10, 10, "", 0, "", 65536 | 524288);
    const auto& f = Writer().form_fields;
    EXPECT_EQ(f[0].field_dict, "<< /Type /Annot /Subtype /Widget \r /Rect [ 10 822 40 782] /F 4 "
                               "\r/BS << /Type /Border /W 2 /S /D /D [ 1 1 ]>> /FT /Tx /Ff 0 "
                               "\r/Q 2 ");
    EXPECT_EQ(f[0].characteristics, " /BC [ 0 0 1 ]  /BG [ 1 0 0 ] /R 180 ");
    EXPECT_EQ(f[1].field_dict,
              "<< /Type /Annot /Subtype /Widget \r /Rect [ 0 842 10 832] /F 2  /FT /Btn /Ff 0"
              " /V /Off /AS /Off ");
    EXPECT_EQ(f[1].characteristics, "");
    EXPECT_EQ(f[1].caption, "F");
    // Automatic size; no font was selected yet, so the default family is named.
    EXPECT_EQ(f[1].appearance, "/" + Writer().resource_prefix + "Arial 0 Tf 0 0 0 rg ");
    EXPECT_NE(Writer().font_resources.find("Arial"), std::string::npos);
    EXPECT_EQ(f[2].characteristics, " /BG [ 1 0 0 ] ");
    EXPECT_EQ(f[2].field_dict.find("/BS"), std::string::npos);
}

TEST_F(FormFieldRecords, FlagsRaiseTheVersionTheyNeed) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.DrawField("a", 0, 0, 0, 10, 10, "", 0, "", 8 | 16 | 32 | 128 | 256 | 512);
    EXPECT_EQ(Writer().version_level, 1);
    pdf_.DrawField("b", 0, 0, 0, 10, 10, "", 0, "", 1024);
    EXPECT_EQ(Writer().version_level, 2);
    EXPECT_NE(Writer().form_fields[0].field_dict.find(" /Ff 14692353 "), std::string::npos);
}

// A number that cannot be read adds no field; a default beyond the options and an unknown
// type are ignored rather than written broken.
KERBOLT_TEST_LABEL(oracle, "FormFieldRecords.BadParametersAddNothingBroken");
TEST_F(FormFieldRecords, BadParametersAddNothingBroken) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    for (const char* param : {"abc", "", "3x"}) {
        try {
            pdf_.DrawField("n", 0, 0, 0, 10, 10, "", std::string(param));
            ADD_FAILURE() << "no error for \"" << param << "\"";
        } catch (const PdfError& error) {
            EXPECT_EQ(error.Number(), 13);
        }
    }
    EXPECT_TRUE(Writer().form_fields.empty());
    pdf_.DrawField("odd", 9, 0, 0, 10, 10, "");
    EXPECT_TRUE(Writer().form_fields.empty());
    pdf_.DrawField("list", 2, 0, 0, 10, 10, "a|b", 3);
    ASSERT_EQ(Writer().form_fields.size(), 1U);
    EXPECT_EQ(Writer().form_fields[0].default_option, -1);
    pdf_.EndDoc();
    ExpectValidPdf();
}

// Scripts attached to a pending field go into its /AA; a calculated one joins /CO.
KERBOLT_TEST_LABEL(oracle, "FormFieldRecords.CalculatedFieldsJoinTheCalculationOrder");
TEST_F(FormFieldRecords, CalculatedFieldsJoinTheCalculationOrder) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.DrawField("a", 0, 0, 0, 10, 10, "");
    pdf_.DrawField("sum", 0, 0, 20, 10, 10, "");
    pdf_.DrawField("plain", 0, 0, 40, 10, 10, "");
    Writer().form_fields[1].additional_actions = "/C << /S /JavaScript /JS (1) >>";
    Writer().form_fields[1].calculated = true;
    Writer().form_fields[2].additional_actions = "/K << /S /JavaScript /JS (2) >>";
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto report = testing_support::InspectPdf(Path(), "calculation-order");
    EXPECT_EQ(report.out, "sum sum/C plain/K\n");
}

} // namespace

// Check boxes and radio buttons, ticked and not: both viewers draw the mark exactly in the
// ticked ones.
KERBOLT_TEST_LABEL(oracle, "FormFieldRecords.TickedButtonsShowTheirMarkInViewers");
TEST_F(FormFieldRecords, TickedButtonsShowTheirMarkInViewers) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.SetFont("Arial", 12);
    struct Button {
        int type;
        const char* value;
        bool ticked;
    };
    const Button buttons[] = {
        {1, "true", true}, {1, "false", false}, {4, "TRUE", true}, {4, "", false}};
    for (std::size_t i = 0; i < std::size(buttons); ++i) {
        pdf_.DrawField("b" + std::to_string(i), buttons[i].type,
                       20.0f + 60.0f * static_cast<float>(i), 20, 30, 30, buttons[i].value);
    }
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    ExpectValidPdf();
    const std::string base = dir_.File("page");
    Run("pdftoppm -r 72 -gray -singlefile %f '" + base + "' 2>&1");
    Run("mutool draw -q -r 72 -c gray -o '" + base + "-mu.pgm' %f 2>&1");
    const std::string poppler = testing_support::ReadFileBytes(base + ".pgm");
    const std::string mupdf = testing_support::ReadFileBytes(base + "-mu.pgm");
    for (const auto& [tool, image] : {std::pair{"poppler", poppler}, std::pair{"mupdf", mupdf}}) {
        ASSERT_EQ(image.rfind("P5", 0), 0U) << tool;
        for (std::size_t i = 0; i < std::size(buttons); ++i) {
            const int x = 20 + 60 * static_cast<int>(i);
            // The centre of the box: a radio button's ring is no mark.
            const int dark = testing_support::DarkPixels(image, x + 9, 29, x + 21, 41);
            if (buttons[i].ticked) {
                EXPECT_GT(dark, 20) << tool << " button " << i;
            } else {
                EXPECT_EQ(dark, 0) << tool << " button " << i;
            }
        }
    }
}
