// PDF/A-1B documents checked by an independent validator (PDFBox Preflight), and the documents
// that cannot be archived because a font is missing.
#include "pdf/writer/Pagora.h"
#include "pdf/writer/document_metadata.h"
#include "pdf/writer/members.h"
#include "pdf/writer/writer.h"
#include "tests/pdf/writer/pdfa_support.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/fixed_host.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pagora::Pagora;

const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// The fixed host of the writer tests, with no free font installed for one standard family.
class HostWithoutFamily final : public pagora::PagoraHost {
public:
    explicit HostWithoutFamily(std::string family) : missing_(std::move(family)) {}
    pagora::LocalTime Now() override { return fixed_.Now(); }
    void Randomize() override {}
    double Random() override { return fixed_.Random(); }
    void OpenDocument(const std::string&) override {}
    void ShowMessage(const std::string&) override {}
    std::string StandardFontFile(const std::string& family, int style) override {
        return family == missing_ ? std::string() : PagoraHost::StandardFontFile(family, style);
    }

private:
    testing_support::FixedHost fixed_;
    std::string missing_;
};

class PdfaDocument : public writer_test::WriterTest {
protected:
    // Preflight's verdict on the written file; its font cache goes into the test's folder.
    testing_support::CommandResult Preflight() const {
        return Run(writer_test::PreflightCommand(dir_.Path().string()) + "%f 2>&1");
    }

    // One page with text in every standard text family and style, in two charsets; a TrueType
    // font in the Western and the Cyrillic charset; a picture; a link and a bookmark.
    void WriteEverything(Pagora& pdf) {
        pdf.SetPDFa(true);
        pdf.SetDocProperty("Archive", "Every element", "Kerbolt", "Tests", "Pagora",
                           "pdf, archive");
        pdf.BeginDoc(Path());
        pdf.BeginPage();
        pdf.AddBookmark("Start");
        float y = writer_test::DrawEveryFamily(pdf, 20, 11, 7, 161, "Ωμέγα Δέλτα");
        const std::string western = pdf.AddFont(kDejaVuSans, "Dejavu", true, 0);
        const std::string cyrillic = pdf.AddFont(kDejaVuSans, "DejavuCyr", true, 204);
        pdf.SetFont(western, 12);
        pdf.DrawText(10, y, Pagora::FromUtf8("Façade naïve"));
        y += 8;
        pdf.SetFont(cyrillic, 12, 0, 204);
        pdf.DrawText(10, y, Pagora::FromUtf8("Привет мир", 204));
        y += 8;
        pdf.AddImage("tile.png", writer_test::TilePng());
        pdf.DrawImage("tile.png", 10, y, 20, 20);
        pdf.SetFont("Arial", 10);
        pdf.DrawText(40, y + 10, "Kerbolt");
        pdf.LinkTo("https://example.org/");
        pdf.EndPage();
        pdf.EndDoc();
    }
};

KERBOLT_TEST_LABEL(oracle, "PdfaDocument.EveryKindOfContentPassesPreflight");
TEST_F(PdfaDocument, EveryKindOfContentPassesPreflight) {
    WriteEverything(pdf_);
    ASSERT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
    ExpectValidPdf();
    const auto verdict = Preflight();
    EXPECT_EQ(verdict.status, 0) << verdict.out;
    EXPECT_NE(verdict.out.find("is a valid PDF/A-1b file"), std::string::npos) << verdict.out;

    // Every font is embedded, and the text reads back in its own charset.
    // Three families in four styles and a second charset, and the TrueType font twice.
    const auto embedded = Run("pdffonts %f | awk 'NR > 2 { print $(NF - 4) }' | sort | uniq -c");
    EXPECT_EQ(embedded.out, "     17 yes\n") << Run("pdffonts %f").out;
    const auto text = Run("pdftotext %f - 2>&1").out;
    for (const char* expected :
         {"Größe 12 € – ok", "Ωμέγα Δέλτα", "Façade naïve", "Привет мир", "Kerbolt"}) {
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    }
}

KERBOLT_TEST_LABEL(oracle,
                   "PdfaDocument.AFontThatCannotBeFoundIsRecordedAndTheFileClaimsNoArchive");
TEST_F(PdfaDocument, AFontThatCannotBeFoundIsRecordedAndTheFileClaimsNoArchive) {
    Pagora pdf(std::make_shared<HostWithoutFamily>("TimesNewRoman"));
    WriteEverything(pdf);
    EXPECT_EQ(pdf.ErrNumber(), 53);
    EXPECT_EQ(pdf.ErrSource(), "Pagora.SetFont");
    EXPECT_NE(pdf.ErrDescription().find("no font file to embed TimesNewRoman"), std::string::npos)
        << pdf.ErrDescription();
    ExpectValidPdf();
    const std::string bytes = Bytes();
    EXPECT_EQ(bytes.find("pdfaid"), std::string::npos);
    EXPECT_EQ(bytes.find("/OutputIntents"), std::string::npos);
    EXPECT_EQ(bytes.find("GTS_PDFA1"), std::string::npos);
    // The text still shows, in the standard font.
    EXPECT_NE(Run("pdftotext %f - 2>&1").out.find("Größe 12 € – ok"), std::string::npos);
}

KERBOLT_TEST_LABEL(oracle, "PdfaDocument.AMissingTrueTypeFileIsRecordedAndTheRestStaysArchivable");
TEST_F(PdfaDocument, AMissingTrueTypeFileIsRecordedAndTheRestStaysArchivable) {
    pdf_.SetPDFa(true);
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    EXPECT_EQ(pdf_.AddFont(dir_.File("absent.ttf"), "Absent", true, 204), "");
    EXPECT_EQ(pdf_.ErrNumber(), 53);
    EXPECT_EQ(pdf_.ErrSource(), "Pagora.AddFont");
    pdf_.SetFont("Arial", 12);
    pdf_.DrawText(10, 20, "Still archived");
    pdf_.EndPage();
    pdf_.EndDoc();
    const auto verdict = Preflight();
    EXPECT_EQ(verdict.status, 0) << verdict.out;
}

TEST_F(PdfaDocument, TheMetadataPacketIsWrappedForArchiveReaders) {
    pdf_.SetPDFa(true);
    const std::string packet = pagora::detail::BuildXmpMetadata(Writer());
    EXPECT_EQ(packet.find("<?xpacket begin="), 0U);
    EXPECT_NE(packet.find("\n<x:xmpmeta xmlns:x='adobe:ns:meta/'>\n<rdf:RDF "), std::string::npos);
    EXPECT_NE(packet.find("</rdf:RDF>\n</x:xmpmeta>\n<?xpacket end='r'?>"), std::string::npos);
    EXPECT_EQ(packet.find(" about="), std::string::npos); // every description says rdf:about
    EXPECT_NE(packet.find("<pdfaid:part>1</pdfaid:part>"), std::string::npos);
    // Outside PDF/A the packet keeps its form and claims nothing.
    pdf_.SetPDFa(false);
    const std::string plain = pagora::detail::BuildXmpMetadata(Writer());
    EXPECT_EQ(plain.find("xmpmeta"), std::string::npos);
    EXPECT_EQ(plain.find("pdfaid"), std::string::npos);
}

} // namespace
