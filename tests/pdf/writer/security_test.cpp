#include "pdf/writer/security.h"

#include "pdf/writer/rc4.h"

#include "tests/pdf/writer/openssl_oracle.h"
#include "tests/pdf/writer/tool_output.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_labels.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using pagora::detail::ComputeObjectKey;
using pagora::detail::ComputeProtectionKeys;
using pagora::detail::PadPassword;
using pagora::detail::PermissionValue;
using pagora::detail::ProtectionKeys;
using pagora::detail::Rc4Cipher;
using testing_support::FromHex;
using testing_support::OpensslMd5;
using testing_support::OpensslRc4;
using testing_support::ReportField;
using testing_support::RunCommand;
using testing_support::TempDir;
using testing_support::ToHex;

const std::string kFileId = "D:20261210123456+01'00'";
const std::string kPadding =
    FromHex("28bf4e5e4e758a4164004e56fffa01082e2e00b6d0683e802f0ca9fe6453697a");

TEST(Protection, PermissionValueKeepsTheFixedBitsOfEachRevision) {
    const struct {
        std::int32_t mode;
        std::int32_t p;
    } cases[] = {
        {4, -60},
        {0, -64},
        {0x3C, -4},
        {0x1004, -3900},
        {0x1000, -3904},
        {0x1F3C, -4},
        // bits that grant nothing in the revision are dropped, not added into the fixed bits
        {0x4F, -52},
        {0xF04, -60},
        {0x1FFF, -4},
        {0x1F40, -64},
        {0x7FFF0004, -60},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PermissionValue(c.mode), c.p) << std::hex << c.mode;
}

TEST(Protection, PasswordsArePaddedOrCutTo32Bytes) {
    EXPECT_EQ(PadPassword(""), kPadding);
    EXPECT_EQ(PadPassword("user"), "user" + kPadding.substr(0, 28));
    const std::string long_password(40, 'x');
    EXPECT_EQ(PadPassword(long_password), long_password.substr(0, 32));
}

TEST(Protection, KeyShapesOfBothRevisions) {
    const ProtectionKeys r2 = ComputeProtectionKeys(4, "owner", "user", kFileId);
    EXPECT_EQ(r2.revision, 2);
    EXPECT_EQ(r2.encryption_key.size(), 5u);
    EXPECT_EQ(r2.key_length, 10);
    EXPECT_EQ(r2.owner_key.size(), 32u);
    // revision 2's /U is the padding string under the file key
    EXPECT_EQ(r2.user_key, OpensslRc4(r2.encryption_key, kPadding));

    const ProtectionKeys r3 = ComputeProtectionKeys(0x1004, "owner", "user", kFileId);
    EXPECT_EQ(r3.revision, 3);
    EXPECT_EQ(r3.encryption_key.size(), 16u);
    EXPECT_EQ(r3.key_length, 16);
    EXPECT_EQ(r3.owner_key.size(), 32u);
    EXPECT_EQ(r3.user_key.size(), 32u);
    EXPECT_EQ(r3.user_key.substr(16), std::string(16, ' '));
}

TEST(Protection, OwnerPasswordFallsBackToTheUserPasswordAndLongPasswordsAreCut) {
    for (const std::int32_t mode : {4, 0x1004}) {
        const ProtectionKeys same = ComputeProtectionKeys(mode, "user", "user", kFileId);
        EXPECT_EQ(ComputeProtectionKeys(mode, "", "user", kFileId), same);
        EXPECT_EQ(ComputeProtectionKeys(mode, "   ", "user", kFileId), same);
        EXPECT_FALSE(ComputeProtectionKeys(mode, " x ", "user", kFileId) == same);

        const std::string long_user(32, 'u'), long_owner(33, 'o');
        EXPECT_EQ(ComputeProtectionKeys(mode, long_owner + "tail", long_user + "tail", kFileId),
                  ComputeProtectionKeys(mode, long_owner.substr(0, 32), long_user, kFileId));
    }
}

TEST(Protection, ObjectKeyJoinsTheThreeLowBytesOfTheNumberAndGenerationZero) {
    for (const std::int32_t mode : {4, 0x1004}) {
        const ProtectionKeys keys = ComputeProtectionKeys(mode, "owner", "user", kFileId);
        const std::string expected =
            OpensslMd5(keys.encryption_key + std::string("\x56\x34\x12\0\0", 5))
                .substr(0, static_cast<std::size_t>(keys.key_length));
        EXPECT_EQ(ComputeObjectKey(keys.encryption_key, keys.key_length, 0x123456), expected);
        // the generation field leaves no room for a fourth byte of the number
        EXPECT_EQ(ComputeObjectKey(keys.encryption_key, keys.key_length, 0x7F123456), expected);
        EXPECT_NE(ComputeObjectKey(keys.encryption_key, keys.key_length, 0x123457), expected);
    }
}

