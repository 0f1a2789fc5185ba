#include "pdf/writer/writer.h"

#include "pdf/writer/document_metadata.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>

namespace {

using writer_test::WriterTest;

using SettingsTest = WriterTest;

constexpr float kMillimetre = std::bit_cast<float>(std::uint32_t{0x40356AD5u});

TEST_F(SettingsTest, PaperScaleAndMarginsAreStoredInPoints) {
    auto& s = Writer();
    pdf_.SetScale(2);
    EXPECT_EQ(s.scale_factor, kMillimetre);
    pdf_.SetPaperSize(255, 210, 297);
    EXPECT_EQ(s.page_width, 210.0f * kMillimetre);
    EXPECT_EQ(pagora::detail::FormatReal(s, s.page_width), "595.276");
    EXPECT_EQ(pagora::detail::FormatReal(s, s.page_height), "841.89");
    pdf_.SetPaperSize(18); // unknown code: unchanged
    EXPECT_EQ(s.page_width, 210.0f * kMillimetre);
    pdf_.SetPaperSize(-8);
    EXPECT_EQ(s.page_width, 2384.0f);
    EXPECT_EQ(s.page_height, 3371.0f);

    pdf_.SetPaperSize(0);
    pdf_.SetMargins(10, 10, 10, 10);
    EXPECT_FLOAT_EQ(s.margin_left, 28.346455f);
    EXPECT_TRUE(s.clip_to_margins);
    EXPECT_NEAR(pdf_.GetPageWidth(true), 190.2556f, 1e-3f);
    EXPECT_NEAR(pdf_.GetPageWidth(), 210.2556f, 1e-3f);
    pdf_.SetScale(0);
    EXPECT_FLOAT_EQ(s.margin_left, 28.346455f); // stored values are not converted again
    EXPECT_FLOAT_EQ(pdf_.GetPageHeight(true), 842.0f - 2 * 28.346455f);

    pdf_.SetScale(3);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(s.scale_factor), 0x41E2C58Bu);
    pdf_.SetScale(255, 0); // would divide by zero later: ignored
    pdf_.SetScale(255, -2);
    pdf_.SetScale(7);
    EXPECT_EQ(std::bit_cast<std::uint32_t>(s.scale_factor), 0x41E2C58Bu);
    pdf_.SetScale(255, 2.5f);
    EXPECT_EQ(s.scale_factor, 2.5f);
    pagora::detail::StateOf(pdf_).content.current_x = 10;
    EXPECT_EQ(pdf_.GetX(), 4.0f);
}

TEST_F(SettingsTest, OutOfRangeValuesAreIgnored) {
    auto& s = Writer();
    pdf_.SetPrecision(5);
    pdf_.SetPrecision(7);
    pdf_.SetPrecision(-1);
    EXPECT_EQ(s.precision, 5);
    pdf_.SetMemoryUsage(4);
    pdf_.SetMemoryUsage(0);
    pdf_.SetMemoryUsage(11);
    EXPECT_EQ(s.memory_factor, 4);
}

KERBOLT_TEST_LABEL(oracle, "SettingsTest.TransitionsInsideAndOutsideAPage");
TEST_F(SettingsTest, TransitionsInsideAndOutsideAPage) {
    auto& s = Writer();
    pdf_.SetPageTransition(13, 2, 1);
    EXPECT_EQ(s.kept.default_transition, "<< /Type /Trans /D 1 /S /Dissolve >> ");
    EXPECT_EQ(s.kept.default_duration, 2.0f);
    pdf_.SetPageTransition(0);
    EXPECT_EQ(s.kept.default_transition, "");
    pdf_.SetPageTransition(5, 1, 0.25f);
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    EXPECT_EQ(s.kept.page_transition, "<< /Type /Trans /D 0.25 /S /Wipe /Di 180 >> ");
    pdf_.SetPageTransition(18, 3);
    EXPECT_EQ(s.kept.page_transition, "");
    EXPECT_EQ(s.kept.default_transition, "<< /Type /Trans /D 0.25 /S /Wipe /Di 180 >> ");
    pdf_.SetLabel(1);
    EXPECT_EQ(pagora::detail::PageLabelNumbers(s), "0 <<  /S /D >> ");
    pdf_.EndPage();
    pdf_.SetLabel(5, "", 3);
    EXPECT_EQ(pagora::detail::PageLabelNumbers(s), "0 <<  /S /D >> 1 <<  /S /a /St 3 >> ");
    // Labels set for an earlier page or again for the same one: the number-tree keys stay unique
    // and ascending, the last label of a page counts, and a first value below 1 is not written.
    pdf_.BeginPage();
    pdf_.BeginPage(1);
    pdf_.SetLabel(3, "x", 0);
    pdf_.EndPage();
    pdf_.SetLabel(2, "", -7);
    EXPECT_EQ(pagora::detail::PageLabelNumbers(s), "0 <<  /S /r /P (x) >> 1 <<  /S /R >> ");
    pdf_.EndDoc();
    ExpectValidPdf();
    const auto labels = testing_support::InspectPdf(Path(), "page-labels");
    EXPECT_EQ(labels.out, "['xi', 'I', 'II']\n") << labels.out;
}

