#include "tests/pdf/writer/openssl_oracle.h"
#include "tests/pdf/writer/tool_output.h"
#include "tests/pdf/writer/writer_fixture.h"
#include "tests/support/pdf_inspect.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using pagora::Pagora;
using pagora::PdfError;
using testing_support::ReportField;
using testing_support::RunCommand;
using testing_support::ToHex;

// Writes a sample document: three pages with labels ("A-I", "A-II", then "1"), a title with
// bytes that need escaping, one line of text on every page and a 2 x 2 RGB image on the first,
// all with the fixed clock and prefix; compression is the argument of SetCompression for text
// and images.
void WriteSample(const std::string& path, int mode, int compression, bool protect) {
    Pagora pdf(testing_support::MakeFixedHost());
    pdf.SetDocProperty("Secret (title) \\ " + Pagora::FromUtf8("Zürich"), "Subject text",
                       "Writer Name", "Creator app");
    if (protect) pdf.SetProtection(mode, "owner", "user");
    pdf.SetCompression(compression, compression);
    pdf.BeginDoc(path);
    pdf.SetFont("Helvetica", 12);
    pdf.AddImagePattern("pixels", 2, 2, {0xFF, 0, 0, 0, 0xFF, 0, 0, 0, 0xFF, 0x28, 0x29, 0x5C}, {});
    const char* lines[] = {"First page (one)", "Second page \\ two", "Third page"};
    for (int page = 0; page < 3; ++page) {
        pdf.BeginPage();
        if (page == 0) pdf.SetLabel(2, "A-", 1);
        if (page == 2) pdf.SetLabel(1);
        pdf.DrawText(50, 50, lines[page]);
        if (page == 0) pdf.DrawImage("pixels", 50, 100, 40, 40);
        pdf.EndPage();
    }
    pdf.EndDoc();
    ASSERT_EQ(pdf.ErrNumber(), 0) << pdf.ErrDescription();
}

KERBOLT_TEST_LABEL(oracle, "ProtectionTest.*");
class ProtectionTest : public writer_test::WriterTest {
protected:
    std::string Plain() const { return dir_.File("plain.pdf"); }
    std::string Decrypted() const { return dir_.File("decrypted.pdf"); }

    void WriteOnePage() {
        pdf_.BeginDoc(Path());
        pdf_.BeginPage();
        pdf_.EndPage();
        pdf_.EndDoc();
    }

    // qpdf finds neither errors nor warnings once it has the password.
    void ExpectCleanWith(const std::string& password) const {
        const auto check = Run("qpdf --check --password='" + password + "' %f 2>&1");
        EXPECT_EQ(check.status, 0) << password << ": " << check.out;
    }
};

// The Info strings, text, page labels and image bytes of a file, each read by another tool.
struct Reading {
    std::string info, text, labels_and_image;
};

Reading Read(const std::string& path) {
    Reading r;
    const std::string info = RunCommand("pdfinfo '" + path + "' 2>&1").out;
    for (const char* field : {"Title", "Subject", "Author", "Creator", "Producer", "CreationDate"})
        r.info += std::string(field) + "=" + ReportField(info, field) + "\n";
    r.text = RunCommand("pdftotext '" + path + "' - 2>&1").out;
    r.labels_and_image = testing_support::InspectPdf(path, "labels-and-image").out;
    return r;
}

TEST_F(ProtectionTest, DecryptedFileReadsLikeTheUnprotectedOne) {
    const struct {
        int mode;
        int compression;
    } cases[] = {
        {4, 0}, {0x1004, 0}, {0x1004, 0x50A}, // deflate and ASCII85 first, then the cipher
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " " + std::to_string(c.compression));
        WriteSample(Plain(), c.mode, c.compression, false);
        WriteSample(Path(), c.mode, c.compression, true);
        ExpectCleanWith("user");
        ExpectCleanWith("owner");
        // Nothing of the plain text may be left in the protected file.
        const std::string bytes = Bytes();
        for (const char* plain :
             {"Secret", "First page", "A-", "Writer Name", "Subject text", "D:2025"})
            EXPECT_EQ(bytes.find(plain), std::string::npos) << plain;
        EXPECT_EQ(bytes.find("/Filter [/ASCII85Decode /FlateDecode ]") != std::string::npos,
                  c.compression != 0);

        const auto decrypt = RunCommand("qpdf --password=user --decrypt '" + Path() + "' '" +
                                        Decrypted() + "' 2>&1");
        ASSERT_EQ(decrypt.status, 0) << decrypt.out;
        const Reading plain = Read(Plain());
        const Reading decrypted = Read(Decrypted());
        EXPECT_NE(plain.info.find("Title=Secret (title) \\ Zürich\n"), std::string::npos)
            << plain.info;
        EXPECT_NE(plain.text.find("Second page \\ two"), std::string::npos) << plain.text;
        EXPECT_EQ(plain.labels_and_image, "['A-I', 'A-II', '1']\nff000000ff000000ff28295c\n");
        EXPECT_EQ(decrypted.info, plain.info);
        EXPECT_EQ(decrypted.text, plain.text);
        EXPECT_EQ(decrypted.labels_and_image, plain.labels_and_image);
    }
}