// A small protected file put together from our keys alone: a page showing one line of text
// and an information dictionary with a title, both encrypted with their objects' keys. Readers
// that open it with the passwords confirm /O, /U, /P, the file key and the object keys.
std::string ProtectedFile(const ProtectionKeys& keys, const std::string& title,
                          const std::string& text) {
    Rc4Cipher rc4;
    auto encrypt = [&](int object, const std::string& plain) {
        return rc4.CipherRC4(ComputeObjectKey(keys.encryption_key, keys.key_length, object), plain);
    };
    const std::string content = encrypt(4, "BT /F1 12 Tf 20 100 Td (" + text + ") Tj ET");
    const std::string dictionary =
        "<< /Filter /Standard /O <" + ToHex(keys.owner_key) + "> /U <" + ToHex(keys.user_key) +
        "> /P " + std::to_string(keys.permissions) +
        (keys.revision == 2 ? " /V 1 /R 2 >>" : " /V 2 /R 3 /Length 128 >>");
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 300 200] /Contents 4 0 R"
        " /Resources << /Font << /F1 7 0 R >> >> >>",
        "<< /Length " + std::to_string(content.size()) + " >>\nstream\n" + content + "\nendstream",
        "<< /Title <" + ToHex(encrypt(5, title)) + "> >>",
        dictionary,
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    std::string file = keys.revision == 2 ? "%PDF-1.3\n" : "%PDF-1.4\n";
    std::string xref = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (std::size_t i = 0; i < objects.size(); ++i) {
        char entry[21];
        std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", file.size());
        xref += entry;
        file += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::string id = ToHex(kFileId);
    const std::size_t xref_offset = file.size();
    file += xref + "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
            " /Root 1 0 R /Info 5 0 R /Encrypt 6 0 R /ID [<" + id + "><" + id +
            ">] >>\nstartxref\n" + std::to_string(xref_offset) + "\n%%EOF\n";
    return file;
}

KERBOLT_TEST_LABEL(oracle, "Protection.ReadersOpenAFileBuiltFromOurKeys");
TEST(Protection, ReadersOpenAFileBuiltFromOurKeys) {
    const struct {
        std::int32_t mode;
        std::string owner, user;
        const char* revision;
        const char* p;
    } cases[] = {
        {4, "owner", "user", "R = 2", "P = -60"},
        {0x1004, "owner", "user", "R = 3", "P = -3900"},
        {0x1FFF, "owner", "user", "R = 3", "P = -4"}, // non-permission bits in the mode
        {0x4F, "owner", "user", "R = 2", "P = -52"},
        {0x1000, "", "", "R = 3", "P = -3904"}, // no passwords: opens without asking
        {0x1004, "0123456789012345678901234567890123456789", "u", "R = 3", "P = -3900"},
    };
    TempDir dir;
    const std::string path = dir.File("protected.pdf");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.revision) + " owner '" + c.owner + "' user '" + c.user + "'");
        const ProtectionKeys keys = ComputeProtectionKeys(c.mode, c.owner, c.user, kFileId);
        testing_support::WriteFileBytes(path, ProtectedFile(keys, "Secret (title)", "Hello"));
        const std::string as_user = " --password='" + c.user + "' " + path;
        const std::string owner = c.owner.empty() ? c.user : c.owner;

        const auto shown =
            RunCommand("qpdf --show-encryption --show-encryption-key" + as_user + " 2>&1");
        EXPECT_EQ(shown.status, 0) << shown.out;
        EXPECT_NE(shown.out.find(c.revision), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find(std::string(c.p) + "\n"), std::string::npos) << shown.out;
        EXPECT_NE(shown.out.find("Encryption key = " + ToHex(keys.encryption_key)),
                  std::string::npos)
            << shown.out;
        if (c.user != owner) {
            EXPECT_NE(shown.out.find("Supplied password is user password"), std::string::npos);
            EXPECT_NE(RunCommand("qpdf --check --password=wrong " + path + " 2>&1").status, 0);
        }
        const auto as_owner =
            RunCommand("qpdf --show-encryption --password='" + owner + "' " + path + " 2>&1");
        EXPECT_NE(as_owner.out.find("Supplied password is owner password"), std::string::npos)
            << as_owner.out;
        EXPECT_EQ(RunCommand("qpdf --check --password='" + owner + "' " + path).status, 0);
        EXPECT_EQ(RunCommand("qpdf --check" + as_user).status, 0);

        const auto info = RunCommand("pdfinfo -upw '" + c.user + "' " + path);
        EXPECT_EQ(ReportField(info.out, "Title"), "Secret (title)") << info.out;
        EXPECT_EQ(ReportField(info.out, "Encrypted").substr(0, 3), "yes") << info.out;
        const auto text = RunCommand("pdftotext -upw '" + c.user + "' " + path + " -");
        EXPECT_NE(text.out.find("Hello"), std::string::npos) << text.out;
    }
}

} // namespace
