#include "pdf/writer/writer.h"

#include "pdf/writer/document_metadata.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

namespace {

using pagora::Pagora;
using testing_support::ReadFileBytes;
using writer_test::WriterTest;

using DocumentTest = WriterTest;

KERBOLT_TEST_LABEL(oracle, "DocumentTest.MinimalDocumentMatchesTheGoldenFile");
TEST_F(DocumentTest, MinimalDocumentMatchesTheGoldenFile) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.EndDoc();
    ASSERT_EQ(pdf_.ErrNumber(), 0);
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes, ReadFileBytes(testing_support::TestDataDir() + "/writer/minimal.pdf"));
    EXPECT_EQ(pdf_.FileSize(), static_cast<std::int64_t>(bytes.size()));
    ExpectValidPdf();
    // Page 4, content 5, metadata 6, catalog 7, information 8, and the table's 20-byte rows.
    EXPECT_NE(bytes.find("trailer\n<< /Size 9 /Info 8 0 R /Root 7 0 R"), std::string::npos);
    const auto xref = Run("qpdf --show-xref %f");
    EXPECT_NE(xref.out.find("4/0: uncompressed; offset = "), std::string::npos) << xref.out;
    EXPECT_NE(Run("qpdf --show-object=4 %f").out.find("/Contents 5 0 R"), std::string::npos);
    EXPECT_NE(Run("qpdf --show-object=6 %f").out.find("/Subtype /XML"), std::string::npos);
    EXPECT_NE(Run("qpdf --show-object=7 %f").out.find("/Type /Catalog"), std::string::npos);
    const std::size_t table = bytes.find("xref\n0 9\n");
    ASSERT_NE(table, std::string::npos);
    EXPECT_EQ(bytes.substr(table + 9, 9 * 20).find_first_of('\n') % 20, 19u);
}

TEST_F(DocumentTest, HeaderAndFileSizeAfterBeginDoc) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
    const std::string name = pdf_.BeginDoc();
    std::filesystem::current_path(previous);
    EXPECT_EQ(name, "~0ABC12.pdf"); // the fixed random number, six digits
    EXPECT_EQ(pdf_.FileSize(), 39);
    EXPECT_EQ(Writer().last_object_number, 3);
    pdf_.Abort();
    const std::string bytes = ReadFileBytes(dir_.Path() / name);
    EXPECT_EQ(bytes, std::string("%PDF-1.3\n%\xFF\xFF\xFF\xFF\n% Pagora Library 2020.1\n"));
    EXPECT_EQ(bytes.substr(0, 17),
              std::string("\x25\x50\x44\x46\x2D\x31\x2E\x33\x0A\x25\xFF\xFF\xFF\xFF\x0A\x25\x20"));
}

// A second document on the same object without Abort would mix the two: it is refused, and
// the first document goes on to a whole file.
TEST_F(DocumentTest, SecondBeginDocIsRefusedAndTheFirstGoesOn) {
    const std::string first = dir_.File("first.pdf");
    pdf_.BeginDoc(first);
    pdf_.BeginPage();
    pdf_.EndPage();
    EXPECT_EQ(pdf_.BeginDoc(Path()), "");
    EXPECT_EQ(pdf_.ErrNumber(), 5);
    EXPECT_FALSE(std::filesystem::exists(Path()));
    EXPECT_EQ(pdf_.GetPages(), 1);
    pdf_.EndDoc();
    EXPECT_NE(ReadFileBytes(first).find("xref"), std::string::npos);
    EXPECT_NE(ReadFileBytes(first).find("%%EOF"), std::string::npos);
    pdf_.Abort(); // starts afresh: a new document may begin
    pdf_.BeginDoc(Path());
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    EXPECT_EQ(pdf_.FileSize(), 39);
}