TEST_F(SettingsTest, PropertiesAndPdfaVersion) {
    auto& s = Writer();
    pdf_.SetDocProperty("T", "S", "A", "C", "P", "K");
    pdf_.SetDocProperty("Only title");
    EXPECT_EQ(s.title, "Only title");
    EXPECT_EQ(s.subject, "");
    EXPECT_EQ(s.keywords, "");
    EXPECT_EQ(s.author, "A");
    EXPECT_EQ(s.creator, "C");
    EXPECT_EQ(s.producer, "P");
    pdf_.SetPDFa(true);
    EXPECT_EQ(s.version_level, 1);
    pdf_.SetPDFa(false);
    EXPECT_EQ(s.version_level, 1);
    EXPECT_EQ(pdf_.Version(), "2020.1");
}

struct CatalogCase {
    int preferences;
    bool pdfa;
    const char* line; // expected in the catalog ("" when checking absence of a layout or mode)
    const char* header;
};

class CatalogPreferences : public WriterTest, public ::testing::WithParamInterface<CatalogCase> {};

TEST_P(CatalogPreferences, BecomeCatalogEntries) {
    const CatalogCase& c = GetParam();
    if (c.pdfa) pdf_.SetPDFa(true);
    pdf_.SetViewerPreferences(c.preferences);
    pdf_.BeginDoc(Path());
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes.substr(0, 9), c.header);
    const std::string catalog = bytes.substr(bytes.find("<< /Type /Catalog"));
    EXPECT_NE(catalog.find(c.line), std::string::npos) << catalog.substr(0, 200);
    if (c.pdfa) { // an archived document can have neither layers nor attachments
        EXPECT_EQ(catalog.find("/UseOC"), std::string::npos);
        EXPECT_EQ(catalog.find("/UseAttachments"), std::string::npos);
    }
}

KERBOLT_TEST_LABEL(oracle, "Table/CatalogPreferences.*");
INSTANTIATE_TEST_SUITE_P(
    Table, CatalogPreferences,
    ::testing::Values(
        CatalogCase{8192, false, "/Metadata 6 0 R\n/ViewerPreferences <<  >>\n>>", "%PDF-1.3\n"},
        CatalogCase{16384, false, "/PageLayout /OneColumn\n", "%PDF-1.3\n"},
        CatalogCase{65536, false, "/PageLayout /TwoColumnRight\n", "%PDF-1.3\n"},
        CatalogCase{-32768, false, "/PageLayout /TwoColumnLeft\n", "%PDF-1.3\n"},
        CatalogCase{32768, false, "/PageLayout /TwoColumnLeft\n", "%PDF-1.3\n"},
        CatalogCase{8192 + 1, false, "/PageMode /FullScreen\n", "%PDF-1.3\n"},
        CatalogCase{8192 + 2, false, "/Metadata 6 0 R\n/ViewerPreferences",
                    "%PDF-1.3\n"}, // only the title item
        CatalogCase{8192 + 4, false, "/PageMode /UseThumbs\n", "%PDF-1.3\n"},
        CatalogCase{8192 + 8, false, "/PageMode /UseOC\n", "%PDF-1.5\n"},
        CatalogCase{8192 + 16, false, "/PageMode /UseAttachments\n", "%PDF-1.6\n"},
        CatalogCase{
            0x20 | 0x100 | 0x1000, false,
            "/ViewerPreferences << /HideMenubar true /DisplayDocTitle true /FitWindow true  >>",
            "%PDF-1.4\n"},
        // PDF/A keeps what the caller asked for but the two page modes it cannot have.
        CatalogCase{16 | 512, true, "/ViewerPreferences << /CenterWindow true  >>", "%PDF-1.4\n"},
        CatalogCase{16384 | 8 | 0x20, true,
                    "/PageLayout /OneColumn\n/ViewerPreferences << /HideMenubar true  >>",
                    "%PDF-1.4\n"},
        CatalogCase{8192 + 4 + 0x1000, true,
                    "/PageMode /UseThumbs\n/ViewerPreferences << /FitWindow true  >>",
                    "%PDF-1.4\n"}));

} // namespace