TEST_F(ProtectionTest, EncryptionDictionaryAndPermissionsAsReadersSeeThem) {
    const struct {
        int mode;
        const char* header;
        const char* dictionary_end;
        const char* revision;
        const char* p;
        const char* permissions;
    } cases[] = {
        {4, "%PDF-1.3\n", "/V 1 /R 2 >>", "R = 2", "P = -60",
         "print:yes copy:no change:no addNotes:no"},
        {0x1004, "%PDF-1.4\n", "/V 2 /R 3 /Length 128 >>", "R = 3", "P = -3900",
         "print:yes copy:no change:no addNotes:no"},
        {0x38, "%PDF-1.3\n", "/V 1 /R 2 >>", "R = 2", "P = -8",
         "print:no copy:yes change:yes addNotes:yes"},
        // Bits beyond the permissions would give a /P the key was not computed from.
        {0x1FFF, "%PDF-1.4\n", "/V 2 /R 3 /Length 128 >>", "R = 3", "P = -4",
         "print:yes copy:yes change:yes addNotes:yes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        Pagora pdf(host_);
        pdf.SetProtection(c.mode, "owner", "user");
        pdf.BeginDoc(Path());
        pdf.EndDoc();
        const std::string bytes = Bytes();
        EXPECT_EQ(bytes.substr(0, 9), c.header);
        EXPECT_NE(bytes.find(std::string("\r") + c.dictionary_end + "\nendobj"), std::string::npos);
        EXPECT_NE(bytes.find("/Encrypt "), std::string::npos);

        const auto shown =
            Run("qpdf --show-encryption --show-encryption-key --password=user %f 2>&1");
        EXPECT_EQ(shown.status, 0) << shown.out;
        EXPECT_NE(shown.out.find(std::string(c.revision) + "\n"), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find(std::string(c.p) + "\n"), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find("Supplied password is user password"), std::string::npos);
        EXPECT_NE(shown.out.find("Encryption key = " +
                                 ToHex(pagora::detail::StateOf(pdf).writer.kept.encryption_key)),
                  std::string::npos)
            << shown.out;
        const auto as_owner = Run("qpdf --show-encryption --password=owner %f 2>&1");
        EXPECT_NE(as_owner.out.find("Supplied password is owner password"), std::string::npos)
            << as_owner.out;
        ExpectCleanWith("user");
        ExpectCleanWith("owner");
        EXPECT_NE(Run("qpdf --check --password=wrong %f 2>&1").status, 0);

        const auto info = Run("pdfinfo -upw user %f 2>&1");
        EXPECT_EQ(ReportField(info.out, "Encrypted"),
                  std::string("yes (") + c.permissions + " algorithm:RC4)")
            << info.out;
    }
}

TEST_F(ProtectionTest, WithoutPasswordsTheFileOpensAndShowsAsEncrypted) {
    pdf_.SetDocProperty("Open title");
    pdf_.SetProtection(0x1004);
    WriteOnePage();
    const auto info = Run("pdfinfo %f 2>&1");
    EXPECT_EQ(info.status, 0) << info.out;
    EXPECT_EQ(ReportField(info.out, "Encrypted").substr(0, 4), "yes ") << info.out;
    EXPECT_EQ(ReportField(info.out, "Title"), "Open title") << info.out;
    ExpectCleanWith("");
}

// Strings and streams written before protection would stay plain in a file that readers
// decrypt as a whole.
TEST_F(ProtectionTest, RecomputedUntilAnObjectIsWrittenThenRefused) {
    pdf_.SetProtection(0x1004, "first", "first");
    pdf_.BeginDoc(Path());
    pdf_.SetProtection(4, "owner", "user"); // nothing written yet: everything recomputed
    pdf_.BeginPage();
    pdf_.EndPage();
    try {
        pdf_.SetProtection(0x1004, "owner", "user");
        ADD_FAILURE() << "no error";
    } catch (const PdfError& error) {
        EXPECT_EQ(error.Number(), 5);
        EXPECT_EQ(error.Source(), "Pagora.SetProtection");
    }
    EXPECT_EQ(Writer().kept.key_length, 10); // the last accepted protection stands
    pdf_.EndDoc();
    ExpectCleanWith("user");
    ExpectCleanWith("owner");
    EXPECT_NE(Run("qpdf --check --password=first %f 2>&1").status, 0);
    EXPECT_EQ(Bytes().substr(0, 9), "%PDF-1.4\n"); // a version once required stays
}

} // namespace