TEST_F(DocumentTest, BeginDocInAMissingFolderIsRecordedAndLaterUseFails) {
    const std::string path = dir_.File("missing/out.pdf");
    EXPECT_NO_THROW(pdf_.BeginDoc(path));
    EXPECT_EQ(pdf_.ErrNumber(), 76); // path not found
    EXPECT_EQ(pdf_.ErrSource(), "Pagora.BeginDoc");
    const std::string description = pdf_.ErrDescription();
    ASSERT_GT(description.size(), path.size() + 3);
    EXPECT_EQ(description.substr(description.size() - path.size() - 3), " - " + path);
    EXPECT_THROW(pdf_.FileSize(), pagora::PdfError);
    pdf_.BeginPage();
    EXPECT_THROW(pdf_.EndPage(), pagora::PdfError);
    try {
        pdf_.EndDoc();
        FAIL() << "EndDoc wrote without a file";
    } catch (const pagora::PdfError& e) {
        EXPECT_EQ(e.Number(), 52);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(DocumentTest, AbortClosesTheFileAndRestoresDefaults) {
    pdf_.SetDocProperty("Report", "S", "Me", "Tool", "Prod", "K");
    pdf_.SetMemoryUsage(5);
    pdf_.BeginDoc(dir_.File("missing/x.pdf")); // leaves an error behind
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    host_->random = 0.5;
    pdf_.Abort();
    EXPECT_EQ(Bytes().substr(0, 8), "%PDF-1.3"); // the partial file stays
    auto& s = Writer();
    EXPECT_EQ(pdf_.ErrNumber(), 0);
    EXPECT_EQ(pdf_.ErrSource(), "Pagora.BeginDoc"); // kept
    EXPECT_EQ(s.title, "(senza titolo)");
    EXPECT_EQ(s.author, "Oskelbrann");
    EXPECT_EQ(s.creator, "Pagora Library");
    EXPECT_EQ(s.memory_factor, 1);
    EXPECT_EQ(s.output_file_number, 0);
    EXPECT_FALSE(s.in_page);
    EXPECT_TRUE(s.pages.empty());
    EXPECT_EQ(s.resource_prefix, "A800000+"); // 0.5 × 16777215 rounds half to even
    ASSERT_EQ(s.bookmarks.size(), 1U);
    EXPECT_EQ(s.bookmarks[0].caption, "(senza titolo)");
    pdf_.SetDocProperty("New title");
    EXPECT_EQ(s.bookmarks[0].caption, "New title");
    EXPECT_EQ(s.subject, "");
    EXPECT_EQ(s.author, "Oskelbrann");
}

TEST_F(DocumentTest, ResourcePrefixHasOneToSixHexDigits) {
    const std::regex form("A[0-9A-F]{1,6}\\+");
    for (const double r : {0.0, 1e-9, 0.0625, 0.999999999}) {
        host_->random = r;
        pdf_.Abort();
        EXPECT_TRUE(std::regex_match(Writer().resource_prefix, form)) << Writer().resource_prefix;
    }
    host_->random = 0.0;
    pdf_.Abort();
    EXPECT_EQ(Writer().resource_prefix, "A0+");
}

TEST_F(DocumentTest, CreationDateCarriesTheLocalOffset) {
    struct Case {
        int offset;
        const char* date;
    } cases[] = {
        {60, "D:20250307091500+01'00'"},  // Swiss winter
        {120, "D:20250307091500+02'00'"}, // Swiss summer
        {0, "D:20250307091500+00'00'"},
        {-330, "D:20250307091500-05'30'"},
    };
    for (const Case& c : cases) {
        host_->now.utc_offset_minutes = c.offset;
        pdf_.Abort();
        EXPECT_EQ(Writer().creation_date, c.date);
        EXPECT_EQ(Writer().file_id, c.date);
    }
    EXPECT_NE(pagora::detail::BuildXmpMetadata(Writer()).find(
                  "<xap:CreateDate>2025-03-07T09:15:00-05:30<"),
              std::string::npos);
}

KERBOLT_TEST_LABEL(oracle, "DocumentTest.PropertiesKeepSingleByteTextInInfoAndUtf8InXmp");
TEST_F(DocumentTest, PropertiesKeepSingleByteTextInInfoAndUtf8InXmp) {
    pdf_.SetDocProperty(Pagora::FromUtf8("A & B <é>"), "", Pagora::FromUtf8("Zoë"));
    pdf_.BeginDoc(Path());
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string bytes = Bytes();
    EXPECT_NE(bytes.find("/Title (A & B <\xE9>)"), std::string::npos);
    EXPECT_NE(bytes.find("<rdf:li xml:lang='x-default'>A &amp; B &lt;\xC3\xA9&gt;</rdf:li>"),
              std::string::npos);
    const auto info = Run("pdfinfo %f");
    EXPECT_NE(info.out.find("Title:           A & B <é>"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Author:          Zoë"), std::string::npos) << info.out;
    // The packet parses as XML and carries the same values.
    const std::string packet = dir_.File("packet.xml");
    ASSERT_EQ(Run("pdfinfo -meta %f > '" + packet + "'").status, 0);
    const auto xmp = testing_support::InspectFile(packet, "xmp-list-items");
    EXPECT_EQ(xmp.status, 0);
    EXPECT_NE(xmp.out.find("['A & B <é>', None, 'Zoë']"), std::string::npos) << xmp.out;
}

TEST_F(DocumentTest, ControlCharactersStayOutOfTheXmlPacket) {
    pdf_.SetDocProperty(std::string("a\0b\x01"
                                    "c\td",
                                    7),
                        "", "x\x1Fy");
    const std::string packet = pagora::detail::BuildXmpMetadata(Writer());
    EXPECT_NE(packet.find(">abc\td</rdf:li>"), std::string::npos);
    EXPECT_NE(packet.find("<rdf:li>xy</rdf:li>"), std::string::npos);
}

KERBOLT_TEST_LABEL(oracle, "DocumentTest.PdfaDocumentHasItsPacketAndOutputIntent");
TEST_F(DocumentTest, PdfaDocumentHasItsPacketAndOutputIntent) {
    pdf_.SetPDFa(true);
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    pdf_.EndPage();
    pdf_.EndDoc();
    ExpectValidPdf();
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes.substr(0, 9), "%PDF-1.4\n");
    const std::string packet = pagora::detail::BuildXmpMetadata(Writer());
    EXPECT_NE(packet.find("<x:xmpmeta xmlns:x='adobe:ns:meta/'>"), std::string::npos);
    EXPECT_EQ(packet.substr(packet.size() - 19), "<?xpacket end='r'?>");
    EXPECT_NE(bytes.find(packet), std::string::npos);
    const auto check = testing_support::InspectPdf(Path(), "archive");
    EXPECT_EQ(check.status, 0) << check.out;
    EXPECT_NE(check.out.find("status 1B"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("intent /GTS_PDFA1 AdobeRGB1998"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("space RGB 2.1"), std::string::npos) << check.out;
    EXPECT_NE(check.out.find("red 0.6097 0.3111 0.0195 white 0.9505 1.0000 1.0891"),
              std::string::npos)
        << check.out;
}

struct VersionCase {
    int level;
    const char* header;
};

class VersionHeader : public WriterTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(VersionHeader, EndDocRewritesTheDigitInPlace) {
    pdf_.BeginDoc(Path());
    pagora::detail::RequireVersion(Writer(), GetParam().level);
    pagora::detail::RequireVersion(Writer(), 0); // never lowers
    pdf_.EndDoc();
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes.substr(0, 9), GetParam().header);
    EXPECT_EQ(bytes.substr(9, 6), "%\xFF\xFF\xFF\xFF\n");
    ExpectValidPdf();
}

KERBOLT_TEST_LABEL(oracle, "Levels/VersionHeader.*");
INSTANTIATE_TEST_SUITE_P(
    Levels, VersionHeader,
    ::testing::Values(VersionCase{0, "%PDF-1.3\n"}, VersionCase{2, "%PDF-1.5\n"},
                      VersionCase{4, "%PDF-1.7\n"}, VersionCase{5, "%PDF-1.7\n"},
                      VersionCase{16, "%PDF-1.7\n"}, VersionCase{17, "%PDF-2.0\n"},
                      VersionCase{40, "%PDF-2.0\n"}));

} // namespace
