#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::RunCommand;
using testing_support::WriteFileBytes;

// Bytes that every filter must carry unchanged: all byte values, the PDF delimiters, CR and LF.
std::string SampleBytes() {
    std::string bytes;
    for (int round = 0; round < 40; ++round) {
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>((b * 7 + round) & 0xFF);
    }
    return bytes + "(\\)\r\n endstream";
}

class AttachmentTest : public writer_test::WriterTest {
protected:
    // Each attachment as "name|description|sha256 of its bytes", in name order, read by pikepdf.
    std::string ReadAttachments(const std::string& password = "") const {
        return testing_support::InspectPdf(Path(), "attachments", {}, password).out;
    }
    static std::string Sha256(const std::string& path) {
        const auto out = RunCommand("sha256sum '" + path + "'").out;
        return out.substr(0, out.find(' '));
    }
    void WriteDocument(int compression) {
        pdf_.SetCompression(0, 0, compression);
        pdf_.BeginDoc(Path());
        pdf_.BeginPage();
        std::string zeta_name = "zeta (final).bin";
        EXPECT_TRUE(pdf_.AddAttach(zeta_, zeta_name, "Sample \\ data"));
        std::string alpha_name;
        EXPECT_TRUE(pdf_.AddAttach(alpha_, alpha_name));
        EXPECT_EQ(alpha_name, "alpha.txt"); // the folder is not part of the name
        pdf_.EndPage();
        pdf_.EndDoc();
    }
    std::string Expected() const {
        return "alpha.txt||" + Sha256(alpha_) + "\nzeta (final).bin|Sample \\ data|" +
               Sha256(zeta_) + "\n";
    }

    void SetUp() override {
        WriteFileBytes(zeta_, SampleBytes());
        WriteFileBytes(alpha_, "plain text\n");
    }
    std::string zeta_ = dir_.File("zeta.bin");
    std::string alpha_ = dir_.File("alpha.txt");
};

// Without filters, with deflate and with deflate behind ASCII85 the files come back byte for
// byte, and the name tree lists them in name order whatever the call order was.
KERBOLT_TEST_LABEL(oracle, "AttachmentTest.FilesComeBackUnchangedUnderEveryFilter");
TEST_F(AttachmentTest, FilesComeBackUnchangedUnderEveryFilter) {
    for (const int compression : {0, 2 | 0x900, 2 | 8 | 0x600}) {
        SCOPED_TRACE(compression);
        pdf_.Abort();
        WriteDocument(compression);
        EXPECT_EQ(pdf_.ErrNumber(), 0) << pdf_.ErrDescription();
        EXPECT_EQ(ReadAttachments(), Expected());
        EXPECT_EQ(Bytes().substr(0, 8), "%PDF-1.4");
        ExpectValidPdf();
    }
    // The second command-line reader agrees on the bytes of one of them.
    const std::string out = dir_.File("extracted.bin");
    EXPECT_EQ(Run("qpdf --show-attachment='zeta (final).bin' %f > '" + out + "'").status, 0);
    EXPECT_EQ(Sha256(out), Sha256(zeta_));
}

// In a protected document the names, descriptions and bytes are all decrypted correctly: the
// name tree's keys are encrypted with the key of the object that holds them.
KERBOLT_TEST_LABEL(oracle, "AttachmentTest.ProtectedDocumentDecryptsNamesAndBytes");
TEST_F(AttachmentTest, ProtectedDocumentDecryptsNamesAndBytes) {
    for (const int mode : {0, 0x1000}) {
        SCOPED_TRACE(mode);
        pdf_.Abort();
        pdf_.SetProtection(mode, "owner", "user");
        WriteDocument(2);
        EXPECT_EQ(ReadAttachments("user"), Expected());
        const auto check = Run("qpdf --check --password=user %f 2>&1");
        EXPECT_EQ(check.status, 0) << check.out;
    }
}

KERBOLT_TEST_LABEL(oracle, "AttachmentTest.FailuresAreRecordedAndWriteNothing");
TEST_F(AttachmentTest, FailuresAreRecordedAndWriteNothing) {
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    const int objects_before = Writer().last_object_number;
    const std::string missing = dir_.File("missing.bin");
    std::string name;
    EXPECT_FALSE(pdf_.AddAttach(missing, name));
    EXPECT_EQ(pdf_.ErrNumber(), 53);
    EXPECT_EQ(pdf_.ErrSource(), "Pagora.AddAttach");
    EXPECT_EQ(pdf_.ErrDescription(), "File not found - " + missing);
    EXPECT_EQ(name, "");
    // A folder exists but cannot be read as a file.
    EXPECT_FALSE(pdf_.AddAttach(dir_.Path().string()));
    EXPECT_EQ(pdf_.ErrNumber(), 75);
    EXPECT_EQ(Writer().last_object_number, objects_before);
    pdf_.EndPage();
    pdf_.EndDoc();
    EXPECT_EQ(testing_support::InspectPdf(Path(), "attachment-count").out, "0\n");
    EXPECT_EQ(Bytes().substr(0, 8), "%PDF-1.3");
    ExpectValidPdf();
}

TEST_F(AttachmentTest, NoOpenDocumentIsRecorded) {
    EXPECT_FALSE(pdf_.AddAttach(alpha_));
    EXPECT_EQ(pdf_.ErrNumber(), 52);
}

KERBOLT_TEST_LABEL(oracle, "AttachmentTest.PdfaModeAttachesNothing");
TEST_F(AttachmentTest, PdfaModeAttachesNothing) {
    pdf_.SetPDFa(true);
    pdf_.BeginDoc(Path());
    pdf_.BeginPage();
    std::string name;
    EXPECT_FALSE(pdf_.AddAttach(alpha_, name));
    EXPECT_EQ(name, "");
    // The caller learns why nothing was attached.
    EXPECT_EQ(pdf_.ErrNumber(), 5);
    EXPECT_NE(pdf_.ErrDescription().find("PDF/A"), std::string::npos) << pdf_.ErrDescription();
    pdf_.EndPage();
    pdf_.EndDoc();
    EXPECT_EQ(Bytes().find("/EmbeddedFile"), std::string::npos);
    ExpectValidPdf();
}

} // namespace
